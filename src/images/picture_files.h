#pragma once

#include "images/picture.h"

#include <QImage>
#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

// The filter of the open-picture dialog, built from the table of formats, and that of the
// save-picture dialog.
QString openPictureFilter();
QString savePictureFilter();

// The format bound to the extension of `path`'s file name (compared without regard to case).
// Throws zub::Error "Unknown picture file extension (.<extension as typed>)".
PictureFormat pictureFormatOf(const std::filesystem::path& path);

// The picture in `bytes` read as `format`: a bitmap, an icon, or a metafile of either kind, which
// is told by its contents. Throws the reader's zub::Error. Metafiles are drawn in this process,
// through libraries only the metafile reader program links on Linux (see
// readPictureContained()).
Picture readPicture(PictureFormat format, std::string bytes);
// The same for a bitmap or an icon; a metafile format is "not valid".
Picture readRasterPicture(PictureFormat format, std::string bytes);
// The "not valid" message of `format`.
const char* pictureNotValidMessage(PictureFormat format);

// The file at `path`, read as the format its extension names, a metafile by the metafile reader
// program (see readPictureContained()). For a thread that is not the window's: a file can take
// seconds. Throws zub::Error with the message of the extension, of opening the file or of its
// reader.
Picture loadPictureFile(const std::filesystem::path& path);

// The bytes `picture` is saved as under `path`: its own format whatever the name says, except that
// an enhanced metafile saved under a ".wmf" name becomes a Windows metafile.
std::string encodePicture(const Picture& picture, const std::filesystem::path& path);

// Replaces the file at `path` with `picture` (see encodePicture()); an empty picture writes
// nothing. Throws zub::Error "Cannot create file "<full path>". <system text>".
void savePictureFile(const std::filesystem::path& path, const Picture& picture);

// What a picture dialog's preview shows of the file at `path`: its picture's pixels, or a null
// image when it holds no readable picture. Like loadPictureFile(), not for the window's thread.
QImage picturePreview(const std::filesystem::path& path);

} // namespace zub
