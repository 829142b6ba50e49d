#include "platform/win32/win32_window.h"

namespace zub::win32 {
namespace {

constexpr wchar_t kClassName[] = L"ZubMessageWindow";

void registerClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

MessageWindow::MessageWindow(Handler handler) : m_handler(std::move(handler)) {
    registerClassOnce();
    // A top-level window, never shown: a message-only window would do for most of it, but the
    // clipboard viewer chain is a chain of ordinary windows.
    m_window = CreateWindowExW(0, kClassName, L"Zub", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!m_window) return;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure));
}

MessageWindow::~MessageWindow() {
    if (!m_window) return;
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
    DestroyWindow(m_window);
}

LRESULT CALLBACK MessageWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Nothing may unwind through the system's call of this procedure.
    try {
        if (self && self->m_handler && self->m_handler(message, wParam, lParam)) return 0;
    } catch (...) {
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace zub::win32
