#pragma once

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>

namespace zub {

// The four kinds of picture the program shows and saves, each bound to a file extension.
enum class PictureFormat { Bitmap, Icon, Emf, Wmf };

// What a reader says of a file it rejects.
inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";
inline constexpr const char* kIconNotValid = "Icon image is not valid";
inline constexpr const char* kMetafileNotValid = "Metafile is not valid";

// Pictures larger than this are refused as not valid rather than risking the memory of the
// whole program (16384 × 16384).
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;

// One picture or none: the pixels to draw and what it takes to save it again in its own format.
// A value type; copies share the pixels and the file bytes.
class Picture {
public:
    Picture() = default;

    // A bitmap saved at `bitsPerPixel` (1, 4, 8, 16, 24 or 32; other depths go up to the next of
    // these). At 8 bits or fewer the pixels keep or get a palette; deeper bitmaps are opaque RGB.
    static Picture fromBitmap(QImage image, int bitsPerPixel);
    // An icon or a metafile: drawn with transparency, saved back as the bytes it was read from.
    static Picture fromIcon(QImage image, std::string fileBytes);
    static Picture fromMetafile(PictureFormat kind, QImage image, std::string fileBytes);

    bool isEmpty() const { return m_image.isNull(); }
    PictureFormat format() const { return m_format; }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    // Bitmaps: Format_Mono or Format_Indexed8 up to 8 bits per pixel, else Format_RGB32.
    // Icons and metafiles: Format_ARGB32_Premultiplied.
    const QImage& image() const { return m_image; }
    // Bitmaps are drawn opaque, icons and metafiles show what lies behind their empty parts.
    bool isTransparent() const { return !isEmpty() && m_format != PictureFormat::Bitmap; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    // Icons and metafiles: the file as it was read. Empty for bitmaps.
    const std::string& fileBytes() const;

private:
    static Picture withFileBytes(PictureFormat format, QImage image, std::string fileBytes);

    PictureFormat m_format = PictureFormat::Bitmap;
    QImage m_image;
    int m_bitsPerPixel = 0;
    std::shared_ptr<const std::string> m_fileBytes;
};

// The standard depth a bitmap of `bitsPerPixel` is saved at.
int standardBitmapDepth(int bitsPerPixel);
// `image` in the pixel format that a bitmap of that depth keeps (see Picture::image()).
QImage bitmapPixels(QImage image, int standardDepth);

} // namespace zub
