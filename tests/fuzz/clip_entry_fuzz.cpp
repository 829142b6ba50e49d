// The entry parser: clip text, comment marker and comment of any entry. The clip text and the
// tail make up the entry; the marker is the first one; the comment is what follows it.

#include "cliplist/clip_entry.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zub;
    const std::string_view entry(reinterpret_cast<const char*>(data), size);

    const std::size_t marker = markerPosition(entry);
    ZUB_FUZZ_CHECK(marker == entry.find(kCommentMarker));
    const std::string_view clip = clipText(entry);
    const std::string_view tail = entryTail(entry);
    ZUB_FUZZ_CHECK(std::string(clip) + std::string(tail) == entry);
    ZUB_FUZZ_CHECK(clip.find(kCommentMarker) == std::string_view::npos);

    const auto comment = entryComment(entry);
    ZUB_FUZZ_CHECK(comment.has_value() == (marker != std::string_view::npos));
    if (comment) {
        ZUB_FUZZ_CHECK(tail.substr(0, kCommentMarker.size()) == kCommentMarker);
        ZUB_FUZZ_CHECK(*comment == tail.substr(kCommentMarker.size()));
    } else {
        ZUB_FUZZ_CHECK(tail.empty() && clip == entry);
    }

    ZUB_FUZZ_CHECK(clipTextEquals(entry, clip));
    ZUB_FUZZ_CHECK(!clipTextEquals(entry, std::string(clip) + "x"));
    if (!clip.empty()) ZUB_FUZZ_CHECK(!clipTextEquals(entry, clip.substr(1)));
    return 0;
}
