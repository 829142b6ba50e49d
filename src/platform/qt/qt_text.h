#pragma once

// The one crossing between the cores' code-page bytes and Qt's strings.

#include <QString>

#include <string>
#include <string_view>

namespace zub {

QString toQString(std::string_view bytes);
std::string fromQString(const QString& text);

} // namespace zub
