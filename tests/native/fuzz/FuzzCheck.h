#pragma once
// A failed property of a fuzz target: printed, then the process aborts so that libFuzzer
// keeps the input as a crash.

#include <cstdio>
#include <cstdlib>

#define QS_FUZZ_CHECK(condition)                                                               \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)
