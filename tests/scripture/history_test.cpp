// history_test.cpp - back and forward through passages: merging, dropping, skipping, the text form.
#include <gtest/gtest.h>

#include <set>

#include "History.h"

namespace tavrin {
namespace {

SHistoryEntry Old(const char16_t* book, const char16_t* reference) {
    return {Testament::Old, book, reference};
}
SHistoryEntry New(const char16_t* book, const char16_t* reference) {
    return {Testament::New, book, reference};
}

// Each step, then the whole history in its text form ('*' marks the current entry).
TEST(History, VisitsMergeWithinAChapterAndANewPassageDropsTheForwardPart) {
    const SHistoryEntry gen11 = Old(u"창세기", u"창1:1"), gen15 = Old(u"창세기", u"창1:5"),
                        gen17 = Old(u"창세기", u"창1:7"), gen111 = Old(u"창세기", u"창11:1"),
                        mat11 = New(u"마태복음", u"마1: 1"), mat12 = New(u"마태복음", u"마1: 2"),
                        john316 = New(u"요한복음", u"요3: 16");
    const std::string g11 = "old\t창세기\t창1:1\n", g15 = "old\t창세기\t창1:5\n",
                      g17 = "old\t창세기\t창1:7\n", g111 = "old\t창세기\t창11:1\n",
                      m11 = "new\t마태복음\t마1: 1\n", m12 = "new\t마태복음\t마1: 2\n",
                      j316 = "new\t요한복음\t요3: 16\n";
    const struct {
        char op;  // v visit, b back, f forward
        SHistoryEntry entry;
        std::string expected;
    } steps[] = {
        {'b', {}, ""},
        {'v', gen11, "*" + g11},
        {'v', gen15, "*" + g15},  // same chapter: the entry takes the newest verse
        {'v', Old(u"출애굽기", u"창1:6"), g15 + "*old\t출애굽기\t창1:6\n"},
        {'b', {}, "*" + g15 + "old\t출애굽기\t창1:6\n"},
        {'v', gen111, g15 + "*" + g111},
        {'v', mat11, g15 + g111 + "*" + m11},
        {'v', Old(u"마태복음", u"마1: 2"), g15 + g111 + m11 + "*old\t마태복음\t마1: 2\n"},
        {'b', {}, g15 + g111 + "*" + m11 + "old\t마태복음\t마1: 2\n"},
        {'v', mat12, g15 + g111 + "*" + m12 + "old\t마태복음\t마1: 2\n"},
        {'b', {}, g15 + "*" + g111 + m12 + "old\t마태복음\t마1: 2\n"},
        {'b', {}, "*" + g15 + g111 + m12 + "old\t마태복음\t마1: 2\n"},
        {'b', {}, "*" + g15 + g111 + m12 + "old\t마태복음\t마1: 2\n"},
        {'v', gen17, "*" + g17 + g111 + m12 + "old\t마태복음\t마1: 2\n"},  // forward part kept
        {'v', gen17, "*" + g17 + g111 + m12 + "old\t마태복음\t마1: 2\n"},
        {'f', {}, g17 + "*" + g111 + m12 + "old\t마태복음\t마1: 2\n"},
        {'v', john316, g17 + g111 + "*" + j316},  // a new passage drops the forward part
        {'f', {}, g17 + g111 + "*" + j316},
        {'v', Old(u"", u"창1:1"), g17 + g111 + "*" + j316},
        {'v', Old(u"창세기", u""), g17 + g111 + "*" + j316},
    };
    CHistory history;
    int row = 0;
    for (const auto& s : steps) {
        const SHistoryEntry* before = history.Current();
        const std::optional<SHistoryEntry> moved = s.op == 'b'   ? history.Back()
                                                   : s.op == 'f' ? history.Forward()
                                                                 : std::nullopt;
        if (s.op == 'v')
            history.Visit(s.entry);
        else if (moved)
            EXPECT_EQ(*moved, *history.Current()) << row;
        else
            EXPECT_EQ(history.Current(), before) << row;
        EXPECT_EQ(history.Format(), s.expected) << row++;
    }
}

// 100 passages are all kept; the 101st drops the oldest.
TEST(History, HoldsAtMostOneHundredEntries) {
    for (const int visits : {100, 101}) {
        CHistory history;
        for (int c = 1; c <= visits; ++c) {
            const std::u16string chapter(c, u'x');  // a new chapter every time
            history.Visit({Testament::Old, u"b", chapter + u"1:1"});
        }
        ASSERT_EQ(history.Entries().size(), CHistory::kMaxEntries) << visits;
        EXPECT_EQ(history.Entries().front().m_strReference.size(), visits - 99u + 3u) << visits;
        EXPECT_EQ(history.CurrentIndex(), 99) << visits;
    }
}

// Entries 0..4, current 4, back once, then forward once from 0; entries missing from the set are
// passed over, not removed.
TEST(History, StepsSkipEntriesThatNoLongerExist) {
    const struct {
        std::set<int> missing;
        int backTo, forwardTo;  // -1: no move
    } cases[] = {
        {{}, 3, 1},        {{3, 2}, 1, 1},        {{3, 1}, 2, 2},
        {{1, 2, 3}, 0, 4}, {{1, 2, 3, 4}, 0, -1}, {{0, 1, 2, 3}, -1, -1},
    };
    for (const auto& c : cases) {
        CHistory history;
        for (char16_t i = u'0'; i <= u'4'; ++i)
            history.Visit({Testament::New, u"b", std::u16string(1, i) + u"1: 1"});
        const auto exists = [&](const SHistoryEntry& e) {
            return c.missing.count(e.m_strReference[0] - u'0') == 0;
        };
        EXPECT_EQ(history.CanGoBack(exists), c.backTo >= 0);
        EXPECT_EQ(history.Back(exists).has_value(), c.backTo >= 0);
        EXPECT_EQ(history.CurrentIndex(), c.backTo >= 0 ? c.backTo : 4);
        if (c.backTo < 0)
            continue;
        while (history.Back()) {
        }
        EXPECT_EQ(history.CurrentIndex(), 0);
        EXPECT_EQ(history.CanGoForward(exists), c.forwardTo >= 0);
        EXPECT_EQ(history.Forward(exists).has_value(), c.forwardTo >= 0);
        EXPECT_EQ(history.CurrentIndex(), c.forwardTo >= 0 ? c.forwardTo : 0);
        EXPECT_EQ(history.Entries().size(), 5u);
    }
}

TEST(History, TextFormRoundTripsAndSkipsDamagedLines) {
    CHistory history;
    history.Visit(Old(u"a\\b", u"창1:1"));
    history.Visit(New(u"c\r\nd", u"마1: 1"));
    history.Back();
    EXPECT_EQ(history.Format(), "*old\ta\\\\b\t창1:1\nnew\tc\\r\\nd\t마1: 1\n");
    const CHistory again = CHistory::Parse(history.Format());
    EXPECT_EQ(again.Entries(), history.Entries());
    EXPECT_EQ(again.CurrentIndex(), 0);
    EXPECT_EQ(CHistory::Parse("old\ta\t1:1\n*old\tb\t1:1\n*old\tc\t1:1\n").CurrentIndex(), 1);

    const std::string good = "old\t창세기\t창1:1\n", last = "new\t마태복음\t마1: 1\r\n";
    const std::string damaged[] = {
        "old\t창세기",
        "mid\t창세기\t창1:1",
        "Old\t창세기\t창1:1",
        "old\t\t창1:1",
        "old\t창세기\t",
        "old\t창세기\t창1:1\tx",
        "old\t창\\x\t창1:1",
        "old\t창세기\t창1:1\\",
        "old\t\xC0\xAF\t창1:1",
        "old\tb\t" + std::string(CHistory::kMaxLineBytes - 5, '1'),
        "",
    };
    for (const std::string& line : damaged) {
        const CHistory parsed = CHistory::Parse(good + "*" + line + "\n" + last);
        ASSERT_EQ(parsed.Entries().size(), 2u) << line;
        EXPECT_EQ(parsed.Entries()[1], New(u"마태복음", u"마1: 1")) << line;
        EXPECT_EQ(parsed.CurrentIndex(), 1) << line;
    }
    const CHistory longest =
        CHistory::Parse("old\tb\t" + std::string(CHistory::kMaxLineBytes - 6, '1'));
    EXPECT_EQ(longest.Entries().size(), 1u);
}

// Of 101 lines the newest 100 are kept; the current mark follows its entry.
TEST(History, ParseKeepsTheNewestEntriesAndTheMarkedOne) {
    const struct {
        int marked;  // line, from 0; -1 none
        int current;
    } cases[] = {{-1, 99}, {0, 99}, {1, 0}, {50, 49}, {100, 99}};
    for (const auto& c : cases) {
        std::string text;
        for (int i = 0; i <= 100; ++i)
            text +=
                std::string(i == c.marked ? "*" : "") + "old\tb\tc" + std::to_string(i) + ":1\n";
        const CHistory parsed = CHistory::Parse(text);
        ASSERT_EQ(parsed.Entries().size(), 100u);
        EXPECT_EQ(parsed.Entries().front().m_strReference, u"c1:1");
        EXPECT_EQ(parsed.CurrentIndex(), c.current) << c.marked;
    }
}

}  // namespace
}  // namespace tavrin
