#include "platform/win32/win32_hot_key.h"

#include "platform/windows_text.h"

namespace zub {

Win32HotKey::Win32HotKey()
    : m_window([this](UINT message, WPARAM wParam, LPARAM lParam) {
          return this->message(message, wParam, lParam);
      }) {}

Win32HotKey::~Win32HotKey() {
    for (const auto& [id, handler] : m_handlers) UnregisterHotKey(m_window.handle(), id);
}

std::uint16_t Win32HotKey::addAtom(std::string_view name) {
    // The system's global atom table; the atom is never deleted, as the program always did.
    return GlobalAddAtomW(win32::wideFromCodePage(name).c_str());
}

bool Win32HotKey::registerHotKey(std::uint16_t id, unsigned modifiers, unsigned key,
                                 Handler handler) {
    if (!RegisterHotKey(m_window.handle(), id, modifiers, key)) return false;
    m_handlers[id] = std::move(handler);
    return true;
}

void Win32HotKey::unregisterHotKey(std::uint16_t id) {
    if (m_handlers.erase(id) > 0) UnregisterHotKey(m_window.handle(), id);
}

bool Win32HotKey::message(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HOTKEY) return false;
    const auto found = m_handlers.find(static_cast<std::uint16_t>(wParam));
    // A copy: the handler may unregister itself.
    if (found != m_handlers.end()) {
        const Handler handler = found->second;
        handler(LOWORD(lParam), HIWORD(lParam));
    }
    return true;
}

} // namespace zub
