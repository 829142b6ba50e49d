#pragma once

#include <stdexcept>
#include <string>

namespace zub {

// Every failure the user is told about travels as this type. The message is the text shown to
// the user, verbatim; the error display adds the closing full stop where one is missing.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace zub
