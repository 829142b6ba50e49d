#include "images/picture_files.h"

#include "images/bmp_reader.h"
#include "images/bmp_writer.h"
#include "images/contained_reading.h"
#include "images/emf_reader.h"
#include "images/field_reader.h"
#include "images/ico_reader.h"
#include "images/wmf_writer.h"
#include "platform/error.h"
#include "platform/files.h"

#include <QStringList>

#include <array>
#include <new>

namespace zub {
namespace {

struct PictureKind {
    const char* extension;
    PictureFormat format;
    const char* description;
};

constexpr std::array<PictureKind, 4> kKinds = {{
    {"bmp", PictureFormat::Bitmap, "Bitmaps"},
    {"ico", PictureFormat::Icon, "Icons"},
    {"emf", PictureFormat::Emf, "Enhanced Metafiles"},
    {"wmf", PictureFormat::Wmf, "Metafiles"},
}};

// The extension of the file name as typed: what follows its last dot, empty without one.
std::string extensionOf(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

const char* notValidMessage(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bitmap:
        return kBitmapNotValid;
    case PictureFormat::Icon:
        return kIconNotValid;
    default:
        return kMetafileNotValid;
    }
}

} // namespace

QString openPictureFilter() {
    QStringList patterns;
    for (const PictureKind& kind : kKinds) patterns << QStringLiteral("*.") + kind.extension;
    const QString all = patterns.join(QLatin1Char(';'));
    QStringList entries{QStringLiteral("All (%1)").arg(all), all};
    for (const PictureKind& kind : kKinds) {
        const QString pattern = QStringLiteral("*.") + kind.extension;
        entries << QStringLiteral("%1 (%2)").arg(QLatin1String(kind.description), pattern)
                << pattern;
    }
    return entries.join(QLatin1Char('|'));
}

QString savePictureFilter() {
    return QStringLiteral("图位(*.bmp)|*.bmp");
}

PictureFormat pictureFormatOf(const std::filesystem::path& path) {
    const std::string extension = extensionOf(path);
    for (const PictureKind& kind : kKinds)
        if (equalIgnoringCase(extension, kind.extension)) return kind.format;
    throw Error("Unknown picture file extension (." + extension + ")");
}

Picture readRasterPicture(PictureFormat format, std::string bytes) {
    try {
        switch (format) {
        case PictureFormat::Bitmap:
            return readBmp(bytes);
        case PictureFormat::Icon:
            return readIco(std::move(bytes));
        case PictureFormat::Emf:
        case PictureFormat::Wmf:
            break;
        }
    } catch (const std::bad_alloc&) {
        // A picture that the memory cannot hold is no picture the program can show.
    }
    throw Error(notValidMessage(format));
}

const char* pictureNotValidMessage(PictureFormat format) {
    return notValidMessage(format);
}

// Here rather than with the reader: the window tells the two kinds of metafile apart, but only
// the metafile reader program links the libraries that draw them.
bool looksLikeEmf(std::string_view bytes) {
    const FieldReader in(bytes, kMetafileNotValid);
    return in.has(0, 88) && in.u32(0) == 1 && in.u32(40) == 0x464D4520; // " EMF"
}

Picture loadPictureFile(const std::filesystem::path& path) {
    const PictureFormat format = pictureFormatOf(path);
    return readPictureContained(format, files::readWholeFile(path));
}

std::string encodePicture(const Picture& picture, const std::filesystem::path& path) {
    switch (picture.format()) {
    case PictureFormat::Bitmap:
        return encodeBmp(picture.image(), picture.bitsPerPixel());
    case PictureFormat::Emf:
        if (equalIgnoringCase(extensionOf(path), "wmf"))
            return encodeWmfWithBitmap(picture.image());
        return picture.fileBytes();
    case PictureFormat::Icon:
    case PictureFormat::Wmf:
        break;
    }
    return picture.fileBytes();
}

void savePictureFile(const std::filesystem::path& path, const Picture& picture) {
    if (picture.isEmpty()) return;
    files::writeWholeFile(path, encodePicture(picture, path));
}

QImage picturePreview(const std::filesystem::path& path) {
    try {
        return loadPictureFile(path).image();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace zub
