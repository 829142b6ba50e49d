// The installed program as a person runs it: `cmake --install` into a temporary prefix, then
// bin/zub started with arguments on a private X server, looked at with xdotool and xclip.

#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "platform/sim/sim_platform.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFont>
#include <QMap>
#include <QProcess>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

namespace zub::e2e {
namespace {

namespace fs = std::filesystem;

const QString kCaption = QStringLiteral("Korvel剪贴板");
const QString kMessageCaption = QStringLiteral("Zub剪贴板");

class InstalledProgramTest : public X11Test {
protected:
    QTemporaryDir prefix;
    QTemporaryDir work;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(prefix.isValid() && work.isValid());
        const ToolResult install =
            runTool(QStringLiteral(ZUB_CMAKE_COMMAND),
                    {QStringLiteral("--install"), QStringLiteral(ZUB_BUILD_DIR),
                     QStringLiteral("--prefix"), prefix.path()},
                    {}, 60s);
        ASSERT_TRUE(install.ok()) << install.err.toStdString();
        // Other users get in as they would under /usr.
        for (const QString& folder : {prefix.path(), work.path()})
            fs::permissions(folder.toStdString(), fs::perms(0755));
    }

    QString program() const { return prefix.filePath(QStringLiteral("bin/zub")); }

    // Starts the installed program in the work folder with a clean data folder of its own.
    // `asAnotherUser`: as a user who may not write the install prefix (root writes anywhere, so
    // root runs it as "nobody").
    OwnedProcess start(const QStringList& arguments, bool asAnotherUser = false) {
        OwnedProcess zub(new QProcess);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
        environment.insert(QStringLiteral("HOME"), work.path());
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        zub->setProcessEnvironment(environment);
        zub->setWorkingDirectory(work.path());
        zub->setStandardOutputFile(QProcess::nullDevice());
        zub->setStandardErrorFile(work.filePath(QStringLiteral("stderr.txt")));
        if (asAnotherUser && ::geteuid() == 0) {
            zub->setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(126);
            });
        }
        zub->start(program(), arguments);
        if (!zub->waitForStarted(5000)) return nullptr;
        return zub;
    }

    QString dataHome() const { return work.filePath(QStringLiteral("data")); }

    // The program's visible windows with their captions, once there are `count` of them.
    static QMap<QString, QString> windowsOf(const QProcess& zub, int count) {
        QMap<QString, QString> windows;
        waitUntil(
            [&] {
                windows.clear();
                const ToolResult found =
                    runTool(QStringLiteral("xdotool"),
                            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--pid"), QString::number(zub.processId())});
                for (const QByteArray& id : found.out.split('\n')) {
                    if (id.isEmpty()) continue;
                    const ToolResult name =
                        runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id});
                    windows.insert(QString::fromUtf8(name.out).trimmed(), QString::fromUtf8(id));
                }
                return windows.size() >= count;
            },
            20s);
        return windows;
    }

    // Where something stands in the main window, read off a window of the same build laid out
    // the same way in this process (holding the entries "a" and "b").
    static QPoint pointInWindow(const std::function<QPoint(TForm1&)>& where) {
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(12);
        const QFont before = QApplication::font();
        QApplication::setFont(font);
        SimPlatform sim;
        TForm1 twin(sim.services());
        twin.clipList().add("a");
        twin.clipList().add("b");
        twin.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&twin));
        const QPoint point = where(twin);
        QApplication::setFont(before);
        return point;
    }

    static QPoint rowInWindow(int row) {
        return pointInWindow([row](TForm1& twin) {
            ClipListView* view = twin.clipListView();
            return view->viewport()->mapTo(&twin,
                                           view->visualRect(view->model()->index(row, 0)).center());
        });
    }

    static bool click(const QString& window, QPoint point) {
        return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                        QString::number(point.x()), QString::number(point.y()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

    static bool doubleClick(const QString& window, QPoint point) {
        return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                        QString::number(point.x()), QString::number(point.y()),
                        QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                        QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
    }
};

TEST_F(InstalledProgramTest, VersionAndHelpNeedNoDisplayAndMistakesExitWithTwo) {
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    noDisplay.remove(QStringLiteral("DISPLAY"));
    noDisplay.remove(QStringLiteral("WAYLAND_DISPLAY"));
    auto run = [&](const QStringList& arguments) {
        QProcess zub;
        zub.setProcessEnvironment(noDisplay);
        zub.start(program(), arguments);
        EXPECT_TRUE(zub.waitForFinished(20000));
        return std::tuple(zub.exitStatus() == QProcess::NormalExit ? zub.exitCode() : -1,
                          zub.readAllStandardOutput(), zub.readAllStandardError());
    };
    const auto [versionCode, versionOut, versionErr] = run({QStringLiteral("--version")});
    EXPECT_EQ(versionCode, 0);
    EXPECT_EQ(versionOut.toStdString(), "Zub剪贴板 " ZUB_VERSION "\nbackend: X11\n");

    const auto [helpCode, helpOut, helpErr] = run({QStringLiteral("--help")});
    EXPECT_EQ(helpCode, 0);
    EXPECT_TRUE(helpOut.contains("[FILE.zub]")) << helpOut.toStdString();

    const auto [badCode, badOut, badErr] = run({QStringLiteral("--bogus")});
    EXPECT_EQ(badCode, 2);
    EXPECT_TRUE(badOut.isEmpty());
    EXPECT_EQ(badErr.toStdString(),
              "zub: Unknown option 'bogus'.\nUsage: zub [--help] [--version] [--capture | --show] "
              "[FILE.zub]\n");
}

TEST_F(InstalledProgramTest, StartsWithTheListNamedOnTheCommandLineShown) {
    std::ofstream(work.filePath(QStringLiteral("list.zub")).toStdString(), std::ios::binary)
        << "alpha\r\nbeta[Zub]a note\r\n";
    // A name relative to the folder it is started in, as a file manager or a shell gives it.
    OwnedProcess zub = start({QStringLiteral("list.zub")});
    ASSERT_TRUE(zub);
    const QMap<QString, QString> windows = windowsOf(*zub, 1);
    ASSERT_TRUE(windows.contains(kCaption)) << windows.keys().join(',').toStdString();
    const QString window = windows.value(kCaption);

    // Each row, double-clicked, puts its clip text on the clipboard: the rows are the file's.
    ASSERT_TRUE(doubleClick(window, rowInWindow(1)));
    EXPECT_TRUE(waitUntil([] { return readWithXclip() == std::optional<std::string>("beta"); }))
        << readWithXclip().value_or("<nothing>");
    ASSERT_TRUE(doubleClick(window, rowInWindow(0)));
    EXPECT_TRUE(waitUntil([] { return readWithXclip() == std::optional<std::string>("alpha"); }))
        << readWithXclip().value_or("<nothing>");
    EXPECT_EQ(zub->state(), QProcess::Running);
}

TEST_F(InstalledProgramTest, AMissingDocumentIsReportedOverTheWindowWhichStaysOpen) {
    OwnedProcess zub = start({work.filePath(QStringLiteral("missing.zub"))});
    ASSERT_TRUE(zub);
    const QMap<QString, QString> windows = windowsOf(*zub, 2);
    ASSERT_TRUE(windows.contains(kCaption) && windows.contains(kMessageCaption))
        << windows.keys().join(',').toStdString();

    // The modal message has the keyboard: Return is its OK. The program goes on with its window.
    ASSERT_TRUE(xdotoolKey(QStringLiteral("Return")));
    EXPECT_TRUE(waitUntil([&] {
        const QMap<QString, QString> now = windowsOf(*zub, 1);
        return now.size() == 1 && now.contains(kCaption);
    }));
    EXPECT_EQ(zub->state(), QProcess::Running);
}

TEST_F(InstalledProgramTest, KeepsItsFilesInTheUserDataFolderWhenItsOwnFolderIsReadOnly) {
    const fs::path bin = prefix.filePath(QStringLiteral("bin")).toStdString();
    const fs::path mine = (dataHome() + QStringLiteral("/org.zubclip.Zub")).toStdString();

    // Run by the user who installed it, the program keeps to its own folder.
    {
        OwnedProcess zub = start({});
        ASSERT_TRUE(zub);
        ASSERT_TRUE(windowsOf(*zub, 1).contains(kCaption));
        EXPECT_FALSE(fs::exists(mine));
    }

    // Run by anyone else, or with the folder closed, it makes a folder of its own at start, for
    // the list dialogs to start in and for the pictures and previews it saves.
    fs::create_directories(dataHome().toStdString());
    fs::permissions(dataHome().toStdString(), fs::perms(0777));
    if (::geteuid() != 0) fs::permissions(bin, fs::perms(0555));
    OwnedProcess zub = start({}, true);
    ASSERT_TRUE(zub);
    ASSERT_TRUE(windowsOf(*zub, 1).contains(kCaption));
    EXPECT_TRUE(fs::is_directory(mine));
    EXPECT_EQ(fs::status(mine).permissions(), fs::perms::owner_all);

    // A picture captured with automatic saving on lands in the picture folder in there.
    const QString window = windowsOf(*zub, 1).value(kCaption);
    const QPoint settingsTab = pointInWindow([](TForm1& twin) {
        QTabBar* tabs = twin.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->tabBar();
        return tabs->mapTo(&twin, tabs->tabRect(2).center());
    });
    const QPoint saving = pointInWindow([](TForm1& twin) {
        twin.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(2);
        QApplication::processEvents();
        auto* box = twin.findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
        return box->mapTo(&twin, box->rect().center());
    });
    const QPoint automatic = pointInWindow([](TForm1& twin) {
        QAction* command = twin.action(QStringLiteral("Action15"));
        for (QToolBar* bar : twin.findChildren<QToolBar*>()) {
            if (QWidget* button = bar->widgetForAction(command))
                return button->mapTo(&twin, button->rect().center());
        }
        return QPoint();
    });
    ASSERT_TRUE(click(window, settingsTab));
    QTest::qWait(300);
    ASSERT_TRUE(click(window, saving));
    ASSERT_TRUE(click(window, automatic));
    QTest::qWait(300);
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(10, 120, 240));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    auto owner = copyWithXclip(png.toStdString(), QStringLiteral("image/png"));
    ASSERT_TRUE(owner);
    const fs::path pictures = mine / "Zub图像";
    std::vector<fs::path> saved;
    EXPECT_TRUE(waitUntil(
        [&] {
            saved.clear();
            std::error_code error;
            // Only the finished file: the save writes a temporary one first and renames it.
            for (const auto& entry : fs::directory_iterator(pictures, error))
                if (entry.path().extension() == ".bmp") saved.push_back(entry.path());
            return saved.size() == 1;
        },
        20s));
    if (!saved.empty()) {
        std::ifstream file(saved.front(), std::ios::binary);
        char magic[2] = {};
        file.read(magic, 2);
        EXPECT_EQ(std::string(magic, 2), "BM");
        EXPECT_EQ(saved.front().extension(), ".bmp");
    }
    fs::permissions(bin, fs::perms(0755));
}

} // namespace
} // namespace zub::e2e
