// Checksum.cpp - XXH64's rounds, fed in pieces.
#include "Checksum.h"

#include <algorithm>
#include <cstring>

namespace tavrin {

namespace {

constexpr uint64_t kP1 = 0x9E3779B185EBCA87u;
constexpr uint64_t kP2 = 0xC2B2AE3D27D4EB4Fu;
constexpr uint64_t kP3 = 0x165667B19E3779F9u;
constexpr uint64_t kP4 = 0x85EBCA77C2B2AE63u;
constexpr uint64_t kP5 = 0x27D4EB2F165667C5u;

uint64_t Rotl(uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

uint64_t Round(uint64_t lane, uint64_t word) {
    return Rotl(lane + word * kP2, 31) * kP1;
}

uint64_t Load64(const unsigned char* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

uint32_t Load32(const unsigned char* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

void CChecksum::Stripe(const unsigned char* stripe) {
    for (int i = 0; i < 4; ++i) m_arrLanes[i] = Round(m_arrLanes[i], Load64(stripe + 8 * i));
}

void CChecksum::Add(const void* data, size_t size) {
    auto p = static_cast<const unsigned char*>(data);
    m_nTotal += size;
    if (m_nPending > 0) {
        const size_t take = std::min(size, sizeof m_arrPending - m_nPending);
        std::memcpy(m_arrPending + m_nPending, p, take);
        m_nPending += take;
        p += take;
        size -= take;
        if (m_nPending < sizeof m_arrPending)
            return;
        Stripe(m_arrPending);
        m_nPending = 0;
    }
    for (; size >= 32; p += 32, size -= 32) Stripe(p);
    std::memcpy(m_arrPending, p, size);
    m_nPending = size;
}

uint64_t CChecksum::Value() const {
    uint64_t h;
    if (m_nTotal >= 32) {
        const uint64_t* v = m_arrLanes;
        h = Rotl(v[0], 1) + Rotl(v[1], 7) + Rotl(v[2], 12) + Rotl(v[3], 18);
        for (int i = 0; i < 4; ++i) h = (h ^ Round(0, v[i])) * kP1 + kP4;
    } else {
        h = kP5;
    }
    h += m_nTotal;
    const unsigned char* p = m_arrPending;
    size_t left = m_nPending;
    for (; left >= 8; p += 8, left -= 8) h = Rotl(h ^ Round(0, Load64(p)), 27) * kP1 + kP4;
    if (left >= 4) {
        h = Rotl(h ^ (Load32(p) * kP1), 23) * kP2 + kP3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left) h = Rotl(h ^ (*p * kP5), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}

}  // namespace tavrin
