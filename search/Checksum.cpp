// Checksum.cpp - lanes of multiply-accumulate over 64-byte stripes, fed in pieces.
#include "Checksum.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tavrin {

namespace {

constexpr uint64_t kP1 = 0x9E3779B185EBCA87u;
constexpr uint64_t kP2 = 0xC2B2AE3D27D4EB4Fu;
constexpr uint64_t kP3 = 0x165667B19E3779F9u;
constexpr uint64_t kP4 = 0x85EBCA77C2B2AE63u;
// Added to every key at each stripe, so that equal stripes at two places differ.
constexpr uint64_t kKeyStep = 0x9FB21C651E98DF25u;

uint64_t Rotl(uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

}  // namespace

void CChecksum::Stripes(uint64_t* lanes, uint64_t* keys, const unsigned char* data, size_t count) {
    // Kept in locals: stores through the byte pointer could otherwise alias
    // them, and the compiler would write them back after every word.
    uint64_t acc[8], key[8];
    std::copy(lanes, lanes + 8, acc);
    std::copy(keys, keys + 8, key);
    for (; count > 0; --count, data += kStripe) {
        for (int j = 0; j < 8; ++j) {
            uint64_t word;
            std::memcpy(&word, data + 8 * j, sizeof word);
            if constexpr (std::endian::native == std::endian::big)
                word = __builtin_bswap64(word);
            const uint64_t mixed = word ^ key[j];
            acc[j] += (mixed & 0xFFFFFFFFu) * (mixed >> 32);
            acc[j ^ 1] += word;
            key[j] += kKeyStep;
        }
    }
    std::copy(acc, acc + 8, lanes);
    std::copy(key, key + 8, keys);
}

void CChecksum::Add(const void* data, size_t size) {
    if (size == 0)
        return;  // data may be null
    auto p = static_cast<const unsigned char*>(data);
    m_nTotal += size;
    if (m_nPending > 0) {
        const size_t take = std::min(size, kStripe - m_nPending);
        std::memcpy(m_arrPending + m_nPending, p, take);
        m_nPending += take;
        p += take;
        size -= take;
        if (m_nPending < kStripe)
            return;
        Stripes(m_arrLanes, m_arrKeys, m_arrPending, 1);
        m_nPending = 0;
    }
    Stripes(m_arrLanes, m_arrKeys, p, size / kStripe);
    std::memcpy(m_arrPending, p + size / kStripe * kStripe, size % kStripe);
    m_nPending = size % kStripe;
}

uint64_t CChecksum::Value() const {
    uint64_t lanes[8], keys[8];
    std::copy(std::begin(m_arrLanes), std::end(m_arrLanes), lanes);
    std::copy(std::begin(m_arrKeys), std::end(m_arrKeys), keys);
    if (m_nPending > 0) {
        unsigned char last[kStripe] = {};
        std::memcpy(last, m_arrPending, m_nPending);
        Stripes(lanes, keys, last, 1);
    }
    // The length tells a zero-padded tail from zero bytes.
    uint64_t h = m_nTotal * kP1;
    for (uint64_t lane : lanes) h = (h ^ (Rotl(lane * kP2, 31) * kP1)) * kP1 + kP4;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}

}  // namespace tavrin
