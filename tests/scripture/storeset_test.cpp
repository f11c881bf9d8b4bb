// storeset_test.cpp - opening a store set and the book, reference, text and chapter reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "CodePage.h"
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
        EXPECT_EQ((stores.m_hKeyOld != nullptr) + (stores.m_hKeyNew != nullptr) +
                      (stores.m_hDatOld != nullptr) + (stores.m_hDatNew != nullptr),
                  3);
        EXPECT_TRUE(stores.ReadBookList(Testament::Old).empty());
        EXPECT_TRUE(stores.ReadReferenceList(Testament::Old, u"창세기").empty());
        EXPECT_TRUE(stores.ReadReferenceText(Testament::New, u"마1: 1").empty());
        EXPECT_TRUE(stores.LoadChapter(Testament::Old, u"창1:1").empty());
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
    using Path = std::vector<std::string>;
    const Path defaults = {"/usr/local/share/tavrin/", "/usr/share/tavrin/"};
    auto with = [](Path head, const Path& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const struct {
        std::string program;
        Env env;
        Path path;
    } cases[] = {
        {"/opt/t/bin/", {}, with({"/opt/t/bin/", "/opt/t/share/tavrin/"}, defaults)},
        {"/bin/",
         {{"HOME", "/home/u"}},
         with({"/bin/", "/share/tavrin/", "/home/u/.local/share/tavrin/"}, defaults)},
        {"/",
         {{"HOME", "/home/u/"}, {"XDG_DATA_HOME", "rel"}, {"XDG_DATA_DIRS", ""}},
         with({"/", "/share/tavrin/", "/home/u/.local/share/tavrin/"}, defaults)},
        {"",
         {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/d/"}, {"XDG_DATA_DIRS", "/a:rel::/b/"}},
         {"/d/tavrin/", "/a/tavrin/", "/b/tavrin/"}},
        {"", {{"HOME", "relative"}, {"XDG_DATA_DIRS", "/x"}}, {"/x/tavrin/"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program + " " + testing::PrintToString(c.env));
        EXPECT_EQ(StoreFolderSearchPath(c.program, LookUpIn(c.env)), c.path);
    }
}

TEST(StoreFolderSearch, FirstFolderWithAllFourFilesWins) {
    namespace fs = std::filesystem;
    CStoreFixture fx;
    const std::string root = fx.Folder();
    const Env env = {{"XDG_DATA_HOME", root + "home"},
                     {"XDG_DATA_DIRS", root + "d1:" + root + "d2"}};
    const std::string folders[] = {root + "p/bin/", root + "p/share/tavrin/", root + "home/tavrin/",
                                   root + "d1/tavrin/", root + "d2/tavrin/"};
    const char* kFiles[] = {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile};
    // Which folders hold a set (3: all but inxdat_newB.dbe), and the winner.
    const struct {
        std::vector<int> files;
        int winner;  // -1: none, the program's folder is kept
    } cases[] = {
        {{4, 4, 4, 4, 4}, 0}, {{3, 4, 4, 4, 4}, 1}, {{0, 3, 4, 4, 4}, 2},
        {{0, 0, 3, 4, 4}, 3}, {{0, 0, 0, 0, 4}, 4}, {{3, 3, 3, 3, 3}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.files));
        for (size_t i = 0; i < std::size(folders); ++i) {
            fs::remove_all(folders[i]);
            fs::create_directories(folders[i]);
            for (int f = 0; f < c.files[i]; ++f) std::ofstream(folders[i] + kFiles[f]);
        }
        EXPECT_EQ(FindStoreFolder(folders[0], LookUpIn(env)), folders[c.winner < 0 ? 0 : c.winner]);
    }
    fs::remove_all(folders[4]);
    fs::create_directories(folders[4] + kKeyOldFile);  // a folder is no store file
    for (const char* f : {kKeyNewFile, kDatOldFile, kDatNewFile}) std::ofstream(folders[4] + f);
    EXPECT_EQ(FindStoreFolder(folders[0], LookUpIn(env)), folders[0]);
}

TEST(StoreSetDescription, ReadWholeUpTo255BytesNeverSplittingACharacter) {
    const std::string a253(253, 'a');
    const std::string ga = EncodeAnsi(u"가");
    const struct {
        std::string stored;
        std::u16string shown;
    } cases[] = {
        {a253 + "aa", AnsiToWide(a253 + "aa")},
        {a253 + "aaa", AnsiToWide(a253 + "aa")},
        {a253 + ga, AnsiToWide(a253 + ga)},
        {a253 + "a" + EncodeAnsi(u"갂"), AnsiToWide(a253 + "a")},
        {EncodeAnsi(u"성경 · 공회"), u"성경 · 공회"},
    };
    for (const auto& c : cases) {
        CStoreFixture fx;
        fx.AddSampleSet();
        fx.PutText(kKeyOldFile, std::string(kDescriptionKey), c.stored);
        fx.Build();
        CStoreSet stores;
        ASSERT_TRUE(stores.OpenStores(fx.Folder()));
        EXPECT_EQ(stores.ReadDescription(), c.shown) << c.stored.size();
        // Only the Old Testament index store holds it; no list shows it.
        EXPECT_EQ(stores.ReadBookList(Testament::Old), (Names{u"창세기", u"출애굽기"}));
    }
    CStoreFixture fx;
    fx.AddSampleSet();
    fx.PutText(kKeyNewFile, std::string(kDescriptionKey), "new");
    fx.Build();
    CStoreSet stores;
    EXPECT_EQ(stores.ReadDescription(), u"");  // not open
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    EXPECT_EQ(stores.ReadDescription(), u"");
}

TEST(StoreSetReads, CascadeBookReferencesTextInRecordOrderInBothTestaments) {
    CStoreFixture fx;
    fx.AddSampleSet();
    // Extension syllables: 똠 is 8C 63, its second byte an ASCII letter.
    for (const char16_t* book : {u"햏서", u"똠서", u"뷁서", u"Alpha"})
        fx.AddBook(Testament::Old, book, {{std::u16string(book) + u"1:1", book}});
    fx.Build();
    CStoreSet stores, second;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    EXPECT_TRUE(second.OpenStores(fx.Folder()));  // readers share the files

    const Names books = stores.ReadBookList(Testament::Old);
    EXPECT_EQ(books, (Names{u"창세기", u"출애굽기", u"햏서", u"똠서", u"뷁서", u"Alpha"}));
    EXPECT_EQ(stores.ReadBookList(Testament::New), (Names{u"마태복음", u"요한계시록"}));
    EXPECT_EQ(stores.ReadReferenceList(Testament::Old, u"창세기"),
              (Names{u"창1:1", u"창1:2", u"창1:3", u"창2:1", u"창2:2"}));
    EXPECT_EQ(stores.ReadReferenceList(Testament::New, u"요한계시록"), (Names{u"계1: 1"}));
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, u"마2: 1"), u"마2: 1 말씀");
    // Decoded names find their keys.
    for (size_t i = 2; i < books.size(); ++i) {
        const Names refs = stores.ReadReferenceList(Testament::Old, books[i]);
        ASSERT_EQ(refs, Names{books[i] + u"1:1"});
        EXPECT_EQ(stores.ReadReferenceText(Testament::Old, refs[0]), books[i]);
    }
    // The testament picks the store.
    EXPECT_TRUE(stores.ReadReferenceList(Testament::New, u"창세기").empty());
    EXPECT_TRUE(stores.ReadReferenceText(Testament::New, u"창1:1").empty());
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

TEST(FetchRecordText, StoredLengthOnlyEverShortensTheText) {
    auto record = [](unsigned nLen, std::string_view text) {
        std::string bytes{char(nLen), char(nLen >> 8), char(nLen >> 16), char(nLen >> 24)};
        return bytes.append(text) + '\0';
    };
    const std::pair<std::string, std::string> cases[] = {
        {record(6, "hello"), "hello"},     {record(3, "hello"), "hel"},
        {record(0, "hello"), ""},          {record(-5, "hello"), "hello"},
        {record(31000, "hello"), "hello"}, {record(0x7FFFFFFF, "hello"), "hello"},
        {std::string("\x01\x00", 2), ""},  {std::string("\x06\0\0\0abc", 7), "abc"},
    };
    CStoreFixture fx;
    for (size_t i = 0; i < std::size(cases); ++i) {
        fx.PutRaw(kDatNewFile, std::to_string(i), cases[i].first);
    }
    fx.PutText(kDatNewFile, "long", std::string(29999, 'x'));
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    for (size_t i = 0; i < std::size(cases); ++i) {
        bool found = false;
        EXPECT_EQ(FetchRecordText(stores.m_hDatNew, std::to_string(i), &found), cases[i].second);
        EXPECT_TRUE(found) << i;
    }
    EXPECT_EQ(FetchRecordText(stores.m_hDatNew, "long").size(), kMaxRecordBytes);
    bool found = true;
    EXPECT_EQ(FetchRecordText(stores.m_hDatNew, "absent", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(FetchRecordText(nullptr, "0", &found), "");
}

}  // namespace
}  // namespace tavrin
