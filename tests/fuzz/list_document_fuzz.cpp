// List documents arrive from anywhere. Whatever the bytes: every entry is one line without line
// ends or NULs, saving the entries and reading them back gives the same entries, and loading them
// into a sorted list only reorders them, in collation order.

#include "cliplist/clip_list.h"
#include "cliplist/list_document.h"
#include "fuzz_check.h"
#include "text/collation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zub::Collator collator("zh_CN");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> entries = zub::parseListDocument(bytes);
    for (const std::string& entry : entries)
        ZUB_FUZZ_CHECK(entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);

    zub::ClipList list(collator);
    list.assign(entries);
    ZUB_FUZZ_CHECK(zub::parseListDocument(zub::formatListDocument(list)) == entries);

    zub::ClipList sorted(collator);
    sorted.setSorted(true);
    sorted.assign(entries);
    ZUB_FUZZ_CHECK(sorted.size() == entries.size());
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        shown.emplace_back(sorted.text(i));
        if (i > 0) ZUB_FUZZ_CHECK(collator.compare(sorted.text(i - 1), sorted.text(i)) <= 0);
    }
    std::vector<std::string> expected = entries;
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    ZUB_FUZZ_CHECK(shown == expected);
    return 0;
}
