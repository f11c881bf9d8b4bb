// study_test.cpp - the study database: marks and notes, their limits, undo, note search,
// migrations, damaged and newer files, backups, and a writer killed mid-import.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>

#include "ChildProcess.h"
#include "FileBytes.h"
#include "StudyFiles.h"
#include "StudyTestSet.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::New;
using test::Old;

std::string Repeat(std::string_view piece, size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i) text += piece;
    return text;
}

TEST(StudyDb, LimitsAreCountedInCharactersOnBothSides) {
    test::CStudyTestSet set;
    const struct {
        std::string label;
        bool ok;
    } labels[] = {{Repeat("가", 200), true},
                  {Repeat("𝄞", 200), true},
                  {Repeat("a", 201), false},
                  {"한 줄\n두 줄", false},
                  {"\xC0\xAF", false}};
    for (const auto& row : labels)
        EXPECT_EQ(set.m_db.SetBookmark({Old("창1:1")}, row.label), row.ok) << row.label.size();
    EXPECT_EQ(set.m_db.List().size(), 1u);  // one bookmark, relabelled
    EXPECT_EQ(set.m_db.List()[0].m_strValue, Repeat("𝄞", 200));
    EXPECT_TRUE(set.m_db.AddNote(New("마1: 1"), Repeat("말", 100000)));
    EXPECT_FALSE(set.m_db.AddNote(New("마1: 1"), Repeat("a", 100001)));
    EXPECT_FALSE(set.m_db.AddNote(New("마1:1"), "the Old Testament's key shape"));
}

TEST(StudyDb, MarksReplaceAndChaptersHoldOnlyTheirOwn) {
    test::CStudyTestSet set;
    ASSERT_TRUE(set.m_db.SetHighlight({Old("창1:1"), Old("창1:3"), Old("창2:1")}, EColour::Yellow));
    ASSERT_TRUE(set.m_db.SetHighlight({Old("창1:3")}, EColour::Pink));
    ASSERT_TRUE(set.m_db.AddNote(New("마1: 2"), "메모"));
    const auto genesis1 = set.m_db.ChapterItems(Testament::Old, "창1:");
    ASSERT_EQ(genesis1.size(), 2u);
    EXPECT_EQ(genesis1[0].m_verse.m_strKey, "창1:1");
    EXPECT_EQ(genesis1[1].m_strValue, "pink");
    EXPECT_EQ(set.m_db.ChapterItems(Testament::Old, "창2:").size(), 1u);
    EXPECT_EQ(set.m_db.ChapterItems(Testament::New, "마1:").size(), 1u);
    EXPECT_EQ(set.m_db.ChapterItems(Testament::New, "창1:").size(), 0u);
    const SItemFilter pink{{EItemKind::Highlight}, {EColour::Pink}};
    EXPECT_EQ(set.m_db.List(pink).size(), 1u);
    EXPECT_EQ(set.m_db.List({{EItemKind::Note}, {}}).size(), 1u);
}

TEST(StudyDb, UndoBringsBackTheLastRemovalOnce) {
    test::CStudyTestSet set;
    int64_t clock = 1000;
    set.m_db.SetClock([&clock] { return clock++; });
    const auto first = set.m_db.AddNote(Old("창1:1"), "하나");
    const auto second = set.m_db.AddNote(New("계1: 1"), "둘");
    ASSERT_TRUE(first && second);
    const auto before = set.m_db.List();
    ASSERT_TRUE(set.m_db.Remove({*first, *second}));
    EXPECT_EQ(set.m_db.List().size(), 0u);
    ASSERT_TRUE(set.m_db.UndoRemove());
    const auto after = set.m_db.List();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].m_nId, before[1].m_nId);
    EXPECT_EQ(after[1].m_nCreated, before[1].m_nCreated);
    EXPECT_EQ(after[1].m_strText, "둘");
    EXPECT_FALSE(set.m_db.UndoRemove());
    set.m_db.List();  // a later read that works is not taken for the failed call
    EXPECT_EQ(set.m_db.LastError(), "");
}

TEST(StudyDb, NoteSearchMatchesAsTheScriptureSearchDoes) {
    test::CStudyTestSet set;
    ASSERT_TRUE(set.m_db.AddNote(Old("창1:1"), "하나님의 사랑은\n크다"));
    ASSERT_TRUE(set.m_db.AddNote(New("마1: 1"), "Grace 은혜"));
    const struct {
        std::u16string query;
        size_t hits;
    } rows[] = {{u"사랑", 1},  {u"하나님의사랑", 1}, {u"ㅎㄴㄴ", 1},
                {u"grace", 1}, {u"사랑 은혜", 0},    {u"미움", 0}};
    for (const auto& row : rows)
        EXPECT_EQ(set.m_db.FindNotes(CSearchQuery(row.query)).size(), row.hits);
    // A note another connection adds is found without reopening.
    CStudyDb other;
    ASSERT_EQ(other.Open(set.m_strPath), CStudyDb::EOpen::Opened);
    ASSERT_TRUE(other.AddNote(New("계1: 1"), "사랑의 편지"));
    EXPECT_EQ(set.m_db.FindNotes(CSearchQuery(u"사랑")).size(), 2u);
}

TEST(StudyFiles, EarlierSchemasMigrateForward) {
    test::CStudyTestSet set;
    const std::string v1 = set.m_fixture.PathOf("v1.sqlite3");
    {
        CSqlite raw;
        ASSERT_TRUE(raw.Open(v1, false, true));
        ASSERT_TRUE(raw.Exec(
            "CREATE TABLE item(id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, testament INTEGER"
            " NOT NULL, key TEXT NOT NULL, value TEXT NOT NULL DEFAULT '', text TEXT NOT NULL"
            " DEFAULT '', created INTEGER NOT NULL, modified INTEGER NOT NULL);"
            "INSERT INTO item VALUES(7, 1, 1, '마1: 2', 'blue', '', 5, 6);"
            "PRAGMA user_version = 1;"));
    }
    for (const std::string& path : {set.m_fixture.PathOf("v0.sqlite3"), v1}) {
        CStudyDb db;
        ASSERT_EQ(db.Open(path), CStudyDb::EOpen::Opened) << db.LastError();
        EXPECT_EQ(db.Connection().QueryInt("PRAGMA user_version"), kStudySchemaVersion);
        EXPECT_TRUE(db.SetHighlight({New("마1: 1")}, EColour::Green));
    }
    CStudyDb db;
    ASSERT_EQ(db.Open(v1), CStudyDb::EOpen::Opened);
    const auto items = db.ChapterItems(Testament::New, "마1:");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].m_nId, 7);
}

TEST(StudyFiles, DamagedFileMovedAsideWhole) {
    test::CStudyTestSet set;
    ASSERT_TRUE(DailyBackup(set.m_db, StudyBackupFolder(set.m_strPath), 86400 * 20000));
    set.m_db.Close();
    const std::string junk = Repeat("not a database ", 400);
    test::WriteBytes(set.m_strPath, junk);
    test::WriteBytes(set.m_strPath + "-wal", "wal bytes");
    CStudyDb db;
    const SStudyOpen opened = OpenStudyDatabase(db, set.m_strPath, 86400 * 20001 + 3661);
    ASSERT_EQ(opened.m_status, SStudyOpen::EStatus::Recovered) << opened.m_strMessage;
    EXPECT_EQ(test::ReadBytes(opened.m_strMovedTo), junk);
    EXPECT_EQ(
        test::ReadBytes(set.m_strPath + "-wal" + opened.m_strMovedTo.substr(set.m_strPath.size())),
        "wal bytes");
    EXPECT_NE(opened.m_strMessage.find(opened.m_strMovedTo), std::string::npos);
    EXPECT_NE(opened.m_strMessage.find("study-2024"), std::string::npos);  // the newest backup
    EXPECT_TRUE(db.SetBookmark({Old("출1:1")}, ""));
}

TEST(StudyFiles, NewerSchemaLeftUntouchedAndBadFolderFails) {
    test::CStudyTestSet set;
    ASSERT_TRUE(set.m_db.Connection().Exec("PRAGMA user_version = 99"));
    set.m_db.Close();
    const std::string bytes = test::ReadBytes(set.m_strPath);
    CStudyDb db;
    EXPECT_EQ(OpenStudyDatabase(db, set.m_strPath, 0).m_status, SStudyOpen::EStatus::Newer);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(test::ReadBytes(set.m_strPath), bytes);
    const SStudyOpen bad = OpenStudyDatabase(db, set.m_fixture.PathOf("inxkey_oldB.dbe/x/s"), 0);
    EXPECT_EQ(bad.m_status, SStudyOpen::EStatus::Failed);
    EXPECT_FALSE(bad.m_strMessage.empty());
}

TEST(StudyFiles, OneBackupADaySevenKept) {
    test::CStudyTestSet set;
    ASSERT_TRUE(set.m_db.AddNote(Old("창1:2"), "보관"));
    const std::string folder = StudyBackupFolder(set.m_strPath);
    for (int day = 0; day < 9; ++day) {
        ASSERT_TRUE(DailyBackup(set.m_db, folder, (20000 + day) * 86400 + 43200));
        ASSERT_TRUE(DailyBackup(set.m_db, folder, (20000 + day) * 86400 + 43300));
    }
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
    EXPECT_EQ(count, kBackupsKept);
    CStudyDb copy;
    ASSERT_EQ(copy.Open(NewestBackup(folder)), CStudyDb::EOpen::Opened);
    EXPECT_EQ(copy.List().size(), 1u);
}

// A child importing 100,000 notes is killed part-way (it stops itself half-way and the
// parent kills it): the file is intact and holds none of them.
TEST(StudyFiles, KilledImportLeavesNoneOrAll) {
    test::CStudyTestSet set;
    std::vector<SStudyItem> items(100000);
    for (size_t i = 0; i < items.size(); ++i)
        items[i] = {0, EItemKind::Note, Old("창1:1"), {}, "메모 " + std::to_string(i), 1, 1};
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = test::StartChild(
        [&] {
            CStudyDb db;
            db.Open(set.m_strPath);
            db.Import(items, [&](size_t done) {
                if (done == 50000) {
                    (void)!write(pipeEnds[1], "x", 1);
                    pause();
                }
            });
            return 0;
        },
        60);
    close(pipeEnds[1]);  // a child that dies early ends the read
    char signal = 0;
    ASSERT_EQ(read(pipeEnds[0], &signal, 1), 1);
    kill(child, SIGKILL);
    EXPECT_EQ(test::WaitChild(child), 1000 + SIGKILL);
    CStudyDb db;
    ASSERT_EQ(db.Open(set.m_strPath), CStudyDb::EOpen::Opened);
    EXPECT_EQ(db.Connection().QueryText("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(db.List().size(), 0u);
    ASSERT_TRUE(db.Import(items));
    EXPECT_EQ(db.List().size(), items.size());
}

}  // namespace
}  // namespace tavrin
