#include "cliplist/edit_box_completion.h"

#include "cliplist/recent_list.h"
#include "text/codepage.h"

#include <algorithm>

namespace zub {

namespace {
// The widget's positions come from another encoding; never let a stale one read past the text.
void clampSelection(std::string_view field, std::size_t& start, std::size_t& length) {
    start = std::min(start, field.size());
    length = std::min(length, field.size() - start);
}
} // namespace

EditResult EditBoxCompletion::typeCharacter(std::string_view field, std::size_t selectionStart,
                                            std::size_t selectionLength, std::string_view character,
                                            const RecentList& recent) {
    clampSelection(field, selectionStart, selectionLength);
    // The typed text is what the field would read if the character went at its end: the part
    // before a selection (which typing replaces), or else the whole field, wherever the caret.
    std::string typed(selectionLength > 0 ? field.substr(0, selectionStart) : field);
    typed += character;

    for (std::size_t index = 0; index < recent.size(); ++index) {
        const std::string& item = recent.item(index);
        if (!cp::startsWithNoCase(item, typed)) continue;
        // The typed part keeps the case the user typed it in; only the rest comes from the item.
        EditResult result;
        result.selectionStart = typed.size();
        result.selectionLength = item.size() - typed.size();
        result.text = std::move(typed);
        result.text.append(item, result.selectionStart);
        result.runSearch = m_lastCompletedItem != index;
        m_lastCompletedItem = index;
        return result;
    }

    // Nothing completes: the character goes in at the caret, over the selection.
    EditResult result;
    result.text = std::string(field.substr(0, selectionStart));
    result.text += character;
    result.selectionStart = result.text.size();
    result.text += field.substr(selectionStart + selectionLength);
    result.runSearch = true;
    m_lastCompletedItem.reset();
    return result;
}

EditResult EditBoxCompletion::backspace(std::string_view field, std::size_t selectionStart,
                                        std::size_t selectionLength) {
    clampSelection(field, selectionStart, selectionLength);
    std::size_t from = selectionStart;
    std::size_t to = selectionStart + selectionLength;
    if (selectionLength == 0) from = cp::previousCharStart(field, selectionStart);

    EditResult result;
    result.text = std::string(field.substr(0, from));
    result.text += field.substr(to);
    result.selectionStart = from;
    result.runSearch = true;
    m_lastCompletedItem.reset();
    return result;
}

EditResult EditBoxCompletion::pickItem(std::size_t index, const RecentList& recent) {
    EditResult result;
    result.text = recent.items().at(index);
    result.selectionStart = result.text.size();
    result.runSearch = true;
    m_lastCompletedItem = index;
    return result;
}

bool EditBoxCompletion::userEdited() {
    m_lastCompletedItem.reset();
    return true;
}

} // namespace zub
