#pragma once

#include "platform/hot_key.h"
#include "platform/win32/win32_window.h"

#include <map>

namespace zub {

// Global hot keys with RegisterHotKey on a window of the backend's own: the system posts
// WM_HOTKEY to it with the modifiers and virtual key that the handler is given.
class Win32HotKey : public HotKey {
public:
    Win32HotKey();
    ~Win32HotKey() override;
    Win32HotKey(const Win32HotKey&) = delete;
    Win32HotKey& operator=(const Win32HotKey&) = delete;

    std::uint16_t addAtom(std::string_view name) override;
    bool registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                        Handler handler) override;
    void unregisterHotKey(std::uint16_t id) override;

private:
    bool message(UINT message, WPARAM wParam, LPARAM lParam);

    win32::MessageWindow m_window;
    std::map<std::uint16_t, Handler> m_handlers;
};

} // namespace zub
