#pragma once

#include <string_view>

namespace zub {

// Results of Shell::open, numbered as the Windows shell numbers them: anything above
// kLastFailure means the target was opened.
namespace shell_result {
inline constexpr int kFileNotFound = 2;
inline constexpr int kNoAssociation = 31;
inline constexpr int kLastFailure = 32;
inline constexpr int kOpened = 42;
} // namespace shell_result

// The desktop's "open this": a file or folder in its usual program, a program started, a web
// address in the browser. The target is code-page bytes and is handed over whole, never split
// into a program and its arguments. Never blocks for long and never throws.
class Shell {
public:
    virtual ~Shell() = default;
    // Above shell_result::kLastFailure when the target was opened.
    virtual int open(std::string_view target) = 0;
};

inline bool opened(int shellResult) {
    return shellResult > shell_result::kLastFailure;
}

} // namespace zub
