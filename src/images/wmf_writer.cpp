#include "images/wmf_writer.h"

#include "images/bmp_writer.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace zub {
namespace {

constexpr int kMostUnits = 32767;
constexpr std::uint32_t kSourceCopy = 0x00CC0020;

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

QImage opaqueOverWhite(const QImage& image) {
    QImage picture = image;
    if (picture.width() > kMostUnits || picture.height() > kMostUnits)
        picture =
            picture.scaled(kMostUnits, kMostUnits, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage flat(picture.size(), QImage::Format_RGB32);
    if (flat.isNull()) throw std::bad_alloc();
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    return flat;
}

} // namespace

std::string encodeWmfWithBitmap(const QImage& image) {
    const QImage flat = opaqueOverWhite(image);
    const std::string bitmapFile = encodeBmp(flat, 24);
    const std::string_view dib = std::string_view(bitmapFile).substr(14);
    const auto width = static_cast<std::uint32_t>(flat.width());
    const auto height = static_cast<std::uint32_t>(flat.height());

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
