// main() of the Wayland end-to-end test programs: a private headless sway, then a QApplication
// on it through Qt's Wayland platform (whatever QT_QPA_PLATFORM the caller had set), then the
// tests.

#include "sway_session.h"
#include "wayland_test.h"

#include <QApplication>
#include <QFont>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace zub::e2e {
namespace {
SwaySession* g_session = nullptr;
}

SwaySession& sway() {
    return *g_session;
}

} // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no compositor.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    zub::e2e::SwaySession session;
    zub::e2e::g_session = &session;
    std::unique_ptr<QApplication> app;
    if (session.isRunning()) {
        ::setenv("QT_QPA_PLATFORM", "wayland", 1);
        app = std::make_unique<QApplication>(argc, argv);
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(12);
        QApplication::setFont(font);
    }
    const int result = RUN_ALL_TESTS();
    // Seen once in many runs: the end of Qt's Wayland connection waited forever after a test
    // had passed. The result stands; the compositor is stopped and the process ends anyway.
    std::atomic<bool> ended{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 200 && !ended; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (ended) return;
        std::fputs("wayland_e2e: the end of the program hung; ending it\n", stderr);
        if (session.pid() > 0) ::kill(session.pid(), SIGKILL);
        std::_Exit(result);
    });
    app.reset();
    ended = true;
    watchdog.join();
    return result;
}
