// chapter_test.cpp - chapter steps in the set's book order, the reader's titles and layouts,
// and a selection of a layout cited with the verses it touches.
#include <gtest/gtest.h>

#include <tuple>

#include "Chapter.h"
#include "ChapterLayout.h"
#include "CodePage.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

constexpr Testament kOld = Testament::Old, kNew = Testament::New;

// 창세기 1, 2 and 4 (a chapter missing between), an empty book, 출애굽기 1 and
// 12; 마태복음 1, 2; 요한계시록 1 and 22.
class NeighbourTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto v = [](std::u16string key) { return test::SReference{key, key + u" 말씀"}; };
        m_fx.AddBook(kOld, u"창세기", {v(u"창1:1"), v(u"창1:2"), v(u"창2:1"), v(u"창4:1")});
        m_fx.AddBook(kOld, u"빈책", {});
        m_fx.AddBook(kOld, u"출애굽기", {v(u"출1:1"), v(u"출12:1"), v(u"출12:2")});
        m_fx.AddBook(kNew, u"마태복음", {v(u"마1: 1"), v(u"마2: 1")});
        m_fx.AddBook(kNew, u"요한계시록", {v(u"계1: 1"), v(u"계22: 1"), v(u"계22: 21")});
        m_fx.Build();
        ASSERT_TRUE(m_set.OpenStores(m_fx.Folder()));
    }
    test::CStoreFixture m_fx;
    CStoreSet m_set;
};

TEST_F(NeighbourTest, StepsRunThroughTheBooksAndAcrossTheTestaments) {
    // From, direction, then "testament|chapter|other book|book|first reference" or "" for none.
    const std::tuple<Testament, const char16_t*, char, const char16_t*> rows[] = {
        {kOld, u"창1:", 'n', u"o|창2:|0||"},
        {kOld, u"창1:2", 'n', u"o|창2:|0||"},  // a listed reference stands for its chapter
        {kOld, u"창2:", 'n', u"o|창4:|0|창세기|창4:1"},  // past a gap in the book
        {kOld, u"창4:", 'p', u"o|창2:|0|창세기|창2:1"},
        {kOld, u"창2:", 'p', u"o|창1:|0||"},
        {kOld, u"창4:", 'n', u"o|출1:|1|출애굽기|출1:1"},  // an empty book is passed over
        {kOld, u"출1:", 'p', u"o|창4:|1|창세기|창4:1"},
        {kOld, u"출1:", 'n', u"o|출12:|0|출애굽기|출12:1"},
        {kOld, u"출12:", 'n', u"n|마1:|1|마태복음|마1: 1"},  // the Old runs on into the New
        {kNew, u"마1:", 'p', u"o|출12:|1|출애굽기|출12:1"},
        {kNew, u"마2:", 'n', u"n|계1:|1|요한계시록|계1: 1"},
        {kNew, u"계22:", 'p', u"n|계1:|0|요한계시록|계1: 1"},
        {kOld, u"창1:", 'p', u""},   // before the first chapter
        {kNew, u"계22:", 'n', u""},  // past the last
        {kOld, u"창9:", 'n', u""},   // in no listed book
        {kNew, u"창1:", 'n', u""},   // the wrong testament lists no such chapter
    };
    for (const auto& [testament, from, direction, expected] : rows) {
        SCOPED_TRACE(Utf16ToUtf8(from) + direction);
        const auto place = NeighbourChapterInSet(
            m_set, testament, from, direction == 'n' ? EDirection::Next : EDirection::Previous);
        std::u16string got;
        if (place)
            got = (place->m_testament == kOld ? u"o|" : u"n|") + place->m_strChapter + u"|" +
                  (place->m_bOtherBook ? u"1|" : u"0|") + place->m_strBook + u"|" +
                  place->m_strFirstReference;
        EXPECT_EQ(Utf16ToUtf8(got), Utf16ToUtf8(expected));
    }
}

TEST_F(NeighbourTest, ClosedStoresHaveNoNeighbour) {
    m_set.CloseStores();
    EXPECT_FALSE(NeighbourChapterInSet(m_set, kOld, u"창1:", EDirection::Next));
}

TEST(ChapterTitle, NamesTheChapterAndCountsPsalmsApart) {
    const std::tuple<const char16_t*, const char16_t*, const char16_t*> rows[] = {
        {u"요한복음", u"요3:", u"요한복음 3장"},
        {u"시편", u"시23:", u"시편 23편"},
        {u"시편", u"시119:176", u"시편 119편"},
        {u"창세기", u"창:", u"창세기"},  // no chapter number
        {u"잠언", u"잠0:", u"잠언"},
    };
    for (const auto& [book, chapter, title] : rows)
        EXPECT_EQ(Utf16ToUtf8(ChapterTitle(book, chapter)), Utf16ToUtf8(title));
}

std::vector<std::u16string> Pairs(std::u16string_view chapter, int count, Testament t) {
    std::vector<std::u16string> verses;
    for (int n = 1; n <= count; ++n) {
        verses.push_back(VerseKey(chapter, n, t));
        verses.push_back(u"말씀" + std::u16string(1, static_cast<char16_t>(u'0' + n % 10)));
    }
    return verses;
}

TEST(ChapterLayout, ParagraphsNumberEveryVerseWithoutBlankLines) {
    std::vector<std::u16string> verses = {u"요3: 16", u"하나님이\r\n세상을", u"요3: 17", u"보내신"};
    const SChapterLayout layout = LayOutChapter(verses, EChapterLayout::Paragraphs);
    EXPECT_EQ(Utf16ToUtf8(layout.m_strText), "16 하나님이 세상을\r\n17 보내신\r\n");
    ASSERT_EQ(layout.m_arrSpans.size(), 2u);
    EXPECT_EQ(layout.m_arrSpans[1].m_nStart, 13u);
    EXPECT_EQ(layout.m_arrSpans[1].m_nEnd, 19u);
    // Every verse past the specified layout's 99 is laid out in paragraphs.
    EXPECT_EQ(
        LayOutChapter(Pairs(u"시119:", 176, kOld), EChapterLayout::Paragraphs).m_arrSpans.size(),
        176u);
}

TEST(ChapterLayout, VersesKeepTheSpecifiedTextAndSpanEachVerse) {
    const std::vector<std::u16string> verses = Pairs(u"시119:", 176, kOld);
    const SChapterLayout layout = LayOutChapter(verses, EChapterLayout::Verses);
    const std::vector<std::u16string> first99(verses.begin(), verses.begin() + 198);
    EXPECT_EQ(layout.m_strText, BuildChapterText(first99));
    ASSERT_EQ(layout.m_arrSpans.size(), 99u);
    const std::u16string_view text = layout.m_strText;
    // Verse 2: "  [시119:2]" CR LF "말씀2", the blank line after it left out.
    EXPECT_EQ(Utf16ToUtf8(text.substr(layout.m_arrSpans[1].m_nStart,
                                      layout.m_arrSpans[1].m_nEnd - layout.m_arrSpans[1].m_nStart)),
              "  [시119:2]\r\n말씀2");
    EXPECT_EQ(layout.m_arrSpans[98].m_nEnd + 4, text.size());
}

TEST(ChapterLayout, ACutLayoutSpansOnlyWhatItShows) {
    // Ten verses of 2,000 characters pass the specified layout's limit in the ninth.
    std::vector<std::u16string> verses;
    for (int n = 1; n <= 10; ++n) {
        verses.push_back(VerseKey(u"창1:", n, kOld));
        verses.emplace_back(2000, u'가');
    }
    const SChapterLayout layout = LayOutChapter(verses, EChapterLayout::Verses);
    ASSERT_EQ(layout.m_arrSpans.size(), 9u);
    EXPECT_EQ(layout.m_arrSpans.back().m_nEnd, layout.m_strText.size());
}

TEST(ChapterLayout, VerseAtFindsTheVerseAroundAPosition) {
    const SChapterLayout layout =
        LayOutChapter({u"창1:1", u"ab", u"창1:2", u"cd"}, EChapterLayout::Paragraphs);
    // "1 ab\r\n2 cd\r\n": verse 1 at 0..4, verse 2 at 6..10.
    const std::tuple<size_t, int> rows[] = {{0, 0}, {3, 0}, {5, 0}, {6, 1}, {11, 1}};
    for (const auto& [position, verse] : rows)
        EXPECT_EQ(VerseAt(layout, position), verse) << position;
    EXPECT_EQ(VerseAt(SChapterLayout{}, 0), -1);
}

TEST(ChapterLayout, ASelectionIsCitedWithTheVersesItTouches) {
    const std::vector<std::u16string> verses = {u"요3: 16",     u"하나님이 세상을", u"요3: 17",
                                                u"보내신 것은", u"요3: 18",         u"믿는 자는"};
    const SChapterLayout paragraphs = LayOutChapter(verses, EChapterLayout::Paragraphs);
    const SChapterLayout lines = LayOutChapter(verses, EChapterLayout::Verses);
    const SCitationFormat first{}, last{true, true, true};
    // "16 하나님이 세상을\r\n17 보내신 것은\r\n18 믿는 자는\r\n": verses at 0, 13, 24.
    const std::tuple<const SChapterLayout*, size_t, size_t, SCitationFormat, const char*> rows[] = {
        {&paragraphs, 3, 7, first, "요한복음 3:16 하나님이"},
        {&paragraphs, 3, 16, first, "요한복음 3:16-17 하나님이 세상을 17"},
        {&paragraphs, 11, 15, first, "요한복음 3:17 17"},  // from the line end: the next verse
        {&paragraphs, 16, 99, last, "보내신 것은 18 믿는 자는 (요3:17-18, 개역한글)"},
        {&paragraphs, 4, 4, first, ""},  // nothing chosen
        {&lines, 0, 16, first, "요한복음 3:16 [요3: 16] 하나님이"},
    };
    for (const auto& [layout, start, end, format, cited] : rows)
        EXPECT_EQ(Utf16ToUtf8(CiteLayoutSelection(*layout, verses, u"요한복음", start, end, format,
                                                  u"개역한글")),
                  cited)
            << start << "-" << end;
}

}  // namespace
}  // namespace tavrin
