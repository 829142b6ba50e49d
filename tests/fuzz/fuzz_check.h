#pragma once

// A property that failed: say which, then crash so that libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

#define ZUB_FUZZ_CHECK(condition)                                                                  \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
