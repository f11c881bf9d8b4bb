// navigator_test.cpp - the navigator without windows: cascade, choices, passages,
// chapters.
#include <gtest/gtest.h>

#include <tuple>

#include "Chapter.h"
#include "CodePage.h"
#include "FileBytes.h"
#include "Navigator.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

using Names = std::vector<std::u16string>;
constexpr Testament kOld = Testament::Old, kNew = Testament::New;

// The sample set with 창 1 (4 verses), 2 (3), 3 (2), 5 (1) but no 4, and 마 2 (2).
class NavigatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fx.AddSampleSet();
        m_fx.AddVerses(kOld, u"창1:", 4, 4, u"창1장");
        m_fx.AddVerses(kOld, u"창2:", 3, 3, u"창2장");
        m_fx.AddVerses(kOld, u"창3:", 1, 2, u"창3장");
        m_fx.AddVerses(kOld, u"창5:", 1, 1, u"창5장");
        m_fx.AddVerses(kNew, u"마2:", 2, 2, u"마2장");
        m_fx.Build();
        ASSERT_TRUE(m_nav.OpenStores(m_fx.Folder()));
    }
    // Testament, book, reference and text the navigator stands on.
    std::u16string Where() const {
        return std::u16string(TestamentWord(m_nav.GetTestament())) + u"|" +
               std::u16string(m_nav.BookName()) + u"|" + std::u16string(m_nav.Reference()) + u"|" +
               m_nav.Text();
    }

    test::CStoreFixture m_fx;
    CNavigator m_nav;
};

// The cascade from each testament's book list: books, references, then
// where the navigator stands. 'o'/'n': that testament's list with it current;
// 'x': the Old Testament's list while the New is current. Then SelectBook and
// SelectReference when not -1 (past the last entry: none chosen).
TEST_F(NavigatorTest, EachLevelFillsTheNextAndChoosesItsFirstEntry) {
    const std::tuple<char, int, int, const char16_t*> steps[] = {
        {'o', -1, -1,
         u"창세기,출애굽기|창1:1,창1:2,창1:3,창2:1,창2:2|구약|창세기|창1:1|창1:1 말씀"},
        {'o', -1, 4, u"창세기,출애굽기|창1:1,창1:2,창1:3,창2:1,창2:2|구약|창세기|창2:2|창2:2 말씀"},
        {'o', 1, -1, u"창세기,출애굽기|출1:1|구약|출애굽기|출1:1|출1:1 말씀"},
        {'o', 1, 1, u"창세기,출애굽기|출1:1|구약|출애굽기||"},
        {'o', 2, -1, u"창세기,출애굽기||구약|||"},
        {'n', 1, -1, u"마태복음,요한계시록|계1: 1|신약|요한계시록|계1: 1|계1: 1 말씀"},
        {'x', -1, -1, u"창세기,출애굽기||신약|창세기||"},
    };
    const auto join = [](const Names& names) {
        std::u16string out;
        for (const auto& n : names) out += (out.empty() ? u"" : u",") + n;
        return out;
    };
    for (const auto& [list, book, reference, expected] : steps) {
        m_nav.SetTestament(list == 'o' ? kOld : kNew);
        m_nav.ShowBookList(list == 'n' ? kNew : kOld);
        if (book >= 0)
            m_nav.SelectBook(book);
        if (reference >= 0)
            m_nav.SelectReference(reference);
        EXPECT_EQ(join(m_nav.Books()) + u"|" + join(m_nav.References()) + u"|" + Where(), expected)
            << list << book << reference;
    }
}

TEST_F(NavigatorTest, WithoutAllStoresNothingIsReadAndTheTextStays) {
    m_nav.SetTestament(kOld);
    m_nav.ShowBookList(kOld);
    EXPECT_TRUE(m_nav.OpenStores("/nonexistent/"));  // an open set is not opened again
    m_nav.CloseStores();
    m_nav.SelectBook(1);
    m_nav.SelectReference(0);
    EXPECT_EQ(Where(), u"구약|출애굽기||창1:1 말씀");
    EXPECT_FALSE(m_nav.NeighbourPassage(EDirection::Next));  // nothing chosen
    EXPECT_EQ(m_nav.References().size(), 0u);
    m_fx.Omit(kDatNewFile);
    int messages = 0;
    EXPECT_FALSE(m_nav.OpenStores(m_fx.Folder(), [&](std::u16string_view) { ++messages; }));
    EXPECT_FALSE(m_nav.Select(kOld, u"창세기", u"창1:1"));
    m_nav.ShowBookList(kNew);
    EXPECT_EQ(Where(), u"구약|||창1:1 말씀");
    EXPECT_EQ(m_nav.Books().size(), 0u);
    EXPECT_EQ(messages, 1);
}

TEST_F(NavigatorTest, ChoosingByNameOrIndexMovesEveryLevelOrNothing) {
    EXPECT_TRUE(m_nav.Select(kOld, u"창세기", u"창2:2"));
    for (const auto& [testament, book, reference] :
         {std::tuple{kNew, u"창세기", u"창1:1"}, {kOld, u"창세기", u"창9:9"}, {kOld, u"", u""}})
        EXPECT_FALSE(m_nav.Select(testament, book, reference)) << Utf16ToUtf8(reference);
    EXPECT_EQ(Where(), u"구약|창세기|창2:2|창2:2 말씀");
    EXPECT_EQ(m_nav.ReferenceIndex(), 4);
    EXPECT_TRUE(m_nav.Select(kNew, 1, 0));
    EXPECT_EQ(Where(), u"신약|요한계시록|계1: 1|계1: 1 말씀");
    EXPECT_TRUE(m_nav.Select(kNew, 0, 2));
    for (const auto& [book, reference] : {std::pair{2, 0}, {0, 3}, {-1, 0}, {0, -1}})
        EXPECT_FALSE(m_nav.Select(kNew, book, reference)) << book << ' ' << reference;
    EXPECT_EQ(Where(), u"신약|마태복음|마2: 1|마2: 1 말씀");
}

TEST_F(NavigatorTest, ChapterStepsFollowTheChapterReadLast) {
    // Testament, chapter, moves (n, p), the last result, the chapter read and its verses.
    const std::tuple<Testament, const char16_t*, std::string, EChapterMove, const char16_t*, size_t>
        rows[] = {
            {kOld, u"창1:2", "", EChapterMove::Moved, u"창1:", 4},
            {kOld, u"창1:1", "n", EChapterMove::Moved, u"창2:", 3},
            {kOld, u"창2:1", "n", EChapterMove::Moved, u"창3:", 2},    // read, though not listed
            {kOld, u"창3:1", "n", EChapterMove::Missing, u"창3:", 2},  // unlisted: nothing after
            {kOld, u"창1:1", "p", EChapterMove::NoNeighbour, u"창1:", 4},
            {kOld, u"창2:1", "p", EChapterMove::Moved, u"창1:", 4},
            {kOld, u"창1:1", "nnppn", EChapterMove::Moved, u"창2:", 3},
            {kOld, u"창5:1", "p", EChapterMove::NoNeighbour, u"창5:", 1},
            {kNew, u"마1: 2", "n", EChapterMove::Moved, u"마2:", 2},
            {kNew, u"마2: 1", "n", EChapterMove::OtherBook, u"계1:", 1},
            {kNew, u"계1: 1", "n", EChapterMove::Missing, u"계1:", 1},  // past the last book
            {kOld, u"큰2147483647:1", "n", EChapterMove::Missing, u"큰2147483647:", 0},
        };
    for (const auto& [testament, reference, moves, last, chapter, verses] : rows) {
        SCOPED_TRACE(Utf16ToUtf8(reference) + " " + moves);
        m_nav.SetTestament(testament);
        m_nav.LoadChapter(reference);
        EChapterMove moved = EChapterMove::Moved;
        for (char move : moves)
            moved = m_nav.MoveChapter(move == 'n' ? EDirection::Next : EDirection::Previous);
        EXPECT_EQ(moved, last);
        EXPECT_EQ(m_nav.m_strChapter, chapter);
        ASSERT_EQ(m_nav.m_arrVerses.size(), 2 * verses);
        EXPECT_EQ(m_nav.m_arrWholeChapter, m_nav.m_arrVerses);
        if (verses > 0) {
            EXPECT_EQ(m_nav.m_arrVerses[0], VerseKey(chapter, 1, testament));
        }
    }
}

TEST_F(NavigatorTest, AStepIntoAnotherBookMovesTheCascadeToItsFirstVerse) {
    const std::tuple<Testament, const char16_t*, char, const char16_t*> rows[] = {
        {kOld, u"출1:1", 'p', u"구약|창세기|창2:1|창2:1 말씀"},
        {kOld, u"출1:1", 'n', u"신약|마태복음|마1: 1|마1: 1 말씀"},
        {kNew, u"마1: 1", 'p', u"구약|출애굽기|출1:1|출1:1 말씀"},
        {kNew, u"계1: 1", 'p', u"신약|마태복음|마2: 1|마2: 1 말씀"},
    };
    for (const auto& [testament, reference, move, where] : rows) {
        ASSERT_TRUE(m_nav.Select(testament, 0, 0));
        m_nav.SetTestament(testament);
        m_nav.LoadChapter(reference);
        EXPECT_EQ(m_nav.MoveChapter(move == 'n' ? EDirection::Next : EDirection::Previous),
                  EChapterMove::OtherBook);
        EXPECT_EQ(Where(), where) << Utf16ToUtf8(reference);
    }
}

TEST(NavigatorChapter, TheWholeChapterGoesPastTheSpecifiedNinetyNine) {
    test::CStoreFixture fx;
    fx.AddBook(kOld, u"시편", {{u"시119:1", u"1절"}});
    fx.AddVerses(kOld, u"시119:", 2, 176, u"절");
    fx.Build();
    CNavigator nav;
    ASSERT_TRUE(nav.OpenStores(fx.Folder()));
    nav.SetTestament(kOld);
    nav.LoadChapter(u"시119:1");
    EXPECT_EQ(nav.m_arrVerses.size(), 198u);
    ASSERT_EQ(nav.m_arrWholeChapter.size(), 352u);
    EXPECT_EQ(Utf16ToUtf8(nav.m_arrWholeChapter[350]), "시119:176");
}

// Typed passages from the New Testament's first reference: where each leads,
// or the go-to dialog's message with nothing changed.
TEST(GoTo, LeadsToTheBooksTestamentOrSaysWhatIsMissing) {
    test::CStoreFixture fx;
    fx.AddSampleSet();
    fx.AddBook(Testament::Old, u"Jude", {{u"Jud1:1", u"Jude 1"}, {u"계1:1", u"계 in both"}});
    fx.AddBook(Testament::Old, u"시편", {{u"시3", u"no verse"}});
    fx.Build();
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"마1:2", "신약 마태복음 마1: 2"},
        {u"마태복음 2:1", "신약 마태복음 마2: 1"},
        {u" 마\u3000１ ：２ ", "신약 마태복음 마1: 2"},
        {u"계1", "신약 요한계시록 계1: 1"},  // the current testament's 계 before the other's
        {u"창2", "구약 창세기 창2:1"},
        {u"창세기 1장 3절", "구약 창세기 창1:3"},
        {u"출애굽기1:", "구약 출애굽기 출1:1"},
        {u"JUD1", "구약 Jude Jud1:1"},
        {u"시3", "구약 시편 시3"},  // a listed reference without a verse is verse 1
        {u"창2:1-2", "구약 창세기 창2:1"},
        {u"창2:2", "구약 창세기 창2:2"},
        {u"창2:3", "창세기 2장은 2절까지 있습니다."},
        {u"창1:4", "창세기 1장은 3절까지 있습니다."},
        {u"마2:1-2", "마태복음 2장은 1절까지 있습니다."},
        {u"창3:1", "창세기는 2장까지 있습니다."},
        {u"창0:1", "창세기는 2장까지 있습니다."},
        {u"마3", "마태복음은 2장까지 있습니다."},
        {u"시편 3편 2절", "시편 3편은 1절까지 있습니다."},
        {u"시4:1", "시편은 3편까지 있습니다."},
        {u"요한 3:16", "'요한' 책이 없습니다."},
        {u"요3:16", "'요' 책이 없습니다."},
        {u"xyz", "구절을 알아볼 수 없습니다. 예: 요3:16, 요한복음 3장 16절"},
        {u"마1:2-1", "범위의 끝 절이 첫 절보다 앞에 있습니다. 예: 요3:16-18"},
        {u"마1:2-2:1", "범위는 한 장 안에서만 지정할 수 있습니다. 예: 요3:16-18"},
        {u" ", "구절을 입력하십시오."},
    };
    CNavigator nav;
    EXPECT_EQ(Utf16ToUtf8(nav.GoTo(u"마1:1")), Utf16ToUtf8(kMissingStoresMessage));
    ASSERT_TRUE(nav.OpenStores(fx.Folder()));
    for (const auto& [typed, expected] : rows) {
        ASSERT_TRUE(nav.Select(Testament::New, 0, 0));
        const std::string problem = Utf16ToUtf8(nav.GoTo(typed));
        const std::string where = Utf16ToUtf8(TestamentWord(nav.GetTestament())) + " " +
                                  Utf16ToUtf8(nav.BookName()) + " " + Utf16ToUtf8(nav.Reference());
        EXPECT_EQ(problem.empty() ? where : problem, expected) << Utf16ToUtf8(typed);
        if (!problem.empty()) {
            EXPECT_EQ(where, "신약 마태복음 마1: 1") << Utf16ToUtf8(typed);
        }
    }
    // The chosen verse: by its key, else by its number, else the first.
    const std::vector<std::u16string> verses{u"X1: 1", u"a", u"X1: 2", u"b", u"X1: 3", u"c"};
    for (const auto& [reference, index] : {std::pair{u"X1: 2", 1}, {u"X1:3", 2}, {u"X1:4", 0}})
        EXPECT_EQ(VerseIndexOf(verses, reference), index);
}

// Chapter references, verse keys, and layouts cut at the limit, never inside a surrogate pair.
TEST(ChapterText, ReferencesKeysAndLayouts) {
    for (const auto& [reference, chapter] :
         {std::pair<std::u16string, std::u16string>{u"X12:7", u"X12:"},
          {u"마1: 3", u"마1:"},
          {u"X12", u"X12"},
          {u"", u""}})
        EXPECT_EQ(ChapterReference(reference), chapter);
    EXPECT_EQ(ChapterReference(std::u16string(2000, u'가') + u"1:").size(), kMaxChapterRefChars);
    EXPECT_EQ(VerseKey(u"X3:", 99, Testament::Old), u"X3:99");
    EXPECT_EQ(VerseKey(u"X3:", 2, Testament::New), u"X3: 2");
    EXPECT_EQ(BuildChapterText({u"K1", u"T1", u"창1:2"}), u"  [K1]\r\nT1\r\n\r\n  [창1:2]\r\n");
    const std::vector<std::u16string> verses(40, std::u16string(1000, u'말'));
    const std::u16string text = BuildChapterText(verses);
    ASSERT_EQ(text.size(), kMaxChapterTextChars);
    EXPECT_EQ(text.substr(0, 7), u"  [말말말말");
    // "  [K]\r\n" takes 7 characters; then a pair across the limit, or just within it.
    const size_t room = kMaxChapterTextChars - 7;
    for (const auto& [before, kept] : {std::pair{room - 1, room - 1}, {room - 2, room}}) {
        const std::u16string verse = std::u16string(before, u't') + u"\U0010FFFD\U00020000";
        EXPECT_EQ(BuildChapterText({u"K", verse}), u"  [K]\r\n" + verse.substr(0, kept)) << before;
    }
    EXPECT_EQ(BuildChapterText({u"K", std::u16string(room - 4, u't')}).size(),
              kMaxChapterTextChars);  // just under the limit nothing is cut
}

}  // namespace
}  // namespace tavrin
