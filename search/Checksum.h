// Checksum.h - a fast 64-bit checksum of bytes, to tell a damaged file from a whole one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavrin {

// Eight 64-bit lanes take the bytes 64 at a time: each 8-byte word, mixed with
// a key that changes with its place, adds the product of its two halves to
// its lane and itself to the neighbouring lane (the accumulation of XXH3);
// the lanes, the length and a zero-padded last stripe are merged and mixed as
// XXH64 ends. Any change of a few bytes, or of their order, changes the value
// but for a chance of about 2^-64; no defence against a forger. Bytes may come
// in pieces of any size: the value depends only on their concatenation. The
// same on every machine: words are read little-endian. The cache file's
// layout depends on it (docs/search-cache.md).
class CChecksum {
public:
    void Add(const void* data, size_t size);
    void Add(std::string_view bytes) { Add(bytes.data(), bytes.size()); }
    // The checksum of every byte added so far.
    uint64_t Value() const;

private:
    static constexpr size_t kStripe = 64;
    // Takes count stripes into lanes, advancing keys.
    static void Stripes(uint64_t* lanes, uint64_t* keys, const unsigned char* data, size_t count);

    uint64_t m_arrLanes[8] = {0x9E3779B185EBCA87u, 0xC2B2AE3D27D4EB4Fu, 0x165667B19E3779F9u,
                              0x85EBCA77C2B2AE63u, 0x27D4EB2F165667C5u, 0x61C8864E7A143579u,
                              0x3C6EF372FE94F82Au, 0xA54FF53A5F1D36F1u};
    uint64_t m_arrKeys[8] = {0xBE4BA423396CFEB8u, 0x1CAD21F72C81017Cu, 0xDB979083E96DD4DEu,
                             0x1F67B3B7A4A44072u, 0x78E5C0CC4EE679CBu, 0x2172FFCC7DD05A82u,
                             0x8E2443F7744608B8u, 0x4C263A81E69035E0u};
    unsigned char m_arrPending[kStripe] = {};
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
