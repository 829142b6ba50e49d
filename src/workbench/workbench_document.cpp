#include "workbench/workbench_document.h"

#include "platform/error.h"
#include "platform/files.h"

namespace zub {

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

std::string readWorkbenchDocument(const std::filesystem::path& path, std::size_t capacity) {
    // Line breaks only grow, so more bytes than the capacity before the NUL are too many.
    const std::string bytes = files::readUntilNul(path, capacity);
    if (bytes.size() > capacity) throw Error("Text exceeds memo capacity");
    std::string text = workbenchText(bytes);
    if (text.size() > capacity) throw Error("Text exceeds memo capacity");
    return text;
}

void writeWorkbenchDocument(const std::filesystem::path& path, std::string_view text) {
    files::writeWholeFile(path, text);
}

} // namespace zub
