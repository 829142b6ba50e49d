// Go and auto-complete with the real shell service on a private X server: xdg-open as the
// desktop has it, with a stand-in browser that records what it was asked to show.
//
// Under a bare X server there is no desktop environment, so xdg-open takes its generic way: it
// asks the MIME database for a handler of the URL's scheme or the file's type, and with none
// found it runs each program listed in BROWSER with the URL or path as its one argument. The
// tests point every XDG folder at empty folders of their own so that no handler installed on
// the machine can step in, and name the stand-in in BROWSER.

#include "app/tform1.h"
#include "cliplist/edit_box.h"
#include "platform/x11/x11_platform.h"
#include "text/codepage.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace zub::e2e {
namespace {

namespace fs = std::filesystem;

const char* const kEnvironment[] = {"PATH",
                                    "HOME",
                                    "BROWSER",
                                    "XDG_CURRENT_DESKTOP",
                                    "XDG_CONFIG_HOME",
                                    "XDG_CONFIG_DIRS",
                                    "XDG_DATA_HOME",
                                    "XDG_DATA_DIRS",
                                    "KDE_FULL_SESSION",
                                    "GNOME_DESKTOP_SESSION_ID",
                                    "MATE_DESKTOP_SESSION_ID",
                                    "DESKTOP_SESSION"};

void writeScript(const fs::path& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

// Single-quoted for the stand-in scripts; the sandbox's paths hold no quote.
std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Children of this process that have ended but were never reaped, by name.
std::vector<std::string> zombieChildren() {
    std::vector<std::string> zombies;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream file(entry.path() / "stat");
        std::string stat;
        if (!std::getline(file, stat)) continue;
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const std::size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 1));
        char state = 0;
        long parent = 0;
        rest >> state >> parent;
        if (parent == ::getpid() && state == 'Z')
            zombies.push_back(stat.substr(open + 1, close - open - 1));
    }
    return zombies;
}

class GoTest : public X11Test {
protected:
    QTemporaryDir sandbox;
    fs::path root;
    fs::path browserLog;
    fs::path browserRelease;
    fs::path home;
    fs::path current;
    std::map<std::string, std::optional<std::string>> savedEnvironment;
    fs::path savedFolder;

    X11Platform platform;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(sandbox.isValid());
        root = fs::path(sandbox.path().toStdString());
        browserLog = root / "browser.log";
        browserRelease = root / "browser.release";
        home = root / "home";
        current = root / "current";
        for (const char* folder :
             {"bin", "home", "current", "config", "config-dirs", "data", "data-dirs"})
            fs::create_directory(root / folder);
        std::ofstream(home / "canary") << "still here";
        std::ofstream(browserRelease) << "";
        // Records its arguments, then stays open until the test releases it, as a browser
        // stays open while the user reads; one that waited in vain says so in the record.
        QString browser = QStringLiteral(R"(printf '%s %s\n' "$#" "$1" >> LOG
n=0
while [ ! -e RELEASE ] && [ $n -lt 600 ]; do sleep 0.05; n=$((n+1)); done
[ -e RELEASE ] || echo 'gave up waiting' >> LOG
)");
        browser.replace(QStringLiteral("LOG"), QString::fromStdString(quoted(browserLog)))
            .replace(QStringLiteral("RELEASE"), QString::fromStdString(quoted(browserRelease)));
        writeScript(root / "browser", browser.toStdString());

        for (const char* name : kEnvironment) {
            const char* value = std::getenv(name);
            savedEnvironment[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        savedFolder = fs::current_path();
        const char* path = std::getenv("PATH");
        ::setenv("PATH", ((root / "bin").string() + ":" + (path ? path : "/usr/bin:/bin")).c_str(),
                 1);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("BROWSER", (root / "browser").c_str(), 1);
        ::setenv("XDG_CURRENT_DESKTOP", "X-Generic", 1);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (root / "config-dirs").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (root / "data-dirs").c_str(), 1);
        for (const char* name : {"KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                                 "MATE_DESKTOP_SESSION_ID", "DESKTOP_SESSION"})
            ::unsetenv(name);
        fs::current_path(current);

        form = std::make_unique<TForm1>(platform.services());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void TearDown() override {
        form.reset();
        std::ofstream(browserRelease) << "";
        for (const auto& [name, value] : savedEnvironment) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        if (!savedFolder.empty()) fs::current_path(savedFolder);
    }

    void setEditText(const std::u16string& text) {
        form->editBox()->setTextByProgram(cp::fromUtf16(text));
    }
    void clickGo() {
        QTest::mouseClick(form->findChild<QToolButton*>("SpeedButton1"), Qt::LeftButton);
    }

    // What the stand-in browser was asked, one "<argument count> <first argument>" a call.
    std::vector<std::string> browserCalls() const {
        std::vector<std::string> calls;
        std::ifstream log(browserLog);
        for (std::string line; std::getline(log, line);) calls.push_back(line);
        return calls;
    }
    bool browserCalled() const {
        return waitUntil([this] { return !browserCalls().empty(); });
    }
    // Lets started programs run a while, for checking that nothing happens.
    static void settle() {
        waitUntil([] { return false; }, 1500ms);
    }
};

TEST_F(GoTest, AChineseSearchReachesTheBrowserByteForByteWhileGoGoesOn) {
    fs::remove(browserRelease);
    setEditText(u"中文 搜索&#%");
    clickGo();
    // Go has returned while the browser still holds on: nothing waits for it.
    ASSERT_TRUE(browserCalled());
    EXPECT_FALSE(fs::exists(browserRelease));
    EXPECT_EQ(browserCalls(),
              std::vector<std::string>{"1 http://www.baidu.com/s?ie=utf-8&word="
                                       "%E4%B8%AD%E6%96%87%20%E6%90%9C%E7%B4%A2%26%23%25"});

    std::ofstream(browserRelease) << "";
    settle();
    EXPECT_EQ(zombieChildren(), std::vector<std::string>{});
}

TEST_F(GoTest, CommandLinesInTheTextStartNothingAndCreateNothing) {
    const std::string probe = "/tmp/zub-go-probe-" + std::to_string(::getpid());
    fs::remove(probe);
    const std::string substitution = "$(touch " + probe + ")";
    ASSERT_LT(substitution.size(), 40u);

    form->editBox()->setTextByProgram(substitution);
    clickGo();
    ASSERT_TRUE(browserCalled());
    form->editBox()->setTextByProgram("; rm -rf ~");
    clickGo();
    ASSERT_TRUE(waitUntil([this] { return browserCalls().size() == 2; }));
    // Too long for the search: nothing at all may start.
    form->editBox()->setTextByProgram("`touch " + probe + "`; " + substitution + " && rm -rf ~");
    clickGo();
    settle();

    EXPECT_EQ(browserCalls(), (std::vector<std::string>{
                                  "1 http://www.baidu.com/s?ie=utf-8&word=%24%28touch%20%2F"
                                  "tmp%2Fzub-go-probe-" +
                                      std::to_string(::getpid()) + "%29",
                                  "1 http://www.baidu.com/s?ie=utf-8&word=%3B%20rm%20-rf%20~"}));
    EXPECT_FALSE(fs::exists(probe));
    EXPECT_TRUE(fs::exists(home / "canary"));
    EXPECT_EQ(std::distance(fs::directory_iterator(current), fs::directory_iterator()), 0);
}

TEST_F(GoTest, AProgramNamedByTheWholeTextStartsWithoutArgumentsAndIsNotSearched) {
    const fs::path toolLog = root / "tool.log";
    writeScript(root / "bin" / "my tool", "printf '%s\\n' \"$#\" > " + quoted(toolLog) + "\n");
    form->editBox()->setTextByProgram("my tool");
    clickGo();
    ASSERT_TRUE(waitUntil([&] { return fs::exists(toolLog) && fs::file_size(toolLog) > 0; }));
    std::ifstream log(toolLog);
    std::string arguments;
    std::getline(log, arguments);
    EXPECT_EQ(arguments, "0");
    settle();
    EXPECT_TRUE(browserCalls().empty());
    EXPECT_EQ(zombieChildren(), std::vector<std::string>{});
}

TEST_F(GoTest, ADocumentGoesToXdgOpenAsItsFullPathInUtf8) {
    std::ofstream(current / "说明 文件.txt") << "text";
    setEditText(u"说明 文件.txt");
    clickGo();
    ASSERT_TRUE(browserCalled());
    EXPECT_EQ(browserCalls(),
              std::vector<std::string>{"1 " + (current / "说明 文件.txt").string()});
}

TEST_F(GoTest, CtrlEnterInTheWorkbenchOpensTheCompletedAddress) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* memo = form->findChild<QPlainTextEdit*>("Memo1");
    memo->setPlainText("workbench");
    memo->setFocus();
    ASSERT_TRUE(waitUntil([&] { return memo->hasFocus(); }));
    form->editBox()->setTextByProgram("zub");

    ASSERT_TRUE(xdotoolKey(QStringLiteral("ctrl+Return")));
    ASSERT_TRUE(browserCalled());
    EXPECT_EQ(browserCalls(), std::vector<std::string>{"1 http://www.zub.com"});
    EXPECT_EQ(form->editBox()->text(), "http://www.zub.com");
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("workbench"));
}

} // namespace
} // namespace zub::e2e
