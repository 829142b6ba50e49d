#include "app/error_display.h"

namespace zub {

QString errorMessageText(std::string_view message) {
    QString text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') text += '.';
    return text;
}

} // namespace zub
