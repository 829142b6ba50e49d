#include "cliplist/list_document.h"

#include "cliplist/clip_list.h"
#include "platform/error.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace zub {

LineSpans splitListDocument(std::string_view bytes) {
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        bytes =
            bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));

    LineSpans lines;
    // Nearly every line ends in LF; knowing the count first saves the vector its regrowing.
    lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    // The next CR and the next LF, each found by memchr, which looks at many bytes at a time.
    auto next = [end](const char* from, char c) {
        const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
        return found ? static_cast<const char*>(found) : end;
    };
    const char* p = begin;
    const char* cr = next(p, '\r');
    const char* lf = next(p, '\n');
    while (p < end) {
        if (cr < p) cr = next(p, '\r');
        if (lf < p) lf = next(p, '\n');
        const char* lineEnd = std::min(cr, lf);
        lines.push_back(LineSpan{static_cast<std::uint32_t>(p - begin),
                                 static_cast<std::uint32_t>(lineEnd - p)});
        p = lineEnd;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
    return lines;
}

std::vector<std::string> parseListDocument(std::string_view bytes) {
    std::vector<std::string> entries;
    for (const LineSpan& line : splitListDocument(bytes))
        entries.emplace_back(bytes.substr(line.offset, line.length));
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

namespace {

std::string readDocumentBytes(const std::filesystem::path& path) {
    // The text ends at the first NUL, so nothing after it is read at all.
    std::string bytes = files::readTextBeforeNul(path);
    // Line offsets are 32 bits: a document that large is no list anyone could use.
    if (bytes.size() >= std::numeric_limits<std::uint32_t>::max())
        throw files::openError(path, EFBIG);
    return bytes;
}

} // namespace

std::vector<std::string> readListDocument(const std::filesystem::path& path) {
    const std::string bytes = readDocumentBytes(path);
    try {
        return parseListDocument(bytes);
    } catch (const std::bad_alloc&) {
        throw files::openError(path, ENOMEM);
    }
}

void loadListDocument(const std::filesystem::path& path, ClipList& list) {
    std::string bytes = readDocumentBytes(path);
    try {
        LineSpans lines = splitListDocument(bytes);
        list.assignLines(std::move(bytes), std::move(lines));
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
