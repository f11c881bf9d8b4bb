// SyntheticSet.h - a Korean store set of a real Bible's shape for the benchmarks.
#pragma once

#include <string>

namespace tavrin::bench {

// Makes, in folder (created when missing), a store set of the 66 books with the
// chapter and verse counts of the KJV versification (31,102 verses), Korean book
// names and verse texts of Hangul words in code page 949, reference lists
// holding the verse keys. An existing complete set (its stamp file present) is
// kept. Returns false and sets error when the set cannot be written.
bool EnsureKoreanSet(const std::string& folder, std::string& error);

// The folder of the demo WEB set and of the Korean set the benchmarks read:
// TAVRIN_BENCH_WEB / TAVRIN_BENCH_KOREAN when set, else the build's defaults.
std::string WebSetFolder();
std::string KoreanSetFolder();

}  // namespace tavrin::bench
