// RecordFraming.h - how a Tessdb record lies in the engine: a 32-bit
// little-endian length L (text length plus its NUL), the text, its NUL.
// Internal to the project: the library writes and reads records with it, the
// store checker and the tools that read stores raw decode them with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessdb {

inline constexpr size_t kLengthBytes = 4;

// The stored bytes of text (which holds no NUL): L, the text, its NUL.
inline std::string FrameRecord(std::string_view text) {
    const auto length = static_cast<uint32_t>(text.size() + 1);
    std::string record(kLengthBytes, '\0');
    for (size_t i = 0; i < kLengthBytes; ++i)
        record[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    record.append(text);
    record.push_back('\0');
    return record;
}

// The length field as stored (any value); 0 when the record is too short to hold one.
inline int32_t RecordLength(std::string_view record) {
    if (record.size() < kLengthBytes)
        return 0;
    uint32_t length = 0;
    for (size_t i = 0; i < kLengthBytes; ++i)
        length |= static_cast<uint32_t>(static_cast<unsigned char>(record[i])) << (8 * i);
    return static_cast<int32_t>(length);
}

// The text after the length field, up to its first NUL or the record's end.
inline std::string_view RecordText(std::string_view record) {
    if (record.size() <= kLengthBytes)
        return {};
    const std::string_view text = record.substr(kLengthBytes);
    return text.substr(0, text.find('\0'));
}

}  // namespace tessdb
