// storeset_test.cpp - opening a store set, its reads, and the folders it is looked for in.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "Chapter.h"
#include "CodePage.h"
#include "StoreFixture.h"
#include "StoreSet.h"

namespace tavrin {
namespace {

using test::CStoreFixture;
using Names = std::vector<std::u16string>;

// Any store or the folder missing: the message once, the others open, nothing read.
TEST(StoreSetOpen, AnyMissingStoreReportsOnceAndReadsNothing) {
    for (const char* missing : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile, "none", ""}) {
        CStoreFixture fx;
        fx.AddSampleSet();
        fx.Omit(*missing ? missing : "none");
        fx.Build();
        CStoreSet stores;
        std::u16string messages;
        const bool all = std::string(missing) == "none";
        // The folder may come without its trailing '/'.
        const std::string folder = *missing ? fx.Folder().substr(0, fx.Folder().size() - 1) : "";
        EXPECT_EQ(stores.OpenStores(folder, [&](std::u16string_view m) { messages += m; }), all)
            << missing;
        EXPECT_EQ(messages,
                  all ? u"" : u"성경 데이타 파일이 존재하지 않거나 경로가 잘못 되었습니다.");
        const std::pair<const char*, void*> handles[] = {{kKeyOldFile, stores.m_hKeyOld},
                                                         {kKeyNewFile, stores.m_hKeyNew},
                                                         {kDatOldFile, stores.m_hDatOld},
                                                         {kDatNewFile, stores.m_hDatNew}};
        for (const auto& [file, handle] : handles)
            EXPECT_EQ(handle == nullptr, !*missing || file == std::string(missing)) << file;
        EXPECT_EQ(stores.ReadBookList(Testament::Old).empty(), !all);
        EXPECT_EQ(stores.ReadReferenceList(Testament::Old, u"창세기").empty(), !all);
        EXPECT_EQ(stores.ReadReferenceText(Testament::New, u"마1: 1").empty(), !all);
        EXPECT_EQ(stores.LoadChapter(Testament::Old, u"창1:1").empty(), !all);
    }
}

using Env = std::map<std::string, std::string>;
EnvLookup LookUpIn(const Env& env) {
    return [&env](const char* name) {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
}

TEST(XdgPaths, HomesAreAbsoluteVariablesElseUnderAnAbsoluteHome) {
    const struct {
        Env m_env;
        std::string m_strData, m_strCache;
    } cases[] = {
        {{{"HOME", "/h"}}, "/h/.local/share/", "/h/.cache/"},
        {{{"HOME", "/h//"}, {"XDG_DATA_HOME", "/d//"}, {"XDG_CACHE_HOME", "/c"}}, "/d/", "/c/"},
        {{{"HOME", "/h"}, {"XDG_DATA_HOME", "d"}, {"XDG_CACHE_HOME", "./c"}},
         "/h/.local/share/",
         "/h/.cache/"},
        {{{"HOME", "/h"}, {"XDG_DATA_HOME", ""}, {"XDG_CACHE_HOME", ""}},
         "/h/.local/share/",
         "/h/.cache/"},
        {{{"HOME", "h"}, {"XDG_CACHE_HOME", "/"}}, "", "/"},
        {{{"XDG_DATA_HOME", "/d"}}, "/d/", ""},
        {{{"HOME", "/"}}, "/.local/share/", "/.cache/"},
        {{}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.m_strData + " " + c.m_strCache);
        EXPECT_EQ(XdgDataHome(LookUpIn(c.m_env)), c.m_strData);
        EXPECT_EQ(XdgCacheHome(LookUpIn(c.m_env)), c.m_strCache);
    }
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
         {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/d/"}, {"XDG_DATA_DIRS", "/b/:rel::/a//:./x:/"}},
         "/d/tavrin/ /b/tavrin/ /a/tavrin/ /tavrin/"},
        {"", {{"HOME", "relative"}, {"XDG_DATA_DIRS", "/x"}}, "/x/tavrin/"},
        {"", {{"XDG_DATA_DIRS", "rel"}}, ""},
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
    const Names psalm = stores.LoadChapter(Testament::Old, u"시119:1");  // 99 verses of 120
    ASSERT_EQ(psalm.size(), 198u);
    EXPECT_EQ(psalm[196], u"시119:99");
    // No ':', or far past the key limit: nothing read, nothing overrun.
    EXPECT_EQ(stores.LoadChapter(Testament::Old, u"창12"), Names{});
    EXPECT_EQ(stores.LoadChapter(Testament::New, std::u16string(5000, u'가') + u"1:"), Names{});
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, std::u16string(5000, u'가')), u"");
}

// A stored length only shortens a text; texts, keys and chapters are cut at the limits.
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
    // Verses of 29,998 bytes without NUL, and one byte more, cutting a character.
    const std::u16string longVerse(14999, u'말');
    for (const char16_t* key : {u"긴1:1", u"긴1:2"})
        fx.PutRaw(kDatOldFile, EncodeAnsi(key), record(29999, EncodeAnsi(longVerse)));
    fx.PutRaw(kDatOldFile, EncodeAnsi(u"긴2:1"), record(30000, EncodeAnsi(longVerse) + "\xB8"));
    const std::u16string atLimit(kMaxKeyChars, u'가');
    fx.PutText(kDatNewFile, EncodeAnsi(atLimit), "limit");
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    const auto fetch = [](void* store, const std::string& key) {  // the text and whether found
        bool found = false;
        const std::string text = FetchRecordText(store, key, &found);
        return text + "|" + std::to_string(found);
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(fetch(stores.m_hDatNew, std::to_string(i)), cases[i].second + "|1");
    EXPECT_EQ(fetch(stores.m_hDatNew, "absent"), "|0");
    EXPECT_EQ(fetch(nullptr, "0"), "|0");

    EXPECT_EQ(stores.ReadReferenceText(Testament::Old, u"긴1:1"), longVerse);
    const Names verses = stores.LoadChapter(Testament::Old, u"긴1:1");
    EXPECT_EQ(verses, (Names{u"긴1:1", longVerse, u"긴1:2", longVerse}));
    EXPECT_EQ(BuildChapterText(verses).size(), kMaxChapterTextChars);
    EXPECT_EQ(FetchRecordText(stores.m_hDatOld, EncodeAnsi(u"긴2:1")).size(), kMaxRecordBytes);
    EXPECT_EQ(stores.ReadReferenceText(Testament::Old, u"긴2:1").substr(0, 14999), longVerse);
    // A key at the key limit is found; a longer one is cut to the limit.
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit), u"limit");
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit + u"나"), u"limit");
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, atLimit.substr(1)), u"");
}

}  // namespace
}  // namespace tavrin
