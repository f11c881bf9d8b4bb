// FuzzCheck.h - a property check that stops the fuzzer (abort keeps the input
// as a crash) and says which property broke.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                        \
    ((cond) ? void()                                                                            \
            : (std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond), \
               std::abort()))
