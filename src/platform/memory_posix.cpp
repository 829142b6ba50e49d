#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace zub {

void adviseHugePages(const void* data, std::size_t bytes) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    // Only whole huge pages inside the buffer can be one.
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
    if (last <= first) return;
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void settleMemoryPolicy() {
    // glibc raises its threshold for mapping blocks of their own each time such a block is freed,
    // so that after opening one document the temporary buffers of the next come from the heap
    // and stay resident once freed. Fixed thresholds keep large buffers mapped, and returned.
    ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
}

} // namespace zub
