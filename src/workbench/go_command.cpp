#include "workbench/go_command.h"

#include "platform/shell.h"
#include "text/utf8.h"

namespace zub {
namespace {

constexpr std::string_view kAutoCompleteHead = "http://www.";
constexpr std::string_view kAutoCompleteTail = ".com";

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

std::string percentEncodedQuery(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : utf8::fromCodePage(text, utf8::StrayBytes::Replace)) {
        const auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte)) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        }
    }
    return out;
}

std::string webSearchAddress(std::string_view text) {
    return std::string(kWebSearchAddress) + percentEncodedQuery(text);
}

std::optional<std::string> autoCompleted(std::string_view text) {
    if (text.empty() || text.size() >= kGoLengthBound) return std::nullopt;
    std::string address;
    address.reserve(kAutoCompleteHead.size() + text.size() + kAutoCompleteTail.size());
    address.append(kAutoCompleteHead).append(text).append(kAutoCompleteTail);
    return address;
}

void go(Shell& shell, std::string_view text) {
    if (opened(shell.open(text))) return;
    if (text.size() < kGoLengthBound) shell.open(webSearchAddress(text));
}

} // namespace zub
