// The window as an installed desktop program: where its dialogs start when it may not write
// beside itself, and a list document named on the command line.

#include "gui_support.h"

#include <QDir>
#include <QtTest>

using namespace zub;
using namespace zub::test;

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void listDialogsStartInTheUserDataFolderWhenTheProgramFolderIsReadOnly() {
        SimPlatform sim;
        QTemporaryDir root;
        const std::filesystem::path program = root.filePath("usr/bin").toStdString();
        const std::filesystem::path data = root.filePath("home/.local/share").toStdString();
        std::filesystem::create_directories(program);
        sim.files.setExecutableFolder(program);
        sim.files.setUserDataFolder(data);
        sim.files.setReadOnly(program);
        TForm1 form(sim.services());

        const QString expected =
            QDir::toNativeSeparators(root.filePath("home/.local/share/org.zubclip.Zub"));
        QVERIFY(QFileInfo(expected).isDir());
        sim.dialogs.answerOpenFile(std::nullopt);
        form.action(QStringLiteral("Action1"))->trigger();
        QCOMPARE(sim.dialogs.openFileCalls().back().initialFolder, expected);
        sim.dialogs.answerSaveFile(std::nullopt);
        form.action(QStringLiteral("Action2"))->trigger();
        QCOMPARE(sim.dialogs.saveFileCalls().back().initialFolder, expected + QDir::separator());
    }

    void aDocumentNamedAtStartOpensAsTheOpenCommandWouldOpenIt() {
        Window w;
        w.fill({"old"});
        w.list().setChecked(0, true);
        w.selectRow(0);
        const QString file = w.folder.filePath(QStringLiteral("列表.zub"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("b[Zub]c\r\na\r\n");
        out.close();

        w.form->openListDocument(QFile::encodeName(file).toStdString());
        QCOMPARE(w.entries(), Entries({"b[Zub]c", "a"}));
        QCOMPARE(w.checks(), Checks({false, false}));
        QCOMPARE(w.selection(), std::nullopt);
        QCOMPARE(w.panel(0), QStringLiteral("就绪"));
        QVERIFY(w.messages().isEmpty());
        // No dialog was involved.
        QVERIFY(w.sim.dialogs.openFileCalls().empty());
    }

    void aMissingDocumentIsReportedAndTheListStays() {
        Window w;
        w.fill({"kept"});
        w.selectRow(0);
        const QString missing = w.folder.filePath(QStringLiteral("missing.zub"));
        w.form->openListDocument(missing.toStdString());
        QCOMPARE(w.messages(),
                 QStringList({"Cannot open file \"" + missing + "\". No such file or directory."}));
        QCOMPARE(w.entries(), Entries({"kept"}));
        QCOMPARE(w.panel(0), QStringLiteral("1/1"));

        // A folder is no document either.
        w.form->openListDocument(w.folder.path().toStdString());
        QCOMPARE(w.messages().size(), 2);
        QVERIFY(w.messages().back().endsWith(QStringLiteral("Is a directory.")));
        QCOMPARE(w.entries(), Entries({"kept"}));
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
