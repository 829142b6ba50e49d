#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

class ClipList;

// The clip list's keyboard selection: characters typed in quick succession form a prefix, and
// the first entry that begins with it (ignoring case) is the one to select.
class TypeAhead {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kPause{500};

    // One typed character (its code-page bytes). Returns the row to select, if any.
    std::optional<std::size_t> type(const ClipList& list, std::string_view character,
                                    Clock::time_point now);
    // Backspace takes the last character off; an emptied prefix selects the first entry.
    std::optional<std::size_t> backspace(const ClipList& list, Clock::time_point now);

    const std::string& prefix() const { return m_prefix; }

private:
    void startOrContinue(Clock::time_point now);
    std::optional<std::size_t> find(const ClipList& list) const;

    std::string m_prefix;
    std::optional<Clock::time_point> m_lastKey;
};

} // namespace zub
