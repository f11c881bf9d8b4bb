// chapter_test.cpp - chapter references, verse keys, the chapter layout and neighbours.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Chapter.h"

namespace tavrin {
namespace {

TEST(ChapterKeys, ReferencesAndVerseKeys) {
    EXPECT_EQ(ChapterReference(u"X12:7"), u"X12:");
    EXPECT_EQ(ChapterReference(u"마1: 3"), u"마1:");
    EXPECT_EQ(ChapterReference(u"X12"), u"X12");
    EXPECT_EQ(ChapterReference(u""), u"");
    EXPECT_EQ(ChapterReference(std::u16string(2000, u'가') + u"1:").size(), kMaxChapterRefChars);

    EXPECT_EQ(VerseKey(u"X3:", 1, Testament::Old), u"X3:1");
    EXPECT_EQ(VerseKey(u"X3:", 99, Testament::Old), u"X3:99");
    EXPECT_EQ(VerseKey(u"X3:", 2, Testament::New), u"X3: 2");
}

TEST(ChapterLayout, VersePairsInOrder) {
    EXPECT_EQ(BuildChapterText({}), u"");
    EXPECT_EQ(BuildChapterText({u"K1", u"T1", u"K2", u"T2"}),
              u"  [K1]\r\nT1\r\n\r\n  [K2]\r\nT2\r\n\r\n");
    // An odd entry count ends with a key line.
    EXPECT_EQ(BuildChapterText({u"창1:1", u"", u"창1:2"}), u"  [창1:1]\r\n\r\n\r\n  [창1:2]\r\n");
}

TEST(ChapterLayout, LongChaptersAreCutAtTheLimitNeverInsideASurrogatePair) {
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

TEST(ChapterNeighbours, NextAndPrevious) {
    using Chapter = std::optional<std::u16string>;
    const Chapter none;
    const std::tuple<std::u16string, Chapter, Chapter> cases[] = {
        {u"X12:", u"X13:", u"X11:"},
        {u"X1:", u"X2:", none},
        {u"X:", u"X1:", none},  // no digits: chapter 0
        {u"", u"1:", none},
        {u"X2Y5:", u"XY26:", u"XY24:"},  // digits wherever they stand
        {u"창9:7", u"창10:", u"창8:"},   // stops at the first ':'
        {u"요한1서3", u"요한서14:", u"요한서12:"},
        {u"X007:", u"X8:", u"X6:"},
        {u"X2147483646:", u"X2147483647:", u"X2147483645:"},
        {u"X2147483647:", none, u"X2147483646:"},
        {u"X2147483648:", none, none},  // does not fit an int
        {u"X99999999999999999999999:", none, none},
    };
    for (const auto& [chapter, next, previous] : cases) {
        EXPECT_EQ(NeighbourChapter(chapter, EDirection::Next), next);
        EXPECT_EQ(NeighbourChapter(chapter, EDirection::Previous), previous);
    }
}

}  // namespace
}  // namespace tavrin
