#pragma once

// Metafiles as Windows programs make them: recorded by GDI itself. Each holds a red rectangle
// over the middle half of a picture `width` × `height` pixels at 96 per inch, and nothing else.

#include <windows.h>

#include <cstdint>
#include <string>

namespace zub::test {

inline std::string gdiMadeEmf(int width, int height) {
    // The frame in hundredths of a millimetre.
    const RECT frame{0, 0, MulDiv(width, 2540, 96), MulDiv(height, 2540, 96)};
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, width / 4, height / 4, width * 3 / 4, height * 3 / 4);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    DeleteObject(red);
    std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()),
                       reinterpret_cast<BYTE*>(bytes.data()));
    DeleteEnhMetaFile(metafile);
    return bytes;
}

// A placeable Windows metafile, drawn in twips (1440 to the inch).
inline std::string gdiMadeWmf(int width, int height) {
    const int w = width * 15, h = height * 15;
    HDC dc = CreateMetaFileW(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, w, h, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, w / 4, h / 4, w * 3 / 4, h * 3 / 4);
    HMETAFILE metafile = CloseMetaFile(dc);
    DeleteObject(red);
    std::string records(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    GetMetaFileBitsEx(metafile, static_cast<UINT>(records.size()), records.data());
    DeleteMetaFile(metafile);

    std::string header;
    const auto put16 = [&header](unsigned value) {
        header += static_cast<char>(value & 0xff);
        header += static_cast<char>(value >> 8 & 0xff);
    };
    put16(0xCDD7); // the placeable key, 0x9AC6CDD7
    put16(0x9AC6);
    put16(0); // handle
    put16(0); // the box: left, top, right, bottom
    put16(0);
    put16(static_cast<unsigned>(w));
    put16(static_cast<unsigned>(h));
    put16(1440); // units per inch
    put16(0);    // reserved
    put16(0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(header[i]) |
                                               static_cast<unsigned char>(header[i + 1]) << 8);
    put16(checksum);
    return header + records;
}

} // namespace zub::test
