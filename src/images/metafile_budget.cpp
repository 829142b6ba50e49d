#include "images/metafile_budget.h"

#include "images/bmp_reader.h"
#include "platform/error.h"

#include <cstdlib>
#include <string>

namespace zub {

void MetafileBudget::checkBitmap(std::string_view info, std::string_view bits,
                                 bool paletteIndexes) {
    const FieldReader header(info, kMetafileNotValid);
    const std::uint32_t size = header.u32(0);
    // The metafile libraries read the headers of these sizes; anything else has sent one of
    // them into an endless loop.
    header.require(size == 12 || size == 40 || size == 108 || size == 124);
    header.require(header.has(0, size));
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint64_t colours = 0;
    if (size == 12) {
        width = header.u16(4);
        height = header.u16(6);
        bitsPerPixel = header.u16(10);
    } else {
        width = header.i32(4);
        height = std::llabs(header.i32(8));
        bitsPerPixel = header.u16(14);
        colours = header.u32(32);
    }
    header.require(width > 0 && height > 0);
    const auto pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    header.require(pixels <= kBitmapPixels && (m_bitmapPixels += pixels) <= kAllBitmapPixels);

    // The libraries allocate the colour table the header counts, even where the pixels need
    // none: it must lie within the record.
    header.require(colours <= 0xFFFF && header.has(size, (paletteIndexes ? 2 : 4) * colours));

    // Our reader takes a bitmap file: a file header, then the header and colours, then the
    // pixels. Indexes into the palette stand in as colours of the same number.
    std::string file = "BM";
    file.append(12, '\0');
    if (paletteIndexes && bitsPerPixel <= 8) {
        header.require(colours <= 256);
        const std::uint64_t entries = colours != 0 ? colours : std::uint64_t{1} << bitsPerPixel;
        header.require(header.has(size, 2 * entries));
        file.append(info.substr(0, size));
        file.append(4 * entries, '\0');
    } else {
        file.append(info);
    }
    // Pixels given apart start right after the header and colours; in one piece with them, the
    // reader finds them after the colours the header counts.
    if (!bits.empty()) {
        const auto offset = static_cast<std::uint32_t>(file.size());
        for (int i = 0; i < 4; ++i) file[10 + i] = static_cast<char>(offset >> (8 * i) & 0xff);
    }
    file.append(bits);
    try {
        decodeBmp(file);
    } catch (const Error&) {
        m_in.fail();
    }
}

} // namespace zub
