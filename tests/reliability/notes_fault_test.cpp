// notes_fault_test.cpp - the notes file under concurrent savers, failing writes, locked folders.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "FileBytes.h"
#include "NoteBytes.h"
#include "Notes.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::Le;
using test::ReadBytes;

const std::string kMark = "\xFF\xFE";
const std::tm kNoon = test::Time(2005, 3, 7, 12, 0, 0);

class NotesFaults : public ::testing::Test {
protected:
    test::CStoreFixture m_fx;  // for its temporary folder
    std::string m_strPath = m_fx.PathOf("BibleNote.txt");
};

// Two processes save a few hundred notes each into a file neither has
// created yet: one mark, and every record whole and present exactly once.
TEST_F(NotesFaults, ConcurrentSaversNeverInterleaveRecords) {
    constexpr int kSaves = 300;
    auto entry = [](int saver, int i) {
        // Long enough that a record takes more than one page of the file.
        return FormatNoteEntry(saver ? Testament::New : Testament::Old, u"책",
                               u"장" + std::u16string(1, static_cast<char16_t>(u'0' + saver)),
                               std::u16string(1500 + i, static_cast<char16_t>(u'가' + i)));
    };
    std::vector<pid_t> savers;
    for (int saver = 0; saver < 2; ++saver) {
        savers.push_back(test::StartChild([&, saver] {
            int i = 0;
            while (i < kSaves &&
                   AppendNote(m_strPath, entry(saver, i), kNoon) == ENoteResult::Saved)
                ++i;
            return kSaves - i;
        }));
    }
    for (pid_t p : savers) EXPECT_EQ(test::WaitChild(p), 0);

    // One mark, every record whole somewhere, and nothing else: a torn, lost
    // or doubled record breaks one or the other (no record's end can be
    // another's start, as only stamps hold their first characters).
    const std::string bytes = ReadBytes(m_strPath);
    ASSERT_EQ(bytes.substr(0, 2), kMark);
    size_t total = kMark.size();
    for (int saver = 0; saver < 2; ++saver)
        for (int i = 0; i < kSaves; ++i) {
            const std::string record = Le(FormatStamp(kNoon)) + Le(entry(saver, i));
            total += record.size();
            ASSERT_NE(bytes.find(record), std::string::npos) << saver << " " << i;
        }
    EXPECT_EQ(bytes.size(), total);
}

// Whatever point the file size limit stops a write at, the file afterwards
// is byte for byte what it was, and the next save succeeds whole. A first save
// that fails leaves no mark without a record.
TEST_F(NotesFaults, AWriteStoppedAtAnyPointLeavesTheFileAsItWas) {
    const std::u16string entry = FormatNoteEntry(Testament::Old, u"창세기", u"창1:1", u"태초에");
    const std::string record = Le(FormatStamp(kNoon)) + Le(entry);
    auto saveUnder = [&](rlim_t limit) {
        return test::InChild([&, limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{limit, limit};
            setrlimit(RLIMIT_FSIZE, &small);
            return AppendNote(m_strPath, entry, kNoon) == ENoteResult::WriteFailed ? 0 : 1;
        });
    };
    for (rlim_t limit : {0, 1, 2, 3, 40}) {
        SCOPED_TRACE(limit);
        fs::remove(m_strPath);
        EXPECT_EQ(saveUnder(limit), 0);
        EXPECT_EQ(ReadBytes(m_strPath), "");
    }
    ASSERT_EQ(AppendNote(m_strPath, entry, kNoon), ENoteResult::Saved);
    const std::string before = ReadBytes(m_strPath);
    ASSERT_EQ(before, kMark + record);
    for (size_t room = 0; room < record.size(); room += 7) {
        SCOPED_TRACE(room);
        EXPECT_EQ(saveUnder(before.size() + room), 0);
        ASSERT_EQ(ReadBytes(m_strPath), before);
    }
    ASSERT_EQ(AppendNote(m_strPath, entry, kNoon), ENoteResult::Saved);
    EXPECT_EQ(ReadBytes(m_strPath), before + record);
}

// The file is appended to in place: a folder the user may not write to does
// not stop a save into a notes file that is theirs to write.
TEST_F(NotesFaults, ExistingFileInAReadOnlyFolderIsAppendedInPlace) {
    const std::string folder = m_fx.PathOf("readonly");
    const std::string path = folder + "/BibleNote.txt";
    fs::create_directory(folder);
    test::WriteBytes(path, kMark + "earlier");
    fs::permissions(path, static_cast<fs::perms>(0666));
    fs::permissions(folder, static_cast<fs::perms>(0505));
    fs::permissions(m_fx.Folder(), fs::perms::others_exec, fs::perm_options::add);
    const auto permissions = fs::status(path).permissions();
    const auto save = [&] {
        return AppendNote(path, u"새 기록", kNoon) == ENoteResult::Saved ? 0 : 1;
    };
    EXPECT_EQ(test::WaitChild(test::StartChild(save, 0, true)), 0);
    EXPECT_EQ(ReadBytes(path), kMark + "earlier" + Le(FormatStamp(kNoon)) + Le(u"새 기록"));
    EXPECT_EQ(fs::status(path).permissions(), permissions);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace tavrin
