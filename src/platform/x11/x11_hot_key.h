#pragma once

#include "platform/atom_table.h"

#include "platform/hot_key.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace zub {

// Global hot keys as passive key grabs on the root window. A grab matches its modifiers exactly,
// so each combination is grabbed four times, with and without Caps Lock and Num Lock, or the
// key would stop working whenever one of them is on. Presses reach the program through a native
// event filter on Qt's own X connection, with the modifiers and key code that the Windows
// hot-key message carries.
class X11HotKey : public HotKey, private QAbstractNativeEventFilter {
public:
    // Needs the QGuiApplication, and must go before it (it ungrabs on Qt's connection). On a
    // platform other than xcb every registration fails.
    X11HotKey();
    ~X11HotKey() override;
    X11HotKey(const X11HotKey&) = delete;
    X11HotKey& operator=(const X11HotKey&) = delete;

    std::uint16_t addAtom(std::string_view name) override;
    // Letters, digits and F1-F24, with any of Alt, Control, Shift and the Windows key.
    bool registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                        Handler handler) override;
    void unregisterHotKey(std::uint16_t id) override;

private:
    struct Grab {
        std::uint16_t id;
        unsigned modifiers;
        unsigned key;
        std::vector<std::uint8_t> keycodes;
        std::uint16_t xModifiers;
        Handler handler;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    std::vector<std::uint16_t> lockVariants() const;
    void ungrab(const std::vector<std::uint8_t>& keycodes, std::uint16_t xModifiers);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint16_t m_numLockMask = 0;
    std::vector<Grab> m_grabs;
    AtomTable m_atoms;
};

} // namespace zub
