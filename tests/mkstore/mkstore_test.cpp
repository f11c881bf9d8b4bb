// mkstore_test.cpp - book names, TSV and xz input, limits, the description, atomic writes, set
// checks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lzma.h>

#include <filesystem>
#include <functional>

#include "BookTable.h"
#include "CodePage.h"
#include "FileBytes.h"
#include "InputFile.h"
#include "StoreBuilder.h"
#include "StoreFixture.h"
#include "StoreVerifier.h"
#include "SwordReader.h"
#include "TsvReader.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::CStoreFixture;
using test::WriteBytes;
using testing::Contains;
using testing::HasSubstr;
using Breaches = std::vector<std::string>;

std::string Xz(const std::string& plain) {
    std::string out(plain.size() + 256, '\0');
    size_t size = 0;
    lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr,
                            reinterpret_cast<const uint8_t*>(plain.data()), plain.size(),
                            reinterpret_cast<uint8_t*>(out.data()), &size, out.size());
    return out.substr(0, size);
}

// The breaches the source, or the set, has: none when expected is empty, else one holding it.
void ExpectBreach(const Breaches& breaches, const std::string& expected) {
    EXPECT_EQ(breaches.empty(), expected.empty()) << testing::PrintToString(breaches);
    if (!expected.empty()) {
        EXPECT_THAT(breaches, Contains(HasSubstr(expected)));
    }
}

TEST(BookTable, NamesFileOverridesOrNamesTheFault) {
    CStoreFixture fx;
    const std::pair<std::string, std::string> cases[] = {
        // file, fault (load error or Check())
        {"\xEF\xBB\xBF# comment\n\nJohn\t요한복음서\t요\r\n", ""},
        {"John 요한복음서 요\n", ""},
        {"Gen\t창세기\n", ":1: expected"},
        {"\nFoo\tx\ty\n", ":2: 'Foo'"},
        {"Gen\t창\xff\t창\n", ":1: not valid UTF-8"},
        {"Matt\t마태복음\t마1\n", "decimal digit"},
        {"Matt\t마태복음\t마:\n", "':'"},
        {"Gen\tallindex\t창\n", "key of the book list"},
        {"Mark\t마가복음\t마\n", "used by another book"},
        {"Gen\t" + Utf16ToUtf8(std::u16string(30, u'가')) + "\t창\n", "30 characters"},
        {"Gen\t창세기\xF0\x9F\x98\x80\t창\n", "code page 949 cannot hold"}};
    for (const auto& [file, fault] : cases) {
        CBookTable table;
        std::string error;
        if (table.LoadNames(WriteBytes(fx.PathOf("names"), file), error))
            ExpectBreach(table.Check(), fault);
        else
            EXPECT_THAT(error, HasSubstr(fault.empty() ? "no error expected" : fault));
        EXPECT_EQ(table.Books()[42].strName, fault.empty() ? u"요한복음서" : u"요한복음") << file;
    }
}

TEST(TsvReader, ReadsPlainOrXzInAnyOrderAndNamesEachFault) {
    CStoreFixture fx;
    const std::string good =
        "\xEF\xBB\xBF# a comment\n#  title:  개역 · 공회 \n\nJohn\t3\t2\t둘째\r\n"
        "John\t3\t1\t첫째\ttab\nTob\t1\t1\tskipped\nGen\t2\t1\t\n";
    const std::string xz = Xz(good);
    std::string flipped = xz;
    flipped[flipped.size() / 2] ^= 0x10;
    const std::pair<std::string, std::string> cases[] = {
        {good, ""},
        {xz, ""},
        {xz + Xz("Gen\t2\t2\tmore\n"), ""},
        {xz.substr(0, xz.size() - 1), "in.tsv: xz data cut short"},
        {flipped, "in.tsv: xz data damaged"},
        {"Gen\t1\t1\n", ":1: expected BOOK"},
        {"#x\nGen 1 1 text\n", ":2: expected BOOK"},
        {"Foo\t1\t1\tx\n", ":1: 'Foo' is not an OSIS"},
        {"Gen\t0\t1\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t1a\tx\n", ":1: chapter and verse"},
        {"Gen\t-1\t1\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t10000\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t1\ta\nGen\t1\t1\tb\n", ":2: Gen 1:1 was already given on line 1"},
        {"Gen\t1\t1\t\xC0\xAF\n", ":1: not valid UTF-8"},
        {"# title: \xC0\xAF\n", ":1: not valid"},
        {"# title: a\n# title: b\n", ":2: the title was already given on line 1"},
        {"Gen\t1\t1\ta\nGen\t1\t3\tc\n", "Gen 1:2: verse missing"},
        {"Rev\t2\t2\tb\n", "Rev 2:1: verse missing"}};
    const CBookTable table;
    for (const auto& [file, fault] : cases) {
        CBibleText text;
        std::string error;
        EXPECT_EQ(ReadTsvText(WriteBytes(fx.PathOf("in.tsv"), file), table, text, error),
                  fault.empty());
        EXPECT_THAT(error, HasSubstr(fault));
        if (!fault.empty())
            continue;
        EXPECT_EQ(text.m_strTitle, u"개역 · 공회");
        EXPECT_EQ(text.Books().at(table.Find("John")).at(3),
                  (CBibleText::Chapter{u"첫째\ttab", u"둘째"}));
        EXPECT_EQ(text.Books().at(table.Find("Gen")).count(1), 0u);  // a missing chapter is allowed
        EXPECT_EQ(text.Books().at(table.Find("Gen")).at(2).at(0), u"");
        EXPECT_EQ(text.m_arrSkippedBooks, std::vector<std::string>{"Tob"});
    }
    CBibleText text;
    std::string error;
    EXPECT_FALSE(ReadTsvText(fx.PathOf("absent.tsv"), table, text, error));
    EXPECT_THAT(error, HasSubstr("absent.tsv: cannot be read"));
}

TEST(InputFile, TakesAtMostTheLimitPlainOrDecompressed) {
    CStoreFixture fx;
    const std::string bytes(1000, 'a');
    for (const std::string& file : {bytes, Xz(bytes)}) {
        for (size_t limit : {1000, 999}) {
            std::string read, error;
            EXPECT_EQ(ReadInputFile(WriteBytes(fx.PathOf("in"), file), read, error, limit),
                      limit == 1000);
            EXPECT_EQ(error.empty() ? read : error,
                      limit == 1000   ? bytes
                      : file == bytes ? fx.PathOf("in") + ": larger than 999 bytes"
                                      : fx.PathOf("in") + ": decompresses to more than 999 bytes");
        }
    }
}

// One chapter of Genesis (or of book) with the given verses.
CBibleText OneChapter(CBibleText::Chapter verses, int book = 0) {
    CBibleText text;
    text.AddChapter(book, 1, std::move(verses));
    return text;
}

TEST(StoreBuilder, EnforcesEveryLimitAtItsBoundary) {
    CStoreFixture fx;
    CBookTable longNames;  // Gen's book part is 26 characters: "X1:1" .. "X1:9" fit 29
    std::string error;
    ASSERT_TRUE(longNames.LoadNames(
        WriteBytes(fx.PathOf("names"), "Gen\t창세기\t" + std::string(26, 'G') + "\n"), error));
    const CBookTable plain;
    // Verse 100 lies past the chapter reader's layout: only the record limit applies.
    auto verse100 = [](std::u16string text) {
        CBibleText::Chapter verses(99, u"a");
        verses.push_back(std::move(text));
        return OneChapter(std::move(verses));
    };
    const size_t layoutFree = 17999 - 4 - 10;  // one verse "창1:1": 6 + 4 around key and text
    const std::u16string title255 = std::u16string(127, u'가') + u"a";
    const struct {
        const CBookTable& table;
        CBibleText text;
        std::u16string title;
        std::string breach;  // empty: none
    } cases[] = {
        {plain, verse100(std::u16string(29998, u'a')), u"", ""},
        {plain, verse100(std::u16string(29999, u'a')), u"", "(Gen) 1:100: text is 29999 bytes"},
        {plain, verse100(std::u16string(15000, u'가')), u"", "(Gen) 1:100: text is 30000 bytes"},
        {plain, verse100(std::u16string(20000, u'b')), u"", ""},  // beyond 99: not laid out
        {plain, OneChapter({std::u16string(layoutFree, u'a')}), u"", ""},
        {plain, OneChapter({std::u16string(layoutFree + 1, u'a')}), u"",
         "(Gen) 1: the chapter reader's text of verses 1-1 is 18000 characters"},
        {longNames, OneChapter(CBibleText::Chapter(9, u"x")), u"", ""},
        {longNames, OneChapter(CBibleText::Chapter(10, u"x")), u"", "(Gen) 1:10: key"},
        {plain, OneChapter(CBibleText::Chapter(4000, u"x")), u"",
         "(Gen): reference list is 34894 bytes, more than 29998"},
        {plain, CBibleText(), u"", "none of the 66 books"},
        {plain, OneChapter({u"x"}, 39), title255, ""},
        {plain, OneChapter({u"x"}, 39), title255 + u"b",
         "title: 256 bytes in code page 949, more than 255"},
        {plain, OneChapter({u"x"}, 39), u"a\tb", "title: holds a control character"},
        {plain, OneChapter({u"x"}, 39), u"a\u2014", "title: code page 949 cannot hold U+2014"}};
    for (const auto& c : cases) {
        CStoreBuilder builder(c.table);
        builder.SetDescription(c.title);
        ExpectBreach(builder.Build(c.text), c.breach);
    }
}

TEST(StoreBuilder, WritesWhatItReplacedAndTheDescriptionAndReplacesOnlyWholeSets) {
    CStoreFixture fx;
    const std::string out = fx.Folder() + "out";
    const CBookTable table;
    CStoreBuilder builder(table);
    std::string error;
    builder.SetDescription(u"개역한글판 · 대한성서공회");
    CBibleText text = OneChapter({u"a\u2014b\U0001F600c\u2014", u"평안"}, table.Find("Matt"));
    text.AddChapter(table.Find("Ps"), 119, CBibleText::Chapter(100, u"시"));
    ASSERT_EQ(builder.Build(text), Breaches{});
    EXPECT_EQ(builder.GetFigures().mapReplaced,
              (std::map<char32_t, int>{{0x2014, 2}, {0x1F600, 1}}));
    EXPECT_THAT(builder.Warnings(), Contains(HasSubstr("시편 (Ps) 119 has 100 verses")));
    ASSERT_TRUE(builder.Write(out, error)) << error;
    {
        CStoreSet set;
        ASSERT_TRUE(set.OpenStores(out));
        EXPECT_EQ(set.ReadReferenceText(Testament::New, u"마1: 1"), u"a-b?c-");
        EXPECT_EQ(set.ReadReferenceText(Testament::New, u"마1: 2"), u"평안");
        EXPECT_EQ(set.ReadReferenceText(Testament::Old, u"시119:100"), u"시");
        EXPECT_EQ(set.ReadDescription(), u"개역한글판 · 대한성서공회");
    }
    // A folder standing where the last store file goes makes the write fail
    // after three renames: those three are put back as they were.
    const fs::path blocked = fs::path(out) / kDatNewFile;
    fs::remove(blocked);
    fs::create_directories(blocked / "inside");
    std::string before;
    for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile})
        before += test::ReadBytes(out + "/" + file);
    ASSERT_EQ(builder.Build(OneChapter({u"새 말씀"})), Breaches{});
    EXPECT_FALSE(builder.Write(out, error));
    EXPECT_THAT(error, HasSubstr(kDatNewFile));
    std::string after;
    for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile})
        after += test::ReadBytes(out + "/" + file);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 4);
}

TEST(StoreVerifier, FindsEachKindOfBreach) {
    using Change = std::function<void(CStoreFixture&)>;
    auto put = [](const char* file, std::string key, std::string text) -> Change {
        return [=](CStoreFixture& f) { f.PutText(file, key, text); };
    };
    auto drop = [](const char* file, std::u16string key) -> Change {
        return [=](CStoreFixture& f) { f.Drop(file, EncodeAnsi(key)); };
    };
    auto verse2 = [](size_t n) -> Change {
        return [=](CStoreFixture& f) {
            f.AddVerse(Testament::Old, u"출1:2", std::u16string(n, u'a'));
        };
    };
    const std::string about(kDescriptionKey);
    const std::pair<Change, std::string> cases[] = {
        {put(kKeyOldFile, about, std::string(255, 'a')), ""},
        {put(kKeyOldFile, about, std::string(256, 'a')), "description is 256 bytes, more than 255"},
        {put(kKeyOldFile, about, "a\nb"), "the description holds a control character"},
        {put(kKeyOldFile, about, "ab\xB0"), "'\tdescription': not valid code page 949 text"},
        {[](CStoreFixture& f) { f.Omit(kDatNewFile); }, "inxdat_newB.dbe: missing"},
        {drop(kKeyOldFile, u"allindex"), "inxkey_oldB.dbe: no \"allindex\""},
        {drop(kKeyNewFile, u"요한계시록"),
         "'요한계시록': listed in \"allindex\" but has no reference"},
        {drop(kDatNewFile, u"계1: 1"), "reference '계1: 1' is not a key of inxdat_newB.dbe"},
        {drop(kDatOldFile, u"창1:2"), "chapter '창1:': verse 2 is missing but verse 3 exists"},
        {put(kKeyOldFile, EncodeAnsi(u"창세기"), EncodeAnsi(u"\t창2가1:1\t")),
         "'창2가1:' holds a digit"},
        {put(kKeyNewFile, "allindex", EncodeAnsi(u"\t" + std::u16string(30, u'유') + u"\t")),
         "has 30 characters, more than 29"},
        {put(kKeyNewFile, "allindex", "\tA\tB"), "'B' after the last TAB"},
        {put(kDatOldFile, std::string(260, 'k'), "x"), "key has 260 characters, more than 259"},
        {put(kDatNewFile, EncodeAnsi(u"마2: 1"), std::string(29999, 'a')),
         "29999 bytes, more than 29998"},
        {verse2(17964), ""},  // 21 characters for verse 1, 14 around verse 2's text
        {verse2(17965), "chapter '출1:': the chapter reader's text is 18000 characters"},
        {[](CStoreFixture& f) {
             f.PutRaw(kDatOldFile, EncodeAnsi(u"창1:3"), std::string("\x09\0\0\0abc", 7));
         },
         "record '창1:3': length field 9 but 3 text bytes follow"}};
    for (const auto& [change, breach] : cases) {
        CStoreFixture fx;
        fx.AddSampleSet();
        change(fx);
        fx.Build();
        CStoreVerifier verifier;
        EXPECT_EQ(verifier.Verify(fx.Folder()), breach.empty());
        ExpectBreach(verifier.Breaches(), breach);
    }
}

TEST(SwordReader, TidyPutsBackTheBlankANoteTookAndNoOther) {
    const std::string m(kNoteMark);
    const std::pair<std::string, std::string> cases[] = {
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
        {"  first line,\nsecond\tline \r\n", "first line, second line"}};
    for (const auto& [in, out] : cases) EXPECT_EQ(TidyVerseText(in), out) << in;
}

}  // namespace
}  // namespace tavrin
