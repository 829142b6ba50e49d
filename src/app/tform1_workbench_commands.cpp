// Handlers of the workbench: New, Extract, its documents, Preview and the word-prefix search.

#include "app/status_bar.h"
#include "app/tform1.h"
#include "cliplist/edit_box.h"
#include "images/image_pane.h"
#include "platform/qt/qt_text.h"
#include "workbench/extract_command.h"
#include "workbench/preview_command.h"
#include "workbench/workbench_document.h"
#include "workbench/workbench_edit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>

namespace zub {
namespace {

const QString kDocumentFilter = QStringLiteral("所有文档(*.*)|*.*");

} // namespace

void TForm1::connectWorkbenchCommands() {
    // The system's own titles, no folder or extension of the program's: any text file will do.
    m_openDialog2 = {QString(), kDocumentFilter, QString(), QString(), false};
    m_saveDialog2 = {QString(), kDocumentFilter, QString(), QString(), true};

    auto on = [this](const char* name, void (TForm1::*handler)()) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler] { guard([this, handler] { (this->*handler)(); }); });
    };
    on("Action10", &TForm1::Action10Execute);
    on("Action11", &TForm1::Action11Execute);
    on("Action12", &TForm1::Action12Execute);
    on("Action13", &TForm1::Action13Execute);
    on("Action14", &TForm1::Action14Execute);
    connect(Memo1, &WorkbenchEdit::changed, this, [this] { guard([this] { Memo1Change(); }); });
    setDocumentFormat(m_documentFormat);
}

void TForm1::Action10Execute() {
    Memo1->clearQuietly();
    setDocumentFormat({});
    m_editBox->clearAll();
    m_services.clipboard.empty();
    TabSheet2->clear();
    // A picture still being read for the pane arrives too late to be shown.
    m_paneShown = paneRequest();
}

void TForm1::Action11Execute() {
    const auto row = m_clipList.selection();
    if (!row) return;
    Memo1->setFocus();
    Memo1->replaceSelection(extractedText(m_clipList.text(*row),
                                          fromQString(ComboBox2->currentText()),
                                          fromQString(ComboBox3->currentText())));
}

void TForm1::Action12Execute() {
    const auto path = m_services.dialogs.openFile(this, m_openDialog2);
    if (!path) return;
    const WorkbenchDocument document = readWorkbenchDocument(*path);
    // Saving writes what was opened last, also when its text is the same.
    setDocumentFormat(document.format);
    // The same text again is no change at all.
    if (document.text.size() == Memo1->size() && document.text == Memo1->text()) return;
    Memo1->setText(document.text);
}

void TForm1::Action13Execute() {
    if (const auto path = m_services.dialogs.saveFile(this, m_saveDialog2))
        writeWorkbenchDocument(*path, documentBytes(Memo1->text(), m_documentFormat));
}

void TForm1::setDocumentFormat(const DocumentFormat& format) {
    m_documentFormat = format;
    StatusBar1->setText(5, QString::fromLatin1(encodingName(format)));
    StatusBar1->panel(5)->setToolTip(format.byteOrderMark ? QStringLiteral("文档编码（带BOM）")
                                                          : QStringLiteral("文档编码"));
}

void TForm1::Action14Execute() {
    // The one place that decides which folder Preview works in.
    const std::filesystem::path programFolder = m_services.files.programFolder();
    preview(m_services.files, m_services.shell, programFolder,
            fromQString(ComboBox5->currentText()), Memo1->text());
}

void TForm1::Memo1Change() {
    if (const auto row =
            m_wordPrefixSearch.run(*Memo1, Memo1->selectionStart(), m_clipList, m_collator))
        m_clipList.select(*row);
    CheckListBox1Click();
}

} // namespace zub
