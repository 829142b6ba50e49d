#include "x11_tools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <thread>

namespace zub::e2e {
namespace {

// The tools are Linux programs; a test program running under Wine starts them by their Unix
// path, which Wine runs natively.
QString toolPath(const QString& program) {
#ifdef _WIN32
    if (!program.contains(u'/')) return QStringLiteral("/usr/bin/") + program;
#endif
    return program;
}

bool haveEventLoop() {
    return QCoreApplication::instance() != nullptr;
}

// Waits for the process to end without starving the event loop.
[[maybe_unused]] bool waitForEnd(QProcess& process, std::chrono::milliseconds timeout) {
    if (process.state() == QProcess::NotRunning) return true;
    if (!haveEventLoop()) return process.waitForFinished(static_cast<int>(timeout.count()));
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning) loop.exec();
    return process.state() == QProcess::NotRunning;
}

} // namespace

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeout.count()) return false;
        if (haveEventLoop()) {
            // A short nap inside the event loop: events are handled, the processor is not spun.
            QEventLoop pause;
            QTimer::singleShot(10, &pause, &QEventLoop::quit);
            pause.exec();
        } else {
            std::this_thread::sleep_for(10ms);
        }
    }
    return true;
}

FreezeWatch::FreezeWatch()
    : m_thread([this] {
          while (!m_stop) {
              const auto posted = std::chrono::steady_clock::now();
              // The moment the window's thread takes the call, not when this one notices.
              auto taken = std::make_shared<std::atomic<std::int64_t>>(-1);
              QMetaObject::invokeMethod(
                  qApp,
                  [posted, taken] {
                      *taken = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - posted)
                                   .count();
                  },
                  Qt::QueuedConnection);
              while (*taken < 0 && !m_stop) std::this_thread::sleep_for(1ms);
              m_longest = std::max<long>(m_longest.load(), long(taken->load()));
              std::this_thread::sleep_for(5ms);
          }
      }) {}

FreezeWatch::~FreezeWatch() {
    m_stop = true;
    m_thread.join();
}

void StopProcess::operator()(QProcess* process) const {
    if (process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    delete process;
}

#ifdef _WIN32
namespace {

// Wine starts a Linux program but hands back no handle that lives as long as it does, so a
// Linux tool runs under sh, which leaves its output and exit code in files in /tmp (Wine's Z:),
// and those are waited for.
class UnixScratch {
public:
    UnixScratch() : m_dir(QStringLiteral("Z:/tmp/zub-tool-XXXXXX")) {}
    // The name of a file in it as Linux programs see it, and as this one does.
    QString unixPath(const QString& name) const {
        return m_dir.filePath(name).mid(2).replace(u'\\', u'/');
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Starts `program` under sh, its input from `input`; it writes `code` when it ends.
void startUnix(const UnixScratch& scratch, const QString& program, const QStringList& args,
               const QByteArray& input) {
    QFile in(scratch.path(QStringLiteral("in")));
    in.open(QIODevice::WriteOnly);
    in.write(input);
    in.close();
    const QString script =
        QStringLiteral("cd %1 && \"$0\" \"$@\" <in >out 2>err; { echo $? >code.new && "
                       "mv code.new code; } 2>/dev/null")
            .arg(scratch.unixPath(QString()));
    QProcess::startDetached(QStringLiteral("/bin/sh"),
                            QStringList{QStringLiteral("-c"), script, toolPath(program)} + args);
}

} // namespace
#endif

ToolResult runTool(const QString& program, const QStringList& args, const QByteArray& input,
                   std::chrono::milliseconds timeout) {
    ToolResult result;
#ifdef _WIN32
    const UnixScratch scratch;
    startUnix(scratch, program, args, input);
    const QString code = scratch.path(QStringLiteral("code"));
    if (!waitUntil([&] { return QFile::exists(code); }, timeout)) return result;
    result.finished = true;
    result.exitCode = readAll(code).trimmed().toInt();
    result.out = readAll(scratch.path(QStringLiteral("out")));
    result.err = readAll(scratch.path(QStringLiteral("err")));
    return result;
#else
    QProcess process;
    process.start(toolPath(program), args);
    if (!process.waitForStarted(5000)) return result;
    if (!input.isEmpty()) process.write(input);
    process.closeWriteChannel();
    if (!waitForEnd(process, timeout)) {
        process.kill();
        process.waitForFinished(3000);
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
#endif
}

OwnedProcess copyWithXclip(const std::string& data, const QString& target) {
#ifdef _WIN32
    // Nor does it pass a Linux program what is written to its input: xclip reads a file.
    const UnixScratch scratch;
    startUnix(scratch, QStringLiteral("xclip"),
              {QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
               QStringLiteral("-t"), target},
              QByteArray::fromStdString(data));
    // It serves until another program takes the clipboard; there is nothing to hold it by.
    if (!waitUntil([&] { return readWithXclip(target) == data; })) return nullptr;
    return OwnedProcess(new QProcess);
#else
    OwnedProcess xclip(new QProcess);
    // Its output is of no interest, and an unread pipe could fill up.
    xclip->setStandardOutputFile(QProcess::nullDevice());
    xclip->setStandardErrorFile(QProcess::nullDevice());
    xclip->start(toolPath(QStringLiteral("xclip")),
                 {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                  QStringLiteral("clipboard"), QStringLiteral("-t"), target});
    if (!xclip->waitForStarted(5000)) return nullptr;
    xclip->write(data.data(), static_cast<qint64>(data.size()));
    xclip->waitForBytesWritten(5000);
    // xclip takes the clipboard once its input ends.
    xclip->closeWriteChannel();

    const bool owns = waitUntil([&] {
        if (xclip->state() == QProcess::NotRunning) return true;
        const std::optional<std::string> served = readWithXclip(target);
        return served && *served == data;
    });
    if (!owns || xclip->state() == QProcess::NotRunning) return nullptr;
    return xclip;
#endif
}

// The owner program is a Linux one, built beside the Linux tests only.
#ifdef ZUB_SELECTION_OWNER
OwnedProcess startSelectionOwner(const QStringList& options, const QString& text) {
    OwnedProcess owner(new QProcess);
    owner->setStandardErrorFile(QProcess::nullDevice());
    owner->start(QStringLiteral(ZUB_SELECTION_OWNER), QStringList(options) << text);
    if (!owner->waitForStarted(5000) || !waitForLine(*owner, "owned")) return nullptr;
    return owner;
}
#endif

bool waitForLine(QProcess& process, const QByteArray& line, std::chrono::milliseconds timeout) {
    QByteArray seen;
    return waitUntil(
        [&] {
            seen += process.readAllStandardOutput();
            return seen.split('\n').contains(line);
        },
        timeout);
}

std::optional<std::string> readWithXclip(const QString& target) {
    const ToolResult result = runTool(QStringLiteral("xclip"),
                                      {QStringLiteral("-o"), QStringLiteral("-selection"),
                                       QStringLiteral("clipboard"), QStringLiteral("-t"), target});
    if (!result.ok()) return std::nullopt;
    return result.out.toStdString();
}

bool xdotoolKey(const QString& keys) {
    return xdotool({QStringLiteral("key"), keys});
}

bool xdotool(const QStringList& args) {
    return runTool(QStringLiteral("xdotool"), args).ok();
}

bool screenshot(const QString& pngPath) {
    return runTool(QStringLiteral("import"),
                   {QStringLiteral("-window"), QStringLiteral("root"), pngPath})
        .ok();
}

bool setRootPicture(const QString& pngPath) {
    // display exits with 1 after setting the root window's background, which is all it is asked
    // to do; whether it ran to its end is what counts.
    return runTool(QStringLiteral("display"),
                   {QStringLiteral("-window"), QStringLiteral("root"), pngPath})
        .finished;
}

} // namespace zub::e2e
