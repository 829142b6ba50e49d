#pragma once

// What every picture-reader fuzz target shares: Qt set up once, offscreen (metafiles draw text,
// icons come through Qt's image plugins), and a reader that may only ever say "not valid".

#include "platform/error.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace zub::fuzz {

// The application lives until the process ends; libFuzzer leaves by exit(), after which Qt's
// own globals are gone and a QGuiApplication could no longer be destroyed.
inline void startQt(int* argc, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
}

// Feeds the input to `read`; a zub::Error is the reader's proper answer to bad bytes, anything
// else (another exception, a crash, a sanitizer report) is a finding.
template <typename Read> int feed(const std::uint8_t* data, std::size_t size, Read read) {
    try {
        read(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Error&) {
    }
    return 0;
}

} // namespace zub::fuzz
