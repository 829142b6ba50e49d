#pragma once

#include "xvfb_session.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// Qt strings in failure messages as text rather than as lists of bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{';
    for (const QString& item : list) {
        PrintTo(item, out);
        *out << (&item == &list.back() ? "" : ", ");
    }
    *out << '}';
}

namespace zub::e2e {

// The private display of this test process, started by e2e_main before the QApplication.
XvfbSession& xvfb();

// Base of every test that needs the display: skips when Xvfb is not installed, fails when it is
// but did not start.
class X11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (xvfb().xvfbMissing()) GTEST_SKIP() << xvfb().problem();
        ASSERT_TRUE(xvfb().isRunning()) << xvfb().problem();
    }
};

} // namespace zub::e2e
