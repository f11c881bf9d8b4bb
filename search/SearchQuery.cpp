// SearchQuery.cpp - query parsing, text preparation (NFC, case folding, no spaces) and matching.
#include "SearchQuery.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tavrin {

namespace {

constexpr char16_t kFirstSyllable = 0xAC00, kLastSyllable = 0xD7A3;
constexpr char16_t kFirstConsonant = 0x3131, kLastConsonant = 0x314E;
// Syllables per initial consonant: 21 medial vowels x 28 finals.
constexpr unsigned kSyllablesPerInitial = 21 * 28;

// Initial index of each compatibility consonant U+3131..U+314E; -1 for the
// clusters that only ever end a syllable.
constexpr signed char kInitialOfConsonant[] = {
    0,  1, -1, 2, -1, -1, 3,  4,  5,  -1, -1, -1, -1, -1, -1,
    -1, 6, 7,  8, -1, 9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
};
static_assert(sizeof(kInitialOfConsonant) == kLastConsonant - kFirstConsonant + 1);

bool IsSyllable(char32_t c) {
    return c >= kFirstSyllable && c <= kLastSyllable;
}

// The initial consonant of a syllable as a number from 1, the way
// initial-consonant terms hold it.
char InitialOf(char32_t syllable) {
    return static_cast<char>(1 + (syllable - kFirstSyllable) / kSyllablesPerInitial);
}

// An ASCII code unit prepared: folded, or 0 when dropped.
constexpr char16_t PrepareAscii(char16_t c) {
    if (c == ' ' || (c >= '\t' && c <= '\r'))
        return 0;
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}
constexpr auto kAsciiPrepared = [] {
    std::array<char16_t, 0x80> table{};
    for (char16_t c = 0; c < 0x80; ++c) table[c] = PrepareAscii(c);
    return table;
}();

bool IsDropped(char32_t c) {
    if (c < 0x80)
        return kAsciiPrepared[c] == 0;
    return !IsSyllable(c) && u_isUWhiteSpace(static_cast<UChar32>(c));
}

char32_t Fold(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    if (IsSyllable(c))
        return c;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

const UNormalizer2* Nfc() {
    static const UNormalizer2* const nfc = [] {
        UErrorCode err = U_ZERO_ERROR;
        const UNormalizer2* n = unorm2_getNFCInstance(&err);
        return U_SUCCESS(err) ? n : nullptr;
    }();
    return nfc;
}

// Code units below U+0300, Hangul syllables and compatibility jamo are NFC
// "yes" with combining class 0, and a syllable composes only with a
// conjoining jamo, which is not among them: a text made only of these is NFC
// already. Anything else asks ICU, once for the whole text.
bool IsPlain(char16_t c) {
    return c < 0x300 || IsSyllable(c) || (c >= 0x3131 && c <= 0x318E);
}

// Appends the prepared form of a text that NFC leaves as it is, in one pass
// with no ICU call for Hangul or ASCII; every text of a store set but the
// rarest goes this way. Returns false, with nothing appended, when the text
// is not NFC or folding would lengthen it (the general road takes it then).
bool AppendNormalized(std::u16string_view text, std::u16string& prepared) {
    const size_t base = prepared.size();
    prepared.resize(base + text.size());
    char16_t* out = prepared.data() + base;
    bool asked = false, ok = true;
    size_t used = 0;
    for (size_t i = 0; i < text.size() && ok;) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            const char16_t folded = kAsciiPrepared[unit];
            if (folded != 0)
                out[used++] = folded;
            ++i;
            continue;
        }
        if (IsSyllable(unit)) {
            out[used++] = unit;
            ++i;
            continue;
        }
        if (!IsPlain(unit) && !asked) {
            asked = true;
            UErrorCode err = U_ZERO_ERROR;
            ok = Nfc() != nullptr &&
                 unorm2_isNormalized(Nfc(), reinterpret_cast<const UChar*>(text.data()),
                                     static_cast<int32_t>(text.size()), &err) &&
                 U_SUCCESS(err);
            if (!ok)
                break;
        }
        const size_t start = i;
        char32_t c = 0;
        U16_NEXT(text.data(), i, text.size(), c);
        c = Fold(c);
        if (IsDropped(c))
            continue;
        ok = U16_LENGTH(c) <= i - start;
        if (ok)
            U16_APPEND_UNSAFE(out, used, c);
    }
    prepared.resize(ok ? base + used : base);
    return ok;
}

class CPreparer {
public:
    CPreparer(std::u16string& prepared, std::vector<STextRange>* origins)
        : m_prepared(prepared), m_pOrigins(origins) {}

    // Emits c, which came from text[start, end).
    void Emit(char32_t c, size_t start, size_t end) {
        c = Fold(c);
        if (IsDropped(c))
            return;
        const size_t units = U16_LENGTH(c);
        if (units == 1) {
            m_prepared += static_cast<char16_t>(c);
        } else {
            m_prepared += static_cast<char16_t>(U16_LEAD(c));
            m_prepared += static_cast<char16_t>(U16_TRAIL(c));
        }
        if (m_pOrigins != nullptr)
            m_pOrigins->insert(m_pOrigins->end(), units, STextRange{start, end});
    }

    // Emits each code point of text[from, to), which is already NFC.
    void EmitAsIs(std::u16string_view text, size_t from, size_t to) {
        for (size_t i = from; i < to;) {
            const size_t start = i;
            char32_t c = 0;
            U16_NEXT(text.data(), i, to, c);
            Emit(c, start, i);
        }
    }

private:
    std::u16string& m_prepared;
    std::vector<STextRange>* m_pOrigins;
};

// The text's code units as UTF-16 with no lone surrogate.
bool IsWellFormed(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (U16_IS_LEAD(text[i]) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1]))
            ++i;
        else if (U16_IS_SURROGATE(text[i]))
            return false;
    }
    return true;
}

}  // namespace

void PrepareSearchText(std::u16string_view text, std::u16string& prepared,
                       std::vector<STextRange>* origins) {
    if (origins == nullptr && AppendNormalized(text, prepared))
        return;
    CPreparer out(prepared, origins);
    const UNormalizer2* nfc = Nfc();
    if (nfc == nullptr) {
        out.EmitAsIs(text, 0, text.size());
        return;
    }
    // NFC one stretch at a time: what ICU says is normalized already goes
    // through as it is; each stretch that is not, up to the next boundary, is
    // normalized alone, so every character it gives maps back to the stretch.
    const auto* s = reinterpret_cast<const UChar*>(text.data());
    const size_t n = text.size();
    std::u16string normalized;
    for (size_t i = 0; i < n;) {
        UErrorCode err = U_ZERO_ERROR;
        size_t yes = i + static_cast<size_t>(unorm2_spanQuickCheckYes(
                             nfc, s + i, static_cast<int32_t>(n - i), &err));
        if (U_FAILURE(err))
            yes = n;
        out.EmitAsIs(text, i, yes);
        if (yes >= n)
            break;
        size_t end = yes;
        UChar32 c = 0;
        U16_NEXT(s, end, n, c);
        while (end < n) {
            size_t next = end;
            U16_NEXT(s, next, n, c);
            if (unorm2_hasBoundaryBefore(nfc, c))
                break;
            end = next;
        }
        int32_t length = static_cast<int32_t>(end - yes) * 3 + 4;
        do {
            normalized.resize(static_cast<size_t>(length));
            err = U_ZERO_ERROR;
            length = unorm2_normalize(nfc, s + yes, static_cast<int32_t>(end - yes),
                                      reinterpret_cast<UChar*>(normalized.data()),
                                      static_cast<int32_t>(normalized.size()), &err);
        } while (err == U_BUFFER_OVERFLOW_ERROR);
        if (U_FAILURE(err)) {
            out.EmitAsIs(text, yes, end);
        } else {
            const std::u16string_view stretch(normalized.data(), static_cast<size_t>(length));
            for (size_t k = 0; k < stretch.size();) {
                U16_NEXT(stretch.data(), k, stretch.size(), c);
                out.Emit(static_cast<char32_t>(c), yes, end);
            }
        }
        i = end;
    }
}

namespace {

#ifdef __SSE2__
// The first of eight places from at whose candidate lane in matches (all bits
// of a 16-bit lane set) and passes rest; npos when none does.
template <typename Rest>
size_t FirstHit(__m128i matches, size_t at, const Rest& rest) {
    // Two mask bits per place.
    auto found = static_cast<unsigned>(_mm_movemask_epi8(matches));
    while (found != 0) {
        const auto bit = static_cast<unsigned>(__builtin_ctz(found));
        found &= ~(3u << bit);
        if (rest(at + bit / 2))
            return at + bit / 2;
    }
    return std::u16string_view::npos;
}
#endif

// Where needle (not empty) next occurs in text at or after from. Each place is
// tested first on the needle's first and last unit, eight places at a time
// where SSE2 is there (every x86-64): the library's find tests one place per
// step, and a term's first syllable is often a common one (하 in 하나님).
size_t FindUnits(std::u16string_view text, std::u16string_view needle, size_t from) {
    const size_t n = needle.size();
    if (n == 0 || text.size() < n || from > text.size() - n)
        return std::u16string_view::npos;
    const size_t places = text.size() - n + 1;  // every start at which needle fits
    const char16_t* t = text.data();
    const auto rest = [&](size_t at) {
        return n <= 2 || std::equal(needle.begin() + 1, needle.end() - 1, t + at + 1);
    };
    size_t at = from;
#ifdef __SSE2__
    const __m128i first = _mm_set1_epi16(static_cast<short>(needle.front()));
    const __m128i last = _mm_set1_epi16(static_cast<short>(needle.back()));
    for (; at + 8 <= places; at += 8) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at + n - 1));
        const size_t hit = FirstHit(
            _mm_and_si128(_mm_cmpeq_epi16(heads, first), _mm_cmpeq_epi16(tails, last)), at, rest);
        if (hit != std::u16string_view::npos)
            return hit;
    }
#endif
    for (; at < places; ++at) {
        if (t[at] == needle.front() && t[at + n - 1] == needle.back() && rest(at))
            return at;
    }
    return std::u16string_view::npos;
}

// Where a run of syllables with initials (each 1..19) next begins in text at
// or after from. The syllables of one initial are one range of code points, so
// each place is tested first on its first and last unit with a subtraction and
// a compare, eight places at a time where SSE2 is there, as FindUnits does.
size_t FindInitials(std::u16string_view text, std::string_view initials, size_t from) {
    const size_t n = initials.size();
    if (n == 0 || text.size() < n || from > text.size() - n)
        return std::u16string_view::npos;
    const auto rangeOf = [](char initial) {
        return static_cast<char16_t>(kFirstSyllable +
                                     (static_cast<unsigned>(initial) - 1) * kSyllablesPerInitial);
    };
    const char16_t first = rangeOf(initials.front()), last = rangeOf(initials.back());
    const size_t places = text.size() - n + 1;
    const char16_t* t = text.data();
    const auto rest = [&](size_t at) {
        for (size_t k = 1; k + 1 < n; ++k) {
            if (!IsSyllable(t[at + k]) || InitialOf(t[at + k]) != initials[k])
                return false;
        }
        return true;
    };
    size_t at = from;
#ifdef __SSE2__
    const __m128i firstV = _mm_set1_epi16(static_cast<short>(first));
    const __m128i lastV = _mm_set1_epi16(static_cast<short>(last));
    const __m128i width = _mm_set1_epi16(static_cast<short>(kSyllablesPerInitial - 1));
    const __m128i zero = _mm_setzero_si128();
    // x - start <= width as unsigned 16-bit: the saturated difference is zero.
    const auto inRange = [&](const char16_t* p, __m128i start) {
        const __m128i offset =
            _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), start);
        return _mm_cmpeq_epi16(_mm_subs_epu16(offset, width), zero);
    };
    for (; at + 8 <= places; at += 8) {
        const size_t hit = FirstHit(
            _mm_and_si128(inRange(t + at, firstV), inRange(t + at + n - 1, lastV)), at, rest);
        if (hit != std::u16string_view::npos)
            return hit;
    }
#endif
    for (; at < places; ++at) {
        if (static_cast<char16_t>(t[at] - first) < kSyllablesPerInitial &&
            static_cast<char16_t>(t[at + n - 1] - last) < kSyllablesPerInitial && rest(at))
            return at;
    }
    return std::u16string_view::npos;
}

}  // namespace

size_t FindSearchTerm(const SSearchTerm& term, std::u16string_view prepared, size_t from) {
    if (!term.CanMatch())
        return std::u16string_view::npos;
    return term.m_bInitials ? FindInitials(prepared, term.m_strInitials, from)
                            : FindUnits(prepared, term.m_strText, from);
}

CSearchQuery::CSearchQuery(std::u16string_view query) {
    if (query.size() > kMaxQueryChars) {
        m_status = EQueryStatus::TooLong;
        return;
    }
    if (!IsWellFormed(query)) {
        m_status = EQueryStatus::InvalidText;
        return;
    }
    auto addTerm = [this](std::u16string_view raw) {
        SSearchTerm term;
        PrepareSearchText(raw, term.m_strText);
        if (term.m_strText.empty())
            return;
        term.m_bInitials =
            std::all_of(term.m_strText.begin(), term.m_strText.end(),
                        [](char16_t c) { return c >= kFirstConsonant && c <= kLastConsonant; });
        for (size_t k = 0; term.m_bInitials && k < term.m_strText.size(); ++k) {
            const int initial = kInitialOfConsonant[term.m_strText[k] - kFirstConsonant];
            if (initial < 0) {
                term.m_strInitials.clear();
                break;
            }
            term.m_strInitials += static_cast<char>(1 + initial);
        }
        const bool seen = std::any_of(m_arrTerms.begin(), m_arrTerms.end(),
                                      [&](const auto& t) { return t.m_strText == term.m_strText; });
        if (!seen)
            m_arrTerms.push_back(std::move(term));
    };
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= query.size(); ++i) {
        const char16_t c = i < query.size() ? query[i] : u' ';
        if (c == u'"') {
            quoted = !quoted;
        } else if ((!quoted || i == query.size()) && u_isUWhiteSpace(c)) {
            // Quotes take no part in a term; what lies between them does.
            std::u16string raw;
            for (char16_t r : query.substr(start, i - start)) {
                if (r != u'"')
                    raw += r;
            }
            addTerm(raw);
            start = i + 1;
        }
    }
    m_status = m_arrTerms.empty() ? EQueryStatus::NoTerms : EQueryStatus::Ready;
}

CSearchQuery CSearchQuery::FromUtf8(std::string_view query) {
    CSearchQuery result;
    // A code unit takes at most three bytes, so a longer input is too long
    // whatever it holds and need not be converted.
    if (query.size() > 3 * kMaxQueryChars) {
        result.m_status = EQueryStatus::TooLong;
        return result;
    }
    std::u16string wide(query.size(), u'\0');
    int32_t length = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()), &length,
                  query.data(), static_cast<int32_t>(query.size()), &err);
    if (U_FAILURE(err)) {
        result.m_status = EQueryStatus::InvalidText;
        return result;
    }
    wide.resize(static_cast<size_t>(length));
    return CSearchQuery(wide);
}

std::vector<STextRange> CSearchQuery::MatchedRanges(std::u16string_view text) const {
    std::vector<STextRange> ranges;
    if (!IsReady())
        return ranges;
    std::u16string prepared;
    std::vector<STextRange> origins;
    PrepareSearchText(text, prepared, &origins);
    for (const SSearchTerm& term : m_arrTerms) {
        for (size_t at = FindSearchTerm(term, prepared); at != std::u16string_view::npos;
             at = FindSearchTerm(term, prepared, at + 1)) {
            ranges.push_back({origins[at].m_nStart, origins[at + term.Length() - 1].m_nEnd});
        }
    }
    std::sort(ranges.begin(), ranges.end(),
              [](const STextRange& a, const STextRange& b) { return a.m_nStart < b.m_nStart; });
    std::vector<STextRange> merged;
    for (const STextRange& r : ranges) {
        if (!merged.empty() && r.m_nStart <= merged.back().m_nEnd)
            merged.back().m_nEnd = std::max(merged.back().m_nEnd, r.m_nEnd);
        else
            merged.push_back(r);
    }
    return merged;
}

}  // namespace tavrin
