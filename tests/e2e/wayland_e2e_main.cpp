// main() of the Wayland end-to-end test programs: a private headless sway, then a QApplication
// on it through Qt's Wayland platform (whatever QT_QPA_PLATFORM the caller had set), then the
// tests.

#include "sway_session.h"
#include "wayland_test.h"

#include <QApplication>
#include <QFont>

#include <cstdlib>
#include <memory>

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
    app.reset();
    return result;
}
