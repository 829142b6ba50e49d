#pragma once

#include "platform/atom_table.h"
#include "platform/hot_key.h"

namespace zub {

// Wayland lets no client take a key for itself: a key that works everywhere is the desktop's to
// bind, to `zub --capture` (see the README). Registration therefore fails, as it does on X11
// when another program holds the key, and the command's own shortcut works in the window.
class WaylandHotKey : public HotKey {
public:
    std::uint16_t addAtom(std::string_view name) override { return m_atoms.add(name); }
    bool registerHotKey(std::uint16_t, unsigned, unsigned, Handler) override { return false; }
    void unregisterHotKey(std::uint16_t) override {}

private:
    AtomTable m_atoms;
};

} // namespace zub
