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

class MkstoreCli : public ::testing::Test {
protected:
    SRun Mkstore(const Args& args, const std::string& env = "") const {
        return RunProgram(TAVRIN_MKSTORE_PATH, args, env);
    }
    std::string Tsv(const std::string& text) const {
        return WriteBytes(m_fx.PathOf("in.tsv"), text);
    }
    // The four files' bytes, to show a set was left alone.
    std::string SetBytes() const {
        std::string all;
        for (const char* f : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile})
            all += ReadBytes(m_strOut + "/" + f) + '|';
        return all;
    }

    test::CStoreFixture m_fx;
    const std::string m_strOut = m_fx.Folder() + "out";
};

std::string PsalmLines(int verses) {
    std::string lines;
    for (int v = 1; v <= verses; ++v)
        lines += "Ps\t119\t" + std::to_string(v) + "\t시 " + std::to_string(v) + "\n";
    return lines;
}

TEST_F(MkstoreCli, BuildsFromTsvAndTheReaderReadsItBack) {
    const std::string tsv =
        Tsv("Gen\t1\t1\t태초에 하나님이 천지를 창조하시니라\n"
            "Gen\t1\t2\t땅이 혼돈하고\n" +
            PsalmLines(100) +
            "John\t3\t1\t바리새인 중에\nJohn\t3\t2\t그가 밤에\n"
            "Sir\t1\t1\t건너뜀\n");
    const SRun build = Mkstore({"--from-tsv", tsv, m_strOut});
    ASSERT_EQ(build.m_nStatus, 0) << build.m_strErr;
    EXPECT_EQ(build.m_strErr, "");
    EXPECT_THAT(build.m_strOut,
                HasSubstr("2 Old Testament + 1 New Testament; skipped 1 other books (Sir)"));
    EXPECT_THAT(build.m_strOut,
                HasSubstr("119 has 100 verses; the chapter reader shows the first 99"));

    const SRun verify = Mkstore({"--verify", m_strOut});
    EXPECT_EQ(verify.m_nStatus, 0) << verify.m_strOut;

    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(m_strOut));
    EXPECT_EQ(set.ReadBookList(Testament::Old), (std::vector<std::u16string>{u"창세기", u"시편"}));
    EXPECT_EQ(set.LoadChapter(Testament::Old, u"창1:2"),
              (std::vector<std::u16string>{u"창1:1", u"태초에 하나님이 천지를 창조하시니라",
                                           u"창1:2", u"땅이 혼돈하고"}));
    EXPECT_EQ(set.ReadReferenceText(Testament::Old, u"시119:100"), u"시 100");

    if (std::string(TAVRIN_READ_PATH).empty())
        GTEST_SKIP() << "tavrin-read is not built here";
    const SRun read = RunProgram(TAVRIN_READ_PATH, {"-d", m_strOut, "-t", "new", "text", "요3: 2"});
    EXPECT_EQ(read.m_nStatus, 0) << read.m_strErr;
    EXPECT_EQ(read.m_strOut, "그가 밤에\n");
}

TEST_F(MkstoreCli, FailedBuildLeavesTheExistingSetAlone) {
    ASSERT_EQ(Mkstore({"--quiet", "--from-tsv", Tsv("Gen\t1\t1\t옛\n"), m_strOut}).m_nStatus, 0);
    const std::string before = SetBytes();
    struct {
        std::string tsv;
        std::string error;
    } cases[] = {
        {"Gen\t1\t1\t새\n\nGen\t1\t\t새\n", "in.tsv:3: chapter and verse"},
        {"Gen\t1\t1\ta\nGen\t1\t2\t" + std::string(29999, 'a') + "\n",
         "창세기 (Gen) 1:2: text is 29999 bytes"},
        {"# none of the 66\nTob\t1\t1\tx\n", "none of the 66 books"},
    };
    for (const auto& c : cases) {
        const SRun run = Mkstore({"--quiet", "--from-tsv", Tsv(c.tsv), m_strOut});
        EXPECT_EQ(run.m_nStatus, 1);
        EXPECT_THAT(run.m_strErr, HasSubstr(c.error));
        EXPECT_EQ(run.m_strOut, "");
        EXPECT_EQ(SetBytes(), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(m_strOut), fs::directory_iterator()), 4);
    }
}

TEST_F(MkstoreCli, QuietNamesVerifyAndDump) {
    WriteBytes(m_fx.PathOf("names"), "Gen\t태초\t태\n");
    const SRun quiet = Mkstore({"--quiet", "--names", m_fx.PathOf("names"), "--from-tsv",
                                Tsv("Gen\t2\t1\t말씀\n"), m_strOut});
    EXPECT_EQ(quiet.m_nStatus, 0) << quiet.m_strErr;
    EXPECT_EQ(quiet.m_strOut + quiet.m_strErr, "");

    const SRun dump = Mkstore({"--dump", m_strOut});
    EXPECT_EQ(dump.m_nStatus, 0);
    EXPECT_EQ(dump.m_strOut,
              "# inxkey_oldB.dbe: 2 records\nallindex\t\\t태초\\t\n태초\t\\t태2:1\\t\n"
              "# inxdat_oldB.dbe: 1 records\n태2:1\t말씀\n"
              "# inxkey_newB.dbe: 1 records\nallindex\t\\t\n"
              "# inxdat_newB.dbe: 0 records\n");

    fs::remove(fs::path(m_strOut) / kDatOldFile);
    const SRun verify = Mkstore({"--verify", m_strOut});
    EXPECT_EQ(verify.m_nStatus, 1);
    EXPECT_THAT(verify.m_strOut, HasSubstr("inxdat_oldB.dbe: missing\n"));
}

TEST_F(MkstoreCli, WrongUsageExitsWith2) {
    for (const Args& args : std::vector<Args>{{},
                                              {"--verify"},
                                              {"--bogus", "x"},
                                              {"--from-tsv", "a.tsv"},
                                              {"--verify", "a", "--dump", "b"},
                                              {"--names", "n", "--verify", "d"}}) {
        const SRun run = Mkstore(args);
        EXPECT_EQ(run.m_nStatus, 2) << testing::PrintToString(args);
        EXPECT_THAT(run.m_strErr, HasSubstr("usage:"));
    }
}

// A module made here from OSIS with Debian's osis2mod, read through libsword.
TEST_F(MkstoreCli, ImportsASwordModuleAsPlainText) {
    if (std::system("command -v osis2mod >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "osis2mod (Debian package libsword-utils) is not installed";
    const fs::path sword = m_fx.Folder() + "sword";
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

    const SRun missing = Mkstore({"--from-sword", "NoSuchModule", m_strOut}, env);
    EXPECT_EQ(missing.m_nStatus, 1);
    EXPECT_THAT(missing.m_strErr, HasSubstr("no SWORD module named 'NoSuchModule' is installed "
                                            "(Bible modules found: TavTest)"));

    const SRun build = Mkstore({"--from-sword", "TavTest", m_strOut}, env);
    ASSERT_EQ(build.m_nStatus, 0) << build.m_strErr;
    EXPECT_THAT(build.m_strOut, HasSubstr("skipped 1 other books (Tob)"));
    EXPECT_THAT(build.m_strOut, HasSubstr("U+2014 '\u2014' -> '-' x1"));
    EXPECT_EQ(Mkstore({"--verify", m_strOut}).m_nStatus, 0);

    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(m_strOut));
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
