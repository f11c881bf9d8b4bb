// hostile_store_test.cpp - damaged, foreign and oversized store sets never crash, hang or overrun.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "Chapter.h"
#include "ChildProcess.h"
#include "CodePage.h"
#include "FileBytes.h"
#include "NameList.h"
#include "RunProgram.h"
#include "StoreFixture.h"
#include "StoreSet.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::u16string>;
using test::ReadBytes;
using test::WriteBytes;

// Child statuses: a limit broken; less read than the intact set holds; engine failure (-1).
constexpr int kBrokenLimit = 7;
constexpr int kReadLess = 10;
constexpr int kEngineFailed = 255;

// Everything the screens can reach from a store set, as they reach it: book
// lists, each book's references, each reference's text and chapter. Returns
// how many non-empty items were read, or -1 when a result breaks a limit.
int ReadEverything(const CStoreSet& stores) {
    int items = 0;
    for (Testament t : {Testament::Old, Testament::New}) {
        const Names books = stores.ReadBookList(t);
        for (const auto& book : books) {
            if (book.size() > kMaxNameChars)
                return -1;
            const Names refs = stores.ReadReferenceList(t, book);
            for (const auto& ref : refs) {
                const std::u16string text = stores.ReadReferenceText(t, ref);
                const Names verses = stores.LoadChapter(t, ref);
                if (ref.size() > kMaxNameChars || text.size() > kMaxRecordBytes ||
                    verses.size() % 2 != 0 || verses.size() > 2 * kMaxChapterVerses ||
                    BuildChapterText(verses).size() > kMaxChapterTextChars)
                    return -1;
                items += !text.empty() + static_cast<int>(verses.size() / 2);
            }
            items += !refs.empty();
        }
        items += !books.empty();
    }
    return items;
}

// tavrin-read on the fixture's set under a time limit (status 124 when it hangs).
test::SRun Read(const test::CStoreFixture& fx, std::vector<std::string> args) {
    args.insert(args.begin(), {"20", TAVRIN_READ_PATH, "-d", fx.Folder()});
    return test::RunProgram("timeout", args);
}

class HostileStores : public ::testing::Test {
protected:
    void SetUp() override {
        m_fx.AddSampleSet();
        m_fx.Build();
    }

    test::CStoreFixture m_fx;
};

// Every store cut short at many lengths, overwritten with noise at many
// places, or followed by noise: each read either yields what it can (within
// every limit) or ends the process with the engine-failure status.
TEST_F(HostileStores, DamagedFilesNeverCrashHangOrOverrun) {
    CStoreSet intact;
    ASSERT_TRUE(intact.OpenStores(m_fx.Folder()));
    const int intactItems = ReadEverything(intact);
    intact.CloseStores();
    // Two book lists, four reference lists, ten texts, twenty verses.
    ASSERT_EQ(intactItems, 2 + 4 + 10 + 20);

    std::mt19937 random(20050307);
    auto noise = [&](size_t n) {
        std::string bytes(n, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        return bytes;
    };
    int noticed = 0;
    for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile}) {
        const std::string path = m_fx.PathOf(file);
        const std::string pristine = ReadBytes(path);
        ASSERT_GT(pristine.size(), 1024u);
        std::vector<std::pair<std::string, std::string>> damaged;
        for (size_t cut = 0; cut < pristine.size(); cut += 509)
            damaged.emplace_back("cut at " + std::to_string(cut), pristine.substr(0, cut));
        for (size_t at = 0; at + 16 <= pristine.size(); at += 97) {
            std::string bytes = pristine;
            bytes.replace(at, 16, noise(16));
            damaged.emplace_back("noise at " + std::to_string(at), bytes);
        }
        damaged.emplace_back("noise after the end", pristine + noise(8192));
        damaged.emplace_back("header then noise", pristine.substr(0, 512) + noise(16384));

        for (const auto& [what, bytes] : damaged) {
            SCOPED_TRACE(std::string(file) + ": " + what);
            WriteBytes(path, bytes);
            const int status = test::InChild(
                [&] {
                    CStoreSet stores;
                    stores.OpenStores(m_fx.Folder());
                    const int items = ReadEverything(stores);
                    return items < 0 ? kBrokenLimit : items < intactItems ? kReadLess : 0;
                },
                20);
            ASSERT_TRUE(status == 0 || status == kReadLess || status == kEngineFailed)
                << "status " << status;
            noticed += status != 0;
        }
        WriteBytes(path, pristine);
    }
    // Cutting a store to nothing cannot go unnoticed: the damage did reach the reader.
    EXPECT_GT(noticed, 0);
}

// Records at and past the limits of the reader's buffers, read directly and
// through tavrin-read.
TEST_F(HostileStores, RecordsAtAndPastTheLimits) {
    auto framed = [](uint32_t nLen, const std::string& text) {
        std::string bytes{char(nLen), char(nLen >> 8), char(nLen >> 16), char(nLen >> 24)};
        return bytes + text;
    };
    // A verse of 29,998 bytes (14,999 two-byte characters) with no terminator.
    std::u16string longVerse(14999, u'말');
    m_fx.PutRaw(kDatOldFile, EncodeAnsi(u"긴1:1"), framed(29999, EncodeAnsi(longVerse)));
    m_fx.PutRaw(kDatOldFile, EncodeAnsi(u"긴1:2"), framed(29999, EncodeAnsi(longVerse)));
    // One byte more: the last character is cut in half, not read past.
    m_fx.PutRaw(kDatOldFile, EncodeAnsi(u"긴2:1"), framed(30000, EncodeAnsi(longVerse) + "\xB8"));
    // Keys at the key limit are found; a longer query is cut to the limit.
    const std::u16string atLimit(kMaxKeyChars, u'가');
    m_fx.PutText(kDatNewFile, EncodeAnsi(atLimit), "limit");
    m_fx.Build();

    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(m_fx.Folder()));
    EXPECT_EQ(stores.ReadReferenceText(Testament::Old, u"긴1:1"), longVerse);
    const Names verses = stores.LoadChapter(Testament::Old, u"긴1:1");
    ASSERT_EQ(verses.size(), 4u);
    EXPECT_EQ(verses[3], longVerse);
    EXPECT_EQ(BuildChapterText(verses).size(), kMaxChapterTextChars);
    const std::u16string cut = stores.ReadReferenceText(Testament::Old, u"긴2:1");
    EXPECT_EQ(cut.substr(0, longVerse.size()), longVerse);
    EXPECT_LE(cut.size(), longVerse.size() + 1);

    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit), u"limit");
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit + u"나"), u"limit");
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit.substr(1)), u"");

    // Through tavrin-read: a book list of 30,000 TABs and a verse of 29,998
    // bytes, neither terminated; the first byte of a list belongs to no name.
    m_fx.PutRaw(kKeyOldFile, "allindex", framed(30001, std::string(30000, '\t')));
    m_fx.PutRaw(kDatNewFile, EncodeAnsi(u"마1: 1"), framed(29999, std::string(29998, 'v')));
    m_fx.Build();
    const test::SRun books = Read(m_fx, {"-t", "old", "books"});
    EXPECT_EQ(books.m_nStatus, 0);
    EXPECT_EQ(books.m_strOut, std::string(kMaxRecordBytes - 1, '\n'));
    const test::SRun text = Read(m_fx, {"text", "마1: 1"});
    EXPECT_EQ(text.m_nStatus, 0);
    EXPECT_EQ(text.m_strOut, std::string(kMaxRecordBytes, 'v') + "\n");
}

}  // namespace
}  // namespace tavrin
