// search_test.cpp - queries, matches and highlights on small sets and the Korean text; the cache.
#include <gtest/gtest.h>
#include <unicode/normalizer2.h>

#include <filesystem>
#include <sstream>

#include "Checksum.h"
#include "CodePage.h"
#include "FileBytes.h"
#include "RunProgram.h"
#include "SearchIndex.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::CStoreFixture, test::SReference, test::ReadBytes, test::WriteBytes;
using Strings = std::vector<std::u16string>;

Strings Names(const CSearchIndex& index, const std::vector<size_t>& ids) {
    Strings names;
    for (size_t id : ids) names.emplace_back(index.Entry(id).m_strReference);
    return names;
}
// A small set in both testaments: particles, spacing, lines, consonant runs.
void AddSmallSet(CStoreFixture& fx) {
    fx.AddBook(Testament::Old, u"창세기",
               {{u"창1:1", u"하나님이 세상을 이처럼 사랑하사"},
                {u"창1:2", u"하나님의사랑"},
                {u"창1:3", u"첫째 줄\r\n하나님의 사랑을 입은 자"},
                {u"창1:4", u"하,나님 하나x님 하 나 님"}});
    fx.AddBook(Testament::Old, u"출애굽기", {{u"출1:1", u"까치와 가치 ㄳ 다윗"}});
    fx.AddBook(Testament::New, u"마태복음",
               {{u"마1: 1", u"서로 사랑이 있으면 Love \u212B"}, {u"마1: 2", u"다\u3000윗"}});
    fx.AddBook(Testament::New, u"요한계시록", {{u"계1: 1", u"하나님 아멘"}});
    fx.Build();
}

TEST(Search, FindsTermsInReaderOrderWithinScopeAndHighlightsTheOriginalText) {
    CStoreFixture fx;
    AddSmallSet(fx);
    CSearchIndex index, newOnly;
    ASSERT_TRUE(index.Build(fx.Folder(), EScope::Both));
    // Rows with a text match it alone: code page 949 holds no accent and nothing above the BMP.
    const struct {
        std::u16string m_strQuery;
        Strings m_arrFound, m_arrHighlights;  // highlights in the text or the first found
        std::u16string m_strText{};
    } cases[] = {
        {u"사랑", {u"창1:1", u"창1:2", u"창1:3", u"마1: 1"}, {u"사랑"}},
        {u"\"하나님의 사랑", {u"창1:2", u"창1:3"}, {u"하나님의사랑"}},
        {u" 줄하나님의  사랑을", {u"창1:3"}, {u"줄\r\n하나님의", u"사랑을"}},
        {u"사랑 하나님", {u"창1:1", u"창1:2", u"창1:3"}, {u"하나님", u"사랑"}},
        {u"사랑 ㄹㅇㅇ", {u"창1:3", u"마1: 1"}, {u"사랑을 입"}},
        {u"ㅎㄴㄴ", {u"창1:1", u"창1:2", u"창1:3", u"창1:4", u"계1: 1"}, {u"하나님"}},
        {u"ㄷㅇ", {u"출1:1", u"마1: 2"}, {u"다윗"}},
        {u"ㄲㅊ", {u"출1:1"}, {u"까치"}},
        {u"ㄱㅊ", {u"출1:1"}, {u"가치"}},
        {u"ㄳ", {}, {}},
        {u"나y님", {}, {}},  // first and last unit as in 나x님, not the middle
        {u"LO VE", {u"마1: 1"}, {u"Love"}},
        {u"å", {u"마1: 1"}, {u"\u212B"}},  // the Angstrom sign: NFC makes it Å
        {u"\u1112\u1161\u1102\u1161\u1102\u1175\u11B7의", {u"창1:2", u"창1:3"}, {u"하나님의"}},
        {u"café", {}, {u"CAFE\u0301"}, u"CAFE\u0301 au lait"},
        {u"RE\u0301SUME\u0301", {}, {u"résumé"}, u"un résumé"},
        {u"ㅅㄹ 하나님", {}, {u"하나님", u"사랑"}, u"😀𠀀 하나님의 사랑 "},
        {u"𠀀하나", {}, {u"𠀀 하나"}, u"😀𠀀 하나님"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.m_strQuery));
        const CSearchQuery query(c.m_strQuery);
        const auto ids = c.m_strText.empty() ? index.Search(query) : std::vector<size_t>{};
        EXPECT_EQ(Names(index, ids), c.m_arrFound);
        const std::u16string text = ids.empty() ? c.m_strText : index.Entry(ids[0]).m_strText;
        Strings highlights;
        for (const STextRange& r : query.MatchedRanges(text))
            highlights.push_back(text.substr(r.m_nStart, r.m_nEnd - r.m_nStart));
        EXPECT_EQ(highlights, c.m_arrHighlights);
    }

    const CSearchQuery query(u"하나님");
    EXPECT_EQ(Names(index, index.Search(query, EScope::Old)),
              (Strings{u"창1:1", u"창1:2", u"창1:3", u"창1:4"}));
    EXPECT_EQ(Names(index, index.Search(query, EScope::New)), (Strings{u"계1: 1"}));
    ASSERT_TRUE(newOnly.Build(fx.Folder(), EScope::New));
    EXPECT_EQ(Names(newOnly, newOnly.Search(query)), (Strings{u"계1: 1"}));

    // Every entry as the stores show it.
    ASSERT_EQ(index.Size(), 8u);
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    for (size_t id = 0; id < index.Size(); ++id) {
        const SSearchEntry e = index.Entry(id);
        EXPECT_EQ(e.m_strText, stores.ReadReferenceText(e.m_testament, e.m_strReference));
        EXPECT_EQ(stores.ReadBookList(e.m_testament).at(e.m_nBook), e.m_strBook);
        EXPECT_EQ(stores.ReadReferenceList(e.m_testament, e.m_strBook).at(e.m_nReference),
                  e.m_strReference);
    }
}

TEST(SearchQuery, RefusesEmptyOverlongAndInvalidQueries) {
    const std::u16string longest(kMaxQueryChars, u'가');
    const std::string hangul = Utf16ToUtf8(longest);
    const std::pair<CSearchQuery, EQueryStatus> cases[] = {
        {CSearchQuery(u""), EQueryStatus::NoTerms},
        {CSearchQuery(u" \t\"\" \" \""), EQueryStatus::NoTerms},
        {CSearchQuery(longest), EQueryStatus::Ready},
        {CSearchQuery(longest + u' '), EQueryStatus::TooLong},
        {CSearchQuery(std::u16string(10000, u'a')), EQueryStatus::TooLong},
        {CSearchQuery(u"사랑 \xD800"), EQueryStatus::InvalidText},
        {CSearchQuery::FromUtf8(hangul), EQueryStatus::Ready},
        {CSearchQuery::FromUtf8(hangul + "a"), EQueryStatus::TooLong},
        {CSearchQuery::FromUtf8("\xed\xa0\x80"), EQueryStatus::InvalidText},
        {CSearchQuery::FromUtf8("love \xff"), EQueryStatus::InvalidText},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first.Status(), cases[i].second) << i;
}

// The whole 1961 Korean text: the engine against a plain scan of its lines
// (NFC, blanks removed, substrings), over a set built from the same lines.
TEST(SearchKorean, FindsWhatAPlainScanOfTheTextFinds) {
    const test::SRun xz = test::RunProgram("xz", {"-dc", TAVRIN_KOREAN_TSV});
    ASSERT_EQ(xz.m_nStatus, 0) << xz.m_strErr;
    UErrorCode err = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(err);
    CStoreFixture fx;
    std::vector<SReference> book, scanned;  // the book's verses; every verse as scanned
    int books = 0;
    std::istringstream lines(xz.m_strOut + "-\t\t\t\n");  // the last line ends the last book
    for (std::string id, last, chapter, verse, text;
         std::getline(lines, id, '\t') && std::getline(lines, chapter, '\t') &&
         std::getline(lines, verse, '\t') && std::getline(lines, text);
         last = id) {
        if (id != last && !book.empty()) {
            fx.AddBook(++books <= 39 ? Testament::Old : Testament::New, Utf8ToUtf16(last), book);
            book.clear();
        }
        book.push_back({Utf8ToUtf16(id + chapter + ":" + verse), Utf8ToUtf16(text)});
        icu::UnicodeString plain = nfc->normalize(icu::UnicodeString::fromUTF8(text), err);
        scanned.push_back(
            {book.back().m_strName, plain.findAndReplace(" ", "").getTerminatedBuffer()});
    }
    ASSERT_TRUE(U_SUCCESS(err));
    ASSERT_EQ(scanned.size(), 31102u + 1);
    fx.Build();
    CSearchIndex index;
    ASSERT_TRUE(index.Build(fx.Folder(), EScope::Both));
    const std::pair<std::u16string, Strings> cases[] = {{u"하나님", {u"하나님"}},
                                                        {u"\"하나님의 사랑\"", {u"하나님의사랑"}},
                                                        {u"사랑 믿음", {u"사랑", u"믿음"}}};
    for (const auto& [query, terms] : cases) {
        Strings expected;
        for (const auto& [reference, plain] : scanned) {
            if (std::all_of(terms.begin(), terms.end(),
                            [&](const auto& t) { return plain.find(t) != std::u16string::npos; }))
                expected.push_back(reference);
        }
        EXPECT_GT(expected.size(), 10u);
        EXPECT_EQ(Names(index, index.Search(CSearchQuery(query))), expected);
    }
}

// The cache file's layout depends on these values: a change needs a new format version.
TEST(Checksum, KeepsItsValuesWhateverThePieces) {
    std::string bytes;
    for (int i = 0; i < 200; ++i) bytes += char(i * 37);
    const std::pair<size_t, uint64_t> cases[] = {{0, 0x29A5EB4177B7A96Au},
                                                 {1, 0x8D173AF373E26892u},
                                                 {64, 0x9865126C9B0D49A0u},
                                                 {65, 0x1355AA3309693CD0u},
                                                 {200, 0x7B53D34424FA79BDu}};
    for (const auto& [size, value] : cases) {
        const std::string_view whole = std::string_view(bytes).substr(0, size);
        EXPECT_EQ(Checksum(whole), value) << size;
        CChecksum pieces;  // 0, 1, 2, ... bytes at a time
        for (size_t at = 0, n = 0; at < size; at += n++) pieces.Add(whole.substr(at, n));
        EXPECT_EQ(pieces.Value(), value) << size;
    }
}

// What an index shows: every entry, then the ids a query finds.
std::u16string Shown(const CSearchIndex& index) {
    std::u16string out;
    for (size_t id = 0; id < index.Size(); ++id) {
        const SSearchEntry e = index.Entry(id);
        out.append(e.m_strBook).append(e.m_strReference).append(e.m_strText);
        out += {char16_t(e.m_testament), char16_t(e.m_nBook), char16_t(e.m_nReference)};
    }
    for (size_t id : index.Search(CSearchQuery(u"사랑 ㅎㄴㄴ"))) out += char16_t(id);
    return out;
}

TEST(SearchCache, GivesTheStoresIndexWhateverTheCacheFileAndNoticesChangedStores) {
    CStoreFixture fx, fy;  // fy: a text of the same length, a much longer one
    fy.PutText(kDatNewFile, EncodeAnsi(u"계1: 1"), EncodeAnsi(u"아멘 하나님"));
    fy.PutText(kDatOldFile, EncodeAnsi(u"창1:2"), std::string(3000, 'x'));
    AddSmallSet(fx);
    AddSmallSet(fy);
    fx.Settle();
    const auto then = fs::last_write_time(fx.PathOf(kKeyOldFile));
    const std::string home = fx.PathOf("cache");
    const std::string cache = SearchCachePath(fx.Folder(), [&](const char* name) {
        return std::string_view(name) == "XDG_CACHE_HOME" ? home.c_str() : "/h";
    });
    EXPECT_EQ(cache.substr(0, home.size() + 8), home + "/tavrin/");
    EXPECT_EQ(SearchCachePath(fx.Folder(), [](const char*) { return "relative"; }), "");
    EXPECT_EQ(SearchCachePath(fx.PathOf("none"), [](const char*) { return "/c"; }), "");
    using enum EScope;
    using enum ECacheUse;
    CSearchIndex plain, cached;
    ECacheUse use{};
    const auto check = [&](EScope scope, ECacheUse want, std::string file, bool forged = false) {
        ASSERT_TRUE(plain.Build(fx.Folder(), scope));
        ASSERT_TRUE(cached.BuildCached(fx.Folder(), scope, file, {}, &use));
        if (forged && use == Loaded)  // wrong texts at worst, read safely
            return (void)Shown(cached);
        EXPECT_EQ(use, want);
        EXPECT_EQ(Shown(cached), Shown(plain));
    };
    for (auto [scope, want] : {std::pair{Old, Rewritten}, {Old, Loaded}, {New, Loaded}})
        check(scope, want, cache);
    // The layout as documented: version, reference count, the first entry (창1:1).
    const std::string good = ReadBytes(cache);
    const auto field = [&](size_t at, size_t width) {
        uint64_t value = 0;
        for (size_t i = width; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(good[at + i]);
        return value;
    };
    const std::tuple<size_t, size_t, uint64_t> layout[] = {
        {8, 4, 2},    {184, 8, 8},          {232, 1, 0},
        {234, 2, 0},  {236, 2, 4},          {238, 2, 31},
        {240, 4, 14}, {232 + 7 * 12, 1, 1}, {232 + 7 * 12 + 2, 2, 1}};
    for (const auto& [at, width, value] : layout) EXPECT_EQ(field(at, width), value) << at;
    // Cut, a byte changed or added: replaced; forged (checksum made right): may
    // be taken, unless the change lies before the checksum. Both testaments, by turns.
    std::vector<std::pair<std::string, bool>> bad = {{good + 'x', false}};
    for (size_t at = 0; at < good.size(); ++at) {
        std::string bytes = good.substr(0, at) + char(good[at] ^ 0x80) + good.substr(at + 1);
        bad.insert(bad.end(), {{good.substr(0, at), false}, {bytes, false}});
        uint64_t sum = Checksum(std::string_view(bytes).substr(kSearchCacheChecksumAt + 8));
        for (size_t i = 0; i < 8; ++i, sum >>= 8) bytes[kSearchCacheChecksumAt + i] = char(sum);
        bad.emplace_back(bytes, at >= kSearchCacheChecksumAt);
    }
    for (size_t i = 0; i < bad.size(); ++i)
        check(i % 2 ? New : Old, Rewritten, WriteBytes(cache, bad[i].first), bad[i].second);
    // Same times, other bytes: another inode, another size; then touched by a nanosecond.
    fs::last_write_time(WriteBytes(fx.PathOf("~"), ReadBytes(fy.PathOf(kDatNewFile))), then);
    fs::rename(fx.PathOf("~"), fx.PathOf(kDatNewFile));
    check(Both, Rewritten, cache);
    fs::last_write_time(WriteBytes(fx.PathOf(kDatOldFile), ReadBytes(fy.PathOf(kDatOldFile))),
                        then);
    check(Both, Rewritten, cache);
    fs::last_write_time(fx.PathOf(kKeyOldFile), then + std::chrono::nanoseconds(1));
    check(Both, Rewritten, cache);
    // A FIFO is replaced; a folder as the file, a file as the folder, a fresh store: no writes.
    ASSERT_TRUE(fs::remove(cache));
    ASSERT_EQ(mkfifo(cache.c_str(), 0600), 0);
    check(Both, Rewritten, cache);
    fs::create_directory(fx.PathOf("cache/tavrin/dir.idx"));
    check(Both, NotWritten, fx.PathOf("cache/tavrin/dir.idx"));
    check(Old, NotWritten, fx.PathOf(kKeyOldFile) + "/tavrin/set.idx");
    fs::last_write_time(fx.PathOf(kKeyNewFile), fs::file_time_type::clock::now());
    check(New, NotWritten, fx.PathOf("cache/tavrin/new.idx"));
    EXPECT_EQ(std::distance(fs::directory_iterator(fx.PathOf("cache/tavrin")), {}), 2);
}

}  // namespace
}  // namespace tavrin
