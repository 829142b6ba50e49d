#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

namespace zub {

// What another start of the program asks of the one already running.
enum class InstanceRequest {
    Capture, // a manual capture, as the hot key makes
    Show,    // bring the window up
};

// What the command line asks for: either a run of the program, possibly with a list document to
// open at start, or an immediate exit with a text to print.
struct CommandLine {
    // The document to open, as an absolute path: the program may change its current folder
    // before it gets to it.
    std::optional<std::filesystem::path> document;
    // Set when the program is to print and exit rather than run.
    std::optional<int> exitCode;
    // --version: the caller adds which backend a start would use.
    bool printsVersion = false;
    // --capture or --show: asks the program already running in this session, if there is one.
    std::optional<InstanceRequest> request;
    QString standardOutput;
    QString standardError;
};

// The exit status for a command line the program does not understand.
inline constexpr int kUsageExitCode = 2;

// Reads the program's arguments (the first one being the program's own name): --help and
// --version print and exit, --capture and --show are requests to the running program, anything
// unknown prints a short usage to the error stream and exits with kUsageExitCode, and one name of a
// file is the list document to open. Needs a QCoreApplication for the program's name and version.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace zub
