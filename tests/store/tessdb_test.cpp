// tessdb_test.cpp - Tessdb's wire format, open modes, sharing and failures.
#include <gdbm.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "tessdb.h"

namespace fs = std::filesystem;

namespace {

using Handle = std::unique_ptr<void, decltype(&DestroyTESS)>;

Handle Open(std::u16string path, FLOPEN mode) {
    return Handle(CreateTESS(reinterpret_cast<unsigned short*>(path.data()), mode), DestroyTESS);
}
Handle Open(const std::string& path, FLOPEN mode) {  // ASCII paths
    return Open(std::u16string(path.begin(), path.end()), mode);
}
int Put(const Handle& db, std::string key, std::string text, int mode = 0) {
    return InsertQdata(db.get(), key.data(), text.data(), mode);
}
int Delete(const Handle& db, std::string key) {
    return DeleteQdata(db.get(), key.data());
}
int Has(const Handle& db, std::string key) {
    return IsKeyid(db.get(), key.data());
}
// The record under key, or null when GetQdata finds none.
std::unique_ptr<_TESS_MAXDATA_> Get(const Handle& db, std::string key) {
    auto out = std::make_unique<_TESS_MAXDATA_>();
    return GetQdata(db.get(), *out, key.data()) == 1 ? std::move(out) : nullptr;
}
std::string Text(const Handle& db, const std::string& key) {
    const auto out = Get(db, key);
    return out ? out->szData : "(absent)";
}

class TessdbTest : public ::testing::Test {
protected:
    ~TessdbTest() override { fs::remove_all(dir_); }
    std::string File(const std::string& name = "s.dbe") const { return dir_ + name; }

    std::string dir_ = [] {
        std::string pattern = fs::temp_directory_path() / "tessdb_test_XXXXXX";
        return std::string(mkdtemp(pattern.data())) + "/";
    }();
};

TEST_F(TessdbTest, InsertReplaceDeleteKeysTheTextLimitAndNullArguments) {
    Handle db = Open(File(), FL_NEWDB);
    // Only mode 1 replaces; a key's prefix and the empty key are keys of their own.
    EXPECT_EQ((std::vector{Put(db, "ab", "one"), Put(db, "ab", "two", 0), Put(db, "ab", "x", 7)}),
              (std::vector{1, 0, 0}));
    EXPECT_EQ(Text(db, "ab"), "one");
    EXPECT_EQ((std::vector{Put(db, "ab", "two", 1), Put(db, "fresh", "new", 1),
                           Put(db, "abc", "other"), Put(db, "", "empty key")}),
              (std::vector{1, 1, 1, 1}));
    for (const auto& [key, text] : {std::pair{"ab", "two"}, {"abc", "other"}, {"", "empty key"}})
        EXPECT_EQ(Text(db, key), text) << key;
    // The longest text fits; one byte more is refused and the old record kept.
    const std::string longest(29999, 'x');
    ASSERT_EQ(Put(db, "long", longest), 1);
    EXPECT_EQ(Get(db, "long")->nLen, 30000);
    EXPECT_EQ(Put(db, "long", std::string(30000, 'y'), 1), 0);
    EXPECT_EQ(Put(db, "new", std::string(30000, 'y'), 1), 0);
    EXPECT_EQ(Text(db, "long"), longest);
    EXPECT_EQ(Has(db, "new"), 0);

    EXPECT_EQ(Delete(db, "ab"), 1);
    EXPECT_EQ(Delete(db, "ab"), 0);
    EXPECT_EQ(Has(db, "ab"), 0);
    EXPECT_EQ(Has(db, "abc"), 1);
    // An absent key leaves the output untouched.
    auto out = std::make_unique<_TESS_MAXDATA_>();
    std::memset(out.get(), 0x5A, sizeof(*out));
    const auto before = std::make_unique<_TESS_MAXDATA_>(*out);
    EXPECT_EQ(GetQdata(db.get(), *out, const_cast<char*>("ab")), 0);
    EXPECT_EQ(std::memcmp(out.get(), before.get(), sizeof(*out)), 0);

    char key[] = "k";
    EXPECT_EQ(CreateTESS(nullptr, FL_READER), nullptr);
    const int nulls[] = {InsertQdata(nullptr, key, key, 0),
                         DeleteQdata(nullptr, key),
                         IsKeyid(nullptr, key),
                         GetQdata(nullptr, *out, key),
                         InsertQdata(db.get(), nullptr, key, 0),
                         InsertQdata(db.get(), key, nullptr, 0),
                         GetQdata(db.get(), *out, nullptr)};
    for (size_t i = 0; i < std::size(nulls); ++i) EXPECT_EQ(nulls[i], 0) << i;
    DestroyTESS(nullptr);
}

TEST_F(TessdbTest, OpenModesPathsAndFilesThatAreNotStores) {
    // Only the creating modes create.
    for (FLOPEN mode : {FL_READER, FL_WRITER}) EXPECT_EQ(Open(File("missing.dbe"), mode), nullptr);
    EXPECT_FALSE(fs::exists(File("missing.dbe")));
    const mode_t old = umask(002);
    ASSERT_EQ(Put(Open(File(), FL_WRCREAT), "k", "v"), 1);
    umask(old);
    EXPECT_EQ(fs::status(File()).permissions() & fs::perms::all, static_cast<fs::perms>(0664));
    EXPECT_EQ(Text(Open(File(), FL_WRCREAT), "k"), "v");
    {
        Handle db = Open(File(), FL_READER);
        EXPECT_EQ(Text(db, "k"), "v");
        EXPECT_EQ(Put(db, "k2", "v"), 0);
        EXPECT_EQ(Delete(db, "k"), 0);
    }
    EXPECT_EQ(Get(Open(File(), FL_NEWDB), "k"), nullptr);
    for (int mode : {-1, 4}) EXPECT_EQ(Open(File(), static_cast<FLOPEN>(mode)), nullptr) << mode;

    std::ofstream(File("empty.dbe")).close();
    std::ofstream(File("short.dbe")) << "GDBM";
    std::ofstream(File("text.dbe")) << std::string(8192, 'z');
    fs::create_directory(File("dir.dbe"));
    // A FIFO would block the open until a writer came: refused at once.
    ASSERT_EQ(mkfifo(File("fifo.dbe").c_str(), 0664), 0);
    for (const char* name : {"empty.dbe", "short.dbe", "text.dbe", "dir.dbe", "fifo.dbe"})
        EXPECT_EQ(Open(File(name), FL_READER), nullptr) << name;
    for (FLOPEN mode : {FL_WRITER, FL_WRCREAT, FL_NEWDB})
        EXPECT_EQ(Open(File("fifo.dbe"), mode), nullptr) << mode;
    EXPECT_EQ(Open(File("text.dbe"), FL_WRITER), nullptr);
    EXPECT_EQ(fs::file_size(File("text.dbe")), 8192u);
    // A writer makes an existing empty file a store.
    EXPECT_EQ(Put(Open(File("empty.dbe"), FL_WRITER), "k", "v"), 1);
    const std::u16string wide(dir_.begin(), dir_.end());
    EXPECT_NE(Open(wide + u"성경_\U0001F4D6.dbe", FL_NEWDB), nullptr);
    EXPECT_TRUE(fs::exists(dir_ + "성경_📖.dbe"));
    // U+DC80..U+DCFF stand for the path bytes 0x80..0xFF; other lone surrogates are refused.
    for (const char16_t* lone : {u"\xDC80", u"\xDCE9", u"\xDCFF"}) {
        EXPECT_NE(Open(wide + lone + u".dbe", FL_NEWDB), nullptr) << int(lone[0]);
        EXPECT_TRUE(fs::exists(dir_ + char(lone[0] - 0xDC00) + ".dbe")) << int(lone[0]);
    }
    for (const char16_t* refused : {u"\xD800x", u"\xDC7F", u"\xDD00", u"\xDBFF"})
        EXPECT_EQ(Open(wide + refused + u".dbe", FL_NEWDB), nullptr) << int(refused[0]);
}

TEST_F(TessdbTest, ReadersShareAFileAndEveryOtherModeIsExclusive) {
    for (FLOPEN held : {FL_NEWDB, FL_READER}) {
        Handle first = Open(File(), held), second = Open(File(), FL_READER);
        EXPECT_EQ(second != nullptr, held == FL_READER) << held;
        for (FLOPEN mode : {FL_WRITER, FL_WRCREAT, FL_NEWDB})
            EXPECT_EQ(Open(File(), mode), nullptr) << held << mode;
        Put(first, "k", "kept");
    }
    EXPECT_EQ(Text(Open(File(), FL_WRITER), "k"), "kept");  // a refused NEWDB emptied nothing
}

// The documented framing (keys with their NUL); other framings read within bounds.
TEST_F(TessdbTest, WireFormatBothWays) {
    {
        Handle db = Open(File(), FL_NEWDB);
        ASSERT_EQ(Put(db, "창1:1", "태초에") + Put(db, "e", ""), 2);
    }
    const std::string huge(40000, 'h');
    // Key, record, then the length and the text read.
    const std::tuple<const char*, std::string, int, std::string> cases[] = {
        {"framed", std::string("\x04\0\0\0abc\0", 8), 4, "abc"},
        {"empty", "", 0, ""},
        {"three bytes", "ab\0", 0, ""},
        {"length only", std::string("\x09\0\0\0", 4), 9, ""},
        {"no NUL", std::string("\x63\0\0\0abc", 7), 99, "abc"},
        {"negative length", std::string("\xff\xff\xff\xff", 4) + "t", -1, "t"},
        {"early NUL", std::string("\x05\0\0\0a\0bc\0", 9), 5, "a"},
        {"longer than szData", std::string("\x40\x9c\0\0", 4) + huge, 40000, huge.substr(0, 29999)},
    };
    GDBM_FILE raw = gdbm_open(File().c_str(), 2048, GDBM_WRITER, 0664, nullptr);
    const auto fetch = [raw](const char* key, int size) {
        datum got = gdbm_fetch(raw, datum{const_cast<char*>(key), size});
        const std::string bytes = got.dptr ? std::string(got.dptr, got.dsize) : "(absent)";
        free(got.dptr);
        return bytes;
    };
    EXPECT_EQ(fetch("창1:1", sizeof("창1:1")), std::string("\x0A\0\0\0태초에\0", 14));
    EXPECT_EQ(fetch("e", 2), std::string("\x01\0\0\0\0", 5));
    EXPECT_EQ(fetch("e", 1), "(absent)");
    for (const auto& [name, content, nLen, text] : cases) {
        datum k{const_cast<char*>(name), static_cast<int>(strlen(name) + 1)};
        datum v{const_cast<char*>(content.data()), static_cast<int>(content.size())};
        ASSERT_EQ(gdbm_store(raw, k, v, GDBM_REPLACE), 0);
    }
    gdbm_close(raw);
    Handle db = Open(File(), FL_READER);
    auto out = std::make_unique<_TESS_MAXDATA_>();
    for (const auto& [name, content, nLen, text] : cases) {
        std::memset(out.get(), 0x7F, sizeof(*out));
        ASSERT_EQ(GetQdata(db.get(), *out, const_cast<char*>(name)), 1);
        // The text, then zeros to the end of the area.
        EXPECT_EQ(std::pair(out->nLen, std::string(out->szData, sizeof(out->szData))),
                  std::pair(nLen, text + std::string(sizeof(out->szData) - text.size(), '\0')))
            << name;
    }
}

using TessdbDeathTest = TessdbTest;

TEST_F(TessdbDeathTest, AnEngineFailureMidReadEndsTheProcessSilently) {
    {
        Handle db = Open(File(), FL_NEWDB);
        for (int i = 0; i < 2000; ++i) Put(db, "key" + std::to_string(i), std::string(100, 'v'));
    }
    const auto size = fs::file_size(File());
    EXPECT_EXIT(
        {
            Handle r = Open(File(), FL_READER);
            if (r == nullptr)
                _exit(3);
            // The buckets vanish under the open handle: the next read fails.
            fs::resize_file(File(), size / 4);
            for (int i = 0; i < 2000; ++i) Get(r, "key" + std::to_string(i));
            _exit(4);
        },
        ::testing::ExitedWithCode(255), "^$");
}

}  // namespace
