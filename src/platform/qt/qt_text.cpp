#include "platform/qt/qt_text.h"

#include "text/codepage.h"

namespace zub {

QString toQString(std::string_view bytes) {
    const std::u16string u = cp::toUtf16(bytes);
    return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}

QString toQStringForOthers(std::string_view bytes) {
    QString text = toQString(bytes);
    for (qsizetype i = 0; i < text.size(); ++i) {
        // An escaped byte is never the second half of a pair: toUtf16 writes no lone high one.
        if (text[i].isHighSurrogate())
            ++i;
        else if (cp::isEscapedByte(text[i].unicode()))
            text[i] = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

std::string fromQString(const QString& text) {
    return cp::fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

} // namespace zub
