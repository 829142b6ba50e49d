#pragma once

#include <QString>

#include <string_view>

namespace zub {

// The text of the error message box: the message, with a full stop added when its last byte
// sorts above "." so that a message already ending in one does not get a second.
QString errorMessageText(std::string_view message);

} // namespace zub
