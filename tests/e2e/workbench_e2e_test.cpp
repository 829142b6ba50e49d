// The workbench on a private X server: typed into with the real keyboard, saved through the real
// file dialog, previewed through the real shell (xdg-open) with a stand-in opener.

#include "app/tform1.h"
#include "platform/hidden_files.h"
#include "platform/x11/x11_platform.h"
#include "sandbox_files.h"
#include "text/codepage.h"
#include "workbench/workbench_edit.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace zub::e2e {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class WorkbenchTest : public X11Test {
protected:
    QTemporaryDir sandbox;
    fs::path root;
    X11Platform platform;
    std::unique_ptr<SandboxFiles> files;
    std::unique_ptr<TForm1> form;
    std::map<std::string, std::optional<std::string>> savedEnvironment;
    fs::path savedFolder;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(sandbox.isValid());
        root = fs::path(sandbox.path().toStdString());
        savedFolder = fs::current_path();
        files = std::make_unique<SandboxFiles>(root / "program");
        fs::create_directory(root / "program");
        Services services = platform.services();
        form = std::make_unique<TForm1>(Services{services.clipboard, services.viewerChain,
                                                 services.hotKey, services.dialogs, *files,
                                                 services.shell, services.clock, services.screen});
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override {
        form.reset();
        for (const auto& [name, value] : savedEnvironment) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        if (!savedFolder.empty()) fs::current_path(savedFolder);
    }

    void setEnvironment(const char* name, const std::optional<std::string>& value) {
        if (!savedEnvironment.count(name)) {
            const char* old = std::getenv(name);
            savedEnvironment[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    WorkbenchEdit* memo() { return form->memo1(); }
    QAction* action(const char* name) { return form->action(QString::fromLatin1(name)); }
    void clickCommandButton(const char* name) {
        QWidget* button = form->findChild<QToolBar*>("ToolBar2")->widgetForAction(action(name));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void clickIntoWorkbench() {
        QTest::mouseClick(memo()->viewport(), Qt::LeftButton, {},
                          memo()->viewport()->rect().bottomRight() - QPoint(5, 5));
        ASSERT_TRUE(waitUntil([this] { return memo()->hasFocus(); }));
    }
};

// Runs `act` on the file dialog once it shows; it runs its own event loop, so the test reaches it
// from a timer.
void whenFileDialogShown(QObject* scope, std::function<void(QFileDialog*)> act) {
    auto* timer = new QTimer(scope);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(dialog);
                return;
            }
        }
    });
    timer->start();
}

TEST_F(WorkbenchTest, TypedTextAndAnExtractedEntryAreSavedAsTheirBytes) {
    form->clipList().add("abc[Zub]note");
    form->clipList().add("zzz");
    form->findChild<QComboBox*>("ComboBox2")->setEditText(QStringLiteral("<"));
    form->findChild<QComboBox*>("ComboBox3")->setEditText(QStringLiteral(">"));

    clickIntoWorkbench();
    ASSERT_TRUE(xdotool({"type", "--delay", "20", "hello zz"}));
    ASSERT_TRUE(xdotoolKey(QStringLiteral("Return")));
    ASSERT_TRUE(waitUntil([this] { return memo()->text() == "hello zz\r\n"; })) << memo()->text();
    // Typing "zz" chose the entry that begins with it; Enter then chose the first.
    EXPECT_EQ(form->clipList().selection(), std::optional<std::size_t>(0));

    clickCommandButton("Action11");
    EXPECT_EQ(memo()->text(), "hello zz\r\n<abc>");
    ASSERT_TRUE(xdotool({"type", "--delay", "20", "!"}));
    ASSERT_TRUE(waitUntil([this] { return memo()->text() == "hello zz\r\n<abc>!"; }));

    const fs::path saved = root / "saved document";
    bool dialogSeen = false;
    QObject scope;
    whenFileDialogShown(&scope, [&](QFileDialog* dialog) {
        dialogSeen = true;
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(saved.string()));
        QTest::keyClick(name, Qt::Key_Return);
    });
    action("Action13")->trigger();
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(readFile(saved), "hello zz\r\n<abc>!");
}

TEST_F(WorkbenchTest, PreviewHandsTheFileToTheDesktopsOpener) {
    // Under a bare X server xdg-open has no desktop to ask and no handler in these empty
    // folders, so it runs the program named in BROWSER with the file's path.
    const fs::path log = root / "opener.log";
    const fs::path opener = root / "opener";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s %s\\n' \"$#\" \"$1\" >> '" << log.string()
                          << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    for (const char* folder : {"config", "config-dirs", "data", "data-dirs"})
        fs::create_directory(root / folder);
    setEnvironment("BROWSER", opener.string());
    setEnvironment("XDG_CURRENT_DESKTOP", "X-Generic");
    setEnvironment("XDG_CONFIG_HOME", (root / "config").string());
    setEnvironment("XDG_CONFIG_DIRS", (root / "config-dirs").string());
    setEnvironment("XDG_DATA_HOME", (root / "data").string());
    setEnvironment("XDG_DATA_DIRS", (root / "data-dirs").string());
    for (const char* name : {"KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                             "MATE_DESKTOP_SESSION_ID", "DESKTOP_SESSION"})
        setEnvironment(name, std::nullopt);

    memo()->setText(cp::fromUtf16(u"预览 preview\r\n"));
    QTest::keyClick(form.get(), Qt::Key_F12);
    const fs::path folder = root / "program" / "~temp";
    const fs::path file = folder / "~temp.txt";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(log) && fs::file_size(log) > 0; }));
    EXPECT_EQ(readFile(log), "1 " + file.string() + "\n");
    EXPECT_EQ(readFile(file), cp::fromUtf16(u"预览 preview\r\n"));
    // Hidden the way file managers read it, and the program's folder is now the current one.
    EXPECT_TRUE(hidden_files::isListed(folder));
    EXPECT_EQ(readFile(root / "program" / ".hidden"), "~temp\n");
    EXPECT_EQ(fs::current_path(), root / "program");
}

} // namespace
} // namespace zub::e2e
