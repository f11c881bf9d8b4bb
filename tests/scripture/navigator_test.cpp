// navigator_test.cpp - the navigator's cascade, choices by name, chapter steps,
// note entries and copy ranges, without windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodePage.h"
#include "FileBytes.h"
#include "Navigator.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

using Names = std::vector<std::u16string>;
constexpr Testament kOld = Testament::Old, kNew = Testament::New;

// The sample set, Genesis with chapters 1 (4 verses), 2 (3), 3 (2) and 5 (1)
// but no 4, and Matthew chapter 2 with two verses.
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

TEST_F(NavigatorTest, EachLevelFillsTheNextAndKeepsRecordOrder) {
    m_nav.SetTestament(kOld);
    m_nav.ShowBookList(kOld);
    EXPECT_EQ(m_nav.Books(), (Names{u"창세기", u"출애굽기"}));
    EXPECT_EQ(m_nav.References(), (Names{u"창1:1", u"창1:2", u"창1:3", u"창2:1", u"창2:2"}));
    EXPECT_EQ(Where(), u"구약|창세기|창1:1|창1:1 말씀");
    m_nav.SelectReference(4);  // the last entry
    EXPECT_EQ(Where(), u"구약|창세기|창2:2|창2:2 말씀");
    m_nav.SelectBook(1);
    EXPECT_EQ(m_nav.References(), Names{u"출1:1"});
    EXPECT_EQ(Where(), u"구약|출애굽기|출1:1|출1:1 말씀");
    // Past the last entry nothing is chosen, and an empty key reads nothing.
    m_nav.SelectReference(1);
    EXPECT_EQ(Where(), u"구약|출애굽기||");
    m_nav.SelectBook(2);
    EXPECT_EQ(m_nav.References(), Names{});
    m_nav.SelectBook(-1);
    EXPECT_EQ(m_nav.BookIndex(), -1);

    m_nav.SetTestament(kNew);
    m_nav.ShowBookList(kNew);
    EXPECT_EQ(m_nav.Books(), (Names{u"마태복음", u"요한계시록"}));
    EXPECT_EQ(Where(), u"신약|마태복음|마1: 1|마1: 1 말씀");
    m_nav.SelectBook(1);
    EXPECT_EQ(Where(), u"신약|요한계시록|계1: 1|계1: 1 말씀");
    // The book list comes from the store named; the reads below it from the
    // current testament, which has no such book.
    m_nav.ShowBookList(kOld);
    EXPECT_EQ(m_nav.Books(), (Names{u"창세기", u"출애굽기"}));
    EXPECT_EQ(m_nav.References(), Names{});
}

TEST_F(NavigatorTest, WithoutAllStoresNothingIsReadAndTheTextStays) {
    m_nav.SetTestament(kOld);
    m_nav.ShowBookList(kOld);
    // An open set stays open: a new document does not reopen it.
    EXPECT_TRUE(m_nav.OpenStores("/nonexistent/"));
    m_nav.CloseStores();
    m_nav.SelectBook(1);
    EXPECT_EQ(m_nav.References(), Names{});
    m_nav.SelectReference(0);
    EXPECT_EQ(Where(), u"구약|출애굽기||창1:1 말씀");
    m_nav.ShowBookList(kOld);
    EXPECT_EQ(m_nav.Books(), Names{});
    EXPECT_FALSE(m_nav.Select(kOld, u"창세기", u"창1:1"));
    m_fx.Omit(kDatNewFile);
    int messages = 0;
    EXPECT_FALSE(m_nav.OpenStores(m_fx.Folder(), [&](std::u16string_view) { ++messages; }));
    EXPECT_EQ(messages, 1);
    m_nav.ShowBookList(kNew);
    EXPECT_EQ(Where(), u"구약|||창1:1 말씀");
}

TEST_F(NavigatorTest, ChoosingByNameOrIndexMovesEveryLevelOrNothing) {
    EXPECT_TRUE(m_nav.Select(kOld, u"창세기", u"창2:2"));
    EXPECT_EQ(Where(), u"구약|창세기|창2:2|창2:2 말씀");
    EXPECT_EQ(m_nav.Books().size(), 2u);
    EXPECT_EQ(m_nav.ReferenceIndex(), 4);
    for (auto [testament, book, reference] :
         {std::tuple{kNew, u"창세기", u"창1:1"}, std::tuple{kOld, u"창세기", u"창9:9"},
          std::tuple{kOld, u"", u""}}) {
        EXPECT_FALSE(m_nav.Select(testament, book, reference));
        EXPECT_EQ(Where(), u"구약|창세기|창2:2|창2:2 말씀");
    }
    EXPECT_TRUE(m_nav.Select(kNew, 1, 0));
    EXPECT_EQ(Where(), u"신약|요한계시록|계1: 1|계1: 1 말씀");
    EXPECT_TRUE(m_nav.Select(kNew, 0, 2));
    EXPECT_EQ(Where(), u"신약|마태복음|마2: 1|마2: 1 말씀");
    for (auto [book, reference] :
         {std::pair{2, 0}, std::pair{0, 3}, std::pair{-1, 0}, std::pair{0, -1}})
        EXPECT_FALSE(m_nav.Select(kNew, book, reference));
    EXPECT_EQ(Where(), u"신약|마태복음|마2: 1|마2: 1 말씀");
}

TEST_F(NavigatorTest, ChapterStepsFollowTheChapterReadLast) {
    struct SRow {
        Testament testament;
        const char16_t* reference;
        const char* moves;  // n next, p previous
        EChapterMove last;
        const char16_t* chapter;
        size_t verses;
    } const rows[] = {
        {kOld, u"창1:2", "", EChapterMove::Moved, u"창1:", 4},
        {kOld, u"창1:1", "n", EChapterMove::Moved, u"창2:", 3},
        {kOld, u"창2:1", "n", EChapterMove::Moved, u"창3:", 2},
        {kOld, u"창3:1", "n", EChapterMove::Missing, u"창4:", 0},
        {kOld, u"창1:1", "p", EChapterMove::NoNeighbour, u"창1:", 4},
        {kOld, u"창2:1", "p", EChapterMove::Moved, u"창1:", 4},
        {kOld, u"창1:1", "nnppn", EChapterMove::Moved, u"창2:", 3},
        {kOld, u"창5:1", "p", EChapterMove::Moved, u"창4:", 0},  // an empty previous is shown
        {kNew, u"마1: 2", "n", EChapterMove::Moved, u"마2:", 2},
        {kNew, u"마2: 1", "n", EChapterMove::Missing, u"마3:", 0},
        {kOld, u"큰2147483647:1", "n", EChapterMove::NoNeighbour, u"큰2147483647:", 0},
    };
    for (const SRow& row : rows) {
        SCOPED_TRACE(Utf16ToUtf8(row.reference) + " " + row.moves);
        m_nav.SetTestament(row.testament);
        m_nav.LoadChapter(row.reference);
        EChapterMove last = EChapterMove::Moved;
        for (char move : std::string(row.moves))
            last = m_nav.MoveChapter(move == 'n' ? EDirection::Next : EDirection::Previous);
        EXPECT_EQ(last, row.last);
        EXPECT_EQ(m_nav.m_strChapter, row.chapter);
        ASSERT_EQ(m_nav.m_arrVerses.size(), 2 * row.verses);
        if (row.verses > 0) {
            EXPECT_EQ(m_nav.m_arrVerses[0], VerseKey(row.chapter, 1, row.testament));
        }
    }
}

TEST_F(NavigatorTest, NotesCarryTheChosenHeadingAndTheClocksTime) {
    ASSERT_TRUE(m_nav.Select(kOld, u"창세기", u"창1:2"));
    m_nav.SetClock([] { return std::time_t(1112146448); });  // a fixed instant
    const std::string path = m_fx.PathOf("notes.txt");
    ASSERT_EQ(m_nav.AppendNote(path, m_nav.NoteEntry(u"본문")), ENoteResult::Saved);
    const std::time_t when = 1112146448;
    std::tm local{};
    localtime_r(&when, &local);
    EXPECT_EQ(test::ReadBytes(path), "\xFF\xFE" + test::Le(FormatStamp(local)) +
                                         test::Le(u"구약 - 창세기 - 창1:2\r\n본문\r\n"));
    ASSERT_TRUE(m_nav.Select(kNew, u"요한계시록", u"계1: 1"));
    EXPECT_EQ(m_nav.NoteEntry(u""), u"신약 - 요한계시록 - 계1: 1\r\n\r\n");
}

TEST(CopyRange, PackedAsTheTextBoxReportsItAndCutToTheText) {
    EXPECT_EQ(PackRange(5, 12), 5u | (12u << 16));
    EXPECT_EQ(PackRange(0xFFFF, 0x10000), 0xFFFFFFFFu);
    EXPECT_EQ(PackRange(-1, 3), 3u << 16);
    const SRange cut = UnpackRange(PackRange(18, 99), 20);
    EXPECT_EQ(std::pair(cut.nStart, cut.nEnd), std::pair(18, 20));
    const SRange inside = UnpackRange(PackRange(0xFFFE, 0xFFFF), 0x10000);
    EXPECT_EQ(std::pair(inside.nStart, inside.nEnd), std::pair(0xFFFE, 0xFFFF));
    const SRange empty = UnpackRange(PackRange(3, 4), -1);
    EXPECT_EQ(std::pair(empty.nStart, empty.nEnd), std::pair(0, 0));
}

}  // namespace
}  // namespace tavrin
