#pragma once

// How the edit box answers the user's typing: completion from the recent list, Backspace, and
// when a change of its text runs the edit-box search. Positions are byte offsets into the
// field's code-page text, so the widget only converts them to and from its own positions.
//
// Driving it from a combo box's line edit: on a key that types one character, or Backspace, pass
// the field's text and selection (a plain caret is a selection of length 0), show the result's
// text, select selectionLength bytes from selectionStart with the caret at the end of them, and
// search when runSearch says so. On a pick from the drop-down use pickItem(); on any other
// change the user makes (paste, cut, Delete) call userEdited(); whenever the program itself sets
// or empties the text, call reset().

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

class RecentList;

struct EditResult {
    std::string text;
    std::size_t selectionStart = 0;
    std::size_t selectionLength = 0;
    bool runSearch = false;
};

class EditBoxCompletion {
public:
    // `character` is one character of the code page (1, 2 or 4 bytes). The typed text is the
    // text before the selection, or the whole field when nothing is selected (wherever the caret
    // stands), followed by the character. When it begins a recent-list item, ignoring case, the
    // field completes to the first such item with the completed rest selected; otherwise the
    // character goes in at the caret, replacing the selection. A completion to the item completed
    // last time is not a change that searches.
    EditResult typeCharacter(std::string_view field, std::size_t selectionStart,
                             std::size_t selectionLength, std::string_view character,
                             const RecentList& recent);

    // Deletes the selection, or else the whole character before the caret. Always searches,
    // even on an empty field.
    EditResult backspace(std::string_view field, std::size_t selectionStart,
                         std::size_t selectionLength);

    // The user picked item `index` (which must exist) from the drop-down.
    EditResult pickItem(std::size_t index, const RecentList& recent);

    // Any other change by the user; returns whether to search, which is always.
    bool userEdited();

    // The program set or emptied the text: no search, and the next completion is a switch.
    void reset() { m_lastCompletedItem.reset(); }

    std::optional<std::size_t> lastCompletedItem() const { return m_lastCompletedItem; }

private:
    std::optional<std::size_t> m_lastCompletedItem;
};

} // namespace zub
