#pragma once

// The one crossing between the cores' code-page bytes and Qt's strings.

#include <QString>

#include <string>
#include <string_view>

namespace zub {

// Lossless both ways: a byte that is no character of the code page crosses as an escaped byte
// (see cp::toUtf16), which the program's widgets keep.
QString toQString(std::string_view bytes);
std::string fromQString(const QString& text);

// The text for other programs, which know only Unicode: a byte that is no character of the
// code page becomes U+FFFD.
QString toQStringForOthers(std::string_view bytes);

} // namespace zub
