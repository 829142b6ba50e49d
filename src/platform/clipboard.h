#pragma once

#include <QImage>

#include <string>
#include <string_view>

namespace zub {

// The system clipboard as the program uses it. Text crosses this boundary as code-page bytes.
// Every reading or writing call may fail with zub::Error("Cannot open clipboard") when another
// program holds the clipboard.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Whether text (of any flavour) or a bitmap is offered; asking never fails.
    virtual bool offersText() const = 0;
    virtual bool offersBitmap() const = 0;

    // The text up to its first NUL, in the code page; empty when there is none.
    virtual std::string readText() = 0;
    virtual QImage readBitmap() = 0;

    // Empties the clipboard of every format.
    virtual void empty() = 0;
    virtual void setText(std::string_view bytes) = 0;
    virtual void setBitmap(const QImage& image) = 0;
};

} // namespace zub
