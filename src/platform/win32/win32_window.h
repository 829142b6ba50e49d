#pragma once

#include <functional>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace zub::win32 {

// A hidden top-level window of the backend's own, for the messages the system sends to a window
// rather than to the program: the clipboard viewer chain's notices, hot keys, the clipboard's
// owner. Its messages go to `handler` without passing through Qt, so a message sent while a
// system call runs (a viewer's first notice during SetClipboardViewer) is handled at once.
// The handler returns whether it handled the message; the rest get the default handling.
class MessageWindow {
public:
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND handle() const { return m_window; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler m_handler;
    HWND m_window = nullptr;
};

} // namespace zub::win32
