// The program's command line: a list document to open, --help, --version and mistakes.

#include "app/command_line.h"

#include <QDir>
#include <QtTest>

using namespace zub;

namespace {

CommandLine parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/zub"));
    return parseCommandLine(arguments);
}

std::filesystem::path inCurrentFolder(const QString& name) {
    return QFile::encodeName(QDir::current().absoluteFilePath(name)).toStdString();
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(QStringLiteral("Zub剪贴板"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2"));
    }

    void aFileNameIsTheDocumentToOpenAsAnAbsolutePath() {
        const CommandLine none = parse({});
        QVERIFY(!none.exitCode);
        QVERIFY(!none.document);

        const CommandLine relative = parse({QStringLiteral("sub/list.zub")});
        QVERIFY(!relative.exitCode);
        QCOMPARE(relative.document, inCurrentFolder(QStringLiteral("sub/list.zub")));
        QCOMPARE(parse({QStringLiteral("/tmp/中文 list.zub")}).document,
                 std::filesystem::path("/tmp/中文 list.zub"));
        // After "--" a name that starts with a dash is a file, not an option.
        QCOMPARE(parse({QStringLiteral("--"), QStringLiteral("-odd.zub")}).document,
                 inCurrentFolder(QStringLiteral("-odd.zub")));
        // Requests to the running program, with or without a document for a new one.
        QCOMPARE(parse({QStringLiteral("--capture")}).request,
                 std::optional(InstanceRequest::Capture));
        const CommandLine show = parse({QStringLiteral("--show"), QStringLiteral("a.zub")});
        QCOMPARE(show.request, std::optional(InstanceRequest::Show));
        QCOMPARE(show.document, inCurrentFolder(QStringLiteral("a.zub")));
        QVERIFY(!none.request);
        // Any extension: the open command also opens whatever file the user picks.
        QCOMPARE(parse({QStringLiteral("notes.txt")}).document,
                 inCurrentFolder(QStringLiteral("notes.txt")));
    }

    void helpAndVersionPrintAndExitWithoutAnError() {
        for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const CommandLine help = parse({option});
            QCOMPARE(help.exitCode, std::optional<int>(0));
            QVERIFY(help.standardOutput.contains(QStringLiteral("Usage:")));
            QVERIFY(help.standardOutput.contains(QStringLiteral("--version")));
            QVERIFY(help.standardOutput.contains(QStringLiteral("FILE.zub")));
            QVERIFY(!help.standardOutput.contains(QStringLiteral("--help-all")));
            QVERIFY(help.standardError.isEmpty());
            QVERIFY(!help.document);
        }
        for (const QStringList& arguments :
             {QStringList{QStringLiteral("--version")}, QStringList{QStringLiteral("-v")},
              QStringList{QStringLiteral("list.zub"), QStringLiteral("--version")}}) {
            const CommandLine version = parse(arguments);
            QCOMPARE(version.exitCode, std::optional<int>(0));
            QCOMPARE(version.standardOutput, QStringLiteral("Zub剪贴板 1.2\n"));
            QVERIFY(version.printsVersion);
            QVERIFY(version.standardError.isEmpty());
            QVERIFY(!version.document);
        }
    }

    void mistakesPrintAShortUsageToTheErrorStreamAndExitWithTwo() {
        const struct {
            QStringList arguments;
            QString problem;
        } cases[] = {
            {{QStringLiteral("--bogus")}, QStringLiteral("zub: Unknown option 'bogus'.\n")},
            {{QStringLiteral("-x"), QStringLiteral("list.zub")},
             QStringLiteral("zub: Unknown option 'x'.\n")},
            {{QStringLiteral("--version=2")},
             QStringLiteral("zub: Unexpected value after '--version'.\n")},
            {{QStringLiteral("a.zub"), QStringLiteral("b.zub")},
             QStringLiteral("zub: one list document at a time, not 2.\n")},
            {{QString()}, QStringLiteral("zub: empty file name.\n")},
            {{QStringLiteral("--capture"), QStringLiteral("--show")},
             QStringLiteral("zub: --capture and --show, one at a time.\n")},
        };
        for (const auto& c : cases) {
            const CommandLine line = parse(c.arguments);
            QCOMPARE(line.exitCode, std::optional<int>(kUsageExitCode));
            QCOMPARE(line.standardError,
                     c.problem +
                         QStringLiteral(
                             "Usage: zub [--help] [--version] [--capture | --show] [FILE.zub]\n"));
            QVERIFY(line.standardOutput.isEmpty());
            QVERIFY(!line.document);
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
