// mkstore_test.cpp - book table, TSV reading, limits, atomic writes, set checks and verse tidying.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "BookTable.h"
#include "CodePage.h"
#include "FileBytes.h"
#include "StoreBuilder.h"
#include "StoreFixture.h"
#include "StoreVerifier.h"
#include "SwordReader.h"
#include "TsvReader.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

using testing::Contains;
using testing::HasSubstr;

TEST(BookTable, BuiltInTableMakesAValidSet) {
    const CBookTable table;
    EXPECT_EQ(table.Check(), std::vector<std::string>{});
    ASSERT_EQ(table.Books().size(), 66u);
    EXPECT_EQ(table.Books()[38].testament, Testament::Old);  // Malachi
    EXPECT_EQ(table.Books()[39].testament, Testament::New);
    EXPECT_TRUE(CBookTable::IsOtherBook("Tob"));
    EXPECT_FALSE(CBookTable::IsOtherBook("Gen"));
}

TEST(BookTable, NamesFileOverridesOrNamesTheFault) {
    test::CStoreFixture fx;
    const std::u16string longName(30, u'가');
    struct {
        std::string file;
        bool loads;
        std::string problem;  // in the load error or in Check(); empty: none
    } cases[] = {
        {"\xEF\xBB\xBF# comment\n\nJohn\t요한복음서\t요\r\n", true, ""},
        {"John 요한복음서 요\n", true, ""},
        {"Gen\t창세기\n", false, ":1: expected"},
        {"\nFoo\tx\ty\n", false, ":2: 'Foo'"},
        {"Gen\t창\xff\t창\n", false, ":1: not valid UTF-8"},
        {"Matt\t마태복음\t마1\n", true, "decimal digit"},
        {"Matt\t마태복음\t마:\n", true, "':'"},
        {"Gen\tallindex\t창\n", true, "key of the book list"},
        {"Mark\t마가복음\t마\n", true, "used by another book"},
        {"Gen\t" + Utf16ToUtf8(longName) + "\t창\n", true, "30 characters, more than 29"},
        {"Gen\t창세기\xF0\x9F\x98\x80\t창\n", true, "code page 949 cannot hold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CBookTable table;
        std::string error;
        const bool loaded = table.LoadNames(WriteBytes(fx.PathOf("names"), c.file), error);
        ASSERT_EQ(loaded, c.loads) << error;
        if (!loaded) {
            EXPECT_THAT(error, HasSubstr(c.problem));
            EXPECT_EQ(table.Books()[0].strName, u"창세기");  // unchanged
            continue;
        }
        const std::vector<std::string> problems = table.Check();
        if (c.problem.empty()) {
            EXPECT_EQ(problems, std::vector<std::string>{});
            EXPECT_EQ(table.Books()[42].strName, u"요한복음서");
        } else {
            EXPECT_THAT(problems, Contains(HasSubstr(c.problem)));
        }
    }
}

TEST(TsvReader, ReadsVersesInAnyOrderAndSkipsOtherBooks) {
    test::CStoreFixture fx;
    const std::string path = WriteBytes(fx.PathOf("in.tsv"),
                                        "\xEF\xBB\xBF# WEB sample, with a byte-order mark\n\n"
                                        "John\t3\t2\t둘째\r\n"
                                        "John\t3\t1\t첫째\ttab inside\n"
                                        "Tob\t1\t1\tskipped\n"
                                        "Gen\t2\t1\t\n");
    CBookTable table;
    CBibleText text;
    std::string error;
    ASSERT_TRUE(ReadTsvText(path, table, text, error)) << error;
    ASSERT_EQ(text.Books().size(), 2u);
    const auto& john = text.Books().at(table.Find("John"));
    EXPECT_EQ(john.at(3), (CBibleText::Chapter{u"첫째\ttab inside", u"둘째"}));
    const auto& gen = text.Books().at(table.Find("Gen"));
    EXPECT_EQ(gen.count(1), 0u);  // a missing chapter is allowed
    EXPECT_EQ(gen.at(2), CBibleText::Chapter{u""});
    EXPECT_EQ(text.m_arrSkippedBooks, std::vector<std::string>{"Tob"});
}

TEST(TsvReader, RefusesMalformedLinesAndGaps) {
    test::CStoreFixture fx;
    const std::pair<std::string, std::string> cases[] = {
        {"Gen\t1\t1\n", ":1: expected BOOK"},
        {"#x\nGen 1 1 text\n", ":2: expected BOOK"},
        {"Foo\t1\t1\tx\n", ":1: 'Foo' is not an OSIS"},
        {"Gen\t0\t1\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t1a\tx\n", ":1: chapter and verse"},
        {"Gen\t-1\t1\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t10000\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t1\ta\nGen\t1\t1\tb\n", ":2: Gen 1:1 was already given on line 1"},
        {"Gen\t1\t1\t\xC0\xAF\n", ":1: not valid UTF-8"},
        {"Gen\t1\t1\ta\nGen\t1\t3\tc\n", "Gen 1:2: verse missing"},
        {"Rev\t2\t2\tb\n", "Rev 2:1: verse missing"},
    };
    const CBookTable table;
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file);
        CBibleText text;
        std::string error;
        EXPECT_FALSE(ReadTsvText(WriteBytes(fx.PathOf("bad.tsv"), file), table, text, error));
        EXPECT_THAT(error, HasSubstr(expected));
    }
    CBibleText text;
    std::string error;
    EXPECT_FALSE(ReadTsvText(fx.PathOf("absent.tsv"), table, text, error));
    EXPECT_THAT(error, HasSubstr("absent.tsv: cannot be read"));
}

// One chapter of Genesis (or of book) with the given verses.
CBibleText OneChapter(CBibleText::Chapter verses, int book = 0) {
    CBibleText text;
    text.AddChapter(book, 1, std::move(verses));
    return text;
}

// Verse 100 lies past the chapter reader's layout, so only the record limit applies.
CBibleText Verse100(std::u16string text) {
    CBibleText::Chapter verses(99, u"a");
    verses.push_back(std::move(text));
    return OneChapter(std::move(verses));
}

TEST(StoreBuilder, EnforcesEveryLimitAtItsBoundary) {
    test::CStoreFixture fx;
    CBookTable longNames;  // Gen's book part is 26 characters: "X1:1" .. "X1:9" fit 29
    std::string error;
    ASSERT_TRUE(longNames.LoadNames(
        WriteBytes(fx.PathOf("names"),
                   "Gen\t창세기\t" + Utf16ToUtf8(std::u16string(26, u'창')) + "\n"),
        error));
    const CBookTable plain;
    // Layout of one verse "창1:1": 6 + 4 characters around the key and text.
    const size_t layoutFree = 17999 - 4 - 10;
    struct {
        const char* name;
        const CBookTable& table;
        CBibleText text;
        std::string breach;  // empty: none
    } cases[] = {
        {"text at 29998 bytes", plain, Verse100(std::u16string(29998, u'a')), ""},
        {"text at 29999 bytes", plain, Verse100(std::u16string(29999, u'a')),
         "(Gen) 1:100: text is 29999 bytes"},
        {"two-byte text over", plain, Verse100(std::u16string(15000, u'가')),
         "(Gen) 1:100: text is 30000 bytes"},
        {"layout at 17999", plain, OneChapter({std::u16string(layoutFree, u'a')}), ""},
        {"layout at 18000", plain, OneChapter({std::u16string(layoutFree + 1, u'a')}),
         "(Gen) 1: the chapter reader's text of verses 1-1 is 18000 characters"},
        {"key at 29", longNames, OneChapter(CBibleText::Chapter(9, u"x")), ""},
        {"key at 30", longNames, OneChapter(CBibleText::Chapter(10, u"x")), "(Gen) 1:10: key"},
        {"reference list over", plain, OneChapter(CBibleText::Chapter(4000, u"x")),
         "(Gen): reference list is 34894 bytes, more than 29998"},
        {"no book", plain, CBibleText(), "none of the 66 books"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        CStoreBuilder builder(c.table);
        const std::vector<std::string> breaches = builder.Build(c.text);
        if (c.breach.empty())
            EXPECT_EQ(breaches, std::vector<std::string>{});
        else
            EXPECT_THAT(breaches, Contains(HasSubstr(c.breach)));
    }
}

TEST(StoreBuilder, LaysOutOnlyTheFirst99VersesAndWarnsOfTheRest) {
    CBibleText::Chapter verses(120, u"a");
    for (size_t v = 99; v < 120; ++v)
        verses[v] = std::u16string(20000, u'b');  // past verse 99: never laid out
    const CBookTable table;
    CStoreBuilder builder(table);
    EXPECT_EQ(builder.Build(OneChapter(verses, table.Find("Ps"))), std::vector<std::string>{});
    EXPECT_THAT(builder.Warnings(), Contains(HasSubstr("시편 (Ps) 1 has 120 verses")));
}

TEST(StoreBuilder, ReplacesWhatCodePage949CannotHoldAndCountsIt) {
    test::CStoreFixture fx;
    const CBookTable table;
    CStoreBuilder builder(table);
    CBibleText text = OneChapter({u"a\u2014b\U0001F600c\u2014", u"평안"}, table.Find("Matt"));
    ASSERT_EQ(builder.Build(text), std::vector<std::string>{});
    EXPECT_EQ(builder.GetFigures().mapReplaced,
              (std::map<char32_t, int>{{0x2014, 2}, {0x1F600, 1}}));
    std::string error;
    ASSERT_TRUE(builder.Write(fx.Folder() + "set", error)) << error;
    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(fx.Folder() + "set"));
    EXPECT_EQ(set.ReadReferenceText(Testament::New, u"마1: 1"), u"a-b?c-");
    EXPECT_EQ(set.ReadReferenceText(Testament::New, u"마1: 2"), u"평안");
}

TEST(StoreBuilder, ReplacesASetOnlyWithACompleteOne) {
    test::CStoreFixture fx;
    const std::string out = fx.Folder() + "out";
    const CBookTable table;
    CStoreBuilder builder(table);
    std::string error;
    ASSERT_EQ(builder.Build(OneChapter({u"옛 말씀"})), std::vector<std::string>{});
    ASSERT_TRUE(builder.Write(out, error)) << error;
    ASSERT_EQ(builder.Build(OneChapter({u"새 말씀"})), std::vector<std::string>{});
    ASSERT_TRUE(builder.Write(out, error)) << error;
    {
        CStoreSet set;
        ASSERT_TRUE(set.OpenStores(out));
        EXPECT_EQ(set.ReadReferenceText(Testament::Old, u"창1:1"), u"새 말씀");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 4);

    // A folder standing where one store file goes makes the write fail: the
    // three files already there stay exactly as they were.
    const fs::path blocked = fs::path(out) / kDatNewFile;
    fs::remove(blocked);
    fs::create_directories(blocked / "inside");
    std::map<std::string, std::string> before;
    for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile})
        before[file] = ReadBytes(out + "/" + file);
    ASSERT_EQ(builder.Build(OneChapter({u"다른 말씀"})), std::vector<std::string>{});
    EXPECT_FALSE(builder.Write(out, error));
    EXPECT_THAT(error, HasSubstr(kDatNewFile));
    for (const auto& [file, bytes] : before) EXPECT_EQ(ReadBytes(out + "/" + file), bytes) << file;
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 4);
}

TEST(StoreVerifier, FindsEachKindOfBreach) {
    using Fx = test::CStoreFixture;
    const std::u16string longChapterText(200, u'말');
    const std::pair<std::function<void(Fx&)>, std::string> cases[] = {
        {[](Fx&) {}, ""},
        {[](Fx& fx) { fx.Omit(kDatNewFile); }, "inxdat_newB.dbe: missing"},
        {[](Fx& fx) { fx.Drop(kKeyOldFile, "allindex"); }, "no \"allindex\""},
        {[](Fx& fx) { fx.Drop(kKeyOldFile, EncodeAnsi(u"출애굽기")); },
         "book '출애굽기': listed in \"allindex\" but has no reference list"},
        {[](Fx& fx) { fx.Drop(kDatNewFile, EncodeAnsi(u"계1: 1")); },
         "reference '계1: 1' is not a key of inxdat_newB.dbe"},
        {[](Fx& fx) { fx.Drop(kDatOldFile, EncodeAnsi(u"창1:2")); },
         "chapter '창1:': verse 2 is missing but verse 3 exists"},
        {[](Fx& fx) {
             fx.AddBook(Testament::Old, u"이사야", {{u"사2가1:1", u"x"}});
         },
         "the book part of '사2가1:' holds a digit"},
        {[](Fx& fx) {
             fx.AddBook(Testament::New, std::u16string(30, u'유'), {{u"유1: 1", u"x"}});
         },
         "has 30 characters, more than 29"},
        {[](Fx& fx) { fx.PutText(kKeyNewFile, "allindex", "\tA\tB"); }, "'B' after the last TAB"},
        {[](Fx& fx) { fx.PutText(kDatOldFile, std::string(260, 'k'), "x"); },
         "key has 260 characters, more than 259"},
        {[](Fx& fx) { fx.PutText(kDatOldFile, EncodeAnsi(u"창1:1"), std::string(29999, 'a')); },
         "text is 29999 bytes, more than 29998"},
        {[&](Fx& fx) {
             fx.AddBook(Testament::Old, u"레위기", {{u"레1:1", u"x"}});
             fx.AddVerses(Testament::Old, u"레1:", 2, 99, longChapterText);
         },
         "chapter '레1:': the chapter reader's text is"},
        {[](Fx& fx) {
             fx.PutRaw(kDatOldFile, EncodeAnsi(u"창1:3"), std::string("\x09\0\0\0abc", 7));
         },
         "record '창1:3': length field 9 but 3 text bytes follow"},
        {[](Fx& fx) { fx.PutText(kDatOldFile, EncodeAnsi(u"창1:1"), "ab\xB0"); },
         "record '창1:1': not valid code page 949 text"},
    };
    for (const auto& [change, breach] : cases) {
        SCOPED_TRACE(breach);
        Fx fx;
        fx.AddSampleSet();
        change(fx);
        fx.Build();
        CStoreVerifier verifier;
        const bool clean = verifier.Verify(fx.Folder());
        const std::string breaches = testing::PrintToString(verifier.Breaches());
        EXPECT_EQ(clean, breach.empty()) << breaches;
        if (!breach.empty()) {
            EXPECT_THAT(verifier.Breaches(), Contains(HasSubstr(breach)));
        }
    }
}

TEST(SwordReader, TidyPutsBackTheBlankANoteTookAndNoOther) {
    const std::string m(kNoteMark);
    struct {
        std::string in, out;
    } cases[] = {
        {"God" + m + "created", "God created"},
        {"Yahweh\u2019s" + m + "word", "Yahweh\u2019s word"},
        {"said," + m + "\u201CLet", "said, \u201CLet"},
        {"earth" + m + ".", "earth."},
        {"(" + m + "x", "(x"},
        {"\u201C" + m + "x", "\u201Cx"},
        {"word" + m + "\u201D", "word\u201D"},
        {"a " + m + " b", "a b"},
        {"a" + m + m + "b", "a b"},
        {m + "a" + m, "a"},
        {"  first line,\nsecond\tline \r\n", "first line, second line"},
    };
    for (const auto& c : cases) EXPECT_EQ(TidyVerseText(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace tavrin
