// The edit-box finder looks for a text without regard to case by upper-casing one character at a
// time. It must find exactly what upper-casing both texts whole and searching would find.
// Input: one byte for the needle's length, the needle, then the haystack.

#include "fuzz_check.h"
#include "text/codepage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool isCharBoundary(std::string_view text, std::size_t at) {
    std::size_t pos = 0;
    while (pos < at) pos += zub::cp::charLength(text, pos);
    return pos == at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zub;
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t needleLength = std::min<std::size_t>(data[0], rest.size());
    const std::string_view needle = rest.substr(0, needleLength);
    const std::string_view hay = rest.substr(needleLength);

    const std::string upperNeedle = cp::toUpper(needle);
    const std::string upperHay = cp::toUpper(hay);
    const cp::NoCaseFinder finder(needle);

    ZUB_FUZZ_CHECK(finder.find(hay) == cp::findOnBoundary(upperHay, upperNeedle));

    const bool prefix = needle.empty() || (upperHay.starts_with(upperNeedle) &&
                                           isCharBoundary(hay, upperNeedle.size()));
    ZUB_FUZZ_CHECK(finder.isPrefixOf(hay) == prefix);
    ZUB_FUZZ_CHECK(cp::startsWithNoCase(hay, needle) == prefix);
    return 0;
}
