#pragma once

#include <string>

namespace zub {

class ClipList;

// What the window shows about the selected entry: the list's tool tip, the entry number and
// count, the entry's comment, and the reorder control's range and position. Texts are code-page
// bytes.
struct SelectionDisplay {
    std::string hint;
    std::string number;  // "3/10", or "就绪" with nothing selected
    std::string comment; // the entry comment, "无" without a marker, empty with nothing selected
    int reorderMinimum = 0;
    int reorderPosition = 0;
};

SelectionDisplay selectionDisplay(const ClipList& list);

} // namespace zub
