#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

// Other programs on the test display: xclip copies and reads, xdotool types. None of these
// helpers blocks the event loop while it waits, because this very process may own the clipboard
// and has to answer the requests. Without a QCoreApplication they simply block.
namespace zub::e2e {

using namespace std::chrono_literals;

// Runs the event loop until `done` holds or `timeout` passes; whether it holds.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);

// The longest the window's thread took to take up a call posted to it from another thread,
// sampled every few milliseconds while this lives: how long the window was frozen, measured from
// outside it.
class FreezeWatch {
public:
    FreezeWatch();
    ~FreezeWatch();
    FreezeWatch(const FreezeWatch&) = delete;
    FreezeWatch& operator=(const FreezeWatch&) = delete;
    long longestMs() const { return m_longest; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_longest{0};
    std::thread m_thread;
};

// Terminates a helper process that is still running and waits for it.
struct StopProcess {
    void operator()(QProcess* process) const;
};
using OwnedProcess = std::unique_ptr<QProcess, StopProcess>;

struct ToolResult {
    bool finished = false; // false: it did not start, crashed or timed out
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool ok() const { return finished && exitCode == 0; }
};

// Runs a program to the end, feeding it `input`.
ToolResult runTool(const QString& program, const QStringList& args, const QByteArray& input = {},
                   std::chrono::milliseconds timeout = 10s);

// Another program copies `data` (UTF-8 text by default; use target "image/png" for a picture).
// `xclip -quiet` serves the clipboard until another client takes it over, so the returned process
// is the clipboard's owner: destroy it and the content is gone, as when a program quits.
// Returns once xclip owns the clipboard (null if it never did).
OwnedProcess copyWithXclip(const std::string& data,
                           const QString& target = QStringLiteral("UTF8_STRING"));

// A test program that owns the clipboard as told (see selection_owner.cpp for its options),
// serving `text`. Returns once it owns the clipboard (null if it never did).
OwnedProcess startSelectionOwner(const QStringList& options, const QString& text);
// Waits until the owner has printed `line` (such as "done").
bool waitForLine(QProcess& process, const QByteArray& line,
                 std::chrono::milliseconds timeout = 10s);

// What another program pastes (`xclip -o`): nullopt when the clipboard has no such content.
std::optional<std::string> readWithXclip(const QString& target = QStringLiteral("UTF8_STRING"));

// `xdotool key <keys>`, e.g. "ctrl+r"; whether xdotool succeeded. xdotool lets go of the
// modifiers before the key.
bool xdotoolKey(const QString& keys);
// Any xdotool command line, e.g. {"keydown", "ctrl", "keydown", "r", "keyup", "r", "keyup", "ctrl"}
// for the order in which a person usually presses and releases.
bool xdotool(const QStringList& args);

// A picture of the whole screen (`import -window root`), for looking at a failure afterwards.
bool screenshot(const QString& pngPath);

// Shows a picture on the root window (`display -window root`): the desktop behind every window,
// which the server itself repaints wherever a window goes away.
bool setRootPicture(const QString& pngPath);

} // namespace zub::e2e
