#include "images/wmf_writer.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace zub {
namespace {

constexpr int kMostUnits = 32767;
constexpr std::uint32_t kSourceCopy = 0x00CC0020;
constexpr std::uint32_t kV4HeaderSize = 108;

class WordWriter {
public:
    explicit WordWriter(std::string& out) : m_out(out) {}
    void u16(std::uint32_t value) {
        m_out.push_back(static_cast<char>(value & 0xff));
        m_out.push_back(static_cast<char>(value >> 8 & 0xff));
    }
    void u32(std::uint32_t value) {
        u16(value & 0xffff);
        u16(value >> 16);
    }
    // A record's size in 16-bit words and its function.
    void record(std::uint64_t bytes, std::uint16_t function) {
        u32(static_cast<std::uint32_t>(bytes / 2));
        u16(function);
    }

private:
    std::string& m_out;
};

QImage fitted(const QImage& image) {
    QImage picture = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (picture.width() > kMostUnits || picture.height() > kMostUnits)
        picture =
            picture.scaled(kMostUnits, kMostUnits, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (picture.isNull()) throw std::bad_alloc();
    return picture;
}

// The device-independent bitmap: a V4 header with 8-bit fields for red, green, blue and alpha,
// then the rows bottom-up. Each pixel's colour is the picture over white.
std::string alphaBitmap(const QImage& picture) {
    const auto width = static_cast<std::uint32_t>(picture.width());
    const auto height = static_cast<std::uint32_t>(picture.height());
    std::string dib;
    dib.reserve(kV4HeaderSize + std::size_t{4} * width * height);
    WordWriter w(dib);
    w.u32(kV4HeaderSize);
    w.u32(width);
    w.u32(height);
    w.u16(1);  // planes
    w.u16(32); // bits per pixel
    w.u32(3);  // bit fields
    w.u32(4 * width * height);
    w.u32(3780); // 96 pixels per inch, in pixels per metre
    w.u32(3780);
    w.u32(0); // colours used
    w.u32(0); // colours important
    for (const std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        w.u32(mask);
    w.u32(0x73524742);                     // sRGB
    for (int i = 0; i < 12; ++i) w.u32(0); // end points and gamma, unused for sRGB
    for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            const QRgb p = row[x];
            const int behind = 255 - qAlpha(p);
            w.u32(static_cast<std::uint32_t>(qAlpha(p)) << 24 |
                  static_cast<std::uint32_t>(qRed(p) + behind) << 16 |
                  static_cast<std::uint32_t>(qGreen(p) + behind) << 8 |
                  static_cast<std::uint32_t>(qBlue(p) + behind));
        }
    }
    return dib;
}

} // namespace

std::string encodeWmfWithBitmap(const QImage& image) {
    const QImage picture = fitted(image);
    const std::string dib = alphaBitmap(picture);
    const auto width = static_cast<std::uint32_t>(picture.width());
    const auto height = static_cast<std::uint32_t>(picture.height());

    constexpr std::uint64_t kPlaceable = 22;
    constexpr std::uint64_t kHeader = 18;
    constexpr std::uint64_t kWindowRecord = 10;
    const std::uint64_t bitmapRecord = 6 + 4 + 2 + 8 * 2 + dib.size();
    constexpr std::uint64_t kEndRecord = 6;
    const std::uint64_t metafileBytes = kHeader + 2 * kWindowRecord + bitmapRecord + kEndRecord;
    if (bitmapRecord / 2 > UINT32_MAX) throw std::length_error("picture too large for a metafile");

    std::string out;
    out.reserve(kPlaceable + metafileBytes);
    WordWriter w(out);
    // The placeable header: where the picture lies, in units of 1/96 inch.
    w.u32(0x9AC6CDD7);
    w.u16(0);
    w.u16(0);
    w.u16(0);
    w.u16(width);
    w.u16(height);
    w.u16(96);
    w.u32(0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(out[i]) |
                                               static_cast<unsigned char>(out[i + 1]) << 8);
    w.u16(checksum);

    // The metafile header: an in-memory metafile of version 3 without objects.
    w.u16(1);
    w.u16(kHeader / 2);
    w.u16(0x0300);
    w.u32(static_cast<std::uint32_t>(metafileBytes / 2));
    w.u16(0);
    w.u32(static_cast<std::uint32_t>(bitmapRecord / 2));
    w.u16(0);

    w.record(kWindowRecord, 0x020B); // window origin (y, x)
    w.u16(0);
    w.u16(0);
    w.record(kWindowRecord, 0x020C); // window extent (height, width)
    w.u16(height);
    w.u16(width);

    w.record(bitmapRecord, 0x0F43); // stretched device-independent bitmap
    w.u32(kSourceCopy);
    w.u16(0); // the DIB's palette holds colours
    for (const std::uint32_t value : {height, width, 0u, 0u, height, width, 0u, 0u}) w.u16(value);
    out.append(dib);

    w.record(kEndRecord, 0x0000);
    return out;
}

} // namespace zub
