// notes_test.cpp - note entries, stamps and appending to the notes file without losing a byte.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <climits>
#include <filesystem>
#include <functional>
#include <string>

#include "ChildProcess.h"
#include "FileBytes.h"
#include "NoteBytes.h"
#include "Notes.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

const std::string kMark = "\xFF\xFE";

using test::Le;
using test::Time;

// Runs check in a child process as an ordinary user, since permissions do not
// bind root; true when it returned true.
bool AsUser(const std::function<bool()>& check) {
    return test::WaitChild(test::StartChild([&] { return check() ? 0 : 1; }, 0, true)) == 0;
}

TEST(NoteText, StampAndEntry) {
    EXPECT_EQ(FormatStamp(Time(2005, 3, 7, 9, 5, 3)), u"\r\n▶ 일시 2005-03-07 / 09:05:03 \r\n");
    std::tm extreme{};
    extreme.tm_year = INT_MAX;
    EXPECT_EQ(FormatStamp(extreme).substr(0, 17), u"\r\n▶ 일시 2147485547");
    EXPECT_EQ(FormatNoteEntry(Testament::New, u"마태복음", u"마1: 1", u"본문"),
              u"신약 - 마태복음 - 마1: 1\r\n본문\r\n");
    EXPECT_EQ(FormatNoteEntry(Testament::Old, u"창세기", u"창1:1", u""),
              u"구약 - 창세기 - 창1:1\r\n\r\n");
}

class NotesFile : public ::testing::Test {
protected:
    test::CStoreFixture m_fx;  // for its temporary folder
    std::string m_strPath = m_fx.PathOf("BibleNote.txt");
    std::tm m_time = Time(2005, 3, 7, 9, 5, 3);
    std::string m_strStamp = Le(FormatStamp(m_time));
};

TEST_F(NotesFile, MarkOnlyAtTheStartAndEarlierContentKept) {
    ASSERT_EQ(AppendNote(m_strPath, u"첫째\r\n", m_time), ENoteResult::Saved);
    const std::string first = kMark + m_strStamp + Le(u"첫째\r\n");
    EXPECT_EQ(test::ReadBytes(m_strPath), first);
    ASSERT_EQ(AppendNote(m_strPath, u"둘째", m_time), ENoteResult::Saved);
    EXPECT_EQ(test::ReadBytes(m_strPath), first + m_strStamp + Le(u"둘째"));

    // Through a link to an existing file; an empty file gets the mark.
    const std::string target = m_fx.PathOf("real.txt");
    test::WriteBytes(target, "");
    fs::remove(m_strPath);
    fs::create_symlink(target, m_strPath);
    ASSERT_EQ(AppendNote(m_strPath, u"x", m_time), ENoteResult::Saved);
    EXPECT_EQ(test::ReadBytes(target), kMark + m_strStamp + Le(u"x"));
}

TEST_F(NotesFile, NoPlaceToWriteFailsWithoutCreatingAnything) {
    EXPECT_EQ(AppendNote("", u"e", m_time), ENoteResult::OpenFailed);
    EXPECT_EQ(AppendNote(m_fx.PathOf("missing/note.txt"), u"e", m_time), ENoteResult::OpenFailed);
    fs::create_directory(m_strPath);
    EXPECT_EQ(AppendNote(m_strPath, u"e", m_time), ENoteResult::OpenFailed);
    fs::remove(m_strPath);
    // A dangling link is not followed into creating its target.
    fs::create_symlink(m_fx.PathOf("nowhere.txt"), m_strPath);
    EXPECT_EQ(AppendNote(m_strPath, u"e", m_time), ENoteResult::OpenFailed);
    EXPECT_FALSE(fs::exists(m_fx.PathOf("nowhere.txt")));
    fs::remove(m_strPath);
    // A FIFO must neither block nor take the note.
    ASSERT_EQ(mkfifo(m_strPath.c_str(), 0600), 0);
    EXPECT_EQ(AppendNote(m_strPath, u"e", m_time), ENoteResult::OpenFailed);
}

TEST_F(NotesFile, ReadOnlyFileOrFolderRefusesTheSaveAndKeepsTheFile) {
    test::WriteBytes(m_strPath, kMark + "keep");
    const std::string folder = m_fx.PathOf("readonly");
    fs::create_directory(folder);
    const auto readable = fs::perms::owner_read | fs::perms::others_read;
    const auto enterable = readable | fs::perms::owner_exec | fs::perms::others_exec;
    fs::permissions(m_strPath, readable);
    fs::permissions(folder, enterable);
    fs::permissions(m_fx.Folder(), enterable, fs::perm_options::add);
    EXPECT_TRUE(AsUser([&] {
        return AppendNote(m_strPath, u"e", m_time) == ENoteResult::OpenFailed &&
               AppendNote(folder + "/n.txt", u"e", m_time) == ENoteResult::OpenFailed;
    }));
    EXPECT_EQ(test::ReadBytes(m_strPath), kMark + "keep");
    EXPECT_FALSE(fs::exists(folder + "/n.txt"));
}

}  // namespace
}  // namespace tavrin
