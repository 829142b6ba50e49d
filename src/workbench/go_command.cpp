#include "workbench/go_command.h"

#include "platform/shell.h"
#include "text/codepage.h"

namespace zub {
namespace {

constexpr std::string_view kAutoCompleteHead = "http://www.";
constexpr std::string_view kAutoCompleteTail = ".com";

void appendUtf8(std::string& out, char32_t c) {
    auto byte = [&out](unsigned value) { out.push_back(static_cast<char>(value)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

std::string toUtf8(std::string_view text) {
    const std::u16string units = cp::toUtf16(text);
    std::string out;
    out.reserve(units.size() * 3);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

std::string percentEncodedQuery(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : toUtf8(text)) {
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
