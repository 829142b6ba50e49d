#pragma once

#include "platform/clipboard.h"
#include "platform/win32/win32_window.h"

namespace zub {

// The Windows clipboard. Text is read as CF_UNICODETEXT and turned into code-page bytes by the
// text layer, so the program reads the same bytes whatever the system's ANSI code page is; the
// program's own text is set as CF_UNICODETEXT and CF_TEXT, and also as its exact bytes in a
// format of its own, so that reading it back gives every byte, even one that is no character.
// Bitmaps are read as a device-independent bitmap (CF_DIB, which the system makes from any
// CF_BITMAP), or as PNG where a program offers only that, and set as CF_DIB.
//
// Opening the clipboard fails while another program holds it open; the clipboard is tried a few
// times in a short while before "Cannot open clipboard" is reported.
class Win32Clipboard : public Clipboard {
public:
    Win32Clipboard();
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    bool offersText() const override;
    bool offersBitmap() const override;
    bool isSecret() const override;
    std::string readText() override;
    QImage readBitmap() override;
    QByteArray readEncodedBitmap() override;
    void open() override;
    void close() override;
    void empty() override;
    void setText(std::string_view bytes) override;
    void setBitmap(const QImage& image) override;

private:
    // Opens for a read or a write of its own unless a write session holds the clipboard open.
    class Session;
    void openOrThrow();

    win32::MessageWindow m_window;
    UINT m_exactText = 0;
    UINT m_png = 0;
    UINT m_excludeFromMonitors = 0;
    UINT m_viewerIgnore = 0;
    UINT m_historyPermission = 0;
    int m_openCount = 0;
};

} // namespace zub
