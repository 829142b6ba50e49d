// libFuzzer target: the BMP reader on arbitrary bytes.

#include "fuzz_support.h"
#include "images/bmp_reader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    zub::fuzz::startQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zub::fuzz::feed(data, size, [](std::string bytes) { zub::decodeBmp(bytes); });
}
