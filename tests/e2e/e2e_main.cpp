// main() of the end-to-end test programs: a private X server, then a QApplication on it through
// the xcb platform (whatever QT_QPA_PLATFORM the caller had set), then the tests.

#include "x11_test.h"
#include "xvfb_session.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

namespace zub::e2e {
namespace {
XvfbSession* g_session = nullptr;
}

XvfbSession& xvfb() {
    return *g_session;
}

} // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    zub::e2e::XvfbSession session;
    zub::e2e::g_session = &session;
    std::unique_ptr<QApplication> app;
    if (session.isRunning()) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        app = std::make_unique<QApplication>(argc, argv);
    }
    const int result = RUN_ALL_TESTS();
    app.reset();
    return result;
}
