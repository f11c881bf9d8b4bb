// plan_test.cpp - reading plans: the balanced split against brute force and an independent
// DP, each plan's coverage, chapter lengths read from a set, and tavrin-read's plan commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <numeric>

#include "CodePage.h"
#include "FileBytes.h"
#include "Plan.h"
#include "RunProgram.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

using Weights = std::vector<size_t>;

// Every split of w into days non-empty runs with the least heaviest day; of
// those, day by day, the ones whose end brings the total nearest its even
// share, the earliest end on a tie.
std::vector<size_t> BruteForceSplit(const Weights& w, size_t days) {
    const size_t n = w.size();
    std::vector<std::vector<size_t>> best;
    size_t least = std::numeric_limits<size_t>::max();
    for (unsigned cuts = 0; cuts < (1u << (n - 1)); ++cuts) {
        if (static_cast<size_t>(__builtin_popcount(cuts)) != days - 1)
            continue;
        std::vector<size_t> ends;
        size_t load = 0, heaviest = 0;
        for (size_t i = 0; i < n; ++i) {
            load += w[i];
            if (i == n - 1 || (cuts >> i & 1u)) {
                ends.push_back(i + 1);
                heaviest = std::max(heaviest, load);
                load = 0;
            }
        }
        if (heaviest < least)
            best.clear();
        if (heaviest <= least) {
            least = heaviest;
            best.push_back(ends);
        }
    }
    const long long total = std::accumulate(w.begin(), w.end(), 0LL);
    const auto offShare = [&](size_t d, size_t end) {
        const long long sum = std::accumulate(w.begin(), w.begin() + static_cast<long>(end), 0LL);
        return std::llabs(sum * static_cast<long long>(days) -
                          static_cast<long long>(d + 1) * total);
    };
    for (size_t d = 0; d < days; ++d) {
        const auto pick =
            std::min_element(best.begin(), best.end(), [&](const auto& a, const auto& b) {
                return std::pair(offShare(d, a[d]), a[d]) < std::pair(offShare(d, b[d]), b[d]);
            });
        const size_t end = (*pick)[d];
        std::erase_if(best, [&](const auto& ends) { return ends[d] != end; });
    }
    return best.front();
}

// Fewest days of at most cap each that hold w in order (quadratic DP).
size_t FewestDays(const Weights& w, size_t cap) {
    const size_t none = std::numeric_limits<size_t>::max();
    std::vector<size_t> fewest(w.size() + 1, none);
    fewest[0] = 0;
    for (size_t i = 1; i <= w.size(); ++i) {
        size_t load = 0;
        for (size_t j = i; j-- > 0;) {
            load += w[j];
            if (load > cap)
                break;
            if (fewest[j] != none)
                fewest[i] = std::min(fewest[i], fewest[j] + 1);
        }
    }
    return fewest[w.size()];
}

TEST(BalancedSplit, MatchesBruteForceAndItsTieRule) {
    const Weights rows[] = {
        {5},          {3, 3, 3, 3},    {1, 9, 1, 1, 1, 9, 1},    {10, 1, 1, 1, 1, 1, 10},
        {0, 4, 0, 4}, {7, 2, 5, 3, 8}, {2, 2, 1, 1, 2, 2, 1, 1}, {1, 1, 1, 1, 1, 1, 9, 1, 1, 1},
    };
    for (const Weights& w : rows) {
        for (size_t days = 1; days <= w.size(); ++days)
            EXPECT_EQ(BalancedSplit(w, days), BruteForceSplit(w, days))
                << "items " << w.size() << ", days " << days << ", first " << w[0];
        EXPECT_TRUE(BalancedSplit(w, 0).empty());
        EXPECT_TRUE(BalancedSplit(w, w.size() + 1).empty());
    }
}

// The Bible's chapter counts, book by book, Old Testament then New.
constexpr int kChapterCounts[] = {
    50, 40, 27, 36, 34, 24, 21, 4, 31, 24, 22, 25, 29, 36, 10, 13, 10, 42, 150, 31, 12, 8,
    66, 52, 5,  48, 12, 14, 3,  9, 1,  4,  7,  3,  3,  3,  2,  14, 4,  28, 16,  24, 21, 28,
    16, 16, 13, 6,  6,  4,  4,  5, 3,  6,  4,  3,  1,  13, 5,  5,  3,  5,  1,   1,  1,  22};

// A whole synthetic Bible: book i is "B<i>" (시편 and 잠언 at their places),
// abbreviated "b<i>", each chapter 300..5000 characters long.
SSetChapters SyntheticBible() {
    SSetChapters set;
    uint32_t seed = 12345;
    for (size_t b = 0; b < std::size(kChapterCounts); ++b) {
        SPlanBook& book = set.m_arrBooks.emplace_back();
        book.m_testament = b < 39 ? Testament::Old : Testament::New;
        book.m_strName = b == 18   ? u"시편"
                         : b == 19 ? u"잠언"
                                   : u"B" + Utf8ToUtf16(std::to_string(b));
        book.m_strBookPart = u"b" + Utf8ToUtf16(std::to_string(b));
        book.m_nFirst = set.m_arrChapters.size();
        book.m_nCount = static_cast<size_t>(kChapterCounts[b]);
        for (int c = 1; c <= kChapterCounts[b]; ++c) {
            seed = seed * 1103515245u + 12345u;
            set.m_arrChapters.push_back({b, {}, c, 300 + (seed >> 8) % 4701});
        }
    }
    return set;
}

Weights Range(size_t first, size_t end, int times = 1) {
    Weights order;
    for (int t = 0; t < times; ++t)
        for (size_t c = first; c < end; ++c) order.push_back(c);
    return order;
}

// Checks one run of a plan: its readings of each day, in order, are order
// itself, none of its days is empty, and no split of order into the same
// days has a lighter heaviest day.
void ExpectBalancedRun(const SSetChapters& set, const std::vector<Weights>& dayParts,
                       const Weights& order) {
    Weights joined, weights;
    size_t heaviest = 0;
    for (const Weights& part : dayParts) {
        EXPECT_FALSE(part.empty());
        size_t load = 0;
        for (size_t c : part) load += set.m_arrChapters[c].m_nChars;
        heaviest = std::max(heaviest, load);
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined, order);
    for (size_t c : order) weights.push_back(set.m_arrChapters[c].m_nChars);
    EXPECT_LE(FewestDays(weights, heaviest), dayParts.size());
    EXPECT_GT(FewestDays(weights, heaviest - 1), dayParts.size());
}

// Each day's readings cut into its runs: those below split go to the first.
std::pair<std::vector<Weights>, std::vector<Weights>> SplitRuns(const SPlan& plan, size_t split) {
    std::vector<Weights> first, second;
    for (const auto& day : plan.m_arrDays) {
        const auto cut =
            std::partition_point(day.begin(), day.end(), [split](size_t c) { return c < split; });
        first.emplace_back(day.begin(), cut);
        second.emplace_back(cut, day.end());
    }
    return {first, second};
}

TEST(Plans, EachBuiltInCoversItsRangeBalancedRunByRun) {
    const SSetChapters set = SyntheticBible();
    const auto [oldFirst, oldEnd] = set.TestamentRange(Testament::Old);
    const auto [newFirst, newEnd] = set.TestamentRange(Testament::New);
    ASSERT_EQ(oldEnd, 929u);
    ASSERT_EQ(newEnd, 1189u);

    const SPlanResult year = MakePlan(set, "bible-year");
    ASSERT_EQ(year.m_error, EPlanError::None);
    EXPECT_EQ(year.m_plan.m_arrDays.size(), 365u);
    ExpectBalancedRun(set, year.m_plan.m_arrDays, Range(oldFirst, newEnd));

    const SPlanResult nt = MakePlan(set, "nt-90");
    ASSERT_EQ(nt.m_error, EPlanError::None);
    EXPECT_EQ(nt.m_plan.m_arrDays.size(), 90u);
    ExpectBalancedRun(set, nt.m_plan.m_arrDays, Range(newFirst, newEnd));

    // The Old Testament's readings open each day; the New's follow, twice over.
    const SPlanResult both = MakePlan(set, "ot1-nt2-year");
    ASSERT_EQ(both.m_error, EPlanError::None);
    EXPECT_EQ(both.m_plan.m_arrDays.size(), 365u);
    EXPECT_EQ(both.m_plan.Readings(), 1449u);
    const auto [oldParts, newParts] = SplitRuns(both.m_plan, newFirst);
    ExpectBalancedRun(set, oldParts, Range(oldFirst, oldEnd));
    ExpectBalancedRun(set, newParts, Range(newFirst, newEnd, 2));

    // Psalms (book 18) first, then Proverbs (book 19) one chapter a day.
    const SPlanResult month = MakePlan(set, "ps-pr-31");
    ASSERT_EQ(month.m_error, EPlanError::None);
    EXPECT_EQ(month.m_plan.m_arrDays.size(), 31u);
    const SPlanBook& psalms = set.m_arrBooks[18];
    const SPlanBook& proverbs = set.m_arrBooks[19];
    const auto [psalmParts, proverbParts] = SplitRuns(month.m_plan, proverbs.m_nFirst);
    ExpectBalancedRun(set, psalmParts, Range(psalms.m_nFirst, psalms.m_nFirst + 150));
    for (size_t d = 0; d < 31; ++d) EXPECT_EQ(proverbParts[d], Weights{proverbs.m_nFirst + d});

    for (const SPlanInfo& info : BuiltInPlans())
        EXPECT_EQ(PlanReadings(set, info.m_strId), MakePlan(set, info.m_strId).m_plan.Readings())
            << info.m_strId;
}

TEST(Plans, CustomPlansKeepTheirBoundsAndSayWhatIsWrong) {
    const SSetChapters set = SyntheticBible();
    // b44 (16 chapters) to b47 (6): 51 chapters, starting at index 1046.
    const struct {
        std::string id;
        EPlanError error;
        size_t days = 0;
    } cases[] = {
        {"custom:b44-B47:1", EPlanError::None, 1},
        {"custom:B44-b47:51", EPlanError::None, 51},
        {"custom:b44-b47:52", EPlanError::TooManyDays},
        {"custom:b0-b65:1000", EPlanError::None, 1000},  // both testaments
        {"custom:b0-b65:1001", EPlanError::BadDays},
        {"custom:b0-b0:0", EPlanError::BadDays},
        {"custom:b0-b0:-1", EPlanError::BadDays},
        {"custom:b0-b0:5x", EPlanError::BadDays},
        {"custom:시편-시편:150", EPlanError::None, 150},
        {"custom:b47-b44:3", EPlanError::BooksBackwards},
        {"custom:b47-b47:3", EPlanError::None, 3},
        {"custom:b1-zz:3", EPlanError::UnknownBook},
        {"custom:zz-b1:3", EPlanError::UnknownBook},
        {"custom:b1:3", EPlanError::UnknownPlan},
        {"year", EPlanError::UnknownPlan},
    };
    for (const auto& c : cases) {
        const SPlanResult made = MakePlan(set, c.id);
        EXPECT_EQ(made.m_error, c.error) << c.id;
        EXPECT_EQ(made.m_plan.m_arrDays.size(), c.days) << c.id;
    }
    const SPlan one = MakePlan(set, "custom:b44-b47:1").m_plan;
    EXPECT_EQ(one.m_arrDays[0], Range(1046, 1097));
    const SPlan each = MakePlan(set, "custom:b44-b47:51").m_plan;
    EXPECT_EQ(each.m_arrDays[50], Weights{1096});
}

// The chapters of the set SetChapters builds, whether counted or cached.
void CheckRows(const SSetChapters& set) {
    ASSERT_EQ(set.m_arrChapters.size(), 5u);
    const struct {
        size_t book;
        std::u16string chapter;
        int number;
        size_t chars;
    } rows[] = {
        {0, u"창1:", 1, 3 + 2 + 4 + 1},
        {0, u"창2:", 2, 1},
        {1, u"마1:", 1, 4},
        {2, u"계1:", 1, 0},
        {2, u"계2:", 2, 1},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const SPlanChapter& read = set.m_arrChapters[i];
        EXPECT_EQ(read.m_nBook, rows[i].book) << i;
        EXPECT_EQ(read.m_strChapter, rows[i].chapter) << i;
        EXPECT_EQ(read.m_nChapter, rows[i].number) << i;
        EXPECT_EQ(read.m_nChars, rows[i].chars) << i;
    }
}

TEST(SetChapters, CountsVerseTextCharactersChapterByChapter) {
    test::CStoreFixture fx;
    // Verse 3 is in no list but in the text store; verse 5 lies past the gap.
    fx.AddBook(Testament::Old, u"창세기",
               {{u"창1:1", u"태초에"}, {u"창1:2", u"ab"}, {u"창2:1", u"가"}, {u"창1:4", u"말"}});
    fx.AddVerse(Testament::Old, u"창1:3", u"땅이\r\n");
    fx.AddVerse(Testament::Old, u"창1:6", u"past the gap");
    fx.AddBook(Testament::New, u"마태복음", {{u"마1: 1", u"하나 둘"}});
    fx.AddBook(Testament::New, u"요한계시록", {{u"계1: 1", u""}, {u"계2: 1", u"끝"}});
    fx.Build();
    fx.Settle();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    const std::string cache = fx.PathOf("cache/tavrin/set.chapters");
    const auto flipLastLength = [&] {
        std::string bytes = test::ReadBytes(cache);
        bytes[bytes.size() - 12] ^= 1;
        test::WriteBytes(cache, bytes);
    };
    // Counted, counted and cached, from the cache, past a damaged cache, past stale stores.
    const struct {
        std::function<void()> before;
        std::string cacheFile;
        bool fromCache;
    } modes[] = {
        {[] {}, "", false},
        {[] {}, cache, false},
        {[] {}, cache, true},
        {flipLastLength, cache, false},
        {[] {}, cache, true},
        {[&] {
             std::filesystem::last_write_time(fx.PathOf(kDatNewFile),
                                              std::filesystem::file_time_type::clock::now());
         },
         cache, false},
    };
    for (size_t m = 0; m < std::size(modes); ++m) {
        modes[m].before();
        bool fromCache = !modes[m].fromCache;
        CheckRows(ReadSetChapters(stores, fx.Folder(), modes[m].cacheFile, &fromCache));
        EXPECT_EQ(fromCache, modes[m].fromCache) << m;
    }
    const SSetChapters set = ReadSetChapters(stores);
    CheckRows(set);
    EXPECT_EQ(set.m_arrBooks[2].m_nFirst, 3u);
    EXPECT_EQ(set.m_arrBooks[2].m_nCount, 2u);
    EXPECT_EQ(set.FindBook(u"계"), 2);
    EXPECT_EQ(set.FindBook(u"요한계시록"), 2);
    EXPECT_EQ(set.FindBook(u"요"), -1);
    EXPECT_TRUE(ReadSetChapters(CStoreSet()).m_arrChapters.empty());
}

TEST(TavrinReadPlans, PrintsDaysAndRefusesWhatNoPlanHas) {
    test::CStoreFixture fx;
    fx.AddBook(Testament::Old, u"창세기", {{u"창1:1", u"가나다라"}, {u"창2:1", u"가"}});
    fx.AddBook(Testament::Old, u"출애굽기", {{u"출1:1", u"가"}});
    fx.AddBook(Testament::New, u"마태복음", {{u"마1: 1", u"가나"}, {u"마2: 1", u"가나다"}});
    fx.Build();
    const std::string d = fx.Folder();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"plans"},
         0,
         "bible-year\t성경 1년 1독\t365\t5\nnt-90\t신약 90일\t90\t2\n"
         "ot1-nt2-year\t구약 1독·신약 2독\t365\t7\nps-pr-31\t시편·잠언 한 달\t31\t0\n"},
        // Lengths 4 1 1 2 3: two days need 6 (5 and 6 tie for the share 5.5: the earlier end),
        // three 4.
        {{"plan", "custom:창-마태복음:2", "1"}, 0, "창세기\t1\n창세기\t2\n"},
        {{"plan", "custom:창-마태복음:2", "2"}, 0, "출애굽기\t1\n마태복음\t1\n마태복음\t2\n"},
        {{"plan", "custom:창-마:3", "all"},
         0,
         "1\t창세기\t1\n2\t창세기\t2\n2\t출애굽기\t1\n2\t마태복음\t1\n3\t마태복음\t2\n"},
        {{"plan", "custom:마-마:2", "2"}, 0, "마태복음\t2\n"},
        {{"plan", "custom:창-마:5", "5"}, 0, "마태복음\t2\n"},
        {{"plan", "custom:창-마:5", "6"}, 2, ""},
        {{"plan", "custom:창-마:5", "0"}, 2, ""},
        {{"plan", "custom:창-마:6", "1"}, 2, ""},
        {{"plan", "custom:마-창:1", "1"}, 2, ""},
        {{"plan", "custom:창-요:1", "1"}, 2, ""},
        {{"plan", "custom:창-마:0", "1"}, 2, ""},
        {{"plan", "bible-year", "1"}, 2, ""},
        {{"plan", "ps-pr-31", "1"}, 2, ""},
        {{"plan", "nope", "1"}, 2, ""},
        {{"plan", "custom:창-마:2"}, 2, ""},
        {{"plans", "x"}, 2, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"-d", d};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const test::SRun run = test::RunProgram(TAVRIN_READ_PATH, args);
        EXPECT_EQ(run.m_nStatus, c.status) << c.args.back();
        EXPECT_EQ(run.m_strOut, c.out) << c.args.back();
        EXPECT_EQ(run.m_strErr.empty(), c.status == 0) << c.args.back() << run.m_strErr;
    }
}

}  // namespace
}  // namespace tavrin
