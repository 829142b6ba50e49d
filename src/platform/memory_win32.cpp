#include "platform/memory.h"

namespace zub {

// Windows backs memory with large pages only for a process holding the lock-pages privilege,
// and only for allocations made for it from the start; advice after the fact does not exist.
void adviseHugePages(const void*, std::size_t) {}

// The Windows heap already maps large blocks on their own and gives them back when freed.
void settleMemoryPolicy() {}

} // namespace zub
