// Every picture read in this process, metafiles included, and the metafile reader program's
// body. Apart from the rest of the images library, so that the window's program, which hands
// metafiles to the reader program on Linux, links neither this nor the libraries that draw them.

#include "images/contained_reading.h"
#include "images/emf_reader.h"
#include "images/picture_files.h"
#include "images/wmf_reader.h"
#include "platform/error.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdlib>
#include <new>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace zub {
namespace {

#ifndef _WIN32
std::string readStandardInput() {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return bytes;
        }
    }
}

bool writeStandardOutput(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
#endif

} // namespace

Picture readPicture(PictureFormat format, std::string bytes) {
    if (format == PictureFormat::Bitmap || format == PictureFormat::Icon)
        return readRasterPicture(format, std::move(bytes));
    try {
        // One reader for both extensions, as on Windows: the contents tell the kind.
        return looksLikeEmf(bytes) ? readEmf(std::move(bytes)) : readWmf(std::move(bytes));
    } catch (const std::bad_alloc&) {
        // A picture that the memory cannot hold is no picture the program can show.
    }
    throw Error(pictureNotValidMessage(format));
}

#ifndef _WIN32
int runMetafileReader(int argc, char** argv) {
    // Text is drawn with the fonts at hand, and nothing is shown on any screen.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const QGuiApplication application(argc, argv);
    std::string bytes = readStandardInput();
    try {
        const Picture picture = readPicture(PictureFormat::Emf, std::move(bytes));
        return writeStandardOutput(encodeRaster(picture.image())) ? 0 : 1;
    } catch (const Error&) {
        return 1;
    }
}
#endif

} // namespace zub
