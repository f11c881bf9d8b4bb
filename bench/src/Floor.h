// Floor.h - the bare work behind each read: gdbm fetches and ICU decoding with
// nothing of the program's own, for the benchmarks' reference figures.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct UConverter;

namespace tavrin::bench {

// One gdbm file opened read-only with the flags Tessdb uses, or (mapped) with
// gdbm's memory mapping left on, to show what Tessdb's choice costs.
class CRawStore {
public:
    explicit CRawStore(const std::string& path, bool mapped = false);
    ~CRawStore();
    CRawStore(const CRawStore&) = delete;
    CRawStore& operator=(const CRawStore&) = delete;

    bool IsOpen() const { return m_pDb != nullptr; }
    // The record text of key (NUL included in the stored key) into text; false
    // when the key is absent.
    bool Fetch(std::string_view key, std::string& text) const;

private:
    void* m_pDb = nullptr;
};

// Code page 949 to UTF-16 through one ICU converter opened once.
class CRawDecoder {
public:
    CRawDecoder();
    ~CRawDecoder();
    CRawDecoder(const CRawDecoder&) = delete;
    CRawDecoder& operator=(const CRawDecoder&) = delete;

    std::u16string Decode(std::string_view bytes) const;
    std::string Encode(std::u16string_view text) const;

private:
    UConverter* m_pConv = nullptr;
};

// Verses 1.. of a chapter until one is absent (at most 99): key and text
// pairs, keys built from the chapter reference's bytes and wide form.
std::vector<std::u16string> RawChapter(const CRawStore& store, const CRawDecoder& decoder,
                                       std::string_view chapterBytes,
                                       std::u16string_view chapterWide, bool newTestament);

// The names of a decoded name list: skip the first character, split at TABs.
std::vector<std::u16string> RawNames(std::u16string_view text);

}  // namespace tavrin::bench
