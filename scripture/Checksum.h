// Checksum.h - a fast 64-bit checksum of bytes, to tell a damaged file from a whole one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavrin {

// The XXH64 construction (seed 0): four lanes of multiply-rotate rounds over
// 32-byte stripes, merged and mixed at the end. Any change of a few bytes
// changes the value but for a chance of 2^-64; it is no defence against a
// forger. Bytes may come in pieces of any size: the value depends only on
// their concatenation.
class CChecksum {
public:
    void Add(const void* data, size_t size);
    void Add(std::string_view bytes) { Add(bytes.data(), bytes.size()); }
    // The checksum of every byte added so far.
    uint64_t Value() const;

private:
    void Stripe(const unsigned char* stripe);

    uint64_t m_arrLanes[4] = {0x60EA27EEADC0B5D6u, 0xC2B2AE3D27D4EB4Fu, 0, 0x61C8864E7A143579u};
    unsigned char m_arrPending[32] = {};
    size_t m_nPending = 0;
    uint64_t m_nTotal = 0;
};

// The checksum of bytes in one call.
inline uint64_t Checksum(std::string_view bytes) {
    CChecksum sum;
    sum.Add(bytes);
    return sum.Value();
}

}  // namespace tavrin
