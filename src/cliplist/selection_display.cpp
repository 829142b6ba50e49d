#include "cliplist/selection_display.h"

#include "cliplist/clip_entry.h"
#include "cliplist/clip_list.h"
#include "text/codepage.h"

namespace zub {

SelectionDisplay selectionDisplay(const ClipList& list) {
    SelectionDisplay d;
    const auto row = list.selection();
    if (!row) {
        d.number = cp::fromUtf16(u"就绪");
        return d;
    }
    const std::string_view entry = list.text(*row);
    const auto comment = entryComment(entry);
    d.hint = entry;
    d.number = std::to_string(*row + 1) + "/" + std::to_string(list.size());
    d.comment = comment ? std::string(*comment) : cp::fromUtf16(u"无");
    // The reorder control counts rows backwards from the last (its minimum) to the first (its
    // maximum, always 0). It holds full row numbers so that every row of a long list can move.
    d.reorderMinimum = static_cast<int>(list.size()) - 1;
    d.reorderPosition = static_cast<int>(*row);
    return d;
}

} // namespace zub
