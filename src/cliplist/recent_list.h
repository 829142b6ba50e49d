#pragma once

// The edit box's drop-down items: the texts recall put there, newest first, without repeats.

#include <cstddef>
#include <string>
#include <vector>

namespace zub {

class RecentList {
public:
    static constexpr std::size_t kCapacity = 5;

    // Puts `text` on top unless an equal item (byte for byte) is already there, which keeps its
    // place; the bottom item goes when the list overflows. Returns whether it inserted.
    bool remember(std::string text);
    void clear() { m_items.clear(); }

    const std::vector<std::string>& items() const { return m_items; }
    std::size_t size() const { return m_items.size(); }
    const std::string& item(std::size_t index) const { return m_items[index]; }

private:
    std::vector<std::string> m_items;
};

} // namespace zub
