#pragma once

#include "platform/shell.h"

namespace zub {

// ShellExecuteW with the verb "open": the target goes to the shell whole, as wide characters,
// so that no character of a name is lost whatever the system's ANSI code page; the shell's
// result is handed back as it is.
class Win32Shell : public Shell {
public:
    int open(std::string_view target) override;
};

} // namespace zub
