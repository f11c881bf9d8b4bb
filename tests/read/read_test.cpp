// read_test.cpp - runs tavrin-read on fixture store sets and checks status, output and errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "RunProgram.h"
#include "SetInfo.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using test::RunProgram;
using test::SRun;
using testing::HasSubstr;

const std::string kMissing =
    "tavrin-read: no store set beside the program, in ../share/tavrin or in the XDG data folders\n";
const std::string kProgram = TAVRIN_READ_PATH;

// Each command on a set of both testaments, references typed as people do
// whatever -t says, and wrong usage. err: the message after "tavrin-read: ",
// or "*" for any message exactly when the status is not 0.
TEST(TavrinRead, AnswersEachCommandWithTheTableStatuses) {
    test::CStoreFixture fx;
    fx.AddSampleSet();
    fx.AddVerse(Testament::Old, u"창1:4", u"빛이 좋았더라");
    fx.AddBook(Testament::New, u"유다서", {{u"유1: 1", u"첫 줄\r\n둘째 줄"}});
    fx.Build();
    // Stores written just now are not cached (a second write could share their time).
    fx.Settle();
    auto verse = [](std::string key, std::string text = "") {
        return "  [" + key + "]\r\n" + (text.empty() ? key + " 말씀" : text) + "\r\n\r\n";
    };
    const std::string usage = "\nTry 'tavrin-read --help' for more information.\n",
                      across = " runs across chapters (a range stays in one chapter)" + usage,
                      none = "no store set in '" + fx.PathOf("none") + "'\n";
    const struct {
        Args args;
        int status;
        std::string out, err = "*";
    } cases[] = {
        {{"books"}, 0, "마태복음\n요한계시록\n유다서\n"},  // the New Testament unless told
        {{"books", "-t", "old"}, 0, "창세기\n출애굽기\n"},
        {{"-t", "old", "refs", "창세기"}, 0, "창1:1\n창1:2\n창1:3\n창2:1\n창2:2\n"},
        {{"refs", "창세기"}, 0, "창1:1\n창1:2\n창1:3\n창2:1\n창2:2\n"},  // the book's testament
        {{"-t", "old", "text", "창1:2"}, 0, "창1:2 말씀\n"},
        {{"--", "text", "마9: 9"}, 1, ""},
        {{"-t", "old", "chapter", "창1:2"},
         0,
         verse("창1:1") + verse("창1:2") + verse("창1:3") + verse("창1:4", "빛이 좋았더라")},
        {{"chapter", "마1: 2"}, 0, verse("마1: 1") + verse("마1: 2")},
        {{"chapter", "마3:"}, 1, ""},
        // Chapter steps read the set's book order, across books and testaments.
        {{"next", "창1:"}, 0, "창2:\n"},
        {{"next", "창2:"}, 0, "출1:\n"},
        {{"next", "출1:"}, 0, "마1:\n"},
        {{"prev", "마1: "}, 0, "출1:\n"},
        {{"prev", "출애굽기 1장"}, 0, "창2:\n"},
        {{"prev", "창1:"}, 1, ""},
        {{"next", "계1:"}, 0, "유1:\n"},
        {{"next", "유1:"}, 1, ""},
        {{"next", "창3:"}, 1, ""},
        {{"next", "X:"}, 2, ""},
        {{}, 2, ""},
        {{"bogus"}, 2, ""},
        {{"refs"}, 2, ""},
        {{"books", "extra"}, 2, ""},
        {{"-t", "both", "books"}, 0, "창세기\n출애굽기\n마태복음\n요한계시록\n유다서\n"},
        {{"search", "1:2"}, 0, "창1:2\t창1:2 말씀\n마1: 2\t마1: 2 말씀\n"},
        {{"-t", "new", "search", "\"1: 2\""}, 0, "마1: 2\t마1: 2 말씀\n"},
        {{"search", "말씀", "계"}, 0, "계1: 1\t계1: 1 말씀\n"},
        {{"search", "둘째"}, 0, "유1: 1\t첫 줄 둘째 줄\n"},
        {{"search", std::string(500, 'a')}, 1, ""},
        {{"search", std::string(501, 'a')}, 2, ""},
        {{"text", "-"}, 2, ""},  // not an option, and not a reference either
        {{"search"}, 2, ""},
        {{"search", "\"\"", " "}, 2, ""},
        {{"search", "\xbb\xe7\xb6\xfb"}, 2, ""},  // code page 949, not UTF-8
        {{"-t", "both", "text", "창1:2"}, 0, "창1:2 말씀\n"},
        {{"books", "-t"}, 2, ""},
        {{"-x", "books"}, 2, ""},
        {{"text", "창1:2"}, 0, "창1:2 말씀\n", ""},
        {{"-t", "new", "text", "창세기 1장 2절"}, 0, "창1:2 말씀\n", ""},
        {{"text", "창1:2-3"}, 0, "창1:2\t창1:2 말씀\n창1:3\t창1:3 말씀\n", ""},
        {{"text", "창2"}, 0, "창2:1\t창2:1 말씀\n창2:2\t창2:2 말씀\n", ""},
        {{"chapter", "창2"}, 0, verse("창2:1") + verse("창2:2"), ""},
        {{"refs", "출"}, 0, "출1:1\n", ""},
        {{"text", "창3:1"}, 1, "", "no chapter 3 in 창세기 (2 chapters)\n"},
        {{"text", "창0:1"}, 1, "", "no chapter 0 in 창세기 (2 chapters)\n"},
        {{"text", "창2:1-3"}, 1, "", "no verse 3 in 창세기 2 (2 verses)\n"},
        {{"text", "창2:2-1"}, 2, "", "the range '창2:2-1' runs backwards" + usage},
        {{"chapter", "창1:3-2:1"}, 2, "", "the range '창1:3-2:1'" + across},
        {{"text", "마1:2"}, 0, "마1: 2 말씀\n", ""},
        {{"-t", "old", "text", "마태복음 1:1-2"},
         0,
         "마1: 1\t마1: 1 말씀\n마1: 2\t마1: 2 말씀\n",
         ""},
        {{"text", "유1:1"}, 0, "첫 줄\r\n둘째 줄\n", ""},
        {{"text", "유1"}, 0, "유1: 1\t첫 줄 둘째 줄\n", ""},
        {{"chapter", "마2"}, 0, verse("마2: 1"), ""},
        {{"text", "마3:1"}, 1, "", "no chapter 3 in 마태복음 (2 chapters)\n"},
        {{"text", "마2:2"}, 1, "", "no verse 2 in 마태복음 2 (1 verse)\n"},
        {{"text", "요3:16"}, 1, "", "no book '요'\n"},
        {{"refs", "요한복음"}, 1, "", "no such book: 요한복음\n"},
        {{"text", "마1:2-1"}, 2, "", "the range '마1:2-1' runs backwards" + usage},
        {{"text", "마1:1-2:1"}, 2, "", "the range '마1:1-2:1'" + across},
        {{"text", "xyz"}, 2, "", "'xyz' is not a reference" + usage},
        {{"text", " "}, 2, "", "no reference given" + usage},
        {{"-d", fx.PathOf("none"), "text", "창1:1"}, 3, "", none},
        {{"-d", fx.PathOf("none"), "text", "마1:1"}, 3, "", none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        Args args = c.args;
        if (args.empty() || args[0] != "-d")
            args.insert(args.begin(), {"-d", fx.Folder()});
        const SRun run = RunProgram(kProgram, args, "XDG_CACHE_HOME='" + fx.PathOf("cache") + "'");
        EXPECT_EQ(run.m_nStatus, c.status) << run.m_strErr;
        EXPECT_EQ(run.m_strOut, c.out);
        if (c.err == "*") {
            EXPECT_EQ(run.m_strErr.empty(), c.status == 0) << run.m_strErr;
        } else {
            EXPECT_EQ(run.m_strErr, c.err.empty() ? "" : "tavrin-read: " + c.err);
        }
    }
    // Every search but the first read the cache the first wrote.
    EXPECT_EQ(std::distance(fs::directory_iterator(fx.PathOf("cache/tavrin")), {}), 1);
    // Output that cannot be written is a failure, said on standard error.
    const SRun full = RunProgram(
        "sh",
        {"-c", "exec \"$0\" -d \"$1\" -t old chapter 창1:1 >/dev/full", kProgram, fx.Folder()});
    EXPECT_EQ(full.m_nStatus, 1);
    EXPECT_EQ(full.m_strErr, "tavrin-read: cannot write the output\n");
}

// The program, renamed long, in a prefix whose name is not UTF-8: the first
// set of its search is read; -d reads only its folder.
TEST(TavrinRead, FindsTheFirstSetBesideItThenInShareThenInTheXdgFolders) {
    test::CStoreFixture sample, other;  // other's folder holds the program's prefix too
    sample.AddSampleSet();
    sample.Build();
    other.AddBook(Testament::New, u"요한복음", {{u"요1: 1", u"x"}});
    other.Build();
    const std::string program = other.PathOf("\xB1\xB8 p/bin/tavrin-read-renamed-by-the-user");
    const std::string places[] = {other.PathOf("\xB1\xB8 p/bin/"),
                                  other.PathOf("\xB1\xB8 p/share/tavrin/"),
                                  other.PathOf("home/tavrin/"), other.PathOf("d2/tavrin/")};
    for (const std::string& place : places) fs::create_directories(place);
    fs::copy_file(kProgram, program);
    const std::string env = "HOME=/none XDG_DATA_HOME='" + other.PathOf("home") +
                            "' XDG_DATA_DIRS='/none:" + other.PathOf("d2") + "'";
    // Per place: s sample, o other, - none, 3 other without inxdat_newB.dbe,
    // d other with a folder for inxkey_oldB.dbe.
    const std::tuple<std::string, Args, int, std::string> cases[] = {
        {"sooo", {"books"}, 0, "마태복음\n요한계시록\n"},
        {"3soo", {"books"}, 0, "마태복음\n요한계시록\n"},
        {"d3so", {"books"}, 0, "마태복음\n요한계시록\n"},
        {"-d3s", {"books"}, 0, "마태복음\n요한계시록\n"},
        {"---o", {"books"}, 0, "요한복음\n"},
        {"----", {"books"}, 3, ""},
        {"----", {"search", "x"}, 3, ""},
        {"-ooo", {"-d", other.PathOf("\xB1\xB8 p/"), "books"}, 3, ""},
        {"s---", {"-d", other.PathOf("\xB1\xB8 p/bin"), "books"}, 0, "마태복음\n요한계시록\n"},
    };
    for (const auto& [sets, args, status, out] : cases) {
        for (size_t i = 0; i < std::size(places); ++i) {
            for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile}) {
                const char set = sets[i];
                fs::remove_all(places[i] + file);
                if (set == 'd' && file == kKeyOldFile)
                    fs::create_directory(places[i] + file);
                else if (set != '-' && !(set == '3' && file == kDatNewFile))
                    fs::copy_file((set == 's' ? sample : other).PathOf(file), places[i] + file);
            }
        }
        const SRun run = RunProgram(program, args, env);
        EXPECT_EQ(
            std::tuple(run.m_nStatus, run.m_strOut, run.m_strErr),
            std::tuple(status, out,
                       status != 3       ? ""
                       : args[0] != "-d" ? kMissing
                                         : "tavrin-read: no store set in '" + args[1] + "'\n"))
            << sets;
    }
}

// A library of sets under XDG_DATA_HOME and XDG_DATA_DIRS: listing it,
// choosing sets by id, several sets side by side in both testaments.
TEST(TavrinRead, ListsAndReadsTheSetsOfTheLibrary) {
    test::CStoreFixture mainFx, kjv;
    mainFx.AddSampleSet();
    mainFx.PutText(kKeyOldFile, std::string(kShortNameKey), "M");
    mainFx.PutText(kKeyOldFile, std::string(kDescriptionKey), "Main set");
    mainFx.Build();
    kjv.AddBook(Testament::Old, u"창세기",
                {{u"창1:1", u"k 1"}, {u"창1:2", u"k 2"}, {u"창1:4", u"k 4"}});
    kjv.AddBook(Testament::New, u"마태복음", {{u"마1: 1", u"k m"}});
    kjv.AddBook(Testament::New, u"요한복음", {{u"요3: 16", u"k j"}});
    kjv.PutText(kKeyOldFile, std::string(kShortNameKey), "K");
    kjv.Build();
    const std::string home = kjv.PathOf("home/tavrin/"), dirs = kjv.PathOf("d/tavrin/");
    const std::string program = kjv.PathOf("p/bin/tavrin-read");
    fs::create_directories(kjv.PathOf("p/bin"));
    fs::copy_file(kProgram, program);
    mainFx.CopyTo(home);
    kjv.CopyTo(home + "kjv/");
    kjv.CopyTo(home + "Bad/");
    mainFx.CopyTo(dirs + "kjv/");
    mainFx.CopyTo(dirs + "cut/");
    fs::resize_file(dirs + "cut/" + kDatNewFile, fs::file_size(dirs + "cut/" + kDatNewFile) - 1);
    const std::string env = "HOME=/none XDG_CACHE_HOME='" + kjv.PathOf("cache") +
                            "' XDG_DATA_HOME='" + kjv.PathOf("home") + "' XDG_DATA_DIRS='" +
                            kjv.PathOf("d") + "'";
    const std::tuple<Args, int, std::string> cases[] = {
        {{"sets"}, 0, "main\tM\tMain set\t" + home + "\nkjv\tK\t\t" + home + "kjv/\n"},
        {{"text", "창1:3"}, 0, "창1:3 말씀\n"},
        {{"-s", "kjv", "text", "창1:2"}, 0, "k 2\n"},
        {{"-s", "kjv", "text", "창1:3"}, 1, ""},
        {{"-s", "kjv", "-t", "old", "books"}, 0, "창세기\n"},
        {{"-s", "main,kjv", "text", "창1:3"}, 0, "main\t창1:3 말씀\nkjv\t\n"},
        {{"-s", "kjv,main", "text", "마1:1"}, 0, "kjv\tk m\nmain\t마1: 1 말씀\n"},
        {{"-s", "main,kjv", "text", "요3:16"}, 0, "main\t\nkjv\tk j\n"},
        {{"-s", "main,kjv", "text", "계1:1"}, 0, "main\t계1: 1 말씀\nkjv\t\n"},
        {{"-s", "main,kjv", "text", "요3:17"}, 1, ""},
        {{"-s", "main,kjv", "text", "창1"},
         0,
         "창1:1\tmain\t창1:1 말씀\n창1:1\tkjv\tk 1\n창1:2\tmain\t창1:2 말씀\n창1:2\tkjv\tk 2\n"
         "창1:3\tmain\t창1:3 말씀\n창1:3\tkjv\t\n창1:4\tmain\t\n창1:4\tkjv\tk 4\n"},
        {{"-s", "kjv,main", "books"}, 0, "마태복음\n요한복음\n"},
        {{"-s", "kjv,main", "next", "창1:"}, 0, "마1:\n"},  // the first set's book order
        {{"-s", "kjv", "search", "j"}, 0, "요3: 16\tk j\n"},
        {{"-s", "kjv,main", "search", "j"}, 2, ""},
        {{"-s", "main,,kjv", "books"}, 2, ""},
        {{"-s", "", "books"}, 2, ""},
        {{"-d", home, "-s", "kjv", "books"}, 2, ""},
        {{"-s", "nope", "books"}, 3, ""},
        {{"-s", "cut", "books"}, 3, ""},
        {{"-s", "kjv,Bad", "text", "창1:1"}, 3, ""},
        {{"-d", dirs + "cut", "books"}, 3, ""},  // checked, never the engine's exit
    };
    for (const auto& [args, status, out] : cases) {
        const SRun run = RunProgram(program, args, env);
        EXPECT_EQ(run.m_nStatus, status) << testing::PrintToString(args) << run.m_strErr;
        EXPECT_EQ(run.m_strOut, out) << testing::PrintToString(args);
        EXPECT_EQ(run.m_strErr.empty(), status == 0 && args[0] != "sets")
            << testing::PrintToString(args);
    }
    const SRun sets = RunProgram(program, {"sets"}, env);
    EXPECT_EQ(sets.m_strErr,
              "Bad\t\tskipped: folder name is not an id (1-32 of a-z 0-9 _ -)\t" + home + "Bad/\n" +
                  "cut\t\tskipped: inxdat_newB.dbe is cut short (" +
                  std::to_string(fs::file_size(dirs + "cut/" + kDatNewFile)) + " of " +
                  std::to_string(fs::file_size(dirs + "cut/" + kDatNewFile) + 1) + " bytes)\t" +
                  dirs + "cut/\n" + "kjv\t\tskipped: id already taken by " + home + "kjv/\t" +
                  dirs + "kjv/\n");
    EXPECT_THAT(RunProgram(program, {"-s", "nope", "books"}, env).m_strErr, HasSubstr("'nope'"));
    const SRun none = RunProgram(
        program, {"sets"},
        "HOME=/none XDG_DATA_HOME=/none XDG_DATA_DIRS='" + kjv.PathOf("d") + "/tavrin/cut'");
    EXPECT_EQ(none.m_nStatus, 3);
}

}  // namespace
}  // namespace tavrin
