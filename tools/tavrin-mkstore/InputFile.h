// InputFile.h - reads a whole input file, standard input or an xz-compressed file, into memory.
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// Largest input, after decompression, that a build takes in bytes; a whole
// Bible is about 5 MB.
inline constexpr size_t kMaxInputBytes = 256u << 20;

// How an input is named in messages: "standard input" for "-", else path.
std::string InputName(const std::string& path);

// Reads the file at path (its bytes as given; "-" reads standard input) into
// bytes. Input that starts with the xz magic is decompressed (concatenated
// streams too). Returns false with error set, naming the input, when it
// cannot be read, is larger than limit bytes (before or after
// decompression), or is a damaged, cut short or unsupported xz file; bytes is
// then unspecified.
bool ReadInputFile(const std::string& path, std::string& bytes, std::string& error,
                   size_t limit = kMaxInputBytes);

// Decompresses the whole xz data in into out; false with error set (without
// the input's name) when it is damaged, cut short or decompresses to more
// than limit bytes.
bool DecodeXz(std::string_view in, std::string& out, std::string& error,
              size_t limit = kMaxInputBytes);

}  // namespace tavrin
