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
using Args = std::vector<std::string>;
using test::RunProgram;
using test::SRun;

const std::string kMissing = "성경 데이타 파일이 존재하지 않거나 경로가 잘못 되었습니다.\n";
const std::string kProgram = TAVRIN_READ_PATH;

TEST(TavrinRead, AnswersEachCommandAndRefusesWrongUsage) {
    test::CStoreFixture fx;
    fx.AddSampleSet();
    fx.AddVerse(Testament::Old, u"창1:4", u"빛이 좋았더라");
    fx.Build();
    const struct {
        Args args;
        int status;
        std::string out;
    } cases[] = {{{"books"}, 0, "마태복음\n요한계시록\n"},  // the New Testament unless told
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
                 {{}, 2, ""},
                 {{"bogus"}, 2, ""},
                 {{"refs"}, 2, ""},
                 {{"books", "extra"}, 2, ""},
                 {{"-t", "both", "books"}, 2, ""},
                 {{"books", "-t"}, 2, ""},
                 {{"-x", "books"}, 2, ""}};
    for (const auto& c : cases) {
        Args args = c.args;
        args.insert(args.begin(), {"-d", fx.Folder()});
        const SRun run = RunProgram(kProgram, args);
        const std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(run.m_nStatus, c.status) << what << run.m_strErr;
        EXPECT_EQ(run.m_strOut, c.out) << what;
        EXPECT_EQ(run.m_strErr.empty(), c.status == 0) << what << run.m_strErr;
    }
    const SRun help = RunProgram(kProgram, {"--help"});
    EXPECT_EQ(help.m_nStatus, 0);
    for (const char* word : {"books", "refs", "text", "chapter", "next", "prev", "-d", "-t"})
        EXPECT_NE(help.m_strOut.find(word), std::string::npos) << word;
}

// The program, renamed well past 15 characters, in a prefix's bin/; the set
// its search finds is told by its New Testament books.
TEST(TavrinRead, FindsTheFirstSetBesideItThenInShareThenInTheXdgFolders) {
    test::CStoreFixture sample, other, root;
    sample.AddSampleSet();
    sample.Build();
    other.AddBook(Testament::New, u"요한복음", {{u"요1: 1", u"x"}});
    other.Build();
    const std::string program = root.PathOf("p/bin/tavrin-read-renamed-by-the-user");
    fs::create_directories(root.PathOf("p/bin"));
    fs::copy_file(kProgram, program);
    const std::string places[] = {root.PathOf("p/bin/"), root.PathOf("p/share/tavrin/"),
                                  root.PathOf("home/tavrin/"), root.PathOf("d2/tavrin/")};
    const std::string env = "HOME=/nonexistent XDG_DATA_HOME='" + root.PathOf("home") +
                            "' XDG_DATA_DIRS='/nonexistent:" + root.PathOf("d2") + "'";
    const struct {
        std::vector<const test::CStoreFixture*> sets;  // per place; null: none there
        Args args;
        int status;
        std::string out;
    } cases[] = {{{&sample, &other, &other, &other}, {"books"}, 0, "마태복음\n요한계시록\n"},
                 {{nullptr, &other, &sample, &sample}, {"books"}, 0, "요한복음\n"},
                 {{nullptr, nullptr, &other, &sample}, {"books"}, 0, "요한복음\n"},
                 {{nullptr, nullptr, nullptr, &other}, {"books"}, 0, "요한복음\n"},
                 {{nullptr, nullptr, nullptr, nullptr}, {"books"}, 3, ""},
                 {{nullptr, nullptr, nullptr, nullptr}, {"-t", "old", "next", "창1:"}, 0, "창2:\n"},
                 {{nullptr, &other, &other, &other}, {"-d", root.Folder(), "books"}, 3, ""},
                 {{nullptr, nullptr, nullptr, nullptr},
                  {"-d", sample.Folder(), "books"},
                  0,
                  "마태복음\n요한계시록\n"}};
    for (const auto& c : cases) {
        for (size_t i = 0; i < std::size(places); ++i) {
            for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile}) {
                fs::create_directories(places[i]);
                fs::remove(places[i] + file);
                if (c.sets[i])
                    fs::copy_file(c.sets[i]->PathOf(file), places[i] + file);
            }
        }
        const SRun run = RunProgram(program, c.args, env);
        EXPECT_EQ(run.m_nStatus, c.status) << testing::PrintToString(c.args);
        EXPECT_EQ(run.m_strOut, c.out);
        EXPECT_EQ(run.m_strErr, c.status == 3 ? kMissing : "");
    }
}

}  // namespace
}  // namespace tavrin
