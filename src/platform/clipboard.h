#pragma once

#include <QImage>

#include <string>
#include <string_view>

namespace zub {

// The system clipboard as the program uses it. Text crosses this boundary as code-page bytes.
// Every reading or writing call may fail with zub::Error("Cannot open clipboard") when another
// program holds the clipboard.
//
// Writes are grouped the Windows way: between open() and close() any number of writes make one
// change, which the clipboard viewers hear of once, when the clipboard is closed. A write outside
// open() and close() opens and closes the clipboard around itself and so is a change of its own.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Whether text (of any flavour) or a bitmap is offered; asking never fails.
    virtual bool offersText() const = 0;
    virtual bool offersBitmap() const = 0;
    // The program that copied marked the content as a secret (a password manager does): a
    // clipboard history must not keep it. Asking never fails.
    virtual bool isSecret() const = 0;

    // The text up to its first NUL, in the code page; empty when there is none.
    virtual std::string readText() = 0;
    virtual QImage readBitmap() = 0;
    // The bitmap as the program that copied it served it, still encoded (PNG, BMP, JPEG ...),
    // for decoding off the window's thread: a large or hostile picture takes long to decode.
    // Empty when the clipboard holds the pixels themselves, which readBitmap() gives.
    virtual QByteArray readEncodedBitmap() { return {}; }

    virtual void open() = 0;
    // Never fails; the viewers hear of the change here when something was written.
    virtual void close() = 0;

    // Empties the clipboard of every format.
    virtual void empty() = 0;
    // Replaces the content with this text, or with this bitmap.
    virtual void setText(std::string_view bytes) = 0;
    virtual void setBitmap(const QImage& image) = 0;
};

// The clipboard held open for a series of writes that make one change.
class ClipboardWrite {
public:
    explicit ClipboardWrite(Clipboard& clipboard) : m_clipboard(clipboard) { m_clipboard.open(); }
    ~ClipboardWrite() { m_clipboard.close(); }
    ClipboardWrite(const ClipboardWrite&) = delete;
    ClipboardWrite& operator=(const ClipboardWrite&) = delete;

private:
    Clipboard& m_clipboard;
};

} // namespace zub
