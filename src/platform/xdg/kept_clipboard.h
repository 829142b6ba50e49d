#pragma once

#include "platform/clipboard.h"
#include "platform/xdg/selection_content.h"

#include <QByteArray>
#include <QImage>

#include <functional>
#include <optional>
#include <string>

namespace zub {

// A clipboard whose content lives in the program that copied it (X11, Wayland) and is gone when
// that program quits, while the program is written for a system that keeps it. So a copy is kept
// here: another program's content is read as soon as it copies (by the backend, without waiting
// on it), and the copy answers every read. Reading the program's own writes back gives exactly
// the bytes written, even where the text the other programs see had to replace bytes that are no
// character.
//
// The backend hands other programs' content to foreignChange() and serves the program's own
// writes in publish(). No call here ever fails with "Cannot open clipboard": neither system has
// a clipboard lock.
class KeptClipboard : public Clipboard {
public:
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

    // Runs after every change of the content: once another program's content has been read, and
    // once per close() of the program's own writes.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    // Whether the copy is the clipboard's content, that is no other program's copy is still being
    // read; the settled handler runs each time that becomes true again.
    virtual bool isSettled() const = 0;
    void setSettledHandler(std::function<void()> handler) { m_settled = std::move(handler); }

protected:
    // Hands the kept content to the system to serve to other programs (nothing kept: the
    // clipboard is emptied). Returns whether other programs' copies were still being read and
    // have been given up, being older than this write.
    virtual bool publish() = 0;
    void foreignChange(SelectionContent content);
    void settledNow() {
        if (m_settled) m_settled();
    }

    const std::optional<std::string>& keptText() const { return m_text; }
    // The program's own picture, or another program's once it has been read; null until then.
    const QImage& decodedImage() const { return m_image; }
    const QByteArray& encodedImage() const { return m_encodedImage; }
    const QByteArray& encodedImageType() const { return m_encodedImageType; }

private:
    void forget();

    std::function<void()> m_changed;
    std::function<void()> m_settled;
    std::optional<std::string> m_text;
    // A picture is kept as the bytes its owner served and decoded only when it is read.
    QByteArray m_encodedImage;
    QByteArray m_encodedImageType;
    mutable QImage m_image;
    bool m_secret = false;
    int m_openCount = 0;
    bool m_written = false;
};

} // namespace zub
