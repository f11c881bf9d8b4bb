// transfer_test.cpp - TSV and Markdown export, TSV and notes-file import, and tavrin-read study.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FileBytes.h"
#include "Notes.h"
#include "RunProgram.h"
#include "StudyTestSet.h"
#include "StudyTransfer.h"

namespace tavrin {
namespace {

using test::New;
using test::Old;

const std::string kHeader = "# tavrin study 1\n";

TEST(StudyTsv, RoundTripIsByteIdentical) {
    test::CStudyTestSet set;
    int64_t clock = 1765085525;  // 2025-12-07T05:32:05Z
    set.m_db.SetClock([&clock] { return clock; });
    ASSERT_TRUE(set.m_db.AddNote(New("계1: 1"), "둘째\t탭 \\ 역\r\n줄 𝄞"));
    ASSERT_TRUE(set.m_db.AddNote(New("계1: 1"), "가 같은 때"));
    ASSERT_TRUE(set.m_db.SetBookmark({Old("창2:1"), Old("창1:1")}, "책갈피 \\t 𠀀"));
    ++clock;
    ASSERT_TRUE(set.m_db.SetHighlight({Old("창1:1")}, EColour::Orange));
    const std::string first = ExportTsv(set.m_db.List(), set.m_order);
    EXPECT_EQ(first,
              kHeader +
                  "bookmark\t창1:1\t책갈피 \\\\t 𠀀\t\t2025-12-07T05:32:05Z\t2025-12-07T05:32:05Z\n"
                  "highlight\t창1:1\torange\t\t2025-12-07T05:32:06Z\t2025-12-07T05:32:06Z\n"
                  "bookmark\t창2:1\t책갈피 \\\\t 𠀀\t\t2025-12-07T05:32:05Z\t2025-12-07T05:32:05Z\n"
                  "note\t계1: 1\t\t가 같은 때\t2025-12-07T05:32:05Z\t2025-12-07T05:32:05Z\n"
                  "note\t계1: 1\t\t둘째\\t탭 \\\\ 역\\r\\n줄 𝄞\t2025-12-07T05:32:05Z\t"
                  "2025-12-07T05:32:05Z\n");
    const SReadItems read = ReadTsv(first, set.m_order);
    ASSERT_TRUE(read.IsGood()) << read.m_strProblem;
    CStudyDb empty;
    ASSERT_EQ(empty.Open(set.m_fixture.PathOf("empty.sqlite3")), CStudyDb::EOpen::Opened);
    const auto count = empty.Import(read.m_arrItems);
    ASSERT_TRUE(count);
    EXPECT_EQ(count->m_nImported, 5u);
    EXPECT_EQ(ExportTsv(empty.List(), set.m_order), first);
    const auto again = empty.Import(read.m_arrItems);  // twice changes nothing
    EXPECT_EQ(again->m_nImported, 0u);
    EXPECT_EQ(again->m_nSkipped, 5u);
}

TEST(StudyTsv, LaterModifiedReplacesAMark) {
    test::CStudyTestSet set;
    set.m_db.SetClock([] { return 1000; });
    ASSERT_TRUE(set.m_db.SetHighlight({New("마2: 1")}, EColour::Blue));
    const auto line = [](std::string colour, int64_t modified) {
        return SStudyItem{0, EItemKind::Highlight, New("마2: 1"), colour, {}, 1, modified};
    };
    EXPECT_EQ(set.m_db.Import({line("green", 1000)})->m_nSkipped, 1u);
    EXPECT_EQ(set.m_db.List()[0].m_strValue, "blue");
    EXPECT_EQ(set.m_db.Import({line("green", 1001)})->m_nImported, 1u);
    EXPECT_EQ(set.m_db.List()[0].m_strValue, "green");
    EXPECT_EQ(set.m_db.List().size(), 1u);
}

TEST(StudyTsv, EachBadLineIsNamedAndNothingIsRead) {
    test::CStudyTestSet set;
    const std::string good = "note\t창1:1\t\t본문\t2026-12-07T05:32:05Z\t2026-12-07T05:32:05Z\n";
    const std::string t = "\t2026-01-01T00:00:00Z\t2026-01-01T00:00:00Z\n";
    const struct {
        std::string data;
        size_t line;
    } rows[] = {
        {good, 1},
        {"", 1},
        {kHeader + good + "memo\t창1:1\t\t" + t, 3},
        {kHeader + good + "note\t창9:9\t\t" + t, 3},
        {kHeader + "note\t마1:1\t\t" + t, 2},  // the Old shape in the New Testament
        {kHeader + good + "note\t창1:1\t\t\\x" + t, 3},
        {kHeader + "note\t창1:1\t\t\xED\xA0\x80" + t, 2},
        {kHeader + "bookmark\t창1:1\t두\\n줄\t" + t, 2},
        {kHeader + "bookmark\t창1:1\t" + std::string(201, 'a') + "\t" + t, 2},
        {kHeader + "highlight\t창1:1\tred\t" + t, 2},
        {kHeader + "highlight\t창1:1\tred\t" + t, 2},
        {kHeader + "note\t창1:1\tv\t" + t, 2},
        {kHeader + "note\t창1:1\t\t\t2026-02-29T00:00:00Z\t2026-03-01T00:00:00Z\n", 2},
        {kHeader + "note\t창1:1\t\t\t2026-01-01T24:00:00Z\t2026-03-01T00:00:00Z\n", 2},
        {kHeader + good + "note\t창1:1\t\t" + t.substr(0, 21) + "\n", 3},
        {kHeader + good + "\n", 3},
    };
    for (const auto& row : rows) {
        const SReadItems read = ReadTsv(row.data, set.m_order);
        EXPECT_EQ(read.m_nBadLine, row.line) << row.data;
        EXPECT_TRUE(read.m_arrItems.empty()) << row.data;
    }
    const std::string edges = kHeader + "bookmark\t창1:1\t" + std::string(200, 'a') + "\t" + t +
                              "note\t창1:1\t\t\t2024-02-29T23:59:59Z\t2024-03-01T00:00:00Z\n";
    EXPECT_EQ(ReadTsv(edges, set.m_order).m_arrItems.size(), 2u);
}

TEST(StudyNotesFile, RecordsBecomeNotesInUtc) {
    test::CStudyTestSet set;
    setenv("TZ", "Asia/Seoul", 1);
    tzset();
    const std::string path = set.m_fixture.PathOf("BibleNote.txt");
    ASSERT_EQ(AppendNote(path, FormatNoteEntry(Testament::Old, u"창세기", u"창1:2", u"가\r\n나"),
                         test::Time(2026, 12, 7, 14, 32, 5)),
              ENoteResult::Saved);
    ASSERT_EQ(AppendNote(path, FormatNoteEntry(Testament::New, u"마태복음", u"마2: 1", u"다"),
                         test::Time(2026, 1, 1, 3, 0, 0)),
              ENoteResult::Saved);
    const std::string bytes = test::ReadBytes(path);
    const SReadItems read = ReadNotesFile(bytes, set.m_order);
    ASSERT_EQ(read.m_arrItems.size(), 2u) << read.m_strProblem;
    EXPECT_EQ(read.m_arrItems[0].m_strText, "가\r\n나");
    EXPECT_EQ(FormatUtc(read.m_arrItems[0].m_nCreated), "2026-12-07T05:32:05Z");
    EXPECT_EQ(FormatUtc(read.m_arrItems[1].m_nModified), "2025-12-31T18:00:00Z");
    EXPECT_EQ(read.m_arrItems[1].m_verse, New("마2: 1"));
    ASSERT_EQ(set.m_db.Import(read.m_arrItems)->m_nImported, 2u);
    EXPECT_EQ(set.m_db.Import(read.m_arrItems)->m_nImported, 0u);
    const std::string record = "\r\n▶ 일시 2026-12-07 / 14:32:05 \r\n";
    const struct {
        std::u16string text;
        size_t line;
    } bad[] = {{u"\r\n▶ 일시 2026-13-07 / 14:32:05 \r\n구약 - 창세기 - 창1:2\r\n가\r\n", 2},
               {u"\r\n▶ 일시 2026-12-07 / 14:32:05 \r\n신약 - 창세기 - 창1:2\r\n가\r\n", 3},
               {u"\r\n▶ 일시 2026-12-07 / 14:32:05 \r\n구약 - 창세기 - 창1:2\r\n가\r\n\r\n"
                u"▶ 일시 2026-12-07 / 14:32:05 \r\n구약 - 창세기 - 창9:9\r\n가\r\n",
                7},
               {u"본문", 1}};
    for (const auto& row : bad)
        EXPECT_EQ(ReadNotesFile("\xFF\xFE" + test::Le(row.text), set.m_order).m_nBadLine, row.line);
    unsetenv("TZ");
    tzset();
}

// tavrin-read study: statuses, messages and output.
TEST(StudyRead, CommandsAnswerWithTheirStatuses) {
    test::CStudyTestSet set;
    const std::string data = set.m_fixture.PathOf("home/");
    const std::string env = "HOME='" + data + "' XDG_DATA_HOME='" + data + "'";
    const std::string tsv =
        test::WriteBytes(set.m_fixture.PathOf("in.tsv"),
                         kHeader +
                             "note\t마1: 2\t\t메모\t2026-01-01T00:00:00Z\t2026-01-01T00:00:00Z\n"
                             "bookmark\t창1:1\t\t\t2026-01-01T00:00:00Z\t2026-01-01T00:00:00Z\n");
    const std::string bad = test::WriteBytes(set.m_fixture.PathOf("bad.tsv"), kHeader + "x\n");
    const std::string out = set.m_fixture.PathOf("out.tsv");
    const std::string d = set.m_fixture.Folder();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } rows[] = {
        {{"-d", d, "study", "export"}, 0, ""},
        {{"-d", d, "study", "import", tsv}, 0, "imported 2, skipped 0\n"},
        {{"-d", d, "study", "import", tsv}, 0, "imported 0, skipped 2\n"},
        {{"-d", d, "study", "import", bad},
         1,
         "tavrin-read: " + bad + ":2: not six fields separated by tabs; nothing imported\n"},
        {{"-d", d, "study", "import", d + "none"}, 1, "tavrin-read: cannot read '" + d + "none'\n"},
        {{"-d", d, "study", "import-notes"},
         1,
         "tavrin-read: cannot read '" + data + "/Documents/BibleNote.txt'\n"},
        {{"-d", d, "study", "export", out}, 0, ""},
        {{"-d", d, "study", "export", d + "inxkey_oldB.dbe/x"},
         3,
         "tavrin-read: cannot write '" + d + "inxkey_oldB.dbe/x'\n"},
        {{"-d", d + "none", "study", "export"},
         3,
         "tavrin-read: no store set in '" + d + "none'\n"},
        {{"study"}, 2, "*"},
        {{"study", "export", "--format", "xml"}, 2, "*"},
        {{"study", "import"}, 2, "*"},
        {{"study", "export", "a", "b"}, 2, "*"},
    };
    for (const auto& row : rows) {
        const test::SRun run = test::RunProgram(TAVRIN_READ_PATH, row.args, env);
        EXPECT_EQ(run.m_nStatus, row.status) << row.args.back();
        if (row.err != "*") {
            EXPECT_EQ(run.m_strErr, row.err) << row.args.back();
        }
    }
    EXPECT_EQ(test::ReadBytes(out),
              test::RunProgram(TAVRIN_READ_PATH, {"-d", d, "study", "export", "-"}, env).m_strOut);
    EXPECT_EQ(test::ReadBytes(out).substr(0, kHeader.size() + 8), kHeader + "bookmark");
    const test::SRun md =
        test::RunProgram(TAVRIN_READ_PATH, {"-d", d, "study", "export", "--format", "md"}, env);
    EXPECT_NE(
        md.m_strOut.find("> **마1: 2** 마1: 2 말씀\n\n- 메모 (2026-01-01T00:00:00Z):\n    메모\n"),
        std::string::npos)
        << md.m_strOut;
    CStudyDb db;
    ASSERT_EQ(db.Open(data + "tavrin/study.sqlite3"), CStudyDb::EOpen::Opened);
    const std::string newer = "PRAGMA user_version = " + std::to_string(kStudySchemaVersion + 1);
    ASSERT_TRUE(db.Connection().Exec(newer.c_str()));
    EXPECT_EQ(test::RunProgram(TAVRIN_READ_PATH, {"-d", d, "study", "export"}, env).m_nStatus, 3);
}

}  // namespace
}  // namespace tavrin
