#include "platform/x11/x11_hot_key.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace zub {
namespace {

// Windows' MOD_WIN: the key with the flag on it.
constexpr unsigned kWindowsKey = 8;

// The keysym of a Windows virtual key, for the keys a hot key sensibly uses; 0 for the others.
xcb_keysym_t keysymOf(unsigned virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
    constexpr unsigned kF1 = 0x70, kF24 = 0x87;
    if (virtualKey >= kF1 && virtualKey <= kF24) return XK_F1 + (virtualKey - kF1);
    return 0;
}

std::uint16_t xModifiersOf(unsigned modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & hotkey::kAlt) mask |= XCB_MOD_MASK_1;
    if (modifiers & hotkey::kControl) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & hotkey::kShift) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & kWindowsKey) mask |= XCB_MOD_MASK_4;
    return mask;
}

using KeySymbols = std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)>;

std::vector<std::uint8_t> keycodesOf(xcb_key_symbols_t* symbols, xcb_keysym_t keysym) {
    std::vector<std::uint8_t> keycodes;
    if (xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols, keysym)) {
        for (xcb_keycode_t* k = found; *k != XCB_NO_SYMBOL; ++k) keycodes.push_back(*k);
        std::free(found);
    }
    return keycodes;
}

// Num Lock is a modifier like any other on X11, usually Mod2 but set by the keyboard map.
std::uint16_t numLockMaskOf(xcb_connection_t* connection) {
    KeySymbols symbols(xcb_key_symbols_alloc(connection), &xcb_key_symbols_free);
    const std::vector<std::uint8_t> numLock = keycodesOf(symbols.get(), XK_Num_Lock);
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr),
        &std::free);
    if (mapping && !numLock.empty()) {
        const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(mapping.get());
        const int perModifier = mapping->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t key = keys[modifier * perModifier + i];
                if (key != 0 && std::ranges::find(numLock, key) != numLock.end()) {
                    return static_cast<std::uint16_t>(1u << modifier);
                }
            }
        }
    }
    return XCB_MOD_MASK_2;
}

} // namespace

X11HotKey::X11HotKey() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return;
    m_connection = x11->connection();
    // Hot keys belong to the default screen, the one Qt's connection was opened on.
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_numLockMask = numLockMaskOf(m_connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKey::~X11HotKey() {
    if (!m_connection) return;
    for (const Grab& grab : m_grabs) ungrab(grab.keycodes, grab.xModifiers);
    xcb_flush(m_connection);
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

std::uint16_t X11HotKey::addAtom(std::string_view name) {
    return m_atoms.add(name);
}

bool X11HotKey::registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                               Handler handler) {
    if (!m_connection) return false;
    const xcb_keysym_t keysym = keysymOf(key);
    if (keysym == 0) return false;
    KeySymbols symbols(xcb_key_symbols_alloc(m_connection), &xcb_key_symbols_free);
    const std::vector<std::uint8_t> keycodes = keycodesOf(symbols.get(), keysym);
    if (keycodes.empty()) return false;
    const std::uint16_t xModifiers = xModifiersOf(modifiers);
    // Like RegisterHotKey, a combination that is already registered cannot be had twice.
    for (const Grab& grab : m_grabs) {
        if (grab.xModifiers == xModifiers && grab.keycodes == keycodes) return false;
    }

    // All requests first, then one round trip for the answers. owner_events is off so that the
    // press comes to the root window even when one of the program's own windows has the focus.
    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint8_t keycode : keycodes) {
        for (const std::uint16_t variant : lockVariants()) {
            cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root, xModifiers | variant,
                                                   keycode, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
        }
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        // BadAccess: another client holds this grab.
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    if (refused) {
        // Ungrabbing touches only this client's grabs, so the other client keeps its own.
        ungrab(keycodes, xModifiers);
        xcb_flush(m_connection);
        return false;
    }
    m_grabs.push_back(Grab{id, modifiers, key, keycodes, xModifiers, std::move(handler)});
    return true;
}

void X11HotKey::unregisterHotKey(std::uint16_t id) {
    if (!m_connection) return;
    std::erase_if(m_grabs, [&](const Grab& grab) {
        if (grab.id != id) return false;
        ungrab(grab.keycodes, grab.xModifiers);
        return true;
    });
    xcb_flush(m_connection);
}

bool X11HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    if (press->event != m_root) return false;
    // The low byte holds the modifiers; pointer buttons and the keyboard group sit above it.
    const std::uint16_t pressed = press->state & 0xff & ~(XCB_MOD_MASK_LOCK | m_numLockMask);
    for (const Grab& grab : m_grabs) {
        if (grab.xModifiers != pressed ||
            std::ranges::find(grab.keycodes, press->detail) == grab.keycodes.end()) {
            continue;
        }
        // A copy: the handler may unregister the hot key.
        const Handler handler = grab.handler;
        const unsigned modifiers = grab.modifiers;
        const unsigned key = grab.key;
        if (handler) handler(modifiers, key);
        return true;
    }
    return false;
}

std::vector<std::uint16_t> X11HotKey::lockVariants() const {
    return {0, XCB_MOD_MASK_LOCK, m_numLockMask,
            static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | m_numLockMask)};
}

void X11HotKey::ungrab(const std::vector<std::uint8_t>& keycodes, std::uint16_t xModifiers) {
    for (const std::uint8_t keycode : keycodes) {
        for (const std::uint16_t variant : lockVariants()) {
            xcb_ungrab_key(m_connection, keycode, m_root, xModifiers | variant);
        }
    }
}

} // namespace zub
