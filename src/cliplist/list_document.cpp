#include "cliplist/list_document.h"

#include "cliplist/clip_list.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace zub {

std::vector<std::string> parseListDocument(std::string_view bytes) {
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        bytes =
            bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));

    std::vector<std::string> entries;
    // Nearly every line ends in LF; knowing the count first saves the vector its regrowing.
    entries.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n') ++lineEnd;
        entries.emplace_back(p, lineEnd);
        p = lineEnd;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
    return entries;
}

std::string formatListDocument(const ClipList& list) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < list.size(); ++i) total += list.text(i).size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (std::size_t i = 0; i < list.size(); ++i) {
        bytes += list.text(i);
        bytes += "\r\n";
    }
    return bytes;
}

std::vector<std::string> readListDocument(const std::filesystem::path& path) {
    // The text ends at the first NUL, so nothing after it is read at all.
    const std::string bytes = files::readTextBeforeNul(path);
    try {
        return parseListDocument(bytes);
    } catch (const std::bad_alloc&) {
        throw files::openError(path, ENOMEM);
    }
}

void loadListDocument(const std::filesystem::path& path, ClipList& list) {
    std::vector<std::string> entries = readListDocument(path);
    try {
        list.assign(std::move(entries));
    } catch (const std::bad_alloc&) {
        throw files::openError(path, ENOMEM);
    }
}

void saveListDocument(const std::filesystem::path& path, const ClipList& list) {
    std::string bytes;
    try {
        bytes = formatListDocument(list);
    } catch (const std::bad_alloc&) {
        throw files::createError(path, ENOMEM);
    }
    files::writeWholeFile(path, bytes);
}

} // namespace zub
