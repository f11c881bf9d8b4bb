// notes_test.cpp - note entries, stamps and appending to the notes file without losing a byte.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Notes.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::string Le(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(NoteText, StampAndEntry) {
    EXPECT_EQ(FormatStamp(Time(2005, 3, 7, 9, 5, 3)), u"\r\n▶ 일시 2005-03-07 / 09:05:03 \r\n");
    EXPECT_EQ(FormatStamp(Time(1999, 12, 31, 23, 59, 59)),
              u"\r\n▶ 일시 1999-12-31 / 23:59:59 \r\n");
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
    test::CStoreFixture m_fx;  // only for its temporary folder
    std::string m_strPath = m_fx.PathOf("BibleNote.txt");
    std::tm m_time = Time(2005, 3, 7, 9, 5, 3);
    std::u16string m_strStamp = FormatStamp(m_time);
};

TEST_F(NotesFile, CreatedWithMarkThenAppendedWithout) {
    ASSERT_EQ(AppendNote(m_strPath, u"첫째\r\n", m_time), ENoteResult::Saved);
    const std::string first = "\xFF\xFE" + Le(m_strStamp + u"첫째\r\n");
    EXPECT_EQ(ReadAll(m_strPath), first);

    const std::tm later = Time(2005, 3, 7, 10, 0, 0);
    ASSERT_EQ(AppendNote(m_strPath, u"둘째", later), ENoteResult::Saved);
    EXPECT_EQ(ReadAll(m_strPath), first + Le(FormatStamp(later) + u"둘째"));
}

TEST_F(NotesFile, ExistingContentIsKeptAndLongEntriesWrittenWhole) {
    WriteAll(m_strPath,
             "\xFF\xFE"
             "old notes");
    const std::u16string longEntry(10000, u'말');
    ASSERT_EQ(AppendNote(m_strPath, longEntry, m_time), ENoteResult::Saved);
    EXPECT_EQ(ReadAll(m_strPath),
              "\xFF\xFE"
              "old notes" +
                  Le(m_strStamp + longEntry));

    // An empty file (left by someone else, or by a failed first save) gets the mark.
    WriteAll(m_strPath, "");
    ASSERT_EQ(AppendNote(m_strPath, u"x", m_time), ENoteResult::Saved);
    EXPECT_EQ(ReadAll(m_strPath), "\xFF\xFE" + Le(m_strStamp + u"x"));
}

TEST_F(NotesFile, FollowsALinkToAnExistingFile) {
    const std::string target = m_fx.PathOf("real.txt");
    WriteAll(target, "\xFF\xFE");
    fs::create_symlink(target, m_strPath);
    ASSERT_EQ(AppendNote(m_strPath, u"e", m_time), ENoteResult::Saved);
    EXPECT_EQ(ReadAll(target), "\xFF\xFE" + Le(m_strStamp + u"e"));
}

TEST_F(NotesFile, NoPlaceToWriteFailsWithoutCreatingAnything) {
    // No folder, a folder in the way, a dangling link, a FIFO (must not block).
    EXPECT_EQ(AppendNote("", u"e", m_time), ENoteResult::OpenFailed);
    EXPECT_EQ(AppendNote(m_fx.PathOf("missing/BibleNote.txt"), u"e", m_time),
              ENoteResult::OpenFailed);
    fs::create_directory(m_strPath);
    EXPECT_EQ(AppendNote(m_strPath, u"e", m_time), ENoteResult::OpenFailed);
    fs::remove(m_strPath);

    const std::string nowhere = m_fx.PathOf("nowhere.txt");
    fs::create_symlink(nowhere, m_strPath);
    EXPECT_EQ(AppendNote(m_strPath, u"e", m_time), ENoteResult::OpenFailed);
    EXPECT_FALSE(fs::exists(nowhere));
    fs::remove(m_strPath);

    ASSERT_EQ(mkfifo(m_strPath.c_str(), 0600), 0);
    EXPECT_EQ(AppendNote(m_strPath, u"e", m_time), ENoteResult::OpenFailed);
    fs::remove(m_strPath);
}

// Permissions do not bind root, so as root the checks run in a child that has
// become an ordinary user; they report through the exit status.
TEST_F(NotesFile, ReadOnlyFileOrFolderRefusesTheSaveAndKeepsTheFile) {
    WriteAll(m_strPath,
             "\xFF\xFE"
             "keep");
    fs::permissions(m_strPath,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string folder = m_fx.PathOf("readonly");
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    fs::permissions(m_fx.Folder(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    auto checks = [&] {
        int failures = 0;
        failures += AppendNote(m_strPath, u"e", m_time) != ENoteResult::OpenFailed;
        failures += AppendNote(folder + "/BibleNote.txt", u"e", m_time) != ENoteResult::OpenFailed;
        return failures;
    };
    if (geteuid() != 0) {
        EXPECT_EQ(checks(), 0);
    } else {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(100);
            _exit(checks());
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(ReadAll(m_strPath),
              "\xFF\xFE"
              "keep");
    EXPECT_FALSE(fs::exists(folder + "/BibleNote.txt"));
}

TEST_F(NotesFile, AWriteCutShortIsTakenBack) {
    const std::string before = "\xFF\xFE" + Le(u"earlier record");
    WriteAll(m_strPath, before);
    // The child may grow the file by only 100 bytes: the write comes up short.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(before.size() + 100),
                           static_cast<rlim_t>(before.size() + 100)};
        setrlimit(RLIMIT_FSIZE, &limit);
        const ENoteResult result = AppendNote(m_strPath, std::u16string(5000, u'x'), m_time);
        _exit(result == ENoteResult::WriteFailed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a short write was not reported";
    EXPECT_EQ(ReadAll(m_strPath), before);
}

}  // namespace
}  // namespace tavrin
