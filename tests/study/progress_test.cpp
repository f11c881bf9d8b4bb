// progress_test.cpp - started plans in the study database: the migration that adds them, marks,
// progress on both sides of the start and of today, moving the start, stopping and deleting.
#include <gtest/gtest.h>

#include "CodePage.h"
#include "PlanProgress.h"
#include "StudyTestSet.h"

namespace tavrin {
namespace {

constexpr int64_t kStart = 20000;

// 창세기 with 365 chapters and 마태복음 with 183, all of one length.
SSetChapters TwoBooks() {
    SSetChapters set;
    for (auto [t, name, part, count] : {std::tuple{Testament::Old, u"창세기", u"창", 365},
                                        std::tuple{Testament::New, u"마태복음", u"마", 183}}) {
        set.m_arrBooks.push_back({t, name, part, set.m_arrChapters.size(), size_t(count)});
        for (int c = 1; c <= count; ++c)
            set.m_arrChapters.push_back(
                {set.m_arrBooks.size() - 1, part + Utf8ToUtf16(std::to_string(c)) + u':', c, 100});
    }
    return set;
}

struct CPlanTest : ::testing::Test {
    test::CStudyTestSet m_set;
    CPlanBook m_book{m_set.m_db};
    SSetChapters m_chapters = TwoBooks();

    int64_t StartPlan(std::string_view id, int64_t day = kStart) {
        return m_book.Start(MakePlan(m_chapters, id).m_plan, m_chapters, day).value_or(-1);
    }
    void ReadDay(int64_t id, int day) {
        for (size_t p = 0; p < m_book.Load(id)->m_arrDays[size_t(day - 1)].size(); ++p)
            ASSERT_TRUE(m_book.SetRead(id, {day, int(p)}, true));
    }
};

TEST_F(CPlanTest, Version2DatabaseKeepsItsItemsAndGainsPlans) {
    ASSERT_TRUE(m_set.m_db.AddNote(test::New("마1: 1"), "처음"));
    ASSERT_TRUE(m_set.m_db.Connection().Exec(
        "DROP TABLE plan_mark; DROP TABLE plan_reading; DROP TABLE plan; DROP TABLE setting;"
        "PRAGMA user_version = 2;"));
    ASSERT_EQ(m_set.m_db.Open(m_set.m_strPath), CStudyDb::EOpen::Opened);
    EXPECT_EQ(m_set.m_db.Connection().QueryInt("PRAGMA user_version"), 3);
    EXPECT_EQ(m_set.m_db.List().size(), 1u);
    EXPECT_GT(StartPlan("nt-90"), 0);
    EXPECT_FALSE(m_book.MarkByReading());
    ASSERT_TRUE(m_book.SetMarkByReading(true));
    ASSERT_EQ(m_set.m_db.Open(m_set.m_strPath), CStudyDb::EOpen::Opened);
    EXPECT_TRUE(m_book.MarkByReading());
}

TEST_F(CPlanTest, ProgressOnEachSideOfTheStartAndOfToday) {
    const int64_t id = StartPlan("custom:창-창:30");
    for (int day : {1, 2, 3}) ReadDay(id, day);
    ASSERT_TRUE(m_book.SetRead(id, {5, 1}, true));
    const SStartedPlan plan = *m_book.Load(id);
    const auto size = [&](int day) { return plan.m_arrDays[size_t(day - 1)].size(); };
    const struct {
        int64_t today;
        int64_t day;
        size_t behind;
    } rows[] = {{kStart - 1, 0, 0},
                {kStart, 1, 0},
                {kStart + 3, 4, 0},
                {kStart + 4, 5, size(4)},
                {kStart + 5, 6, size(4) + size(5) - 1}};
    for (const auto& row : rows) {
        const SPlanProgress progress = PlanProgress(plan, row.today);
        EXPECT_EQ(progress.m_nToday, row.day) << row.today;
        EXPECT_EQ(progress.m_arrBehind.size(), row.behind) << row.today;
    }
    // Started ten days ago, three days read: days 4 to 10 are behind.
    const SPlanProgress ten = PlanProgress(plan, kStart + 10);
    EXPECT_EQ(ten.m_nTotal, 365u);
    EXPECT_EQ(ten.m_nRead, size(1) + size(2) + size(3) + 1);
    EXPECT_EQ(ten.m_nPercent, int(ten.m_nRead * 100 / 365));
    EXPECT_EQ(ten.m_arrBehind.front(), (SPlanPlace{4, 0}));
    EXPECT_EQ(ten.m_arrBehind.back(), (SPlanPlace{10, int(size(10)) - 1}));
    const EDayState states[] = {EDayState::Done, EDayState::NotYet, EDayState::Partly,
                                EDayState::NotYet, EDayState::Future};
    for (int i = 0; int day : {3, 4, 5, 11, 12})
        EXPECT_EQ(ten.m_arrDayStates[size_t(day - 1)], states[i++]) << day;
    EXPECT_FALSE(m_book.SetRead(id, {31, 0}, true));
    EXPECT_FALSE(m_book.SetRead(id, {1, int(size(1))}, true));
}

TEST_F(CPlanTest, NewStartKeepsMarksAndStoppedPlansAreKeptUntilDeleted) {
    const int64_t first = StartPlan("nt-90"), second = StartPlan("bible-year");
    ReadDay(first, 1);
    ASSERT_TRUE(m_book.SetStartDay(first, kStart - 10));
    const SStartedPlan moved = *m_book.Load(first);
    EXPECT_EQ(PlanProgress(moved, kStart).m_nToday, 11);
    EXPECT_EQ(moved.m_nRead, moved.m_arrDays[0].size());
    EXPECT_EQ(PlanProgress(moved, kStart).m_arrDayStates[0], EDayState::Done);
    EXPECT_FALSE(m_book.Delete(first));
    ASSERT_TRUE(m_book.Stop(first));
    const std::vector<SStartedPlan> listed = m_book.List();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].m_nId, second);
    EXPECT_TRUE(listed[1].m_bStopped);
    EXPECT_EQ(listed[1].m_nStartDay, kStart - 10);
    EXPECT_GT(listed[1].m_nRead, 0u);
    ASSERT_TRUE(m_book.Delete(first));
    EXPECT_FALSE(m_book.Load(first));
    EXPECT_EQ(m_set.m_db.Connection().QueryInt("SELECT count(*) FROM plan_mark"), 0);
    EXPECT_FALSE(m_book.Stop(first));
}

TEST_F(CPlanTest, ReadingToTheEndMarksEachFollowedPlansFirstDueReading) {
    const int64_t both = StartPlan("ot1-nt2-year"), nt = StartPlan("nt-90");
    const int64_t stopped = StartPlan("nt-90");
    ASSERT_TRUE(m_book.Stop(stopped));
    EXPECT_EQ(m_book.MarkChapterRead(Testament::New, "마1:", kStart - 1), std::vector<int64_t>{});
    EXPECT_EQ(m_book.MarkChapterRead(Testament::New, "마1:", kStart),
              (std::vector<int64_t>{both, nt}));
    // The second reading of 마1 falls half a year on: not yet due.
    EXPECT_EQ(m_book.MarkChapterRead(Testament::New, "마1:", kStart), std::vector<int64_t>{});
    EXPECT_EQ(m_book.MarkChapterRead(Testament::Old, "마1:", kStart + 364), std::vector<int64_t>{});
    EXPECT_EQ(m_book.MarkChapterRead(Testament::New, "마1:", kStart + 364),
              std::vector<int64_t>{both});
    const SStartedPlan plan = *m_book.Load(both);
    std::vector<std::pair<int, bool>> readings;  // (day, read) of each 마1
    for (size_t d = 0; d < plan.m_arrDays.size(); ++d)
        for (const SPlanReading& r : plan.m_arrDays[d])
            if (r.m_strChapter == "마1:")
                readings.emplace_back(int(d) + 1, r.m_bRead);
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0], std::pair(1, true));
    EXPECT_GT(readings[1].first, 180);
    EXPECT_TRUE(readings[1].second);
    EXPECT_EQ(m_book.Load(stopped)->m_nRead, 0u);
}

// A day's summary keeps each book's run apart: two runs never read as one span.
TEST(DaySummary, JoinsEachBooksConsecutiveChapters) {
    const auto day = [](std::vector<std::pair<const char*, int>> pairs) {
        std::vector<SPlanReading> readings;
        for (auto [book, chapter] : pairs) readings.push_back({Testament::Old, book, "", chapter});
        return Utf16ToUtf8(DaySummary(readings));
    };
    EXPECT_EQ(day({{"창세기", 1}, {"창세기", 2}, {"창세기", 3}, {"마태복음", 1}}),
              "창세기 1~3장, 마태복음 1장");
    EXPECT_EQ(day({{"창세기", 50}, {"출애굽기", 1}, {"출애굽기", 2}}),
              "창세기 50장, 출애굽기 1~2장");
    EXPECT_EQ(day({{"시편", 1}, {"시편", 2}, {"잠언", 1}}), "시편 1~2편, 잠언 1장");
    EXPECT_EQ(day({{"창세기", 1}, {"창세기", 3}}), "창세기 1장, 창세기 3장");
    EXPECT_EQ(day({{"요한계시록", 22}}), "요한계시록 22장");
    EXPECT_EQ(day({}), "");
}

}  // namespace
}  // namespace tavrin
