// notes_test.cpp - note entries and stamps, and the notes file: appended to
// without losing a byte under concurrent savers, failing writes and refusals.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <csignal>
#include <filesystem>

#include "ChildProcess.h"
#include "FailingCalls.h"
#include "FileBytes.h"
#include "Notes.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::Le;
using test::ReadBytes;

const std::string kMark = "\xFF\xFE";

TEST(NoteText, StampAndEntry) {
    EXPECT_EQ(FormatStamp(test::Time(2005, 3, 7, 9, 5, 3)),
              u"\r\n▶ 일시 2005-03-07 / 09:05:03 \r\n");
    EXPECT_EQ(FormatStamp(test::Time(1999, 12, 31, 23, 59, 59)),
              u"\r\n▶ 일시 1999-12-31 / 23:59:59 \r\n");
    std::tm extreme{};
    extreme.tm_year = INT_MAX;
    EXPECT_EQ(FormatStamp(extreme).substr(0, 17), u"\r\n▶ 일시 2147485547");
    EXPECT_EQ(FormatNoteEntry(Testament::New, u"마태복음", u"마1: 1", u"본문"),
              u"신약 - 마태복음 - 마1: 1\r\n본문\r\n");
    EXPECT_EQ(FormatNoteEntry(Testament::Old, u"창세기", u"창1:1", u"가\r\n\U00020000"),
              u"구약 - 창세기 - 창1:1\r\n가\r\n\U00020000\r\n");
}

class NotesFile : public ::testing::Test {
protected:
    std::string Record(std::u16string_view entry) const {
        return Le(FormatStamp(m_time)) + Le(entry);
    }
    // AppendNote's result in a child, its file size capped, as a user when asked.
    int SaveInChild(const std::string& path, std::u16string_view entry,
                    rlim_t limit = RLIM_INFINITY, bool asUser = false) {
        return test::WaitChild(test::StartChild(
            [&] {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit small{limit, limit};
                setrlimit(RLIMIT_FSIZE, &small);
                return static_cast<int>(AppendNote(path, entry, m_time));
            },
            10, asUser));
    }

    test::CStoreFixture m_fx;  // for its temporary folder
    std::string m_strPath = m_fx.PathOf("BibleNote.txt");
    std::tm m_time = test::Time(2005, 3, 7, 9, 5, 3);
};

// No path, no folder, a folder, a dangling link (never followed into creating
// its target), a FIFO (never waited on), a device: refused, nothing made.
TEST_F(NotesFile, NoPlaceToWriteFailsWithoutCreatingOrChangingAnything) {
    const int refused = static_cast<int>(ENoteResult::OpenFailed);
    EXPECT_EQ(SaveInChild("", u"e"), refused);
    EXPECT_EQ(SaveInChild(m_fx.PathOf("missing/note.txt"), u"e"), refused);
    const std::function<void()> places[] = {
        [&] { fs::create_directory(m_strPath); },
        [&] { fs::create_symlink(m_fx.PathOf("nowhere.txt"), m_strPath); },
        [&] { ASSERT_EQ(mkfifo(m_strPath.c_str(), 0600), 0); },
        [&] { fs::create_symlink("/dev/null", m_strPath); }};
    for (const auto& make : places) {
        make();
        EXPECT_EQ(SaveInChild(m_strPath, u"e"), refused)
            << static_cast<int>(fs::symlink_status(m_strPath).type());
        fs::remove(m_strPath);
    }
    EXPECT_FALSE(fs::exists(m_fx.PathOf("nowhere.txt")));
    // A read-only file or folder refuses; a writable file in such a folder takes notes.
    test::WriteBytes(m_strPath, kMark + "keep");
    const std::string folder = m_fx.PathOf("readonly"), inFolder = folder + "/BibleNote.txt";
    fs::create_directory(folder);
    test::WriteBytes(inFolder, kMark + "earlier");
    fs::permissions(inFolder, static_cast<fs::perms>(0666));
    fs::permissions(m_strPath, static_cast<fs::perms>(0444));
    fs::permissions(folder, static_cast<fs::perms>(0555));
    fs::permissions(m_fx.Folder(), fs::perms::others_exec, fs::perm_options::add);
    EXPECT_EQ(SaveInChild(m_strPath, u"e", RLIM_INFINITY, true), refused);
    EXPECT_EQ(SaveInChild(folder + "/n", u"e", RLIM_INFINITY, true), refused);
    EXPECT_EQ(SaveInChild(inFolder, u"새", RLIM_INFINITY, true), int(ENoteResult::Saved));
    EXPECT_EQ(ReadBytes(m_strPath) + ReadBytes(inFolder),
              kMark + "keep" + kMark + "earlier" + Record(u"새"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// A write stopped at any point, or a failed close, is reported; the file is as
// it was (no mark without a record).
TEST_F(NotesFile, AWriteStoppedAtAnyPointLeavesTheFileAsItWas) {
    const std::u16string entry = FormatNoteEntry(Testament::Old, u"창세기", u"창1:1", u"태초에");
    const int failed = static_cast<int>(ENoteResult::WriteFailed);
    for (rlim_t limit : {0, 1, 2, 3, 40}) {
        fs::remove(m_strPath);
        EXPECT_EQ(SaveInChild(m_strPath, entry, limit), failed) << limit;
        EXPECT_EQ(ReadBytes(m_strPath), "") << limit;
    }
    // The mark only at the start; through a link to an existing (empty) file.
    const std::string target = test::WriteBytes(m_fx.PathOf("real.txt"), "");
    fs::remove(m_strPath);
    fs::create_symlink(target, m_strPath);
    ASSERT_EQ(AppendNote(m_strPath, u"첫째\r\n", m_time), ENoteResult::Saved);
    ASSERT_EQ(AppendNote(m_strPath, entry, m_time), ENoteResult::Saved);
    const std::string before = ReadBytes(target);
    ASSERT_EQ(before, kMark + Record(u"첫째\r\n") + Record(entry));
    for (size_t room = 0; room < Record(entry).size(); room += 7) {
        EXPECT_EQ(SaveInChild(m_strPath, entry, before.size() + room), failed) << room;
        ASSERT_EQ(ReadBytes(m_strPath), before) << room;
    }
    for (test::ECall call : {test::ECall::Write, test::ECall::Close}) {
        test::FailCall(call, 1);
        EXPECT_EQ(AppendNote(m_strPath, entry, m_time), ENoteResult::WriteFailed);
        EXPECT_EQ(ReadBytes(m_strPath).size(),
                  before.size() + (call == test::ECall::Close) * Record(entry).size());
    }
}

// Two processes saving into a new file: one mark, every record whole and once.
TEST_F(NotesFile, ConcurrentSaversNeverInterleaveRecords) {
    constexpr int kSaves = 150;
    auto entry = [](int saver, int i) {  // more than a page of the file each
        return FormatNoteEntry(saver ? Testament::New : Testament::Old, u"책",
                               u"장" + std::u16string(1, static_cast<char16_t>(u'0' + saver)),
                               std::u16string(1500 + i, static_cast<char16_t>(u'가' + i)));
    };
    std::vector<pid_t> savers;
    for (int saver = 0; saver < 2; ++saver) {
        savers.push_back(test::StartChild([&, saver] {
            int i = 0;
            while (i < kSaves &&
                   AppendNote(m_strPath, entry(saver, i), m_time) == ENoteResult::Saved)
                ++i;
            return kSaves - i;
        }));
    }
    for (pid_t p : savers) EXPECT_EQ(test::WaitChild(p), 0);
    // A torn, lost or doubled record fails one of these (only stamps begin records).
    const std::string bytes = ReadBytes(m_strPath);
    ASSERT_EQ(bytes.substr(0, 2), kMark);
    size_t total = kMark.size();
    for (int saver = 0; saver < 2; ++saver)
        for (int i = 0; i < kSaves; ++i) {
            total += Record(entry(saver, i)).size();
            ASSERT_NE(bytes.find(Record(entry(saver, i))), std::string::npos) << saver << " " << i;
        }
    EXPECT_EQ(bytes.size(), total);
}

}  // namespace
}  // namespace tavrin
