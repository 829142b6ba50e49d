// Writes the metafile seeds of the shapes that once hung the readers, held them for minutes or
// asked them for a gigabyte, so that the fuzzers start from them and mutate around them:
//
//   build/tests/hostile_seeds tests/fuzz/corpus
//
// The files in the corpora were made so; the unit tests build the same shapes in code. With
// --full it writes the shapes at the sizes that were found to hold the readers (a 182-byte WMF
// whose bitmap header says 29 bytes, polylines of 2,000, 5,000 and 100,000 points across
// 4000 × 4000, 200,000 rectangles in an EMF and 100,000 in a WMF, 16384 × 16384 frames), one
// file each, for measuring the reader by hand:
//
//   build/tests/hostile_seeds --full /tmp/hostile
//   /usr/bin/time -f '%e s %M KB' build/src/app/zub-metafile-reader </tmp/hostile/polyline-5000.emf
//   >/dev/null

#include "../unit/picture_test_files.h"

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace zub::test;

int main(int argc, char** argv) {
    const bool full = argc == 3 && std::string_view(argv[1]) == "--full";
    if (argc != 2 && !full) {
        std::fprintf(stderr, "usage: %s [--full] <folder>\n", argv[0]);
        return 2;
    }
    const QGuiApplication application(argc, argv);
    const std::filesystem::path corpus = argv[argc - 1];
    QImage tile(5, 3, QImage::Format_RGB32);
    tile.fill(qRgb(0, 0, 255));
    const QSize wide(4000, 4000);
    const std::vector<std::pair<std::string, std::string>> seeds = full ? std::vector<std::pair<std::string, std::string>>{
        {"bitmap-header-29.wmf", wmfWithBitmap({50, 30}, tile, 0x1D)},
        {"polyline-2000.emf", emfWithPolyline(wide, 2000)},
        {"polyline-5000.emf", emfWithPolyline(wide, 5000)},
        {"polyline-100000.emf", emfWithPolyline(wide, 100000)},
        {"rectangles-200000.emf", emfWithRectangles(wide, 200000)},
        {"rectangles-100000.wmf", wmfWithRectangles(wide, 100000)},
        {"huge-frame.emf", emfWithRectangle({16384, 16384}, {0, 0, 10, 10}, 0xffff0000)},
        {"huge-frame.wmf", wmfWithRectangle({16384, 16384}, 96, {0, 0, 10, 10}, 0xff0000ff)},
        {"drawing-10000.wmf", wmfDrawing(10000)},
        {"full-screen-4k.emf", emfFullScreen4k()},
    } : std::vector<std::pair<std::string, std::string>>{
        {"emf_reader/polyline.emf", emfWithPolyline(wide, 2000)},
        {"emf_reader/many-records.emf", emfWithRectangles(wide, 1000)},
        {"emf_reader/huge-frame.emf", emfWithRectangle({16384, 16384}, {0, 0, 10, 10}, 0xffff0000)},
        {"emf_reader/bitmap.emf", emfWithBitmap({50, 30}, tile)},
        {"wmf_reader/drawing.wmf", wmfDrawing(300)},
        {"wmf_reader/many-records.wmf", wmfWithRectangles(wide, 2000)},
        {"wmf_reader/whole-picture-fills.wmf", wmfWithRectangles(wide, 500, wide)},
        {"wmf_reader/huge-frame.wmf",
         wmfWithRectangle({16384, 16384}, 96, {0, 0, 10, 10}, 0xff0000ff)},
        {"wmf_reader/bitmap-header-29.wmf", wmfWithBitmap({50, 30}, tile, 0x1D)},
    };
    for (const auto& [name, bytes] : seeds) {
        std::ofstream(corpus / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::printf("%s: %zu bytes\n", name.c_str(), bytes.size());
    }
    return 0;
}
