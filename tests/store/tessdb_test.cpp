// tessdb_test.cpp - Tessdb's wire format, open modes, sharing and failures.
#include <gdbm.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tessdb.h"

namespace fs = std::filesystem;

namespace {

std::u16string Wide(const std::string& path) {
    std::u16string out;
    // Paths in these tests are ASCII except where a test builds its own.
    for (unsigned char c : path) out += static_cast<char16_t>(c);
    return out;
}

void* Open(const std::string& path, FLOPEN mode) {
    std::u16string w = Wide(path);
    return CreateTESS(reinterpret_cast<unsigned short*>(w.data()), mode);
}

struct Fetched {
    int ok;
    std::unique_ptr<_TESS_MAXDATA_> out;
};

Fetched Get(void* db, std::string key) {
    Fetched f{0, std::make_unique<_TESS_MAXDATA_>()};
    f.ok = GetQdata(db, *f.out, key.data());
    return f;
}

int Put(void* db, std::string key, std::string text, int mode = 0) {
    return InsertQdata(db, key.data(), text.data(), mode);
}

class TessdbTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessdb_test_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string File(const std::string& name = "s.dbe") const { return (dir_ / name).string(); }

    // Writes one raw record with gdbm, bypassing Tessdb's framing.
    void RawStore(const std::string& path, const std::string& key, const std::string& content) {
        GDBM_FILE db = gdbm_open(path.c_str(), 2048, GDBM_WRCREAT, 0664, nullptr);
        ASSERT_NE(db, nullptr);
        datum k{const_cast<char*>(key.c_str()), static_cast<int>(key.size() + 1)};
        datum v{const_cast<char*>(content.data()), static_cast<int>(content.size())};
        ASSERT_EQ(gdbm_store(db, k, v, GDBM_REPLACE), 0);
        gdbm_close(db);
    }

    fs::path dir_;
};

TEST_F(TessdbTest, RecordsReachTheFileInTheDocumentedFraming) {
    void* db = Open(File(), FL_NEWDB);
    ASSERT_NE(db, nullptr);
    ASSERT_EQ(Put(db, "창1:1", "태초에"), 1);
    ASSERT_EQ(Put(db, "e", ""), 1);
    DestroyTESS(db);

    GDBM_FILE raw = gdbm_open(File().c_str(), 0, GDBM_READER, 0, nullptr);
    ASSERT_NE(raw, nullptr);
    const std::string key = "창1:1";
    datum got =
        gdbm_fetch(raw, datum{const_cast<char*>(key.c_str()), static_cast<int>(key.size() + 1)});
    ASSERT_NE(got.dptr, nullptr);
    const std::string text = "태초에";
    std::string expected("\0\0\0\0", 4);
    expected[0] = static_cast<char>(text.size() + 1);
    expected += text;
    expected += '\0';
    EXPECT_EQ(std::string(got.dptr, got.dsize), expected);
    free(got.dptr);

    // A key without its NUL is a different key.
    datum bare = gdbm_fetch(raw, datum{const_cast<char*>("e"), 1});
    EXPECT_EQ(bare.dptr, nullptr);
    datum empty = gdbm_fetch(raw, datum{const_cast<char*>("e"), 2});
    ASSERT_NE(empty.dptr, nullptr);
    EXPECT_EQ(std::string(empty.dptr, empty.dsize), std::string("\x01\0\0\0\0", 5));
    free(empty.dptr);
    gdbm_close(raw);

    struct stat st {};
    ASSERT_EQ(stat(File().c_str(), &st), 0);
    EXPECT_EQ(st.st_blksize > 0, true);
}

TEST_F(TessdbTest, RecordsWrittenByRawGdbmReadBack) {
    RawStore(File(), "k", std::string("\x04\0\0\0abc\0", 8));
    void* db = Open(File(), FL_READER);
    ASSERT_NE(db, nullptr);
    Fetched f = Get(db, "k");
    EXPECT_EQ(f.ok, 1);
    EXPECT_EQ(f.out->nLen, 4);
    EXPECT_STREQ(f.out->szData, "abc");
    DestroyTESS(db);
}

TEST_F(TessdbTest, TextsAtTheLimitsOfTheWorkArea) {
    void* db = Open(File(), FL_NEWDB);
    ASSERT_NE(db, nullptr);

    ASSERT_EQ(Put(db, "empty", ""), 1);
    Fetched e = Get(db, "empty");
    EXPECT_EQ(e.ok, 1);
    EXPECT_EQ(e.out->nLen, 1);
    EXPECT_EQ(e.out->szData[0], '\0');

    const std::string longest(29999, 'x');
    ASSERT_EQ(Put(db, "long", longest), 1);
    Fetched l = Get(db, "long");
    EXPECT_EQ(l.out->nLen, 30000);
    EXPECT_EQ(std::string(l.out->szData), longest);

    // One byte more does not fit: refused, and the store keeps the old record.
    EXPECT_EQ(Put(db, "long", std::string(30000, 'y'), 1), 0);
    EXPECT_EQ(Put(db, "new", std::string(30000, 'y'), 1), 0);
    EXPECT_EQ(std::string(Get(db, "long").out->szData), longest);
    EXPECT_EQ(IsKeyid(db, const_cast<char*>("new")), 0);
    DestroyTESS(db);
}

TEST_F(TessdbTest, FetchZeroFillsPastTheTextAndLeavesOutAloneWhenAbsent) {
    void* db = Open(File(), FL_NEWDB);
    ASSERT_EQ(Put(db, "k", "short"), 1);
    auto out = std::make_unique<_TESS_MAXDATA_>();
    std::memset(out.get(), 0x5A, sizeof(*out));
    ASSERT_EQ(GetQdata(db, *out, const_cast<char*>("k")), 1);
    EXPECT_STREQ(out->szData, "short");
    for (size_t i = 5; i < sizeof(out->szData); ++i) ASSERT_EQ(out->szData[i], 0) << i;

    std::memset(out.get(), 0x5A, sizeof(*out));
    const auto before = std::make_unique<_TESS_MAXDATA_>(*out);
    EXPECT_EQ(GetQdata(db, *out, const_cast<char*>("absent")), 0);
    EXPECT_EQ(std::memcmp(out.get(), before.get(), sizeof(*out)), 0);
    DestroyTESS(db);
}

TEST_F(TessdbTest, InsertReplaceDeleteAndKeyIdentity) {
    void* db = Open(File(), FL_NEWDB);
    EXPECT_EQ(Put(db, "ab", "one"), 1);
    EXPECT_EQ(Put(db, "ab", "two", 0), 0);
    EXPECT_STREQ(Get(db, "ab").out->szData, "one");
    EXPECT_EQ(Put(db, "ab", "three", 7), 0);
    EXPECT_EQ(Put(db, "ab", "two", 1), 1);
    EXPECT_STREQ(Get(db, "ab").out->szData, "two");
    EXPECT_EQ(Put(db, "fresh", "new", 1), 1);

    EXPECT_EQ(Put(db, "abc", "other"), 1);
    EXPECT_EQ(Put(db, "", "empty key"), 1);
    EXPECT_STREQ(Get(db, "ab").out->szData, "two");
    EXPECT_STREQ(Get(db, "abc").out->szData, "other");
    EXPECT_STREQ(Get(db, "").out->szData, "empty key");

    EXPECT_EQ(DeleteQdata(db, const_cast<char*>("ab")), 1);
    EXPECT_EQ(DeleteQdata(db, const_cast<char*>("ab")), 0);
    EXPECT_EQ(IsKeyid(db, const_cast<char*>("ab")), 0);
    EXPECT_EQ(Get(db, "ab").ok, 0);
    EXPECT_EQ(IsKeyid(db, const_cast<char*>("abc")), 1);
    DestroyTESS(db);
}

TEST_F(TessdbTest, OpenModes) {
    // A reader never creates.
    EXPECT_EQ(Open(File("missing.dbe"), FL_READER), nullptr);
    EXPECT_EQ(Open(File("missing.dbe"), FL_WRITER), nullptr);
    EXPECT_FALSE(fs::exists(File("missing.dbe")));

    const mode_t old = umask(002);
    void* db = Open(File(), FL_WRCREAT);
    umask(old);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(fs::status(File()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::group_write | fs::perms::others_read);
    Put(db, "k", "v");
    DestroyTESS(db);

    db = Open(File(), FL_WRCREAT);
    EXPECT_EQ(Get(db, "k").ok, 1);
    DestroyTESS(db);
    db = Open(File(), FL_READER);
    EXPECT_EQ(Get(db, "k").ok, 1);
    EXPECT_EQ(Put(db, "k2", "v"), 0);
    EXPECT_EQ(DeleteQdata(db, const_cast<char*>("k")), 0);
    DestroyTESS(db);

    db = Open(File(), FL_NEWDB);
    EXPECT_EQ(Get(db, "k").ok, 0);
    DestroyTESS(db);

    EXPECT_EQ(Open(File(), static_cast<FLOPEN>(4)), nullptr);
    EXPECT_EQ(Open(File(), static_cast<FLOPEN>(-1)), nullptr);
}

TEST_F(TessdbTest, FilesThatAreNotStoresAreRefused) {
    std::ofstream(File("empty.dbe")).close();
    EXPECT_EQ(Open(File("empty.dbe"), FL_READER), nullptr);
    std::ofstream(File("short.dbe")) << "GDBM";
    EXPECT_EQ(Open(File("short.dbe"), FL_READER), nullptr);
    std::ofstream(File("text.dbe")) << std::string(8192, 'z');
    EXPECT_EQ(Open(File("text.dbe"), FL_READER), nullptr);
    EXPECT_EQ(Open(File("text.dbe"), FL_WRITER), nullptr);
    EXPECT_EQ(fs::file_size(File("text.dbe")), 8192u);
    fs::create_directory(File("dir.dbe"));
    EXPECT_EQ(Open(File("dir.dbe"), FL_READER), nullptr);
    // A FIFO would block the open until a writer came: refused at once.
    ASSERT_EQ(mkfifo(File("fifo.dbe").c_str(), 0664), 0);
    for (FLOPEN mode : {FL_READER, FL_WRITER, FL_WRCREAT, FL_NEWDB}) {
        EXPECT_EQ(Open(File("fifo.dbe"), mode), nullptr) << mode;
    }

    // A writer makes an existing empty file a store.
    void* db = Open(File("empty.dbe"), FL_WRITER);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(Put(db, "k", "v"), 1);
    DestroyTESS(db);
}

TEST_F(TessdbTest, UnicodePathsAreOpened) {
    const std::u16string name = u"성경_";
    std::u16string path = Wide(dir_.string() + "/") + name + u"\U0001F4D6.dbe";
    void* db = CreateTESS(reinterpret_cast<unsigned short*>(path.data()), FL_NEWDB);
    ASSERT_NE(db, nullptr);
    DestroyTESS(db);
    EXPECT_TRUE(fs::exists(dir_ / fs::u8path("성경_\xF0\x9F\x93\x96.dbe")));

    std::u16string lone = Wide(dir_.string() + "/") + u"\xD800x.dbe";
    EXPECT_EQ(CreateTESS(reinterpret_cast<unsigned short*>(lone.data()), FL_NEWDB), nullptr);
}

TEST_F(TessdbTest, ReadersShareAFileAndEveryOtherModeIsExclusive) {
    void* w = Open(File(), FL_NEWDB);
    ASSERT_NE(w, nullptr);
    for (FLOPEN mode : {FL_READER, FL_WRITER, FL_WRCREAT, FL_NEWDB}) {
        EXPECT_EQ(Open(File(), mode), nullptr) << mode;
    }
    Put(w, "k", "kept");
    DestroyTESS(w);

    void* r1 = Open(File(), FL_READER);
    void* r2 = Open(File(), FL_READER);
    ASSERT_NE(r1, nullptr);
    ASSERT_NE(r2, nullptr);
    for (FLOPEN mode : {FL_WRITER, FL_WRCREAT, FL_NEWDB}) {
        EXPECT_EQ(Open(File(), mode), nullptr) << mode;
    }
    EXPECT_STREQ(Get(r2, "k").out->szData, "kept");  // a refused NEWDB emptied nothing
    DestroyTESS(r1);
    DestroyTESS(r2);

    void* again = Open(File(), FL_WRITER);
    EXPECT_NE(again, nullptr);
    DestroyTESS(again);
}

TEST_F(TessdbTest, AWriterInAnotherProcessExcludesThisOne) {
    { DestroyTESS(Open(File(), FL_NEWDB)); }
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    if (child == 0) {
        void* db = Open(File(), FL_WRITER);
        char c = db ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        (void)!read(done[0], &c, 1);
        DestroyTESS(db);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    EXPECT_EQ(Open(File(), FL_READER), nullptr);
    EXPECT_EQ(Open(File(), FL_WRITER), nullptr);
    (void)!write(done[1], &c, 1);
    int status = 0;
    waitpid(child, &status, 0);
    void* db = Open(File(), FL_READER);
    EXPECT_NE(db, nullptr);
    DestroyTESS(db);
}

TEST_F(TessdbTest, ForeignRecordsAreReadWithinTheirBounds) {
    struct Case {
        const char* name;
        std::string content;
        int nLen;
        std::string text;
    };
    const std::string huge(40000, 'h');
    const Case cases[] = {
        {"empty", "", 0, ""},
        {"three bytes", "ab\0", 0, ""},
        {"length only", std::string("\x09\0\0\0", 4), 9, ""},
        {"no NUL", std::string("\x63\0\0\0abc", 7), 99, "abc"},
        {"negative length", std::string("\xff\xff\xff\xff", 4) + "t", -1, "t"},
        {"early NUL", std::string("\x05\0\0\0a\0bc\0", 9), 5, "a"},
        {"longer than szData", std::string("\x40\x9c\0\0", 4) + huge, 40000, huge.substr(0, 29999)},
    };
    for (const Case& c : cases) RawStore(File(), c.name, c.content);
    void* db = Open(File(), FL_READER);
    ASSERT_NE(db, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto out = std::make_unique<_TESS_MAXDATA_>();
        std::memset(out.get(), 0x7F, sizeof(*out));
        ASSERT_EQ(GetQdata(db, *out, const_cast<char*>(c.name)), 1);
        EXPECT_EQ(out->nLen, c.nLen);
        EXPECT_EQ(std::string(out->szData, strnlen(out->szData, sizeof(out->szData))), c.text);
        EXPECT_EQ(out->szData[sizeof(out->szData) - 1], 0);
        for (size_t i = c.text.size(); i < sizeof(out->szData); ++i)
            ASSERT_EQ(out->szData[i], 0) << i;
    }
    DestroyTESS(db);
}

TEST_F(TessdbTest, NullHandlesAndArgumentsAreRefused) {
    _TESS_MAXDATA_* out = new _TESS_MAXDATA_();
    char key[] = "k";
    char text[] = "t";
    EXPECT_EQ(CreateTESS(nullptr, FL_READER), nullptr);
    EXPECT_EQ(InsertQdata(nullptr, key, text, 0), 0);
    EXPECT_EQ(DeleteQdata(nullptr, key), 0);
    EXPECT_EQ(IsKeyid(nullptr, key), 0);
    EXPECT_EQ(GetQdata(nullptr, *out, key), 0);
    DestroyTESS(nullptr);
    void* db = Open(File(), FL_NEWDB);
    EXPECT_EQ(InsertQdata(db, nullptr, text, 0), 0);
    EXPECT_EQ(InsertQdata(db, key, nullptr, 0), 0);
    EXPECT_EQ(GetQdata(db, *out, nullptr), 0);
    DestroyTESS(db);
    delete out;
    EXPECT_EQ(fnTessdb(), 42);
    EXPECT_EQ(nTessdb, 0);
}

using TessdbDeathTest = TessdbTest;

TEST_F(TessdbDeathTest, AnEngineFailureMidReadEndsTheProcessSilently) {
    void* db = Open(File(), FL_NEWDB);
    for (int i = 0; i < 2000; ++i) Put(db, "key" + std::to_string(i), std::string(100, 'v'));
    DestroyTESS(db);
    const auto size = fs::file_size(File());
    EXPECT_EXIT(
        {
            void* r = Open(File(), FL_READER);
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
