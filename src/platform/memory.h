#pragma once

#include <cstddef>
#include <memory>

namespace zub {

// Asks the system to back a large buffer, not yet touched, with huge pages. Filling tens of
// megabytes (an opened document, the index of a million entries) otherwise costs one page fault
// per 4 KiB, which under virtualisation is most of the time spent. A hint only: small buffers,
// systems without huge pages and refusals are all fine.
void adviseHugePages(const void* data, std::size_t bytes);

// Sets the memory allocator's policy for a program that holds large lists: large buffers are
// mapped on their own and given back when freed. Called once at start.
void settleMemoryPolicy();

// An allocator that gives the advice for every allocation large enough to use it.
template <typename T> struct HugePageAllocator {
    using value_type = T;
    HugePageAllocator() = default;
    template <typename U> HugePageAllocator(const HugePageAllocator<U>&) {}
    T* allocate(std::size_t n) {
        T* p = std::allocator<T>().allocate(n);
        adviseHugePages(p, n * sizeof(T));
        return p;
    }
    void deallocate(T* p, std::size_t n) { std::allocator<T>().deallocate(p, n); }
    template <typename U> bool operator==(const HugePageAllocator<U>&) const { return true; }
};

} // namespace zub
