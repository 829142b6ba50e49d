#include "platform/x11/x11_hot_key.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

using namespace zub;
using namespace zub::e2e;
using hotkey::kAlt;
using hotkey::kControl;
using hotkey::kKeyR;

namespace {

using Presses = std::vector<std::pair<unsigned, unsigned>>;

// Another X client on the same display, to hold grabs and look at the keyboard.
class OtherClient {
public:
    OtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, XK_r);
        m_keycodeR = codes ? codes[0] : 0;
        std::free(codes);
        xcb_key_symbols_free(symbols);
    }
    ~OtherClient() { xcb_disconnect(m_connection); }

    bool grabR(std::uint16_t modifiers) {
        xcb_generic_error_t* error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 0, m_root, modifiers, m_keycodeR,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    void ungrabR(std::uint16_t modifiers) {
        xcb_ungrab_key(m_connection, m_keycodeR, m_root, modifiers);
        xcb_flush(m_connection);
    }
    // The modifier and lock state of the keyboard as the server has it.
    std::uint16_t keyboardState() {
        std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> reply(
            xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr),
            &std::free);
        return reply ? reply->mask : 0;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
    xcb_keycode_t m_keycodeR = 0;
};

// Counts the presses of R that reach a window (the modifiers themselves do reach it).
struct KeyCounter : QObject {
    explicit KeyCounter(int& count) : count(count) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_R) {
            ++count;
        }
        return false;
    }
    int& count;
};

class X11HotKeyTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        m_hotKey = std::make_unique<X11HotKey>();
        // Alt+R is pressed after whatever a test presses; once it has arrived, so has all
        // that came before it, and the count of Ctrl+R presses is final.
        ASSERT_TRUE(m_hotKey->registerHotKey(m_hotKey->addAtom("marker"), kAlt, kKeyR,
                                             [this](unsigned, unsigned) { ++m_markers; }));
    }

    bool registerCtrlR() {
        return m_hotKey->registerHotKey(
            m_hotKey->addAtom("hotkey"), kControl, kKeyR,
            [this](unsigned m, unsigned k) { m_presses.emplace_back(m, k); });
    }

    // Presses `keys`, then the marker, and waits for the marker.
    void press(const char* keys) { press(QStringList{QStringLiteral("key"), QLatin1String(keys)}); }
    void press(const QStringList& xdotoolArgs) {
        ASSERT_TRUE(xdotool(xdotoolArgs));
        const int markers = m_markers;
        ASSERT_TRUE(xdotoolKey(QStringLiteral("alt+r")));
        ASSERT_TRUE(waitUntil([&] { return m_markers > markers; }));
    }

    std::unique_ptr<X11HotKey> m_hotKey;
    Presses m_presses;
    int m_markers = 0;
};

} // namespace

TEST_F(X11HotKeyTest, CtrlRPressedAnywhereArrivesOncePerPress) {
    ASSERT_TRUE(registerCtrlR());
    // R let go while Control is still down: the release must not count as a press.
    press(QStringList{"keydown", "ctrl", "keydown", "r", "keyup", "r", "keyup", "ctrl"});
    EXPECT_EQ(m_presses, (Presses{{kControl, kKeyR}}));
    press("ctrl+r");
    EXPECT_EQ(m_presses.size(), 2u);
    press("r");
    press("ctrl+shift+r");
    EXPECT_EQ(m_presses.size(), 2u);
}

TEST_F(X11HotKeyTest, ArrivesAsAHotKeyAlsoWhenOneOfTheProgramsWindowsIsActive) {
    ASSERT_TRUE(registerCtrlR());
    QWidget window;
    int rSeenByTheWindow = 0;
    KeyCounter counter(rSeenByTheWindow);
    window.installEventFilter(&counter);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    press("ctrl+r");
    EXPECT_EQ(m_presses, (Presses{{kControl, kKeyR}}));
    EXPECT_EQ(rSeenByTheWindow, 0);
}

TEST_F(X11HotKeyTest, CapsLockAndNumLockDoNotStopIt) {
    ASSERT_TRUE(registerCtrlR());
    OtherClient keyboard;
    ASSERT_TRUE(xdotoolKey(QStringLiteral("Num_Lock")));
    ASSERT_TRUE(waitUntil([&] { return (keyboard.keyboardState() & XCB_MOD_MASK_2) != 0; }));
    press("ctrl+r");
    ASSERT_TRUE(xdotoolKey(QStringLiteral("Caps_Lock")));
    ASSERT_TRUE(waitUntil([&] { return (keyboard.keyboardState() & XCB_MOD_MASK_LOCK) != 0; }));
    press("ctrl+r");
    EXPECT_EQ(m_presses, (Presses{{kControl, kKeyR}, {kControl, kKeyR}}));
}

TEST_F(X11HotKeyTest, NothingArrivesAfterUnregistering) {
    ASSERT_TRUE(registerCtrlR());
    m_hotKey->unregisterHotKey(m_hotKey->addAtom("hotkey"));
    press("ctrl+r");
    EXPECT_TRUE(m_presses.empty());
    // And the key is free for others again.
    OtherClient other;
    EXPECT_TRUE(other.grabR(XCB_MOD_MASK_CONTROL));
}

TEST_F(X11HotKeyTest, AKeyHeldByAnotherClientFailsQuietlyAndLeavesNothingGrabbed) {
    OtherClient holder;
    // Only the Caps Lock variant is taken, so the plain one succeeds first and must be undone.
    ASSERT_TRUE(holder.grabR(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK));
    EXPECT_FALSE(registerCtrlR());

    holder.ungrabR(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK);
    OtherClient other;
    EXPECT_TRUE(other.grabR(XCB_MOD_MASK_CONTROL));
    EXPECT_TRUE(other.grabR(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2));
}
