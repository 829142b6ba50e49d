#include "platform/sim/sim_hot_key.h"

#include <algorithm>

namespace zub {

std::uint16_t SimHotKey::addAtom(std::string_view name) {
    return m_atoms.add(name);
}

bool SimHotKey::registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                               Handler handler) {
    if (isTaken(modifiers, key)) return false;
    m_registrations.push_back(Registration{id, modifiers, key, std::move(handler)});
    return true;
}

void SimHotKey::unregisterHotKey(std::uint16_t id) {
    std::erase_if(m_registrations, [id](const Registration& r) { return r.id == id; });
}

void SimHotKey::takeByOtherProgram(unsigned modifiers, unsigned key) {
    m_takenByOthers.emplace(modifiers, key);
}

bool SimHotKey::press(unsigned modifiers, unsigned key) {
    if (m_takenByOthers.contains({modifiers, key})) return false;
    for (const Registration& r : m_registrations) {
        if (r.modifiers == modifiers && r.key == key) {
            // A copy: the handler may unregister itself.
            const Handler handler = r.handler;
            handler(modifiers, key);
            return true;
        }
    }
    return false;
}

bool SimHotKey::isRegistered(unsigned modifiers, unsigned key) const {
    return std::any_of(m_registrations.begin(), m_registrations.end(), [&](const Registration& r) {
        return r.modifiers == modifiers && r.key == key;
    });
}

void SimHotKey::deliver(std::uint16_t id, unsigned modifiers, unsigned key) {
    for (const Registration& r : m_registrations) {
        if (r.id == id) {
            const Handler handler = r.handler;
            handler(modifiers, key);
            return;
        }
    }
}

bool SimHotKey::isTaken(unsigned modifiers, unsigned key) const {
    return m_takenByOthers.contains({modifiers, key}) || isRegistered(modifiers, key);
}

} // namespace zub
