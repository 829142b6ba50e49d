// Handlers of the commands on clip entries and on the whole list.

#include "app/busy_cursor.h"
#include "app/tform1.h"
#include "app/up_down.h"
#include "cliplist/bulk_commands.h"
#include "cliplist/clip_list_view.h"
#include "cliplist/edit_box.h"
#include "cliplist/entry_commands.h"

#include <QAction>
#include <QMenu>

namespace zub {

void TForm1::connectListCommands() {
    auto on = [this](QAction* action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { guard([this, handler] { (this->*handler)(); }); });
    };
    on(action(QStringLiteral("Action5")), &TForm1::Action5Execute);
    on(action(QStringLiteral("Action6")), &TForm1::Action6Execute);
    on(action(QStringLiteral("Action7")), &TForm1::Action7Execute);
    on(action(QStringLiteral("Action8")), &TForm1::Action8Execute);
    on(Z4, &TForm1::Z4Click);
    connect(CheckListBox1, &ClipListView::doubleClicked, this,
            [this] { guard([this] { CheckListBox1DblClick(); }); });
    connect(CheckListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        guard([this] { CheckListBox1ContextPopup(); });
        PopupMenu1->popup(CheckListBox1->viewport()->mapToGlobal(pos));
    });
    connect(m_editBox, &EditBox::userChanged, this,
            [this] { guard([this] { ComboBox1Change(); }); });
}

void TForm1::CheckListBox1DblClick() {
    const auto text = recallText(m_clipList);
    if (!text) return;
    {
        // One change: emptied and filled under one opening of the clipboard.
        ClipboardWrite write(m_services.clipboard);
        m_services.clipboard.empty();
        m_services.clipboard.setText(*text);
    }
    m_editBox->setTextByProgram(*text);
    m_editBox->remember(*text);
}

void TForm1::Action7Execute() {
    const auto row = m_clipList.selection();
    if (!row) return;
    if (auto entry = returnedEntry(m_clipList.text(*row), m_editBox->text()))
        m_clipList.rewrite(*row, std::move(*entry));
}

void TForm1::Z4Click() {
    const auto row = m_clipList.selection();
    if (!row) return;
    const std::string entry(m_clipList.text(*row));
    const std::string current = commentDefault(entry);
    // Cancel answers the comment as it stands.
    const std::string reply =
        m_services.dialogs
            .inputBox(this, QStringLiteral("注释  "), QStringLiteral("内容  "), current, 255)
            .value_or(current);
    if (auto rewritten = commentedEntry(entry, reply))
        m_clipList.rewrite(*row, std::move(*rewritten));
    CheckListBox1Click();
}

void TForm1::ComboBox1Change() {
    if (const auto row = m_clipList.findContaining(m_editBox->text())) m_clipList.select(*row);
    CheckListBox1Click();
}

void TForm1::CheckListBox1ContextPopup() {
    const bool selected = m_clipList.selection().has_value();
    T2->setEnabled(selected);
    Z4->setEnabled(selected);
}

void TForm1::UpDown1Click() {
    // The control holds whole row numbers, so its position is the row to move the entry to.
    moveSelected(m_clipList, static_cast<std::size_t>(std::max(0, UpDown1->position())));
    CheckListBox1Click();
}

void TForm1::Action5Execute() {
    const BusyCursor busy;
    tidy(m_clipList);
    CheckListBox1Click();
}

void TForm1::Action6Execute() {
    m_clipList.invertChecks();
}

void TForm1::Action8Execute() {
    m_clipList.removeChecked();
    CheckListBox1Click();
}

} // namespace zub
