#pragma once

#include "platform/shell.h"

#include <QString>
#include <QStringList>

namespace zub {

// The desktop's "open" on Linux: URLs and existing files or folders go to xdg-open, which picks
// the user's browser or the program for the file's type; an executable named by the whole text
// (a path, or a name found in PATH) is started with no arguments; anything else fails.
//
// The text never passes through a shell: every process is started from an argument vector, so
// that clipboard text such as "$(...)" or "; rm -rf ~" stays a name. Processes are started
// detached in a session of their own and are reaped at once, so neither xdg-open nor the program
// it starts can turn into a zombie or make the window wait for it.
class XdgShell : public Shell {
public:
    int open(std::string_view target) override;

private:
    static bool startDetached(const QString& program, const QStringList& arguments);
};

} // namespace zub
