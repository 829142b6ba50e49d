#pragma once

// Commands on the clip list as a whole. Sort, Invert and Delete are ClipList's own
// (setSorted, invertChecks, removeChecked); what lives here needs more than one of its steps.

#include <cstddef>
#include <vector>

namespace zub {

class ClipList;

// Trims the bytes 0..32 from both ends of every entry in place, deletes the entries left empty,
// then checks every entry that repeats an earlier one byte for byte. Rows, marks and the
// selection follow the usual rules of rewriting and deleting; a sorted list is not re-sorted.
void tidy(ClipList& list);

// One flag per row: set when the entry equals an earlier entry exactly. Linear in the list's
// size, with the same result as comparing every pair.
std::vector<bool> repeatedEntries(const ClipList& list);

// Moves the selected entry, with its check mark, to row `to` and selects it there. Nothing when
// no entry is selected or `to` is past the end.
void moveSelected(ClipList& list, std::size_t to);

} // namespace zub
