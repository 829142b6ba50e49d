// The window as an installed desktop program: where its dialogs start when it may not write
// beside itself, a list document named on the command line, and the wait cursor over commands
// that can take a while.

#include "gui_support.h"

#include <QDir>
#include <QtTest>

using namespace zub;
using namespace zub::test;

namespace {

// Notes the cursor that the program shows over its windows while the list changes.
class CursorWatch : public ClipListListener {
public:
    explicit CursorWatch(ClipList& list) : m_list(list) { m_list.addListener(this); }
    ~CursorWatch() override { m_list.removeListener(this); }

    QList<Qt::CursorShape> seen;

private:
    void note() {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        seen.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
    }
    void beforeReset() override { note(); }
    void beforeReorder() override { note(); }
    void beforeRemove(std::size_t, std::size_t) override { note(); }
    void changed(std::size_t, std::size_t) override { note(); }

    ClipList& m_list;
};

bool busyThroughout(const QList<Qt::CursorShape>& seen) {
    return !seen.isEmpty() && seen.count(Qt::WaitCursor) == seen.size();
}

} // namespace

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

        w.form->openListDocument(file.toStdU16String());
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
        QCOMPARE(w.messages(), QStringList({missingFileMessage("open", missing.toStdU16String())}));
        QCOMPARE(w.entries(), Entries({"kept"}));
        QCOMPARE(w.panel(0), QStringLiteral("1/1"));

        // A folder is no document either.
        w.form->openListDocument(w.folder.path().toStdU16String());
        QCOMPARE(w.messages().size(), 2);
        QVERIFY(w.messages().back().startsWith(QStringLiteral("Cannot open file \"")));
#ifndef _WIN32
        QVERIFY(w.messages().back().endsWith(QStringLiteral("Is a directory.")));
#endif
        QCOMPARE(w.entries(), Entries({"kept"}));
    }

    void theLongerListCommandsShowTheWaitCursorWhileTheyRun() {
        Window w;
        const QString file = w.folder.filePath(QStringLiteral("list.zub"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("pear\r\n  apple \r\npear\r\n\r\n");
        out.close();

        CursorWatch watch(w.list());
        w.sim.dialogs.answerOpenFile(file.toStdString());
        w.action("Action1")->trigger();
        QCOMPARE(w.list().size(), std::size_t(4));
        QVERIFY(busyThroughout(watch.seen));

        watch.seen.clear();
        w.action("Action4")->trigger(); // Sort
        QCOMPARE(w.entries(), Entries({"", "  apple ", "pear", "pear"}));
        QVERIFY(busyThroughout(watch.seen));

        watch.seen.clear();
        w.action("Action5")->trigger(); // Tidy
        QCOMPARE(w.entries(), Entries({"apple", "pear", "pear"}));
        QVERIFY(busyThroughout(watch.seen));

        w.sim.dialogs.answerSaveFile(w.folder.filePath(QStringLiteral("saved.zub")).toStdString());
        w.action("Action2")->trigger();
        QVERIFY(QFileInfo::exists(w.folder.filePath(QStringLiteral("saved.zub"))));

        // Each command gives the cursor back, and the dialogs are never shown under it.
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        w.sim.dialogs.answerOpenFile(std::nullopt);
        w.action("Action1")->trigger();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void aFailingCommandGivesTheCursorBackToo() {
        Window w;
        w.fill({"a"});
        w.sim.dialogs.onMessage = [&] {
            // The message is shown after the command has ended.
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        };
        w.sim.dialogs.answerOpenFile(
            w.folder.filePath(QStringLiteral("missing.zub")).toStdString());
        w.action("Action1")->trigger();
        w.sim.dialogs.answerSaveFile(
            w.folder.filePath(QStringLiteral("no/such/folder.zub")).toStdString());
        w.action("Action2")->trigger();
        w.form->openListDocument(w.folder.filePath(QStringLiteral("missing.zub")).toStdString());
        QCOMPARE(w.messages().size(), 3);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
