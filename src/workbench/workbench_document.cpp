#include "workbench/workbench_document.h"

#include "platform/error.h"
#include "platform/files.h"
#include "text/encoding_guess.h"
#include "text/utf8.h"

#include <algorithm>

namespace zub {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

std::string workbenchText(std::string_view fileBytes) {
    const std::size_t nul = fileBytes.find('\0');
    if (nul != std::string_view::npos) fileBytes = fileBytes.substr(0, nul);
    std::string text;
    text.reserve(fileBytes.size() + fileBytes.size() / 32);
    const std::size_t n = fileBytes.size();
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i;
        while (j < n && fileBytes[j] != '\r' && fileBytes[j] != '\n') ++j;
        text.append(fileBytes.substr(i, j - i));
        if (j == n) break;
        text += "\r\n";
        i = j + ((fileBytes[j] == '\r' && j + 1 < n && fileBytes[j + 1] == '\n') ? 2 : 1);
    }
    return text;
}

const char* encodingName(const DocumentFormat& format) {
    return format.encoding == DocumentFormat::Encoding::Utf8 ? "UTF-8" : "GBK";
}

WorkbenchDocument workbenchDocument(std::string_view fileBytes) {
    const std::size_t nul = fileBytes.find('\0');
    if (nul != std::string_view::npos) fileBytes = fileBytes.substr(0, nul);
    DocumentFormat format;
    if (fileBytes.starts_with(kByteOrderMark) &&
        utf8::isValid(fileBytes.substr(kByteOrderMark.size()))) {
        format.byteOrderMark = true;
        fileBytes.remove_prefix(kByteOrderMark.size());
    } else if (!encoding::looksLikeUtf8(fileBytes)) {
        return {workbenchText(fileBytes), format};
    }
    format.encoding = DocumentFormat::Encoding::Utf8;
    format.lfLineBreaks = fileBytes.find('\n') != std::string_view::npos &&
                          fileBytes.find('\r') == std::string_view::npos;
    return {workbenchText(utf8::toCodePage(fileBytes)), format};
}

std::string documentBytes(std::string_view text, const DocumentFormat& format) {
    if (format.encoding == DocumentFormat::Encoding::CodePage) return std::string(text);
    std::string out(format.byteOrderMark ? kByteOrderMark : std::string_view());
    out += utf8::fromCodePage(text, utf8::StrayBytes::Keep);
    if (format.lfLineBreaks) {
        // The workbench's text has no CR but in its CR LF line breaks.
        std::erase(out, '\r');
    }
    return out;
}

WorkbenchDocument readWorkbenchDocument(const std::filesystem::path& path, std::size_t capacity) {
    // Line breaks only grow, and in the code page so does UTF-8 but for Chinese: more bytes than
    // the capacity before the NUL are too many.
    const std::string bytes = files::readUntilNul(path, capacity);
    if (bytes.size() > capacity) throw Error("Text exceeds memo capacity");
    WorkbenchDocument document = workbenchDocument(bytes);
    if (document.text.size() > capacity) throw Error("Text exceeds memo capacity");
    return document;
}

void writeWorkbenchDocument(const std::filesystem::path& path, std::string_view text) {
    files::writeWholeFile(path, text);
}

} // namespace zub
