// storeset_test.cpp - opening a store set and the book, reference, text and chapter reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodePage.h"
#include "StoreFixture.h"
#include "StoreSet.h"

namespace tavrin {
namespace {

using test::CStoreFixture;
using Names = std::vector<std::u16string>;

TEST(StoreSetOpen, AllFourOpenWithoutMessage) {
    CStoreFixture fx;
    fx.AddSampleSet();
    fx.Build();
    CStoreSet stores;
    int messages = 0;
    EXPECT_TRUE(stores.OpenStores(fx.Folder(), [&](std::u16string_view) { ++messages; }));
    EXPECT_EQ(messages, 0);
    // The folder may come without its trailing '/'.
    std::string bare = fx.Folder();
    bare.pop_back();
    EXPECT_TRUE(stores.OpenStores(bare));
    EXPECT_FALSE(stores.ReadBookList(Testament::Old).empty());
}

TEST(StoreSetOpen, AnyMissingStoreReportsOnceAndReadsNothing) {
    for (const char* missing : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile}) {
        SCOPED_TRACE(missing);
        CStoreFixture fx;
        fx.AddSampleSet();
        fx.Omit(missing);
        fx.Build();
        CStoreSet stores;
        std::vector<std::u16string> messages;
        EXPECT_FALSE(stores.OpenStores(fx.Folder(),
                                       [&](std::u16string_view m) { messages.emplace_back(m); }));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], u"성경 데이타 파일이 존재하지 않거나 경로가 잘못 되었습니다.");
        EXPECT_FALSE(stores.AreStoresOpen());
        // The other three stay open; nothing is read through them.
        const int open = (stores.m_hKeyOld != nullptr) + (stores.m_hKeyNew != nullptr) +
                         (stores.m_hDatOld != nullptr) + (stores.m_hDatNew != nullptr);
        EXPECT_EQ(open, 3);
        EXPECT_TRUE(stores.ReadBookList(Testament::Old).empty());
        EXPECT_TRUE(stores.ReadReferenceList(Testament::Old, u"창세기").empty());
        EXPECT_TRUE(stores.ReadReferenceText(Testament::New, u"마1: 1").empty());
        EXPECT_TRUE(stores.LoadChapter(Testament::Old, u"창1:1").empty());
    }
}

TEST(StoreSetOpen, EmptyOrMissingFolderAndReopen) {
    CStoreSet stores;
    int messages = 0;
    EXPECT_FALSE(stores.OpenStores("", [&](std::u16string_view) { ++messages; }));
    EXPECT_FALSE(
        stores.OpenStores("/nonexistent/tavrin", [&](std::u16string_view) { ++messages; }));
    EXPECT_EQ(messages, 2);

    CStoreFixture fx;
    fx.AddSampleSet();
    fx.Build();
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    stores.CloseStores();
    EXPECT_EQ(stores.m_hKeyOld, nullptr);
    EXPECT_EQ(stores.m_hDatNew, nullptr);
    stores.CloseStores();
    // Read-only handles share the files: two sets open at once.
    CStoreSet other;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    EXPECT_TRUE(other.OpenStores(fx.Folder()));
}

TEST(StoreSetReads, CascadeBookReferencesTextInBothTestaments) {
    CStoreFixture fx;
    fx.AddSampleSet();
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));

    EXPECT_EQ(stores.ReadBookList(Testament::Old), (Names{u"창세기", u"출애굽기"}));
    EXPECT_EQ(stores.ReadBookList(Testament::New), (Names{u"마태복음", u"요한계시록"}));
    EXPECT_EQ(stores.ReadReferenceList(Testament::Old, u"창세기"),
              (Names{u"창1:1", u"창1:2", u"창1:3", u"창2:1", u"창2:2"}));
    EXPECT_EQ(stores.ReadReferenceList(Testament::New, u"요한계시록"), (Names{u"계1: 1"}));
    EXPECT_EQ(stores.ReadReferenceText(Testament::Old, u"창2:1"), u"창2:1 말씀");
    EXPECT_EQ(stores.ReadReferenceText(Testament::New, u"마2: 1"), u"마2: 1 말씀");

    // The testament picks the store: an Old Testament book is not in the New index.
    EXPECT_TRUE(stores.ReadReferenceList(Testament::New, u"창세기").empty());
    EXPECT_TRUE(stores.ReadReferenceText(Testament::New, u"창1:1").empty());
    EXPECT_TRUE(stores.ReadReferenceText(Testament::Old, u"없는 구절").empty());
}

TEST(StoreSetReads, ListsKeepRecordOrderAndExtensionSyllablesFindTheirKeys) {
    CStoreFixture fx;
    // 똠 (8C 63) and 뷁 (94 EE) have second bytes that are ASCII or high;
    // names decoded from the list must find their records again.
    fx.AddBook(Testament::Old, u"햏서", {{u"햏1:1", u"햏"}});
    fx.AddBook(Testament::Old, u"똠서", {{u"똠1:1", u"똠"}});
    fx.AddBook(Testament::Old, u"뷁서", {{u"뷁1:1", u"뷁"}});
    fx.AddBook(Testament::Old, u"Zeta", {{u"Z1:1", u"z"}});
    fx.AddBook(Testament::Old, u"Alpha", {{u"A1:1", u"a"}});
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    const Names books = stores.ReadBookList(Testament::Old);
    ASSERT_EQ(books, (Names{u"햏서", u"똠서", u"뷁서", u"Zeta", u"Alpha"}));
    for (const auto& book : books) {
        const Names refs = stores.ReadReferenceList(Testament::Old, book);
        ASSERT_EQ(refs.size(), 1u) << Utf16ToUtf8(book);
        EXPECT_FALSE(stores.ReadReferenceText(Testament::Old, refs[0]).empty());
    }
}

TEST(StoreSetChapter, VerseKeysPerTestamentGapsAndLimit) {
    CStoreFixture fx;
    fx.AddVerses(Testament::Old, u"창12:", 1, 3, u"구");
    fx.AddVerse(Testament::Old, u"창12:5", u"five");  // after the gap: never read
    fx.AddVerses(Testament::New, u"마12:", 1, 2, u"신");
    fx.AddVerse(Testament::New, u"마12:3", u"wrong key form");  // no blank: not a New verse key
    fx.AddVerses(Testament::Old, u"시119:", 1, 120, u"v");
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));

    EXPECT_EQ(stores.LoadChapter(Testament::Old, u"창12:7"),
              (Names{u"창12:1", u"구 1", u"창12:2", u"구 2", u"창12:3", u"구 3"}));
    EXPECT_EQ(stores.LoadChapter(Testament::New, u"마12:1"),
              (Names{u"마12: 1", u"신 1", u"마12: 2", u"신 2"}));
    // A reference without ':' is the chapter reference as a whole.
    EXPECT_EQ(stores.LoadChapter(Testament::Old, u"창12").size(), 0u);
    EXPECT_EQ(stores.LoadChapter(Testament::Old, u"창13:1").size(), 0u);

    const Names psalm = stores.LoadChapter(Testament::Old, u"시119:1");
    ASSERT_EQ(psalm.size(), 198u);
    EXPECT_EQ(psalm[196], u"시119:99");
    EXPECT_EQ(psalm[197], u"v 99");
}

TEST(StoreSetChapter, OverlongChapterReferenceIsCutNotOverrun) {
    CStoreFixture fx;
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    // A reference far past the key limit reads nothing and does not fail.
    EXPECT_TRUE(stores.LoadChapter(Testament::New, std::u16string(5000, u'가') + u"1:").empty());
    EXPECT_TRUE(stores.ReadReferenceText(Testament::New, std::u16string(5000, u'가')).empty());
}

TEST(FetchRecordText, StoredLengthOnlyEverShortensTheText) {
    auto record = [](int nLen, std::string_view text) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((static_cast<unsigned>(nLen) >> (8 * i)) & 0xFF);
        bytes.append(text);
        bytes += '\0';
        return bytes;
    };
    struct SCase {
        const char* m_szKey;
        std::string m_strRecord;
        std::string m_strExpected;
    };
    const SCase cases[] = {
        {"normal", record(6, "hello"), "hello"},
        {"short", record(3, "hello"), "hel"},
        {"zero", record(0, "hello"), ""},
        {"negative", record(-5, "hello"), "hello"},
        {"huge", record(0x7FFFFFFF, "hello"), "hello"},
        {"past", record(31000, "hello"), "hello"},
        {"tiny", std::string("\x01\x00", 2), ""},
        {"unterminated",
         std::string("\x06\x00\x00\x00"
                     "abc",
                     7),
         "abc"},
    };
    CStoreFixture fx;
    for (const auto& c : cases) fx.PutRaw(kDatNewFile, c.m_szKey, c.m_strRecord);
    fx.PutText(kDatNewFile, "long", std::string(29999, 'x'));
    fx.Build();
    CStoreSet stores;
    ASSERT_TRUE(stores.OpenStores(fx.Folder()));
    for (const auto& c : cases) {
        bool found = false;
        EXPECT_EQ(FetchRecordText(stores.m_hDatNew, c.m_szKey, &found), c.m_strExpected)
            << c.m_szKey;
        EXPECT_TRUE(found) << c.m_szKey;
    }
    // The longest text the reader takes.
    EXPECT_EQ(FetchRecordText(stores.m_hDatNew, "long").size(), kMaxRecordBytes);
    bool found = true;
    EXPECT_EQ(FetchRecordText(stores.m_hDatNew, "absent", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(FetchRecordText(nullptr, "normal", &found), "");
    EXPECT_FALSE(found);
}

}  // namespace
}  // namespace tavrin
