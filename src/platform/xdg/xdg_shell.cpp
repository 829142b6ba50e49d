#include "platform/xdg/xdg_shell.h"

#include "platform/qt/qt_text.h"
#include "platform/xdg/shell_target.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zub {
namespace {

// What a login shell searches when the environment names no PATH.
constexpr const char* kDefaultSearchPath = "/usr/local/bin:/usr/bin:/bin";

} // namespace

int XdgShell::open(std::string_view target) {
    // Code-page bytes in, the file system's own encoding (UTF-8) out.
    const std::string name = QFile::encodeName(toQStringForOthers(target)).toStdString();
    const char* searchPath = std::getenv("PATH");
    std::error_code error;
    const std::filesystem::path currentFolder = std::filesystem::current_path(error);
    const ShellTarget found =
        classifyShellTarget(name, searchPath ? searchPath : kDefaultSearchPath, currentFolder);
    const QString argument = QFile::decodeName(QByteArray::fromStdString(found.argument));

    switch (found.kind) {
    case ShellTarget::Kind::Unknown:
        return shell_result::kFileNotFound;
    case ShellTarget::Kind::Program:
        return startDetached(argument, {}) ? shell_result::kOpened : shell_result::kFileNotFound;
    case ShellTarget::Kind::Url:
    case ShellTarget::Kind::Document:
        break;
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return shell_result::kNoAssociation;
    return startDetached(opener, {argument}) ? shell_result::kOpened : shell_result::kNoAssociation;
}

bool XdgShell::startDetached(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // Nothing of ours to read: a program that waits for input must not wait on our terminal.
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace zub
