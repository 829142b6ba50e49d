// Writes the metafile seeds of the shapes that once hung the readers, held them for minutes or
// asked them for a gigabyte, so that the fuzzers start from them and mutate around them:
//
//   build/tests/hostile_seeds tests/fuzz/corpus
//
// The files in the corpora were made so; the unit tests build the same shapes in code.

#include "../unit/picture_test_files.h"

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace zub::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QGuiApplication application(argc, argv);
    const std::filesystem::path corpus = argv[1];
    QImage tile(5, 3, QImage::Format_RGB32);
    tile.fill(qRgb(0, 0, 255));
    const QSize wide(4000, 4000);
    const std::vector<std::pair<std::string, std::string>> seeds = {
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
