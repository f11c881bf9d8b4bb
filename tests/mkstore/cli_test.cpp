// cli_test.cpp - tavrin-mkstore run on TSV files and a SWORD module made here: status and output.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "RunProgram.h"
#include "StoreFixture.h"
#include "StoreSet.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using test::ReadBytes;
using test::RunProgram;
using test::SRun;
using test::WriteBytes;
using testing::HasSubstr;

SRun Mkstore(const Args& args, const std::string& env = "") {
    return RunProgram(TAVRIN_MKSTORE_PATH, args, env);
}

// A folder whose name is not UTF-8 (EUC-KR bytes), fed TSV on standard input.
TEST(MkstoreCli, BuildsVerifiesDumpsAnySetFolderTheReaderReads) {
    test::CStoreFixture fx;
    const std::string dir = fx.Folder() + "\xB1\xB8 set/";
    fs::create_directories(dir);
    std::string psalm;
    for (int v = 1; v <= 100; ++v) psalm += "Ps\t119\t" + std::to_string(v) + "\tv\n";
    WriteBytes(dir + "names", "Gen\t태초\t태\n");
    WriteBytes(dir + "in.tsv", "# title: header title\nGen\t2\t1\t말씀\n" + psalm +
                                   "John\t3\t1\t바리새인 중에\nSir\t1\t1\tx\n");
    const SRun build = Mkstore(
        {"--names", dir + "names", "--title", "성경 · 공회", "--from-tsv", "-", dir + "out"},
        "<'" + dir + "in.tsv'");
    ASSERT_EQ(build.m_nStatus, 0) << build.m_strErr;
    EXPECT_EQ(build.m_strErr, "");
    for (const char* line : {"standard input -> ",
                             "2 Old Testament + 1 New Testament; skipped 1 "
                             "other books (Sir)",
                             "\n  title      성경 · 공회\n",
                             "\n  replaced   none: every character is stored as the source gives",
                             "119 has 100 verses; the chapter reader shows the first 99"})
        EXPECT_THAT(build.m_strOut, HasSubstr(line));
    EXPECT_EQ(Mkstore({"--verify", dir + "out"}).m_nStatus, 0);
    const std::string dump = Mkstore({"--dump", dir + "out"}).m_strOut;
    EXPECT_THAT(dump, HasSubstr("# inxkey_oldB.dbe: 4 records\nallindex\t\\t태초\\t시편\\t\n태초\t"
                                "\\t태2:1\\t\n시편\t\\t시119:1\\t"));
    EXPECT_THAT(dump, HasSubstr("\\t시119:100\\t\n\\tdescription\t성경 · 공회\n# inxdat_oldB"));
    const SRun read = RunProgram(TAVRIN_READ_PATH, {"-d", dir + "out", "text", "요3: 1"});
    EXPECT_EQ(read.m_strOut, "바리새인 중에\n") << read.m_strErr;
    fs::remove(dir + "out/" + kDatOldFile);
    const SRun verify = Mkstore({"--quiet", "--verify", dir + "out"});
    EXPECT_EQ(verify.m_nStatus, 1);
    EXPECT_EQ(verify.m_strOut, "inxdat_oldB.dbe: missing\n");
}

TEST(MkstoreCli, FailedBuildLeavesTheExistingSetAloneAndWrongUsageExitsWith2) {
    test::CStoreFixture fx;
    const std::string out = fx.Folder() + "out", tsv = fx.PathOf("in.tsv");
    ASSERT_EQ(Mkstore({"--quiet", "--from-tsv", WriteBytes(tsv, "Gen\t1\t1\t옛\n"), out}).m_nStatus,
              0);
    auto setBytes = [&] {
        std::string all;
        for (const char* f : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile})
            all += ReadBytes(out + "/" + f) + '|';
        return all;
    };
    const std::string before = setBytes();
    const struct {
        std::string tsv;
        Args args;
        std::string error;
    } cases[] = {{"Gen\t1\t1\t새\n\nGen\t1\t\t새\n", {}, "in.tsv:3: chapter and verse"},
                 {"Gen\t1\t1\ta\nGen\t1\t2\t" + std::string(29999, 'a') + "\n",
                  {},
                  "창세기 (Gen) 1:2: text is 29999 bytes"},
                 {"# none of the 66\nTob\t1\t1\tx\n", {}, "none of the 66 books"},
                 {std::string("\xFD"
                              "7zXZ\0\0\0\xFF\x12\xD9\x41",
                              12) +
                      "garbage",
                  {},
                  "in.tsv: xz data"},
                 {"Gen\t1\t1\t새\n", {"--title", std::string(256, 'a')}, "title: 256 bytes"}};
    for (const auto& c : cases) {
        Args args = c.args;
        args.insert(args.end(), {"--quiet", "--from-tsv", WriteBytes(tsv, c.tsv), out});
        const SRun run = Mkstore(args);
        EXPECT_EQ(run.m_nStatus, 1);
        EXPECT_THAT(run.m_strErr, HasSubstr(c.error));
        EXPECT_EQ(run.m_strOut, "");
        EXPECT_EQ(setBytes(), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 4);
    }
    for (const Args& args : std::vector<Args>{{},
                                              {"--verify"},
                                              {"--bogus", "x"},
                                              {"--from-tsv", "a.tsv"},
                                              {"--verify", "a", "--dump", "b"},
                                              {"--names", "n", "--verify", "d"},
                                              {"--title", "t", "--dump", "d"},
                                              {"--title", "\xB1\xB8", "--from-tsv", "a", "o"},
                                              {"--from-tsv", "a", "o", "--title"}}) {
        const SRun run = Mkstore(args);
        EXPECT_EQ(run.m_nStatus, 2) << testing::PrintToString(args);
        EXPECT_THAT(run.m_strErr, HasSubstr("usage:"));
    }
}

// A module made here from OSIS with Debian's osis2mod, read through libsword.
TEST(MkstoreCli, ImportsASwordModuleAsPlainText) {
    test::CStoreFixture fx;
    const std::string out = fx.Folder() + "out";
    if (std::system("command -v osis2mod >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "osis2mod (Debian package libsword-utils) is not installed";
    const fs::path sword = fx.Folder() + "sword";
    const fs::path data = sword / "modules/texts/rawtext/tavtest";
    fs::create_directories(data);
    fs::create_directories(sword / "mods.d");
    WriteBytes(sword / "t.osis", R"(<?xml version="1.0" encoding="UTF-8"?>
<osis xmlns="http://www.bibletechnologies.net/2003/OSIS/namespace">
<osisText osisIDWork="TavTest" osisRefWork="Bible" xml:lang="en">
<header><work osisWork="TavTest"><title>Test</title></work></header>
<div type="book" osisID="Gen"><chapter osisID="Gen.1">
<title type="section">Creation Heading</title>
<verse osisID="Gen.1.1" sID="Gen.1.1"/><w lemma="strong:H7225" morph="x">In the beginning</w> God<note placement="foot">Hebrew Elohim.</note>created the <transChange type="added">heavens</transChange>.<verse eID="Gen.1.1"/>
<verse osisID="Gen.1.2" sID="Gen.1.2"/><lg><l>The earth was empty,</l>
<l>and dark.</l></lg><note type="crossReference"><reference osisRef="John.1.1">John 1:1</reference></note><verse eID="Gen.1.2"/>
</chapter></div>
<div type="book" osisID="Ps"><chapter osisID="Ps.3">
<title type="psalm" canonical="true">A Psalm by David.</title>
<verse osisID="Ps.3.2" sID="Ps.3.2"/>Many say — of me.<verse eID="Ps.3.2"/>
</chapter></div>
<div type="book" osisID="Tob"><chapter osisID="Tob.1"><verse osisID="Tob.1.1" sID="Tob.1.1"/>Tobit.<verse eID="Tob.1.1"/></chapter></div>
<div type="book" osisID="John"><chapter osisID="John.3">
<verse osisID="John.3.16" sID="John.3.16"/><q who="Jesus" marker=""><w lemma="strong:G1063">For</w> God so loved</q><note placement="foot">Note.</note><q who="Jesus" marker="">the world.</q><verse eID="John.3.16"/>
</chapter></div>
<div type="glossary"><p>Glossary: Abba means father.</p></div>
</osisText></osis>
)");
    const std::string make = "osis2mod '" + data.string() + "' '" + (sword / "t.osis").string() +
                             "' -v KJVA >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    WriteBytes(sword / "mods.d/tavtest.conf",
               "[TavTest]\nDataPath=./modules/texts/rawtext/tavtest/\nModDrv=RawText\n"
               "SourceType=OSIS\nEncoding=UTF-8\nVersification=KJVA\n"
               "GlobalOptionFilter=OSISStrongs\nGlobalOptionFilter=OSISMorph\n"
               "GlobalOptionFilter=OSISFootnotes\nGlobalOptionFilter=OSISScripref\n"
               "GlobalOptionFilter=OSISHeadings\nGlobalOptionFilter=OSISRedLetterWords\n");
    const std::string env = "HOME='" + sword.string() + "' SWORD_PATH='" + sword.string() + "'";

    const SRun missing = Mkstore({"--from-sword", "NoSuchModule", out}, env);
    EXPECT_EQ(missing.m_nStatus, 1);
    EXPECT_THAT(missing.m_strErr, HasSubstr("no SWORD module named 'NoSuchModule' is installed "
                                            "(Bible modules found: TavTest)"));

    const SRun build = Mkstore({"--from-sword", "TavTest", out}, env);
    ASSERT_EQ(build.m_nStatus, 0) << build.m_strErr;
    EXPECT_THAT(build.m_strOut, HasSubstr("skipped 1 other books (Tob)"));
    EXPECT_THAT(build.m_strOut, HasSubstr("U+2014 '\u2014' -> '-' x1"));
    EXPECT_EQ(Mkstore({"--verify", out}).m_nStatus, 0);

    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(out));
    EXPECT_EQ(set.LoadChapter(Testament::Old, u"창1:"),
              (std::vector<std::u16string>{u"창1:1", u"In the beginning God created the heavens.",
                                           u"창1:2", u"The earth was empty, and dark."}));
    // Verse 1 holds no text of its own here: kept empty so verse 2 is reached.
    EXPECT_EQ(set.LoadChapter(Testament::Old, u"시3:"),
              (std::vector<std::u16string>{u"시3:1", u"", u"시3:2", u"Many say - of me."}));
    EXPECT_EQ(set.ReadReferenceList(Testament::Old, u"시편"),
              (std::vector<std::u16string>{u"시3:1", u"시3:2"}));
    // The glossary after the last book lands in its last verse: cut off.
    EXPECT_EQ(set.ReadReferenceText(Testament::New, u"요3: 16"), u"For God so loved the world.");
    EXPECT_EQ(set.ReadReferenceList(Testament::New, u"요한복음").size(), 16u);
}

}  // namespace
}  // namespace tavrin
