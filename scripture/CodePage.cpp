// CodePage.cpp - code page 949 <-> UTF-16 through one reused ICU converter per thread.
#include "CodePage.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <vector>

namespace tavrin {

namespace {

constexpr char16_t kReplacementChar = 0xFFFD;

// Opens Windows' code page 949 (ICU's "cp949" is IBM's table and breaks Hangul
// round trips) with the given callbacks; null when ICU lacks it.
UConverter* OpenCp949(UConverterToUCallback toU, UConverterFromUCallback fromU) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open("windows-949", &err);
    if (U_FAILURE(err))
        return nullptr;
    // Fallbacks are one-way mappings; without them every character that
    // encodes also decodes back to itself.
    ucnv_setFallback(conv, false);
    ucnv_setToUCallBack(conv, toU, nullptr, nullptr, nullptr, &err);
    ucnv_setFromUCallBack(conv, fromU, nullptr, nullptr, nullptr, &err);
    return conv;
}

// Opening a converter costs far more than a short conversion, and every verse
// read converts, so each thread opens one converter once. Both directions stop
// at a bad character so the caller decides the replacement.
class CConverter {
public:
    CConverter() : m_pConv(OpenCp949(UCNV_TO_U_CALLBACK_STOP, UCNV_FROM_U_CALLBACK_STOP)) {}
    ~CConverter() {
        if (m_pMappable != nullptr)
            uset_close(m_pMappable);
        if (m_pConv != nullptr)
            ucnv_close(m_pConv);
    }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // Reset so that no state of an earlier (possibly failed) call leaks in.
    UConverter* Get() {
        if (m_pConv != nullptr)
            ucnv_reset(m_pConv);
        return m_pConv;
    }

    // True for a character ICU would drop silently: ICU's table converters
    // skip an unmappable default-ignorable character (zero-width space,
    // joiners, variation selectors...) without calling any callback. c is a
    // code unit, or a whole code point when above the BMP (none is mappable).
    // The converter's set of mappable characters costs more to build than a
    // whole chapter's conversion, and such characters are rare, so it is
    // built the first time one comes.
    bool IsSkipped(char32_t c) {
        if (!u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT))
            return false;
        if (c >= 0x10000 || m_pConv == nullptr)
            return true;
        if (m_pMappable == nullptr) {
            m_pMappable = uset_openEmpty();
            UErrorCode err = U_ZERO_ERROR;
            ucnv_getUnicodeSet(m_pConv, m_pMappable, UCNV_ROUNDTRIP_SET, &err);
        }
        return !uset_contains(m_pMappable, static_cast<UChar32>(c));
    }

private:
    UConverter* m_pConv = nullptr;
    USet* m_pMappable = nullptr;
};

CConverter& Converter() {
    thread_local CConverter conv;
    return conv;
}

bool IsAscii(std::u16string_view text) {
    for (char16_t c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

// Code point starting at text[i]; *units tells how many code units it took.
char32_t CodePointAt(std::u16string_view text, size_t i, size_t* units) {
    *units = 1;
    if (U16_IS_LEAD(text[i]) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
        *units = 2;
        return U16_GET_SUPPLEMENTARY(text[i], text[i + 1]);
    }
    return text[i];
}

// Converts a run holding no skipped character, asking replace(c) for each code
// point the code page cannot hold (a lone surrogate comes as itself).
template <typename Replace>
void EncodeRun(UConverter* conv, std::u16string_view text, std::string& out, Replace& replace) {
    const UChar* source = reinterpret_cast<const UChar*>(text.data());
    const UChar* const sourceLimit = source + text.size();
    size_t used = out.size();
    // A code unit takes at most two bytes in this code page.
    out.resize(used + text.size() * 2 + 4);
    while (true) {
        char* target = out.data() + used;
        UErrorCode err = U_ZERO_ERROR;
        ucnv_fromUnicode(conv, &target, out.data() + out.size(), &source, sourceLimit, nullptr,
                         true, &err);
        used = static_cast<size_t>(target - out.data());
        if (err == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2);
            continue;
        }
        if (U_SUCCESS(err))
            break;
        UChar bad[8];
        int8_t badLength = sizeof(bad) / sizeof(bad[0]);
        UErrorCode badErr = U_ZERO_ERROR;
        ucnv_getInvalidUChars(conv, bad, &badLength, &badErr);
        char32_t c = kReplacementChar;
        if (U_SUCCESS(badErr) && badLength > 0) {
            c = bad[0];
            if (badLength > 1 && U16_IS_LEAD(bad[0]) && U16_IS_TRAIL(bad[1])) {
                c = U16_GET_SUPPLEMENTARY(bad[0], bad[1]);
            }
        }
        ucnv_reset(conv);
        out.resize(used);
        out += replace(c);
        used = out.size();
        out.resize(used + static_cast<size_t>(sourceLimit - source) * 2 + 4);
    }
    out.resize(used);
}

template <typename Replace>
std::string Encode(std::u16string_view text, Replace replace) {
    std::string out;
    if (IsAscii(text)) {
        out.assign(text.begin(), text.end());
        return out;
    }
    CConverter& converter = Converter();
    UConverter* conv = converter.Get();
    size_t runStart = 0;
    size_t units = 1;
    for (size_t i = 0; i < text.size(); i += units) {
        const char32_t c = CodePointAt(text, i, &units);
        if (c < 0x80 || (conv != nullptr && !converter.IsSkipped(c)))
            continue;
        if (conv != nullptr)
            EncodeRun(conv, text.substr(runStart, i - runStart), out, replace);
        for (size_t k = runStart; conv == nullptr && k < i; ++k) out += static_cast<char>(text[k]);
        out += replace(c);
        runStart = i + units;
    }
    if (conv != nullptr) {
        EncodeRun(conv, text.substr(runStart), out, replace);
    } else {
        for (size_t k = runStart; k < text.size(); ++k) out += static_cast<char>(text[k]);
    }
    return out;
}

// ICU's general multi-byte decoder costs about as much as the store lookup of
// a verse, so clean text is decoded through a table of every two-byte
// sequence that maps both ways, taken from the converter itself. Anything else
// (a stray byte, an unassigned pair) goes to ICU, whose answer stands. The
// table is filled one lead byte's row at a time, when text first uses that
// row: the whole table costs more than reading several chapters, and a text
// touches few rows (Hangul lies in about thirty).
class CDecodeTable {
public:
    // A bad sequence yields nothing; the offsets tell where each output came from.
    CDecodeTable()
        : m_pConv(OpenCp949(UCNV_TO_U_CALLBACK_SKIP, UCNV_FROM_U_CALLBACK_SKIP)),
          m_arrPairs(0x10000, 0) {}
    ~CDecodeTable() {
        if (m_pConv != nullptr)
            ucnv_close(m_pConv);
    }
    CDecodeTable(const CDecodeTable&) = delete;
    CDecodeTable& operator=(const CDecodeTable&) = delete;

    // Decodes into out and returns true when every byte is ASCII or part of a
    // clean pair; false (out holding a partial result) otherwise.
    bool Decode(std::string_view bytes, std::u16string& out) {
        return FillingRows(bytes, [&] { return DecodeFilled(bytes, out); });
    }

    // The same, appending UTF-8 to out (left as it was when false).
    bool DecodeUtf8(std::string_view bytes, std::string& out) {
        return FillingRows(bytes, [&] { return DecodeFilledUtf8(bytes, out); });
    }

private:
    static constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFE;

    // Runs decode (which gives the position of its first miss, or npos) until
    // it misses nothing. A miss in a row not yet filled fills it and decodes
    // again; rows are filled once per thread, so that is rare.
    template <typename Decode>
    bool FillingRows(std::string_view bytes, const Decode& decode) {
        while (true) {
            const size_t miss = decode();
            if (miss == std::string_view::npos)
                return true;
            const auto lead = static_cast<unsigned char>(bytes[miss]);
            if (m_arrRowFilled[lead])
                return false;
            FillRow(lead);
        }
    }
    static constexpr unsigned kFirstTrail = 0x41, kLastTrail = 0xFE;

    // A pair is kept when it decodes to one character alone and that
    // character encodes back to the same two bytes. The row is converted in
    // one call each way; a newline after each pair keeps a pair whose trail
    // byte is taken on its own from running into the next pair.
    void FillRow(unsigned lead) {
        m_arrRowFilled[lead] = true;
        if (m_pConv == nullptr || lead < kFirstLead || lead > kLastLead)
            return;
        std::vector<char> pairs;
        for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
            pairs.insert(pairs.end(), {static_cast<char>(lead), static_cast<char>(trail), '\n'});
        }
        std::vector<UChar> wide(pairs.size());
        std::vector<int32_t> wideFrom(pairs.size());
        UChar* wideTarget = wide.data();
        const char* pairSource = pairs.data();
        ucnv_reset(m_pConv);
        UErrorCode err = U_ZERO_ERROR;
        ucnv_toUnicode(m_pConv, &wideTarget, wide.data() + wide.size(), &pairSource,
                       pairs.data() + pairs.size(), wideFrom.data(), true, &err);
        if (U_FAILURE(err))
            return;
        // One unit from the pair's first byte, the next one the newline's.
        std::vector<UChar> chars;
        std::vector<unsigned> charTrail;
        const size_t produced = static_cast<size_t>(wideTarget - wide.data());
        for (size_t i = 0; i < produced; ++i) {
            if (wideFrom[i] < 0 || wideFrom[i] % 3 != 0)
                continue;
            if ((i == 0 || wideFrom[i - 1] != wideFrom[i]) && i + 1 < produced &&
                wideFrom[i + 1] == wideFrom[i] + 2) {
                chars.push_back(wide[i]);
                charTrail.push_back(kFirstTrail + static_cast<unsigned>(wideFrom[i]) / 3);
            }
        }
        std::vector<char> back(chars.size() * 4 + 4);
        std::vector<int32_t> backFrom(back.size());
        char* byteTarget = back.data();
        const UChar* charSource = chars.data();
        err = U_ZERO_ERROR;
        ucnv_fromUnicode(m_pConv, &byteTarget, back.data() + back.size(), &charSource,
                         chars.data() + chars.size(), backFrom.data(), true, &err);
        if (U_FAILURE(err))
            return;
        // Exactly two bytes from character k, and they are its pair.
        const size_t bytes = static_cast<size_t>(byteTarget - back.data());
        for (size_t i = 0; i + 1 < bytes; ++i) {
            const int32_t k = backFrom[i];
            if (k < 0 || backFrom[i + 1] != k || (i > 0 && backFrom[i - 1] == k) ||
                (i + 2 < bytes && backFrom[i + 2] == k)) {
                continue;
            }
            const auto trail = charTrail[static_cast<size_t>(k)];
            if (static_cast<unsigned char>(back[i]) == lead &&
                static_cast<unsigned char>(back[i + 1]) == trail) {
                m_arrPairs[lead << 8 | trail] = chars[static_cast<size_t>(k)];
            }
        }
    }

    // Decodes with the rows filled so far; npos when every byte was ASCII or
    // part of a pair in the table, else the position of the first pair that
    // was not (out then holds a partial result).
    size_t DecodeFilled(std::string_view bytes, std::u16string& out) const {
        const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
        const size_t n = bytes.size();
        out.resize(n);
        char16_t* decoded = out.data();
        const char16_t* pairs = m_arrPairs.data();
        size_t used = 0;
        for (size_t i = 0; i < n;) {
            if (s[i] < 0x80) {
                decoded[used++] = s[i++];
                continue;
            }
            const char16_t c = i + 1 < n ? pairs[s[i] << 8 | s[i + 1]] : 0;
            if (c == 0)
                return i;
            decoded[used++] = c;
            i += 2;
        }
        out.resize(used);
        return std::string_view::npos;
    }

    // DecodeFilled appending UTF-8 to out; out is left as it was on a miss.
    size_t DecodeFilledUtf8(std::string_view bytes, std::string& out) const {
        const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
        const size_t n = bytes.size();
        const size_t start = out.size();
        // A byte gives one byte, a pair at most three.
        out.resize(start + n + n / 2);
        auto* o = reinterpret_cast<unsigned char*>(out.data() + start);
        const char16_t* pairs = m_arrPairs.data();
        for (size_t i = 0; i < n;) {
            if (s[i] < 0x80) {
                *o++ = s[i++];
                continue;
            }
            const char16_t c = i + 1 < n ? pairs[s[i] << 8 | s[i + 1]] : 0;
            if (c == 0) {
                out.resize(start);
                return i;
            }
            // The table holds no surrogate.
            if (c < 0x800) {
                *o++ = static_cast<unsigned char>(0xC0 | c >> 6);
            } else {
                *o++ = static_cast<unsigned char>(0xE0 | c >> 12);
                *o++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            }
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            i += 2;
        }
        out.resize(static_cast<size_t>(o - reinterpret_cast<unsigned char*>(out.data())));
        return std::string_view::npos;
    }

    UConverter* m_pConv = nullptr;
    std::vector<char16_t> m_arrPairs;
    bool m_arrRowFilled[256] = {};
};

// Per thread, like the converter: rows are filled as text comes.
CDecodeTable& DecodeTable() {
    thread_local CDecodeTable table;
    return table;
}

bool DecodeClean(std::string_view bytes, std::u16string& out) {
    return DecodeTable().Decode(bytes, out);
}

}  // namespace

std::string ToAnsiKey(std::u16string_view key) {
    if (key.size() > kMaxKeyChars)
        key = key.substr(0, kMaxKeyChars);
    return Encode(key, [](char32_t) { return std::string_view("?"); });
}

std::string EncodeAnsi(std::u16string_view text, std::vector<char32_t>* replaced) {
    return Encode(text, [replaced](char32_t c) {
        if (replaced != nullptr)
            replaced->push_back(c);
        return ReplacementFor(c);
    });
}

std::u16string AnsiToWide(std::string_view bytes) {
    std::u16string out;
    AnsiToWide(bytes, out);
    return out;
}

void AnsiToWide(std::string_view bytes, std::u16string& out) {
    if (DecodeClean(bytes, out))
        return;
    out.clear();
    UConverter* conv = Converter().Get();
    if (conv == nullptr) {
        for (char b : bytes) {
            const auto u = static_cast<unsigned char>(b);
            out += u < 0x80 ? static_cast<char16_t>(u) : kReplacementChar;
        }
        return;
    }
    const char* source = bytes.data();
    const char* const sourceLimit = source + bytes.size();
    // Every byte gives at most one code unit (no mapping leaves the BMP).
    out.resize(bytes.size() + 4);
    size_t used = 0;
    while (true) {
        UChar* base = reinterpret_cast<UChar*>(out.data());
        UChar* target = base + used;
        UErrorCode err = U_ZERO_ERROR;
        ucnv_toUnicode(conv, &target, base + out.size(), &source, sourceLimit, nullptr, true, &err);
        used = static_cast<size_t>(target - base);
        if (err == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(out.size() * 2);
            continue;
        }
        if (U_SUCCESS(err))
            break;
        ucnv_reset(conv);
        out.resize(used);
        out += kReplacementChar;
        used = out.size();
        out.resize(used + static_cast<size_t>(sourceLimit - source) + 4);
    }
    out.resize(used);
}

void AnsiToUtf8(std::string_view bytes, std::string& out) {
    if (!DecodeTable().DecodeUtf8(bytes, out))
        out += Utf16ToUtf8(AnsiToWide(bytes));
}

std::string_view ReplacementFor(char32_t c) {
    switch (c) {
        case 0x2018:  // single quotes
        case 0x2019:
        case 0x201A:
        case 0x201B:
        case 0x2032:
            return "'";
        case 0x201C:  // double quotes
        case 0x201D:
        case 0x201E:
        case 0x201F:
        case 0x2033:
        case 0x00AB:
        case 0x00BB:
            return "\"";
        case 0x2010:  // hyphens and dashes
        case 0x2011:
        case 0x2012:
        case 0x2013:
        case 0x2014:
        case 0x2015:
        case 0x2212:
            return "-";
        case 0x00A0:  // spaces
        case 0x2000:
        case 0x2001:
        case 0x2002:
        case 0x2003:
        case 0x2004:
        case 0x2005:
        case 0x2006:
        case 0x2007:
        case 0x2008:
        case 0x2009:
        case 0x200A:
        case 0x202F:
        case 0x205F:
            return " ";
        case 0x2026:
            return "...";
        case 0x2022:
        case 0x00B7:
            return "*";
        case 0x2039:
            return "<";
        case 0x203A:
            return ">";
        default:
            return "?";
    }
}

// ICU replaces each ill-formed subsequence with U+FFFD, as Unicode recommends.
std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                         &length, utf8.data(), static_cast<int32_t>(utf8.size()), kReplacementChar,
                         nullptr, &err);
    out.resize(U_SUCCESS(err) ? static_cast<size_t>(length) : 0);
    return out;
}

// By hand rather than through ICU: printed search results are megabytes of
// it, and this loop is several times faster. A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16) {
    // A UTF-16 code unit takes at most three bytes.
    std::string out(utf16.size() * 3, '\0');
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    const size_t n = utf16.size();
    for (size_t i = 0; i < n; ++i) {
        char32_t c = utf16[i];
        // ASCII and three-byte characters (Hangul among them) by a mask: three
        // bytes written, one or three kept, no branch to mispredict.
        if ((c < 0x80 || c >= 0x800) && (c < 0xD800 || c > 0xDFFF)) {
            const unsigned ascii = c < 0x80;
            const unsigned mask = 0u - ascii;
            o[0] = static_cast<unsigned char>((c & mask) | ((0xE0 | c >> 12) & ~mask));
            o[1] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            o[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            o += 3 - 2 * ascii;
            continue;
        }
        if (c < 0x800) {
            *o++ = static_cast<unsigned char>(0xC0 | c >> 6);
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            continue;
        }
        const char32_t next = i + 1 < n ? utf16[i + 1] : 0;
        if (c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
            ++i;
            *o++ = static_cast<unsigned char>(0xF0 | c >> 18);
            *o++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            continue;
        }
        // A lone surrogate.
        *o++ = 0xEF;
        *o++ = 0xBF;
        *o++ = 0xBD;
    }
    out.resize(static_cast<size_t>(o - reinterpret_cast<unsigned char*>(out.data())));
    return out;
}

std::u16string DecimalUtf16(long long n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

bool IsWellFormedUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* const end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        char32_t value = 0, least = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1, value = c & 0x1F, least = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, value = c & 0x0F, least = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, value = c & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i] & 0x3F);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

}  // namespace tavrin
