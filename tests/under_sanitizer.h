#pragma once

namespace zub::test {

// True when the process runs under AddressSanitizer, whose allocator ends the process on
// exhaustion instead of throwing std::bad_alloc, maps terabytes of shadow memory and holds freed
// memory in quarantine: memory figures mean nothing there.
constexpr bool underAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

} // namespace zub::test
