// storeset_test.cpp - opening a store set, the book, reference, text and chapter reads, and
// damaged stores.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "Chapter.h"
#include "ChildProcess.h"
#include "CodePage.h"
#include "FileBytes.h"
#include "NameList.h"
#include "StoreFixture.h"
#include "StoreSet.h"

namespace tavrin {
namespace {

using test::CStoreFixture;
using Names = std::vector<std::u16string>;

TEST(StoreSetOpen, AnyMissingStoreReportsOnceAndReadsNothing) {
    for (const char* missing : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile, "none"}) {
        SCOPED_TRACE(missing);
        CStoreFixture fx;
        fx.AddSampleSet();
        fx.Omit(missing);
        fx.Build();
        CStoreSet stores;
        std::vector<std::u16string> messages;
        auto report = [&](std::u16string_view m) { messages.emplace_back(m); };
        const bool all = std::string(missing) == "none";
        // The folder may come without its trailing '/'.
        EXPECT_EQ(stores.OpenStores(fx.Folder().substr(0, fx.Folder().size() - 1), report), all);
        EXPECT_EQ(stores.AreStoresOpen(), all);
        EXPECT_EQ(messages.size(), all ? 0u : 1u);
        if (all)
            continue;
        EXPECT_EQ(messages[0], u"성경 데이타 파일이 존재하지 않거나 경로가 잘못 되었습니다.");
        // The other three stay open; nothing is read through them.
        EXPECT_EQ(!stores.m_hKeyOld + !stores.m_hKeyNew + !stores.m_hDatOld + !stores.m_hDatNew, 1);
        EXPECT_TRUE(stores.ReadBookList(Testament::Old).empty() &&
                    stores.ReadReferenceList(Testament::Old, u"창세기").empty() &&
                    stores.ReadReferenceText(Testament::New, u"마1: 1").empty() &&
                    stores.LoadChapter(Testament::Old, u"창1:1").empty() &&
                    stores.ReadDescription().empty());
    }
    // No folder at all is missing stores too, not the working directory.
    int messages = 0;
    EXPECT_FALSE(CStoreSet().OpenStores("", [&](std::u16string_view) { ++messages; }));
    EXPECT_EQ(messages, 1);
}

using Env = std::map<std::string, std::string>;
EnvLookup LookUpIn(const Env& env) {
    return [&env](const char* name) {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
}

TEST(StoreFolderSearch, ProgramFolderThenShareThenXdgDataHomeThenXdgDataDirs) {
    // "+": the default data folders last.
    const std::tuple<std::string, Env, std::string> cases[] = {
        {"/opt/t/bin/", {}, "/opt/t/bin/ /opt/t/share/tavrin/ +"},
        {"/bin/", {{"HOME", "/home/u"}}, "/bin/ /share/tavrin/ /home/u/.local/share/tavrin/ +"},
        {"/",
         {{"HOME", "/home/u/"}, {"XDG_DATA_HOME", "rel"}, {"XDG_DATA_DIRS", ""}},
         "/ /share/tavrin/ /home/u/.local/share/tavrin/ +"},
        {"",
         {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/d/"}, {"XDG_DATA_DIRS", "/a:rel::/b/"}},
         "/d/tavrin/ /a/tavrin/ /b/tavrin/"},
        {"", {{"HOME", "relative"}, {"XDG_DATA_DIRS", "/x"}}, "/x/tavrin/"},
    };
    for (const auto& [program, env, path] : cases) {
        std::string got;
        for (const std::string& folder : StoreFolderSearchPath(program, LookUpIn(env)))
            got += (got.empty() ? "" : " ") + folder;
        const std::string defaults = "/usr/local/share/tavrin/ /usr/share/tavrin/";
        EXPECT_EQ(got, path.ends_with('+') ? path.substr(0, path.size() - 1) + defaults : path);
    }
}

// Only the Old Testament index store's record is the description; no list shows it.
TEST(StoreSetDescription, ReadWholeUpTo255BytesNeverSplittingACharacter) {
    const std::string a253(253, 'a'), ga = EncodeAnsi(u"가");
    const std::tuple<const char*, std::string, std::u16string> cases[] = {
        {kKeyOldFile, a253 + "aa", AnsiToWide(a253 + "aa")},
        {kKeyOldFile, a253 + "aaa", AnsiToWide(a253 + "aa")},
        {kKeyOldFile, a253 + ga, AnsiToWide(a253 + ga)},
        {kKeyOldFile, a253 + "a" + EncodeAnsi(u"갂"), AnsiToWide(a253 + "a")},  // lead byte 81
        {kKeyOldFile, EncodeAnsi(u"성경 · 공회"), u"성경 · 공회"},
        {kKeyNewFile, "new", u""},
    };
    for (const auto& [file, stored, shown] : cases) {
        CStoreFixture fx;
        fx.AddSampleSet();
        fx.PutText(file, std::string(kDescriptionKey), stored);
        fx.Build();
        CStoreSet stores;
        EXPECT_EQ(stores.ReadDescription(), u"");  // not open
        ASSERT_TRUE(stores.OpenStores(fx.Folder()));
        EXPECT_EQ(stores.ReadDescription(), shown) << stored.size();
        EXPECT_EQ(stores.ReadBookList(Testament::Old), (Names{u"창세기", u"출애굽기"}));
    }
}

// Names with code page 949's extension syllables (똠 is 8C 63, its second byte
// an ASCII letter) decode and find their keys; the testament picks the store.
TEST(StoreSetReads, DecodedNamesFindTheirKeysInTheirTestamentsStores) {
    CStoreFixture fx;
    fx.AddSampleSet();
    for (const char16_t* book : {u"햏서", u"똠서", u"뷁서", u"Alpha"})
        fx.AddBook(Testament::Old, book, {{std::u16string(book) + u"1:1", book}});
    fx.Build();
    CStoreSet stores, second;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    EXPECT_TRUE(second.OpenStores(fx.Folder()));  // readers share the files
    const Names books = stores.ReadBookList(Testament::Old);
    EXPECT_EQ(books, (Names{u"창세기", u"출애굽기", u"햏서", u"똠서", u"뷁서", u"Alpha"}));
    for (size_t i = 2; i < books.size(); ++i) {
        const Names refs = stores.ReadReferenceList(Testament::Old, books[i]);
        ASSERT_EQ(refs, Names{books[i] + u"1:1"});
        EXPECT_EQ(stores.ReadReferenceText(Testament::Old, refs[0]), books[i]);
    }
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, u"마2: 1"), u"마2: 1 말씀");
    EXPECT_TRUE(stores.ReadReferenceList(Testament::New, u"창세기").empty() &&
                stores.ReadReferenceText(Testament::New, u"창1:1").empty());
}

TEST(StoreSetChapter, VerseKeysPerTestamentGapsLimitAndOverlongReferences) {
    CStoreFixture fx;
    fx.AddVerses(Testament::Old, u"창12:", 1, 3, u"구");
    fx.AddVerse(Testament::Old, u"창12:5", u"after the gap");
    fx.AddVerses(Testament::New, u"마12:", 1, 2, u"신");
    fx.AddVerse(Testament::New, u"마12:3", u"no blank: not a New Testament key");
    fx.AddVerses(Testament::Old, u"시119:", 1, 120, u"v");
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));

    EXPECT_EQ(stores.LoadChapter(Testament::Old, u"창12:7"),
              (Names{u"창12:1", u"구 1", u"창12:2", u"구 2", u"창12:3", u"구 3"}));
    EXPECT_EQ(stores.LoadChapter(Testament::New, u"마12:1"),
              (Names{u"마12: 1", u"신 1", u"마12: 2", u"신 2"}));
    EXPECT_TRUE(stores.LoadChapter(Testament::Old, u"창12").empty());  // no ':'
    const Names psalm = stores.LoadChapter(Testament::Old, u"시119:1");
    ASSERT_EQ(psalm.size(), 198u);
    EXPECT_EQ(psalm[196], u"시119:99");
    // Far past the key limit: nothing read, nothing overrun.
    EXPECT_TRUE(stores.LoadChapter(Testament::New, std::u16string(5000, u'가') + u"1:").empty());
    EXPECT_TRUE(stores.ReadReferenceText(Testament::New, std::u16string(5000, u'가')).empty());
}

// The stored length only ever shortens a text; texts, keys and chapters at
// and past the reader's limits are cut there, never read past.
TEST(FetchRecordText, StoredLengthsAndTheLimits) {
    auto record = [](unsigned nLen, std::string_view text) {
        std::string bytes{char(nLen), char(nLen >> 8), char(nLen >> 16), char(nLen >> 24)};
        return bytes.append(text);
    };
    const std::pair<std::string, std::string> cases[] = {
        {record(6, "hello") + '\0', "hello"},     {record(3, "hello") + '\0', "hel"},
        {record(0, "hello") + '\0', ""},          {record(-5, "hello") + '\0', "hello"},
        {record(31000, "hello") + '\0', "hello"}, {record(0x7FFFFFFF, "hello") + '\0', "hello"},
        {std::string("\x01\x00", 2), ""},         {record(6, "abc"), "abc"},
    };
    CStoreFixture fx;
    for (size_t i = 0; i < std::size(cases); ++i)
        fx.PutRaw(kDatNewFile, std::to_string(i), cases[i].first);
    // Verses of 29,998 bytes without a terminator, and one byte more, which
    // cuts the last character in half.
    const std::u16string longVerse(14999, u'말');
    for (const char16_t* key : {u"긴1:1", u"긴1:2"})
        fx.PutRaw(kDatOldFile, EncodeAnsi(key), record(29999, EncodeAnsi(longVerse)));
    fx.PutRaw(kDatOldFile, EncodeAnsi(u"긴2:1"), record(30000, EncodeAnsi(longVerse) + "\xB8"));
    const std::u16string atLimit(kMaxKeyChars, u'가');
    fx.PutText(kDatNewFile, EncodeAnsi(atLimit), "limit");
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    for (size_t i = 0; i < std::size(cases); ++i) {
        bool found = false;
        EXPECT_EQ(FetchRecordText(stores.m_hDatNew, std::to_string(i), &found), cases[i].second);
        EXPECT_TRUE(found) << i;
    }
    bool found = true;
    EXPECT_EQ(FetchRecordText(stores.m_hDatNew, "absent", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(FetchRecordText(nullptr, "0", &found), "");

    EXPECT_EQ(stores.ReadReferenceText(Testament::Old, u"긴1:1"), longVerse);
    const Names verses = stores.LoadChapter(Testament::Old, u"긴1:1");
    ASSERT_EQ(verses.size(), 4u);
    EXPECT_EQ(verses[3], longVerse);
    EXPECT_EQ(BuildChapterText(verses).size(), kMaxChapterTextChars);
    EXPECT_EQ(FetchRecordText(stores.m_hDatOld, EncodeAnsi(u"긴2:1")).size(), kMaxRecordBytes);
    EXPECT_EQ(stores.ReadReferenceText(Testament::Old, u"긴2:1").substr(0, 14999), longVerse);
    // A key at the key limit is found; a longer one is cut to the limit.
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit), u"limit");
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit + u"나"), u"limit");
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit.substr(1)), u"");
}

// Every store cut short at many lengths, overwritten with noise at many
// places, or followed by noise: reading everything the screens can reach (in
// a child) yields what it can within every limit, or ends with the
// engine-failure status 255; never a crash or a hang.
TEST(StoreSetDamaged, DamagedStoresNeverCrashHangOrOverrun) {
    CStoreFixture fx;
    fx.AddSampleSet();
    fx.Build();
    const auto readEverything = [&fx] {  // all the text read; "!" when a limit broke
        CStoreSet stores;
        stores.OpenStores(fx.Folder());
        std::u16string all;
        for (Testament t : {Testament::Old, Testament::New})
            for (const auto& book : stores.ReadBookList(t))
                for (const auto& ref : stores.ReadReferenceList(t, book)) {
                    const std::u16string text = stores.ReadReferenceText(t, ref);
                    const Names verses = stores.LoadChapter(t, ref);
                    all += book + ref + text + BuildChapterText(verses);
                    if (book.size() > kMaxNameChars || ref.size() > kMaxNameChars ||
                        text.size() > kMaxRecordBytes || verses.size() > 2 * kMaxChapterVerses ||
                        BuildChapterText(verses).size() > kMaxChapterTextChars)
                        return std::u16string(u"!");
                }
        return all;
    };
    const std::u16string intact = readEverything();
    std::mt19937 random(20050307);
    const auto noise = [&](size_t n) {
        std::string bytes(n, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        return bytes;
    };
    int noticed = 0;
    for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile}) {
        const std::string path = fx.PathOf(file), pristine = test::ReadBytes(path);
        std::vector<std::string> damaged{pristine + noise(8192),
                                         pristine.substr(0, 512) + noise(16384)};
        for (size_t cut = 0; cut < pristine.size(); cut += 509)
            damaged.push_back(pristine.substr(0, cut));
        for (size_t at = 0; at + 16 <= pristine.size(); at += 97)
            damaged.push_back(std::string(pristine).replace(at, 16, noise(16)));
        for (size_t i = 0; i < damaged.size(); ++i) {
            test::WriteBytes(path, damaged[i]);
            const int status = test::InChild(
                [&] {
                    const std::u16string read = readEverything();
                    return read == u"!" ? 7 : read == intact ? 0 : 10;
                },
                20);
            ASSERT_TRUE(status == 0 || status == 10 || status == 255) << file << ' ' << i;
            noticed += status != 0;
        }
        test::WriteBytes(path, pristine);
    }
    EXPECT_GT(noticed, 0);  // the damage did reach the reader
}

}  // namespace
}  // namespace tavrin
