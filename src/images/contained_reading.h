#pragma once

#include "images/picture.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace zub {

// Metafiles are drawn by libraries we cannot bound from outside: one has been seen to loop for
// ever on a bitmap header it misreads. The program does not draw them itself: a small reader
// program does, with a limit of time and address space, and hands back the pixels. Whatever the
// libraries do, the program waits at most the time limit, and on a thread that is not the
// window's. Bitmaps and icons are read by our own code, bounded by their bytes, in-process.

// The reader program's file name; it is installed beside the program, or in the program's own
// folder under libexec.
inline constexpr const char* kMetafileReaderName = "zub-metafile-reader";

// How long a metafile may take to draw: processor time, which a busy machine does not eat into,
// and time on the clock for a reader that hangs without working. The heaviest real picture
// measured, a chart over a screenshot on a full 4K screen, takes 7 s of processor time here:
// the limit leaves a slower machine room for it. And how much address space its
// reader may use (not under AddressSanitizer, whose shadow memory alone takes terabytes).
inline constexpr std::chrono::seconds kMetafileProcessorTime{20};
inline constexpr std::chrono::milliseconds kMetafileTimeLimit{30000};
inline constexpr std::size_t kMetafileReaderAddressSpace = std::size_t{1536} << 20;

// Where the reader program is: beside the running program, else in the libexec folder of an
// installed one. The first of them that exists; the first when neither does.
std::filesystem::path metafileReaderProgram();

// `bytes` read as `format` off the window's thread: bitmaps and icons by readPicture(),
// metafiles through the reader program. Throws zub::Error with the reader's message; a reader
// program that is missing, crashes, runs out of its time or memory, or was called off through
// `cancel` makes the metafile "Metafile is not valid".
Picture readPictureContained(PictureFormat format, std::string bytes,
                             const std::atomic<bool>* cancel = nullptr);

// The reader program's side: reads a metafile on standard input, writes its picture on standard
// output (see encodeRaster) and returns 0, or returns 1 when it is not valid.
int runMetafileReader(int argc, char** argv);

// How the pixels cross between the two: width and height as 32-bit little-endian numbers, then
// the rows of premultiplied ARGB32 pixels. decodeRaster() gives a null image for anything that
// is not that, or larger than a metafile is ever drawn.
std::string encodeRaster(const QImage& image);
QImage decodeRaster(std::string bytes);

} // namespace zub
