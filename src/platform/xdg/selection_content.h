#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zub {

// What another program put on the clipboard, as it was at one change.
struct SelectionContent {
    std::optional<QString> text;
    // Encoded picture bytes as the owner served them, and their type (e.g. "image/png").
    QByteArray image;
    QByteArray imageType;
    // A password manager marked the content as not for clipboard histories.
    bool secret = false;
};

} // namespace zub
