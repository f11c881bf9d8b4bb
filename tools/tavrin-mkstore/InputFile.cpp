// InputFile.cpp - bounded whole-file reads and xz decompression through liblzma.
#include "InputFile.h"

#include <lzma.h>

#include <cstdio>
#include <memory>

namespace tavrin {

namespace {

constexpr std::string_view kXzMagic(
    "\xFD"
    "7zXZ\0",
    6);

const char* LzmaProblem(lzma_ret status) {
    switch (status) {
        case LZMA_BUF_ERROR:
            return "cut short";
        case LZMA_MEM_ERROR:
        case LZMA_MEMLIMIT_ERROR:
            return "needs too much memory to decompress";
        case LZMA_OPTIONS_ERROR:
            return "uses xz options this build cannot decompress";
        default:
            return "damaged";
    }
}

}  // namespace

std::string InputName(const std::string& path) {
    return path == "-" ? "standard input" : path;
}

bool DecodeXz(std::string_view in, std::string& out, std::string& error, size_t limit) {
    lzma_stream stream = LZMA_STREAM_INIT;
    // The dictionary of the strongest preset needs 64 MiB; more is no xz a
    // build should meet.
    lzma_ret status = lzma_stream_decoder(&stream, 256u << 20, LZMA_CONCATENATED);
    if (status != LZMA_OK) {
        error = "cannot start the xz decoder";
        return false;
    }
    std::unique_ptr<lzma_stream, void (*)(lzma_stream*)> guard(&stream, lzma_end);
    stream.next_in = reinterpret_cast<const uint8_t*>(in.data());
    stream.avail_in = in.size();
    out.clear();
    char chunk[1 << 16];
    while (status == LZMA_OK) {
        stream.next_out = reinterpret_cast<uint8_t*>(chunk);
        stream.avail_out = sizeof chunk;
        status = lzma_code(&stream, LZMA_FINISH);
        out.append(chunk, sizeof chunk - stream.avail_out);
        if (out.size() > limit) {
            error = "decompresses to more than " + std::to_string(limit) + " bytes";
            return false;
        }
    }
    if (status != LZMA_STREAM_END) {
        error = std::string("xz data ") + LzmaProblem(status);
        return false;
    }
    return true;
}

bool ReadInputFile(const std::string& path, std::string& bytes, std::string& error, size_t limit) {
    const std::string name = InputName(path);
    std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, std::fclose);
    FILE* in = stdin;
    if (path != "-") {
        owned.reset(std::fopen(path.c_str(), "rb"));
        in = owned.get();
        if (in == nullptr) {
            error = name + ": cannot be read";
            return false;
        }
    }
    bytes.clear();
    char chunk[1 << 16];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        bytes.append(chunk, n);
        if (bytes.size() > limit) {
            error = name + ": larger than " + std::to_string(limit) + " bytes";
            return false;
        }
    }
    if (std::ferror(in)) {
        error = name + ": read error";
        return false;
    }
    if (!bytes.starts_with(kXzMagic))
        return true;
    std::string plain;
    if (!DecodeXz(bytes, plain, error, limit)) {
        error = name + ": " + error;
        return false;
    }
    bytes = std::move(plain);
    return true;
}

}  // namespace tavrin
