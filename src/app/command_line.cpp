#include "app/command_line.h"

#include "platform/qt/qt_paths.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace zub {
namespace {

QString programName(const QStringList& arguments) {
    return arguments.isEmpty() ? QStringLiteral("zub") : QFileInfo(arguments.first()).fileName();
}

CommandLine usageError(const QString& name, const QString& problem) {
    CommandLine line;
    line.exitCode = kUsageExitCode;
    line.standardError =
        QStringLiteral("%1: %2\nUsage: %1 [--help] [--version] [--capture | --show] [FILE.zub]\n")
            .arg(name, problem);
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A clipboard history: keeps every text you copy in a list of its own."));
    // Qt's own help option would offer --help-all with its window-system options, which this
    // program does not take: its command line is read before the window system is reached.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption capture(
        QStringLiteral("capture"),
        QStringLiteral("Makes a manual capture in the running program (starting it if none runs),"
                       " as the hot key Ctrl+R does: for a key binding of the desktop."));
    parser.addOption(capture);
    const QCommandLineOption show(
        QStringLiteral("show"),
        QStringLiteral("Brings up the running program's window (starting it if none runs)."));
    parser.addOption(show);
    parser.addPositionalArgument(QStringLiteral("FILE.zub"),
                                 QStringLiteral("A list document to open at start."),
                                 QStringLiteral("[FILE.zub]"));

    const QString name = programName(arguments);
    if (!parser.parse(arguments)) return usageError(name, parser.errorText());

    CommandLine line;
    if (parser.isSet(help)) {
        line.exitCode = 0;
        line.standardOutput = parser.helpText();
        return line;
    }
    if (parser.isSet(version)) {
        line.exitCode = 0;
        line.printsVersion = true;
        line.standardOutput = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                            QCoreApplication::applicationVersion());
        return line;
    }
    if (parser.isSet(capture) && parser.isSet(show))
        return usageError(name, QStringLiteral("--capture and --show, one at a time."));
    if (parser.isSet(capture)) line.request = InstanceRequest::Capture;
    if (parser.isSet(show)) line.request = InstanceRequest::Show;
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(name,
                          QStringLiteral("one list document at a time, not %1.").arg(files.size()));
    if (files.size() == 1) {
        if (files.first().isEmpty()) return usageError(name, QStringLiteral("empty file name."));
        line.document = pathFromQString(QFileInfo(files.first()).absoluteFilePath());
    }
    return line;
}

} // namespace zub
