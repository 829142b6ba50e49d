#include "wayland_test.h"

namespace zub::e2e {
namespace {

OwnedProcess startOwner(const QString& program, const QStringList& arguments,
                        const QByteArray& input, const QByteArray& ready) {
    OwnedProcess process(new QProcess);
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) return nullptr;
    if (!input.isNull()) {
        process->write(input);
        process->closeWriteChannel();
    }
    if (!ready.isEmpty()) return waitForLine(*process, ready) ? std::move(process) : nullptr;
    return process;
}

} // namespace

OwnedProcess copyWithWlCopy(const QByteArray& data, const QString& type) {
    const std::optional<QByteArray> before = pasteWithWlPaste(type);
    OwnedProcess owner =
        startOwner(QStringLiteral("wl-copy"),
                   {QStringLiteral("--foreground"), QStringLiteral("--type"), type}, data, {});
    if (!owner) return nullptr;
    // wl-copy says nothing when it owns the clipboard: wait until a paste gives its bytes.
    const bool owns = waitUntil([&] { return pasteWithWlPaste(type) == data; });
    return owns || before == data ? std::move(owner) : nullptr;
}

OwnedProcess startDataControlOwner(const QStringList& arguments) {
    return startOwner(QStringLiteral(ZUB_DATA_CONTROL_OWNER), arguments, {}, "owned");
}

std::optional<QByteArray> pasteWithWlPaste(const QString& type) {
    const ToolResult result = runTool(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline"),
                                                                   QStringLiteral("--type"), type});
    if (!result.ok()) return std::nullopt;
    return result.out;
}

bool wtype(const QStringList& arguments) {
    return runTool(QStringLiteral("wtype"),
                   QStringList{QStringLiteral("-s"), QStringLiteral("300")} + arguments)
        .ok();
}

} // namespace zub::e2e
