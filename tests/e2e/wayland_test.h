#pragma once

#include "sway_session.h"
#include "x11_tools.h"

#include <gtest/gtest.h>

namespace zub::e2e {

// The private sway of this test process, started by wayland_e2e_main before the QApplication.
SwaySession& sway();

// Base of every test that needs the compositor: skips when sway is not installed, fails when it
// is but did not start.
class WaylandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (sway().swayMissing()) GTEST_SKIP() << sway().problem();
        ASSERT_TRUE(sway().isRunning()) << sway().problem();
    }
};

// Another program copies through wl-copy, which serves the copy until another replaces it, like
// a program that stays open; destroying the process is that program quitting. Returns once the
// copy is the clipboard (null if it never became it).
OwnedProcess copyWithWlCopy(const QByteArray& data,
                            const QString& type = QStringLiteral("text/plain;charset=utf-8"));
// A test program that copies as told (see data_control_owner.cpp); returns once it owns the
// clipboard.
OwnedProcess startDataControlOwner(const QStringList& arguments);
// What another program pastes (wl-paste); nullopt when the clipboard offers no such type.
std::optional<QByteArray>
pasteWithWlPaste(const QString& type = QStringLiteral("text/plain;charset=utf-8"));
// Keys for the focused window, one wtype run (see the README of the tests: a run waits 300 ms
// for its keymap to arrive first).
bool wtype(const QStringList& arguments);

} // namespace zub::e2e
