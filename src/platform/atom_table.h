#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace zub {

// Names turned into 16-bit identifiers the way the Windows global atom table does it: the same
// name, in any case, always gives the same identifier, counted from 0xC000.
class AtomTable {
public:
    std::uint16_t add(std::string_view name) {
        std::string key(name);
        for (char& c : key)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        const auto [it, added] =
            m_atoms.emplace(std::move(key), static_cast<std::uint16_t>(0xC000 + m_atoms.size()));
        return it->second;
    }

private:
    std::map<std::string, std::uint16_t> m_atoms;
};

} // namespace zub
