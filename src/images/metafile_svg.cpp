#include "images/metafile_drawing.h"

#include "images/field_reader.h"
#include "images/picture.h"
#include "images/svg_raster.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>
#include <uemf_safe.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>

// Metafiles drawn through SVG: libemf2svg makes SVG of an EMF, libwmf of a WMF, and Qt draws it.

namespace zub {
namespace {

constexpr std::uint32_t kEndOfFileRecord = 14;
constexpr std::uint32_t kExtTextOutA = 83;
constexpr std::uint32_t kExtTextOutW = 84;
constexpr std::uint32_t kGlyphIndexes = 0x10; // ETO_GLYPH_INDEX
// From this size on, the header tells where an OpenGL pixel format lies.
constexpr std::uint32_t kPixelFormatHeaderSize = 100;

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

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

// libuemf (which libemf2svg needs) exports a wmf_free of its own with other parameters. libwmf
// calls its wmf_free through the dynamic linker, so libwmf must come before libuemf in the
// program's link order; if it does not, playing would corrupt memory, so nothing is played.
bool libwmfFindsItsOwnFree() {
    static const bool owns = [] {
        Dl_info info{};
        void* found = dlsym(RTLD_DEFAULT, "wmf_free");
        return found && dladdr(found, &info) != 0 && info.dli_fname &&
               std::strstr(info.dli_fname, "libwmf") != nullptr;
    }();
    return owns;
}

// libwmf's player with its SVG device, for one metafile in memory.
class WmfPlayer {
public:
    WmfPlayer() {
        if (!libwmfFindsItsOwnFree()) return;
        wmfAPI_Options options{};
        options.function = wmf_svg_function;
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&m_api, flags, &options) != wmf_E_None) {
            if (m_api) wmf_api_destroy(m_api);
            m_api = nullptr;
        }
    }
    ~WmfPlayer() {
        if (m_api) wmf_api_destroy(m_api);
    }
    WmfPlayer(const WmfPlayer&) = delete;
    WmfPlayer& operator=(const WmfPlayer&) = delete;

    // The metafile as SVG of `size` pixels, showing the box of `points` (1/72 inch) whose
    // top-left corner is the metafile's window origin; empty when libwmf cannot play it.
    QByteArray play(std::string& metafile, MetafilePixels size, QSizeF points) {
        if (!m_api) return {};
        if (wmf_mem_open(m_api, reinterpret_cast<unsigned char*>(metafile.data()),
                         static_cast<long>(metafile.size())) != wmf_E_None)
            return {};
        // The scan yields the box around what is drawn; the picture is the whole placeable box.
        wmfD_Rect drawn{};
        if (wmf_scan(m_api, 0, &drawn) != wmf_E_None) return {};
        wmfD_Rect bounds{};
        bounds.BR.x = static_cast<float>(points.width());
        bounds.BR.y = static_cast<float>(points.height());
        wmf_svg_t* device = WMF_SVG_GetData(m_api);
        device->out = wmf_stream_create(m_api, nullptr);
        if (!device->out) return {};
        device->Description = const_cast<char*>("");
        device->bbox = bounds;
        device->width = static_cast<unsigned int>(size.width);
        device->height = static_cast<unsigned int>(size.height);
        // Bitmaps go into the SVG itself, not into files beside it.
        device->flags |= WMF_SVG_INLINE_IMAGES;
        const wmf_error_t played = wmf_play(m_api, 0, &bounds);
        char* svg = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(m_api, device->out, &svg, &length);
        device->out = nullptr;
        QByteArray result;
        if (played == wmf_E_None && svg) result = QByteArray(svg, static_cast<qsizetype>(length));
        if (svg) wmf_free(m_api, svg);
        return result;
    }

private:
    wmfAPI* m_api = nullptr;
};

} // namespace

bool emfRecordIsDrawable(const char* record) {
    // libuemf, which libemf2svg is built on, checks the record's fields before it is played.
    return U_emf_record_safe(record) != 0;
}

QImage drawEmf(std::string emf, std::uint64_t headerSize, MetafilePixels size) {
    // libemf2svg takes its input as writable memory.
    withoutDescription(emf, headerSize);
    withoutGlyphIndexText(emf, emf.size());
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    options.imgWidth = size.width;
    options.imgHeight = size.height;
    char* svg = nullptr;
    std::size_t svgLength = 0;
    const int converted = emf2svg(emf.data(), emf.size(), &svg, &svgLength, &options);
    const std::unique_ptr<char, FreeDeleter> owned(svg);
    if (converted == 0 || svg == nullptr) return {};
    return renderSvg(QByteArray(svg, static_cast<qsizetype>(svgLength)), size.width, size.height);
}

QImage drawWmf(std::string wmf, MetafilePixels size, QSizeF points) {
    WmfPlayer player;
    const QByteArray svg = player.play(wmf, size, points);
    if (svg.isEmpty()) return {};
    return renderSvg(svg, size.width, size.height);
}

} // namespace zub
