// The window as an installed desktop program: where its dialogs start when it may not write
// beside itself.

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
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
