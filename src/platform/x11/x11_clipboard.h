#pragma once

#include "platform/clipboard.h"
#include "platform/x11/x11_selection_reader.h"

#include <QByteArray>
#include <QImage>

#include <functional>
#include <optional>
#include <string>

namespace zub {

// The X11 CLIPBOARD selection.
//
// On X11 the clipboard's content lives in the program that copied it and is gone when that
// program quits; on Windows the system keeps it. The program is written for the Windows
// behaviour, so this class keeps a copy: another program's content is read (without waiting on
// it, see X11SelectionReader) as soon as it copies, and when an owner quits or gives the
// clipboard up, the copy goes on answering. The program's own writes are served by Qt; reading
// them back gives exactly the bytes written, even where the text the other programs see had to
// replace bytes that are no character.
//
// No call here ever fails with "Cannot open clipboard": X11 has no clipboard lock.
class X11Clipboard : public Clipboard {
public:
    // Needs the QGuiApplication.
    X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    bool offersText() const override;
    bool offersBitmap() const override;
    bool isSecret() const override;
    std::string readText() override;
    QImage readBitmap() override;
    void open() override;
    void close() override;
    void empty() override;
    void setText(std::string_view bytes) override;
    void setBitmap(const QImage& image) override;

    // Runs after every change of the content: once another program's content has been read, and
    // once per close() of the program's own writes.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    // Whether the copy is the clipboard's content, that is no other program's copy is still being
    // read; the handler runs each time that becomes true again.
    bool isSettled() const { return m_reader.isIdle(); }
    void setSettledHandler(std::function<void()> handler) { m_settled = std::move(handler); }

    // How long another program may take to answer before its copy is given up.
    void setReadTimeout(std::chrono::milliseconds timeout) { m_reader.setTimeout(timeout); }

private:
    void foreignChange(SelectionContent content);
    // Hands the content to Qt to serve; whether other programs' copies were left unread.
    bool publish();
    void forget();

    X11SelectionReader m_reader;
    std::function<void()> m_changed;
    std::function<void()> m_settled;
    std::optional<std::string> m_text;
    // A picture is kept as the bytes its owner served and decoded only when it is read.
    QByteArray m_encodedImage;
    mutable QImage m_image;
    bool m_secret = false;
    int m_openCount = 0;
    bool m_written = false;
};

} // namespace zub
