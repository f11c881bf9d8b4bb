// FuzzCheck.h - a property check that stops the fuzzer with a readable reason.
#pragma once

#include <cstdio>
#include <cstdlib>

// abort() makes libFuzzer keep the input as a crash; the message says which
// property broke.
#define FUZZ_CHECK(cond)                                                                     \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)
