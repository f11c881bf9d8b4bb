// Floor.cpp - raw gdbm fetches and ICU decoding for the benchmarks' floors.
#include "Floor.h"

#include <gdbm.h>
#include <unicode/ucnv.h>

#include <cstdlib>
#include <cstring>

namespace tavrin::bench {

CRawStore::CRawStore(const std::string& path, bool mapped) {
    const int flags = GDBM_READER | GDBM_FAST | GDBM_XVERIFY | GDBM_CLOEXEC;
    m_pDb = gdbm_open(path.c_str(), 2048, mapped ? flags : flags | GDBM_NOMMAP, 0664, nullptr);
}

CRawStore::~CRawStore() {
    if (m_pDb != nullptr)
        gdbm_close(static_cast<GDBM_FILE>(m_pDb));
}

bool CRawStore::Fetch(std::string_view key, std::string& text) const {
    std::string k(key);
    const datum d{k.data(), static_cast<int>(k.size() + 1)};
    datum record = gdbm_fetch(static_cast<GDBM_FILE>(m_pDb), d);
    if (record.dptr == nullptr)
        return false;
    const size_t size = record.dsize > 4 ? static_cast<size_t>(record.dsize) - 4 : 0;
    text.assign(record.dptr + 4, strnlen(record.dptr + 4, size));
    std::free(record.dptr);
    return true;
}

CRawDecoder::CRawDecoder() {
    UErrorCode err = U_ZERO_ERROR;
    m_pConv = ucnv_open("windows-949", &err);
}

CRawDecoder::~CRawDecoder() {
    ucnv_close(m_pConv);
}

std::u16string CRawDecoder::Decode(std::string_view bytes) const {
    std::u16string out(bytes.size() + 1, u'\0');
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(m_pConv, reinterpret_cast<UChar*>(out.data()),
                                    static_cast<int32_t>(out.size()), bytes.data(),
                                    static_cast<int32_t>(bytes.size()), &err);
    out.resize(U_SUCCESS(err) ? static_cast<size_t>(n) : 0);
    return out;
}

std::string CRawDecoder::Encode(std::u16string_view text) const {
    std::string out(text.size() * 2 + 1, '\0');
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(m_pConv, out.data(), static_cast<int32_t>(out.size()),
                                      reinterpret_cast<const UChar*>(text.data()),
                                      static_cast<int32_t>(text.size()), &err);
    out.resize(U_SUCCESS(err) ? static_cast<size_t>(n) : 0);
    return out;
}

std::vector<std::u16string> RawChapter(const CRawStore& store, const CRawDecoder& decoder,
                                       std::string_view chapterBytes,
                                       std::u16string_view chapterWide, bool newTestament) {
    std::vector<std::u16string> verses;
    std::string key;
    std::string text;
    for (int n = 1; n <= 99; ++n) {
        const std::string number = std::to_string(n);
        key.assign(chapterBytes);
        if (newTestament)
            key += ' ';
        key += number;
        if (!store.Fetch(key, text))
            break;
        std::u16string wideKey(chapterWide);
        if (newTestament)
            wideKey += u' ';
        wideKey.append(number.begin(), number.end());
        verses.push_back(std::move(wideKey));
        verses.push_back(decoder.Decode(text));
    }
    return verses;
}

std::vector<std::u16string> RawNames(std::u16string_view text) {
    std::vector<std::u16string> names;
    size_t start = 1;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == u'\t') {
            names.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return names;
}

}  // namespace tavrin::bench
