#include "cliplist/type_ahead.h"

#include "cliplist/clip_list.h"
#include "text/codepage.h"

namespace zub {

void TypeAhead::startOrContinue(Clock::time_point now) {
    if (m_lastKey && now - *m_lastKey >= kPause) m_prefix.clear();
    m_lastKey = now;
}

std::optional<std::size_t> TypeAhead::type(const ClipList& list, std::string_view character,
                                           Clock::time_point now) {
    startOrContinue(now);
    m_prefix += character;
    return find(list);
}

std::optional<std::size_t> TypeAhead::backspace(const ClipList& list, Clock::time_point now) {
    startOrContinue(now);
    if (!m_prefix.empty()) m_prefix.erase(cp::previousCharStart(m_prefix, m_prefix.size()));
    if (m_prefix.empty()) return list.empty() ? std::nullopt : std::optional<std::size_t>(0);
    return find(list);
}

std::optional<std::size_t> TypeAhead::find(const ClipList& list) const {
    const cp::NoCaseFinder finder(m_prefix);
    for (std::size_t row = 0; row < list.size(); ++row)
        if (finder.isPrefixOf(list.text(row))) return row;
    return std::nullopt;
}

} // namespace zub
