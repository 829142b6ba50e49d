#include "workbench/workbench_search.h"

#include "workbench/workbench_edit.h"

namespace zub {

WorkbenchSearch::WorkbenchSearch(WorkbenchEdit* editor, QWidget* owner, Hooks hooks)
    : QObject(owner), m_editor(editor), m_owner(owner), m_hooks(std::move(hooks)) {}

SearchDialog* WorkbenchSearch::dialog(SearchDialog::Kind kind) {
    SearchDialog*& made = kind == SearchDialog::Kind::Find ? m_findDialog : m_replaceDialog;
    if (made) return made;
    made = new SearchDialog(kind, m_owner);
    SearchDialog* d = made;
    auto on = [this, d](auto signal, void (WorkbenchSearch::*work)(SearchDialog&)) {
        connect(d, signal, this,
                [this, d, work] { m_hooks.run([this, d, work] { (this->*work)(*d); }); });
    };
    on(&SearchDialog::findNextClicked, &WorkbenchSearch::findNext);
    on(&SearchDialog::replaceClicked, &WorkbenchSearch::replace);
    on(&SearchDialog::replaceAllClicked, &WorkbenchSearch::replaceAll);
    return made;
}

void WorkbenchSearch::showFind() {
    dialog(SearchDialog::Kind::Find)->present();
}

void WorkbenchSearch::showReplace() {
    dialog(SearchDialog::Kind::Replace)->present();
}

std::optional<std::uint64_t> WorkbenchSearch::locate(const TextSearch& search, bool down) const {
    const std::uint64_t start = m_editor->selectionStart();
    // The whole text as bytes, which the editor keeps until the next change: Find Next pressed
    // again costs only the search.
    const std::string_view all = m_editor->text();
    if (down) {
        // Only the text after the selection, where the search begins.
        const std::uint64_t end = start + m_editor->selectionLength();
        const auto match = search.findDown(all.substr(std::min<std::uint64_t>(end, all.size())), 0);
        return match ? std::optional<std::uint64_t>(end + *match) : std::nullopt;
    }
    // The text before the selection, and the character after it for a word's end.
    const auto match = search.findUp(all.substr(0, start + 4), start);
    return match ? std::optional<std::uint64_t>(*match) : std::nullopt;
}

void WorkbenchSearch::select(std::uint64_t start, std::uint64_t length) {
    // The dialog keeps the focus; the editor shows its selection all the same.
    m_editor->selectBytes(start, length);
    m_editor->ensureCursorVisible();
}

void WorkbenchSearch::findNext(SearchDialog& dialog) {
    const std::string findText = dialog.findText();
    const TextSearch search(findText, dialog.options());
    if (const auto match = locate(search, dialog.searchesDown()))
        select(*match, search.length());
    else
        m_hooks.notFound(&dialog, findText);
}

void WorkbenchSearch::replace(SearchDialog& dialog) {
    const std::string findText = dialog.findText();
    const TextSearch search(findText, dialog.options());
    const std::uint64_t selected = m_editor->selectionLength();
    if (selected > 0 &&
        search.equalsIgnoringCase(m_editor->bytes(m_editor->selectionStart(), selected))) {
        // The match that Find Next selected: replaced (a change, with all that it sets off),
        // then the next one is selected, if there is one, without a word.
        m_editor->replaceSelection(dialog.replaceText());
        if (const auto match = locate(search, true)) select(*match, search.length());
        return;
    }
    if (const auto match = locate(search, true)) {
        select(*match, search.length());
        m_editor->replaceSelection(dialog.replaceText());
    } else {
        m_hooks.notFound(&dialog, findText);
    }
}

void WorkbenchSearch::replaceAll(SearchDialog& dialog) {
    const std::string findText = dialog.findText();
    const TextSearch search(findText, dialog.options());
    const std::string text = m_editor->text();
    const ReplaceAllResult result =
        zub::replaceAll(text, m_editor->selectionStart(), m_editor->selectionLength(), search,
                        dialog.replaceText());
    if (result.empty()) {
        m_hooks.notFound(&dialog, findText);
        return;
    }
    m_editor->replaceBytesQuietly(result.changeStart, result.oldChangeEnd - result.changeStart,
                                  result.changed, result.caret());
    m_hooks.replacedAll(text, result);
}

} // namespace zub
