// setlibrary_test.cpp - the library of sets: ids, order, skipped sets and their reasons,
// versification.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "CodePage.h"
#include "SetInfo.h"
#include "SetLibrary.h"
#include "StoreFixture.h"
#include "Versification.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

// A tree of lookup folders under a temporary root, filled with copies of sets.
class SetLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::path(test::CStoreFixture().Folder()).parent_path().string() + "-lib";
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }

    // The sample set named shortName copied into root/folder.
    std::string Put(const std::string& folder, const std::string& shortName) {
        test::CStoreFixture fx;
        fx.AddSampleSet();
        fx.PutText(kKeyOldFile, std::string(kShortNameKey), shortName);
        fx.Build();
        return fx.CopyTo(Path(folder));
    }
    std::string Path(const std::string& folder) const { return m_root + "/" + folder + "/"; }
    std::vector<std::string> Ids(const CSetLibrary& lib) const {
        std::vector<std::string> ids;
        for (const auto& s : lib.Sets()) ids.push_back(s.m_strId);
        return ids;
    }

    std::string m_root;
};

TEST(SetId, Pattern) {
    for (const char* id : {"a", "kjv", "main-2", "krv_1961", "-", "_", "0"})
        EXPECT_TRUE(IsSetId(id)) << id;
    EXPECT_TRUE(IsSetId(std::string(32, 'a')));
    EXPECT_FALSE(IsSetId(std::string(33, 'a')));
    for (const char* id : {"", "KJV", "kjv.1", "a b", "개역", "kjv/", "."})
        EXPECT_FALSE(IsSetId(id)) << id;
}

// Lookup order, each folder's own set first, subfolders in byte order;
// a duplicate id, a name that is no id and a repeated folder.
TEST_F(SetLibraryTest, IdsAndOrder) {
    Put("a", "A");
    Put("a/web", "WEB");
    Put("a/kjv", "KJV");
    Put("a/Bad Name", "X");
    fs::create_directories(Path("a/notes"));  // no store file: not a set
    Put("b", "B");
    Put("b/kjv", "KJV2");
    Put("b/x", "");
    CSetLibrary lib;
    lib.Scan({Path("a"), Path("missing"), Path("b"), m_root + "/a"});
    EXPECT_EQ(Ids(lib), (std::vector<std::string>{"main", "kjv", "web", "main-2", "x"}));
    ASSERT_EQ(lib.Sets().size(), 5u);
    EXPECT_EQ(lib.Sets()[1].m_strFolder, Path("a/kjv"));
    EXPECT_EQ(Utf16ToUtf8(lib.Sets()[1].m_strShortName), "KJV");
    EXPECT_EQ(Utf16ToUtf8(DisplayName(lib.Sets()[4])), "x");
    EXPECT_EQ(lib.Default(), &lib.Sets()[0]);
    EXPECT_EQ(lib.Find("web"), &lib.Sets()[2]);
    EXPECT_EQ(lib.Find("nope"), nullptr);
    ASSERT_EQ(lib.Skipped().size(), 2u);
    EXPECT_EQ(lib.Skipped()[0].m_strFolder, Path("a/Bad Name"));
    EXPECT_NE(lib.Skipped()[0].m_strReason.find("not an id"), std::string::npos);
    EXPECT_EQ(lib.Skipped()[1].m_strId, "kjv");
    EXPECT_EQ(lib.Skipped()[1].m_strReason, "id already taken by " + Path("a/kjv"));
}

// Each kind of damage skips the first set with its reason, and the set of the
// same id after it is used instead; no check ever ends the process.
TEST_F(SetLibraryTest, DamagedSetSkipped) {
    const struct {
        const char* file;
        const char* damage;
        const char* reason;
    } cases[] = {
        {kDatNewFile, "remove", "inxdat_newB.dbe is missing"},
        {kKeyOldFile, "cut", "inxkey_oldB.dbe is cut short"},
        {kDatOldFile, "garbage", "inxdat_oldB.dbe is not a store file"},
        {kKeyNewFile, "empty", "inxkey_newB.dbe is not a store file"},
        {kDatNewFile, "folder", "inxdat_newB.dbe is not a regular file"},
        {kKeyOldFile, "header", "inxkey_oldB.dbe does not open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        fs::remove_all(m_root);
        const std::string bad = Put("a/kjv", "BAD");
        const std::string good = Put("b/kjv", "KJV");
        const std::string path = bad + c.file;
        const auto size = fs::file_size(path);
        const std::string damage = c.damage;
        if (damage == "remove") {
            fs::remove(path);
        } else if (damage == "cut") {
            fs::resize_file(path, size - 1);
        } else if (damage == "garbage" || damage == "empty") {
            std::ofstream(path, std::ios::trunc) << (damage == "empty" ? "" : "not a database");
        } else if (damage == "folder") {
            fs::remove(path);
            fs::create_directory(path);
        } else {
            // A whole header whose directory lies past the file's end.
            std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(8);
            const int64_t far = 1 << 30;
            f.write(reinterpret_cast<const char*>(&far), sizeof far);
        }
        CSetLibrary lib;
        lib.Scan({Path("a"), Path("b")});
        EXPECT_EQ(Ids(lib), std::vector<std::string>{"kjv"});
        ASSERT_EQ(lib.Sets().size(), 1u);
        EXPECT_EQ(lib.Sets()[0].m_strFolder, good);
        ASSERT_EQ(lib.Skipped().size(), 1u);
        EXPECT_EQ(lib.Skipped()[0].m_strReason.substr(0, std::string(c.reason).size()), c.reason);
        EXPECT_EQ(CheckSetFolder(bad), lib.Skipped()[0].m_strReason);
    }
}

// A partial Bible of either testament is a set; one without any book is not.
TEST_F(SetLibraryTest, EitherTestamentMakesASet) {
    const struct {
        bool old, newer;
        const char* reason;
    } cases[] = {
        {true, false, ""}, {false, true, ""}, {false, false, "no book list in either testament"}};
    for (const auto& c : cases) {
        test::CStoreFixture fx;
        if (c.old)
            fx.AddBook(Testament::Old, u"창세기", {{u"창1:1", u"태초에"}});
        if (c.newer)
            fx.AddBook(Testament::New, u"요한복음", {{u"요1: 1", u"태초에"}});
        fx.Build();
        EXPECT_EQ(CheckSetFolder(fx.Folder()), c.reason);
    }
}

TEST(Versification, ReferencesLackedAndAdded) {
    test::CStoreFixture mainFx, otherFx;
    mainFx.AddBook(Testament::Old, u"아가", {{u"아6:13", u"a"}, {u"아6:14", u"b"}});
    mainFx.AddBook(Testament::New, u"요한삼서", {{u"요삼1: 14", u"c"}, {u"요삼1: 15", u"d"}});
    mainFx.Build();
    otherFx.AddBook(Testament::Old, u"아가", {{u"아6:13", u"a"}});
    otherFx.AddBook(Testament::Old, u"룻기", {{u"룻1:1", u"r"}});
    otherFx.AddBook(Testament::New, u"요한삼서", {{u"요삼1: 14", u"c"}, {u"요삼1: 16", u"e"}});
    otherFx.Build();
    CStoreSet mainSet, other;
    ASSERT_TRUE(mainSet.OpenStores(mainFx.Folder()));
    ASSERT_TRUE(other.OpenStores(otherFx.Folder()));
    // Testament, reference, and whether the other set adds it (else lacks it).
    std::string differences;
    for (const SKeyDifference& d : CompareReferences(mainSet, other))
        differences += std::string(d.m_testament == Testament::Old ? "o " : "n ") +
                       Utf16ToUtf8(d.m_strReference) + (d.m_bAdded ? " +|" : " -|");
    EXPECT_EQ(differences, "o 아6:14 -|o 룻1:1 +|n 요삼1: 15 -|n 요삼1: 16 +|");
    EXPECT_TRUE(CompareReferences(mainSet, mainSet).empty());
    EXPECT_TRUE(CompareReferences(mainSet, CStoreSet()).empty());
}

TEST(Versification, TableParsedAndLookedUp) {
    std::vector<int> bad;
    const std::vector<SDivision> table = ParseDivisions(
        "# comment\n"
        "kjv\t아6:13-14\t한 절\r\n"
        "\n"
        "web\t요삼 1:15\tnote\n"
        "KJV\t아6:13\tbad id\n"
        "kjv\t아6\twhole chapter\n"
        "kjv\t아6:13\t\n"
        "kjv\t아6:13\ta\tb\n"
        "kjv\tnot a verse\tx\n"
        "kjv\t아6:13\t\xff\n"
        "web\t롬16:25\tlast",
        &bad);
    EXPECT_EQ(bad, (std::vector<int>{5, 6, 7, 8, 9, 10}));
    ASSERT_EQ(table.size(), 3u);
    const struct {
        const char* set;
        const char16_t* book;
        int chapter, verse;
        const char* note;  // null: none
    } cases[] = {
        {"kjv", u"아", 6, 13, "한 절"},   {"kjv", u"아", 6, 14, "한 절"},
        {"kjv", u"아", 6, 12, nullptr},   {"kjv", u"아", 6, 15, nullptr},
        {"web", u"아", 6, 13, nullptr},   {"kjv", u"아", 7, 13, nullptr},
        {"kjv", u"요삼", 1, 15, nullptr}, {"web", u"요삼", 1, 15, "note"},
        {"web", u"롬", 16, 25, "last"},
    };
    for (const auto& c : cases) {
        const auto note = DivisionNote(table, c.set, c.book, c.chapter, c.verse);
        EXPECT_EQ(note ? Utf16ToUtf8(*note) : "-", c.note ? c.note : "-")
            << c.set << " " << c.chapter << ":" << c.verse;
    }
}

// The shipped table reads whole.
TEST(Versification, ShippedTableHasNoBadLine) {
    std::ifstream in(TAVRIN_VERSIFICATION_TABLE, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int> bad;
    EXPECT_FALSE(ParseDivisions(text, &bad).empty());
    EXPECT_TRUE(bad.empty());
}

}  // namespace
}  // namespace tavrin
