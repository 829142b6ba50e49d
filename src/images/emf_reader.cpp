#include "images/emf_reader.h"

#include "images/field_reader.h"
#include "images/metafile_size.h"
#include "images/svg_raster.h"

#include <emf2svg.h>
#include <uemf_safe.h>

#include <cstdlib>
#include <memory>

namespace zub {
namespace {

constexpr std::uint32_t kHeaderRecord = 1;
constexpr std::uint32_t kEndOfFileRecord = 14;
constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kExtTextOutA = 83;
constexpr std::uint32_t kExtTextOutW = 84;
constexpr std::uint32_t kGlyphIndexes = 0x10; // ETO_GLYPH_INDEX
constexpr std::uint32_t kMinHeaderSize = 88;
// From this size on, the header tells where an OpenGL pixel format lies.
constexpr std::uint32_t kPixelFormatHeaderSize = 100;

// Every record lies inside the file and passes libuemf's own check of its fields, and the last
// one ends the metafile. Returns the metafile's length.
std::uint64_t checkRecords(const FieldReader& in) {
    const std::uint64_t declared = in.u32(48);
    in.require(declared <= in.size());
    std::uint64_t at = 0;
    for (;;) {
        in.require(in.has(at, 8) && at + 8 <= declared);
        const std::uint32_t type = in.u32(at);
        const std::uint64_t size = in.u32(at + 4);
        in.require(size >= 8 && size % 4 == 0 && at + size <= declared);
        in.require(U_emf_record_safe(in.bytes().data() + at) != 0);
        at += size;
        if (type == kEndOfFileRecord) return at;
    }
}

// The header's description and pixel format, where present, lie inside the header record.
void checkHeaderParts(const FieldReader& in, std::uint64_t headerSize) {
    const std::uint64_t characters = in.u32(60);
    const std::uint64_t description = in.u32(64);
    if (characters > 0)
        in.require(description >= kMinHeaderSize && description + 2 * characters <= headerSize);
    if (headerSize >= kPixelFormatHeaderSize) {
        const std::uint64_t formatBytes = in.u32(88);
        const std::uint64_t format = in.u32(92);
        if (formatBytes > 0)
            in.require(format >= kPixelFormatHeaderSize && format + formatBytes <= headerSize);
    }
}

// libemf2svg reads the description as a string wherever its offset points, even one of no
// characters, and needs neither it nor the pixel format to draw: its copy goes without them.
void withoutDescription(std::string& copy, std::uint64_t headerSize) {
    copy.replace(60, 8, 8, '\0');
    if (headerSize >= kPixelFormatHeaderSize) copy.replace(88, 8, 8, '\0');
}

// Text whose characters are glyph indexes makes libemf2svg look the font up through fontconfig
// and shut fontconfig down afterwards, under the feet of Qt, which uses it too; it also reads
// its glyph table past the end. Such text is left out of the copy it draws: plain text of no
// characters.
void withoutGlyphIndexText(std::string& copy, std::uint64_t length) {
    const FieldReader in(copy, kMetafileNotValid);
    for (std::uint64_t at = 0; at < length; at += in.u32(at + 4)) {
        const std::uint32_t type = in.u32(at);
        constexpr std::uint64_t kCharacters = 44;
        constexpr std::uint64_t kOptions = 52;
        if ((type == kExtTextOutA || type == kExtTextOutW) && in.has(at, kOptions + 4)) {
            const std::uint32_t options = in.u32(at + kOptions);
            if ((options & kGlyphIndexes) != 0) {
                copy.replace(at + kCharacters, 4, 4, '\0');
                copy[at + kOptions] = static_cast<char>(options & ~kGlyphIndexes & 0xff);
            }
        }
        if (type == kEndOfFileRecord) break;
    }
}

MetafilePixels pictureSize(const FieldReader& in) {
    // The frame, in hundredths of a millimetre, on the reference device of the metafile.
    const double frameWidth = static_cast<double>(in.i32(32)) - in.i32(24);
    const double frameHeight = static_cast<double>(in.i32(36)) - in.i32(28);
    const double devicePixelsX = in.i32(72);
    const double devicePixelsY = in.i32(76);
    const double deviceMillimetresX = in.i32(80);
    const double deviceMillimetresY = in.i32(84);
    if (devicePixelsX > 0 && devicePixelsY > 0 && deviceMillimetresX > 0 && deviceMillimetresY > 0)
        return metafilePixels(in, frameWidth * devicePixelsX / (deviceMillimetresX * 100),
                              frameHeight * devicePixelsY / (deviceMillimetresY * 100));
    return metafilePixels(in, frameWidth * 96 / 2540, frameHeight * 96 / 2540);
}

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

} // namespace

bool looksLikeEmf(std::string_view bytes) {
    const FieldReader in(bytes, kMetafileNotValid);
    return in.has(0, kMinHeaderSize) && in.u32(0) == kHeaderRecord && in.u32(40) == kSignature;
}

Picture readEmf(std::string bytes) {
    const FieldReader in(bytes, kMetafileNotValid);
    in.require(looksLikeEmf(bytes));
    const std::uint64_t headerSize = in.u32(4);
    in.require(headerSize >= kMinHeaderSize && in.has(0, headerSize));
    checkHeaderParts(in, headerSize);
    const std::uint64_t length = checkRecords(in);
    const MetafilePixels size = pictureSize(in);

    // libemf2svg takes its input as writable memory; it gets a copy.
    std::string input = bytes.substr(0, length);
    withoutDescription(input, headerSize);
    withoutGlyphIndexText(input, length);
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    options.imgWidth = size.width;
    options.imgHeight = size.height;
    char* svg = nullptr;
    std::size_t svgLength = 0;
    const int converted = emf2svg(input.data(), input.size(), &svg, &svgLength, &options);
    const std::unique_ptr<char, FreeDeleter> owned(svg);
    in.require(converted != 0 && svg != nullptr);

    QImage image =
        renderSvg(QByteArray(svg, static_cast<qsizetype>(svgLength)), size.width, size.height);
    in.require(!image.isNull());
    return Picture::fromMetafile(PictureFormat::Emf, std::move(image), std::move(bytes));
}

} // namespace zub
