// read_test.cpp - runs tavrin-read on fixture store sets and checks status, output and errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Args = std::vector<std::string>;
using test::RunProgram;
using test::SRun;

const std::string kMissing = "성경 데이타 파일이 존재하지 않거나 경로가 잘못 되었습니다.\n";
const std::string kProgram = TAVRIN_READ_PATH;

class TavrinRead : public ::testing::Test {
protected:
    void SetUp() override {
        m_fx.AddSampleSet();
        m_fx.AddVerse(Testament::Old, u"창1:4", u"빛이 좋았더라");
        m_fx.AddBook(Testament::New, u"유다서", {{u"유1: 1", u"첫 줄\r\n둘째 줄"}});
        m_fx.Build();
        for (const char* name : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile})
            fs::last_write_time(m_fx.PathOf(name), fs::file_time_type::clock::now() - 1h);
    }
    // tavrin-read on the fixture's store set, its search cache in the fixture's folder.
    SRun Read(Args args) const {
        args.insert(args.begin(), {"-d", m_fx.Folder()});
        return RunProgram(kProgram, args, "XDG_CACHE_HOME='" + m_fx.PathOf("cache") + "'");
    }

    test::CStoreFixture m_fx;
};

TEST_F(TavrinRead, AnswersEachCommandAndRefusesWrongUsage) {
    struct SCase {
        Args m_arrArgs;
        int m_nStatus;
        std::string m_strOut;
    };
    const SCase cases[] = {
        {{"books"}, 0, "마태복음\n요한계시록\n유다서\n"},  // the New Testament unless told
        {{"books", "-t", "old"}, 0, "창세기\n출애굽기\n"},
        {{"-t", "old", "refs", "창세기"}, 0, "창1:1\n창1:2\n창1:3\n창2:1\n창2:2\n"},
        {{"refs", "창세기"}, 1, ""},
        {{"-t", "old", "text", "창1:2"}, 0, "창1:2 말씀\n"},
        {{"--", "text", "마9: 9"}, 1, ""},
        {{"-t", "old", "chapter", "창1:2"},
         0,
         "  [창1:1]\r\n창1:1 말씀\r\n\r\n  [창1:2]\r\n창1:2 말씀\r\n\r\n"
         "  [창1:3]\r\n창1:3 말씀\r\n\r\n  [창1:4]\r\n빛이 좋았더라\r\n\r\n"},
        {{"chapter", "마1: 2"},
         0,
         "  [마1: 1]\r\n마1: 1 말씀\r\n\r\n  [마1: 2]\r\n마1: 2 말씀\r\n\r\n"},
        {{"chapter", "마3:"}, 1, ""},
        {{"next", "창1:"}, 0, "창2:\n"},
        {{"prev", "X2Y5:"}, 0, "XY24:\n"},
        {{"prev", "창1:"}, 1, ""},
        // Usage errors.
        {{}, 2, ""},
        {{"bogus"}, 2, ""},
        {{"refs"}, 2, ""},
        {{"books", "extra"}, 2, ""},
        {{"-t", "both", "books"}, 0, "창세기\n출애굽기\n마태복음\n요한계시록\n유다서\n"},
        {{"search", "1:2"}, 0, "창1:2\t창1:2 말씀\n마1: 2\t마1: 2 말씀\n"},
        {{"-t", "new", "search", "\"1: 2\""}, 0, "마1: 2\t마1: 2 말씀\n"},
        {{"search", "말씀", "계"}, 0, "계1: 1\t계1: 1 말씀\n"},
        {{"search", "둘째"}, 0, "유1: 1\t첫 줄 둘째 줄\n"},
        {{"search", std::string(501, 'a')}, 2, ""},
        {{"search"}, 2, ""},
        {{"search", "\"\"", " "}, 2, ""},
        {{"search", "\xbb\xe7\xb6\xfb"}, 2, ""},  // code page 949, not UTF-8
        {{"-t", "both", "text", "창1:2"}, 2, ""},
        {{"books", "-t"}, 2, ""},
        {{"-x", "books"}, 2, ""},
    };
    for (const auto& c : cases) {
        const SRun run = Read(c.m_arrArgs);
        const std::string what = ::testing::PrintToString(c.m_arrArgs);
        EXPECT_EQ(run.m_nStatus, c.m_nStatus) << what << run.m_strErr;
        EXPECT_EQ(run.m_strOut, c.m_strOut) << what;
        EXPECT_EQ(run.m_strErr.empty(), c.m_nStatus == 0) << what << run.m_strErr;
    }
    // Every search but the first read the cache the first wrote.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_fx.PathOf("cache/tavrin")), {}), 1);
    const SRun help = RunProgram(kProgram, {"--help"});
    EXPECT_EQ(help.m_nStatus, 0);
    for (const char* word : {"books", "refs", "text", "chapter", "next", "prev", "search", "both"})
        EXPECT_NE(help.m_strOut.find(word), std::string::npos) << word;
}

TEST_F(TavrinRead, MissingStoreGivesTheMessageOnceAndStatus3) {
    m_fx.Omit(kDatOldFile);
    for (const Args& args :
         {Args{"books"}, Args{"-t", "old", "chapter", "창1:1"}, Args{"search", "말씀"}}) {
        const SRun run = Read(args);
        EXPECT_EQ(run.m_nStatus, 3);
        EXPECT_EQ(run.m_strOut, "");
        EXPECT_EQ(run.m_strErr, kMissing);
    }
    // Neighbours need no store.
    const SRun next = RunProgram(kProgram, {"-d", "/nonexistent", "-t", "old", "next", "창1:"});
    EXPECT_EQ(next.m_nStatus, 0);
    EXPECT_EQ(next.m_strOut, "창2:\n");
}

TEST_F(TavrinRead, FindsTheStoresBesideItselfWhateverItsName) {
    // A name well past 15 characters: the folder is still the program's own.
    const std::string copy = m_fx.PathOf("tavrin-read-renamed-by-the-user");
    fs::copy_file(kProgram, copy);
    fs::permissions(copy, fs::perms::owner_all);
    const SRun run = RunProgram(copy, {"books"});
    EXPECT_EQ(run.m_nStatus, 0) << run.m_strErr;
    EXPECT_EQ(run.m_strOut, "마태복음\n요한계시록\n유다서\n");
}

}  // namespace
}  // namespace tavrin
