#pragma once

#include "platform/atom_table.h"

#include "platform/hot_key.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zub {

// Global hot keys as Windows keeps them: an atom table, and registrations that fail when the
// combination is already taken, by another program or by an earlier registration.
class SimHotKey : public HotKey {
public:
    std::uint16_t addAtom(std::string_view name) override;
    bool registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                        Handler handler) override;
    void unregisterHotKey(std::uint16_t id) override;

    // Another program registers the combination first.
    void takeByOtherProgram(unsigned modifiers, unsigned key);
    // The user presses the combination anywhere on the desktop. Returns whether a handler of the
    // program got it (not when nobody, or another program, holds it).
    bool press(unsigned modifiers, unsigned key);
    bool isRegistered(unsigned modifiers, unsigned key) const;
    // A hot-key message for `id` carrying whatever modifiers and key the test likes, so that tests
    // can check that the program looks at them itself.
    void deliver(std::uint16_t id, unsigned modifiers, unsigned key);

private:
    struct Registration {
        std::uint16_t id;
        unsigned modifiers;
        unsigned key;
        Handler handler;
    };

    bool isTaken(unsigned modifiers, unsigned key) const;

    AtomTable m_atoms;
    std::vector<Registration> m_registrations;
    std::set<std::pair<unsigned, unsigned>> m_takenByOthers;
};

} // namespace zub
