#include "platform/qt/qt_text.h"

#include "text/codepage.h"

namespace zub {

QString toQString(std::string_view bytes) {
    const std::u16string u = cp::toUtf16(bytes);
    return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}

std::string fromQString(const QString& text) {
    return cp::fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

} // namespace zub
