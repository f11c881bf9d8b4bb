// korean_test.cpp - the shipped 1961 Korean Revised Version built into a set and read back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "Chapter.h"
#include "CodePage.h"
#include "RunProgram.h"
#include "StoreFixture.h"
#include "StoreSet.h"

namespace tavrin {
namespace {

using test::RunProgram;
using testing::HasSubstr;

// Chapters of each book in canonical order, Genesis to Revelation.
constexpr int kChapters[66] = {50, 40,  27, 36, 34, 24, 21, 4,  31, 24, 22, 25, 29, 36, 10, 13, 10,
                               42, 150, 31, 12, 8,  66, 52, 5,  48, 12, 14, 3,  9,  1,  4,  7,  3,
                               3,  3,   2,  14, 4,  28, 16, 24, 21, 28, 16, 16, 13, 6,  6,  4,  4,
                               5,  3,   6,  4,  3,  1,  13, 5,  5,  3,  5,  1,  1,  1,  22};

TEST(KoreanSet, EveryBookChapterAndVerseStoredUnalteredWithItsAttribution) {
    test::CStoreFixture fx;
    const std::string title = "성경전서 개역한글판 (1961) · 대한성서공회";
    const test::SRun build = RunProgram(
        TAVRIN_MKSTORE_PATH, {"--title", title, "--from-tsv", TAVRIN_KOREAN_TSV, fx.Folder()});
    ASSERT_EQ(build.m_nStatus, 0) << build.m_strErr;
    for (const char* line : {"39 Old Testament + 27 New Testament\n", "chapters   929 + 260\n",
                             "verses     23145 + 7957\n", "replaced   none"})
        EXPECT_THAT(build.m_strOut, HasSubstr(line));

    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(fx.Folder()));
    EXPECT_EQ(set.ReadDescription(), Utf8ToUtf16(title));
    std::vector<int> chapters;
    size_t verses = 0;
    for (Testament t : {Testament::Old, Testament::New}) {
        for (const std::u16string& book : set.ReadBookList(t)) {
            std::set<std::u16string> seen;
            for (const std::u16string& ref : set.ReadReferenceList(t, book)) {
                seen.insert(ChapterReference(ref));
                ++verses;
            }
            chapters.push_back(static_cast<int>(seen.size()));
        }
    }
    EXPECT_EQ(chapters, std::vector<int>(std::begin(kChapters), std::end(kChapters)));
    EXPECT_EQ(verses, 31102u);

    const struct {
        const char* testament;
        const char* reference;
        const char* text;
    } cases[] = {{"old", "창1:1", "태초에 하나님이 천지를 창조하시니라"},
                 {"old", "신33:12",
                  "베냐민에 대하여는 일렀으되 여호와의 사랑을 입은 자는 그 곁에 안전히 거하리로다 "
                  "여호와께서 그를 날이 맟도록 보호하시고 그로 자기 어깨 사이에 처하게 하시리로다"},
                 {"old", "사62:4",
                  "다시는 너를 버리운 자라 칭하지 아니하며 다시는 네 땅을 황무지라 칭하지 아니하고 "
                  "오직 너를 헵시바라 하며 네 땅을 쁄라라 하리니 이는 여호와께서 너를 기뻐하실 "
                  "것이며 네 땅이 결혼한바가 될 것임이라"},
                 {"old", "시119:176",
                  "잃은 양 같이 내가 유리하오니 주의 종을 찾으소서 내가 주의 계명을 잊지 "
                  "아니함이니이다"},
                 {"new", "마1: 1", "아브라함과 다윗의 자손 예수 그리스도의 세계라"},
                 {"new", "계22: 21", "주 예수의 은혜가 모든 자들에게 있을찌어다 아멘"}};
    for (const auto& c : cases) {
        const test::SRun read = RunProgram(
            TAVRIN_READ_PATH, {"-d", fx.Folder(), "-t", c.testament, "text", c.reference});
        EXPECT_EQ(read.m_strOut, std::string(c.text) + "\n") << c.reference << read.m_strErr;
    }
}

}  // namespace
}  // namespace tavrin
