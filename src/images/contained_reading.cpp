#include "images/contained_reading.h"

#include "images/emf_reader.h"
#include "images/metafile_size.h"
#include "images/picture_files.h"
#include "platform/child_process.h"
#include "platform/error.h"

#include <cstdio>
#include <cstdlib>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace zub {
namespace {

constexpr bool kAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

constexpr std::size_t kRasterHeader = 8;

void put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

std::uint32_t get32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}


} // namespace

#ifdef _WIN32
// Windows draws metafiles with its own GDI, the player the formats were made for, which checks
// what it plays: they are read here, on the caller's thread, which is never the window's.
Picture readPictureContained(PictureFormat format, std::string bytes, const std::atomic<bool>*) {
    return readPicture(format, std::move(bytes));
}
#else
std::filesystem::path metafileReaderProgram() {
    const std::filesystem::path folder = runningProgramFolder();
    const std::filesystem::path beside = folder / kMetafileReaderName;
    const std::filesystem::path installed =
        (folder / ZUB_LIBEXEC_FROM_BIN / kMetafileReaderName).lexically_normal();
    std::error_code error;
    if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error))
        return installed;
    return beside;
}

Picture readPictureContained(PictureFormat format, std::string bytes,
                             const std::atomic<bool>* cancel) {
    if (format == PictureFormat::Bitmap || format == PictureFormat::Icon)
        return readRasterPicture(format, std::move(bytes));
    ChildLimits limits;
    limits.processorTime = kMetafileProcessorTime;
    limits.time = kMetafileTimeLimit;
    limits.addressSpaceBytes = kAddressSanitizer ? 0 : kMetafileReaderAddressSpace;
    limits.outputBytes = kRasterHeader + 4 * kMaxMetafileRenderPixels;
    ChildResult result = runChild(metafileReaderProgram(), {}, bytes, limits, cancel);
    if (!result.succeeded()) throw Error(kMetafileNotValid);
    QImage image = decodeRaster(std::move(result.output));
    if (image.isNull()) throw Error(kMetafileNotValid);
    const PictureFormat kind = looksLikeEmf(bytes) ? PictureFormat::Emf : PictureFormat::Wmf;
    return Picture::fromMetafile(kind, std::move(image), std::move(bytes));
}

#endif

std::string encodeRaster(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto width = static_cast<std::size_t>(pixels.width());
    std::string out;
    out.reserve(kRasterHeader + 4 * width * static_cast<std::size_t>(pixels.height()));
    put32(out, static_cast<std::uint32_t>(pixels.width()));
    put32(out, static_cast<std::uint32_t>(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y)
        out.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), 4 * width);
    return out;
}

QImage decodeRaster(std::string bytes) {
    if (bytes.size() < kRasterHeader) return {};
    const std::uint64_t width = get32(bytes, 0);
    const std::uint64_t height = get32(bytes, 4);
    if (width == 0 || height == 0 || width * height > kMaxMetafileRenderPixels ||
        bytes.size() != kRasterHeader + 4 * width * height)
        return {};
    // The image keeps the bytes as they came, rather than a second copy of up to 64 MB.
    auto* owned = new std::string(std::move(bytes));
    return QImage(
        reinterpret_cast<uchar*>(owned->data() + kRasterHeader), static_cast<int>(width),
        static_cast<int>(height), static_cast<qsizetype>(4 * width),
        QImage::Format_ARGB32_Premultiplied,
        [](void* data) { delete static_cast<std::string*>(data); }, owned);
}

} // namespace zub
