#include "platform/win32/win32_screen.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QWindow>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it builds on.
#include <dwmapi.h>

#include <thread>

namespace zub {
namespace {

bool hiddenWindowStillShows() {
    for (const QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() || !window->handle()) continue;
        if (IsWindowVisible(reinterpret_cast<HWND>(window->winId()))) return true;
    }
    return false;
}

} // namespace

QSize Win32Screen::primarySize() const {
    return QSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void Win32Screen::waitUntilHiddenWindowsAreGone() {
    QElapsedTimer waited;
    waited.start();
    while (hiddenWindowStillShows() && waited.elapsed() < m_hideTimeout.count()) {
        QGuiApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Under composition the screen shows the hidden windows until the next frame is composed.
    BOOL composed = FALSE;
    if (SUCCEEDED(DwmIsCompositionEnabled(&composed)) && composed) DwmFlush();
    GdiFlush();
}

QImage Win32Screen::grab() {
    waitUntilHiddenWindowsAreGone();
    const QSize size = primarySize();
    if (size.isEmpty()) return {};

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width();
    // Top-down rows, as QImage keeps them.
    info.bmiHeader.biHeight = -size.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    QImage image;
    if (bitmap && bits) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        // CAPTUREBLT brings in the layered windows (tool tips, menus) that show on the screen.
        if (BitBlt(memory, 0, 0, size.width(), size.height(), screen, 0, 0, SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            image = QImage(static_cast<const uchar*>(bits), size.width(), size.height(),
                           size.width() * 4, QImage::Format_RGB32)
                        .copy();
        }
        SelectObject(memory, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

void Win32Screen::beep() {
    MessageBeep(1);
}

} // namespace zub
