#include "cliplist/recent_list.h"

#include <algorithm>

namespace zub {

bool RecentList::remember(std::string text) {
    if (std::find(m_items.begin(), m_items.end(), text) != m_items.end()) return false;
    // Never more than six items, so inserting at the front costs nothing worth avoiding.
    m_items.insert(m_items.begin(), std::move(text));
    if (m_items.size() > kCapacity) m_items.pop_back();
    return true;
}

} // namespace zub
