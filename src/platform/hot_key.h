#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace zub {

// Modifier flags and key codes as the Windows hot-key message reports them, so that the handler
// can test them the same way on every system.
namespace hotkey {
inline constexpr unsigned kAlt = 1;
inline constexpr unsigned kControl = 2;
inline constexpr unsigned kShift = 4;
inline constexpr unsigned kKeyR = 82; // virtual key of the letter R
} // namespace hotkey

// System-wide hot keys: a key combination that reaches the program whichever window is active.
class HotKey {
public:
    // Receives the modifiers and key code of each press of a registered hot key.
    using Handler = std::function<void(unsigned modifiers, unsigned key)>;

    virtual ~HotKey() = default;

    // An identifier from the global atom table for `name` (the same name gives the same atom).
    virtual std::uint16_t addAtom(std::string_view name) = 0;

    // Registers modifiers+key under `id`. Returns false, silently, when the combination cannot
    // be had (another program holds it); the program carries on without it.
    virtual bool registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                                Handler handler) = 0;
    virtual void unregisterHotKey(std::uint16_t id) = 0;
};

} // namespace zub
