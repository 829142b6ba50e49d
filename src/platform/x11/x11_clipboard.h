#pragma once

#include "platform/clipboard.h"

#include <QImage>
#include <QMetaObject>

#include <optional>
#include <string>

namespace zub {

// The X11 CLIPBOARD selection through QClipboard.
//
// On X11 the clipboard's content lives in the program that copied it and is gone when that
// program quits; on Windows the system keeps it. The program is written for the Windows
// behaviour, so this class copies the text and the image as soon as the clipboard changes, and
// when a change leaves the clipboard with no owner at all (the owner quit, or gave the clipboard
// up), it goes on answering from that copy. Only the program's own empty() forgets it.
//
// No call here ever fails with "Cannot open clipboard": X11 has no clipboard lock. Reading a
// foreign owner's data is bounded by Qt's own selection timeout.
class X11Clipboard : public Clipboard {
public:
    // Needs the QGuiApplication; connects to QClipboard::dataChanged before any viewer can, so
    // that viewers told of a change read the fresh copy.
    X11Clipboard();
    ~X11Clipboard() override;
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    bool offersText() const override;
    bool offersBitmap() const override;
    std::string readText() override;
    QImage readBitmap() override;
    void empty() override;
    void setText(std::string_view bytes) override;
    void setBitmap(const QImage& image) override;

private:
    void takeCopy();

    QMetaObject::Connection m_changed;
    std::optional<std::string> m_text;
    QImage m_image;
};

} // namespace zub
