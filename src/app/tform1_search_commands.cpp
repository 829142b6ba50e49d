// Handlers of Find and Replace on the workbench.

#include "app/tform1.h"
#include "platform/qt/qt_text.h"
#include "workbench/replace_all.h"
#include "workbench/workbench_edit.h"
#include "workbench/workbench_search.h"

#include <QAction>
#include <QApplication>

namespace zub {

void TForm1::connectSearchCommands() {
    WorkbenchSearch::Hooks hooks;
    hooks.run = [this](const std::function<void()>& work) { guard(work); };
    hooks.notFound = [this](QWidget* dialog, const std::string& findText) {
        m_services.dialogs.message(dialog, QStringLiteral("Zub剪贴板"),
                                   QStringLiteral("Text not found: \"") + toQString(findText) +
                                       QStringLiteral("\""),
                                   MessageIcon::None);
    };
    // Each replacement counts as a change of the workbench: the word-prefix search runs for
    // every one of them, and the selection display once they are all made.
    hooks.replacedAll = [this](const std::string& oldText, const ReplaceAllResult& result) {
        if (const auto row =
                replayWordPrefixSearch(m_wordPrefixSearch, oldText, result, m_clipList, m_collator))
            m_clipList.select(*row);
        CheckListBox1Click();
    };
    m_workbenchSearch = new WorkbenchSearch(Memo1, this, std::move(hooks));

    connect(action(QStringLiteral("SearchFind1")), &QAction::triggered, this,
            [this] { guard([this] { SearchFind1Execute(); }); });
    connect(action(QStringLiteral("SearchReplace1")), &QAction::triggered, this,
            [this] { guard([this] { SearchReplace1Execute(); }); });

    // The commands follow the focus and the text as they change. The focus is judged by the
    // widget that receives it, never by asking the workbench while it goes away.
    connect(qApp, &QApplication::focusChanged, Memo1, [this](QWidget*, QWidget* now) {
        enableSearchCommands(now == Memo1 && Memo1->size() > 0);
    });
    connect(Memo1, &QPlainTextEdit::textChanged, this,
            [this] { enableSearchCommands(Memo1->hasFocus() && Memo1->size() > 0); });
    enableSearchCommands(false);
}

void TForm1::enableSearchCommands(bool on) {
    action(QStringLiteral("SearchFind1"))->setEnabled(on);
    action(QStringLiteral("SearchReplace1"))->setEnabled(on);
}

void TForm1::SearchFind1Execute() {
    m_workbenchSearch->showFind();
}

void TForm1::SearchReplace1Execute() {
    m_workbenchSearch->showReplace();
}

} // namespace zub
