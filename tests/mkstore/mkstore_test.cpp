// mkstore_test.cpp - tavrin-mkstore's parts, and the program run as a user would on any input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "Chapter.h"
#include "CodePage.h"
#include "FileBytes.h"
#include "InputFile.h"
#include "RunProgram.h"
#include "SetInfo.h"
#include "StoreBuilder.h"
#include "StoreFixture.h"
#include "StoreVerifier.h"
#include "TsvReader.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using test::CStoreFixture;
using test::ReadBytes;
using test::RunProgram;
using test::SRun;
using test::WriteBytes;
using testing::HasSubstr;

SRun Mkstore(const Args& args, const std::string& env = "") {
    return RunProgram(TAVRIN_MKSTORE_PATH, args, env);
}

std::string Verses(const char* osis, int chapter, int first, int last, const std::string& text) {
    std::string lines;
    for (int v = first; v <= last; ++v)
        lines += std::string(osis) + '\t' + std::to_string(chapter) + '\t' + std::to_string(v) +
                 '\t' + text + '\n';
    return lines;
}

// The bytes of every file in folder (none there: ""), to show it was left alone.
std::string FolderBytes(const std::string& folder) {
    std::string all;
    for (const auto& e : fs::directory_iterator(folder))
        all += e.path().filename().string() + '=' +
               (e.is_directory() ? "folder" : ReadBytes(e.path())) + '|';
    return all;
}

TEST(InputFile, TakesAtMostTheLimitPlainOrDecompressed) {
    CStoreFixture fx;
    const std::string path = test::WriteBytes(fx.PathOf("in"), std::string(1000, 'a'));
    const std::string xz = TAVRIN_KOREAN_TSV;  // 4,740,791 bytes decompressed
    std::string read, error;
    EXPECT_TRUE(ReadInputFile(path, read, error, 1000));
    EXPECT_TRUE(ReadInputFile(xz, read, error, 4740791));
    EXPECT_EQ(read.size(), 4740791u);
    EXPECT_FALSE(ReadInputFile(path, read, error, 999));
    EXPECT_EQ(error, path + ": larger than 999 bytes");
    EXPECT_FALSE(ReadInputFile(xz, read, error, 4740790));
    EXPECT_EQ(error, xz + ": decompresses to more than 4740790 bytes");
}

// The 66 books in order, Old Testament names and abbreviations then the New's.
TEST(BookTable, EveryBookItsNameAndAbbreviation) {
    const CBookTable table;
    std::string books;
    for (const auto& b : table.Books())
        books +=
            Utf16ToUtf8(b.strName + u"=" + b.strAbbr) + (b.testament == Testament::Old ? ' ' : ';');
    EXPECT_EQ(books,
              "창세기=창 출애굽기=출 레위기=레 민수기=민 신명기=신 여호수아=수 사사기=삿 룻기=룻 "
              "사무엘상=삼상 사무엘하=삼하 열왕기상=왕상 열왕기하=왕하 역대상=대상 역대하=대하 "
              "에스라=스 느헤미야=느 에스더=에 욥기=욥 시편=시 잠언=잠 전도서=전 아가=아 이사야=사 "
              "예레미야=렘 예레미야애가=애 에스겔=겔 다니엘=단 호세아=호 요엘=욜 아모스=암 "
              "오바댜=옵 요나=욘 미가=미 나훔=나 하박국=합 스바냐=습 학개=학 스가랴=슥 말라기=말 "
              "마태복음=마;마가복음=막;누가복음=눅;요한복음=요;사도행전=행;로마서=롬;"
              "고린도전서=고전;고린도후서=고후;갈라디아서=갈;에베소서=엡;빌립보서=빌;골로새서=골;"
              "데살로니가전서=살전;데살로니가후서=살후;디모데전서=딤전;디모데후서=딤후;디도서=딛;"
              "빌레몬서=몬;히브리서=히;야고보서=약;베드로전서=벧전;베드로후서=벧후;요한일서=요일;"
              "요한이서=요이;요한삼서=요삼;유다서=유;요한계시록=계;");
}

// A rename failing at each step: the set before (none, then one) is back, alone.
TEST(StoreBuilder, RenameFailingPartWayPutsTheOldSetBack) {
    CStoreFixture fx;
    std::string error, out = fx.Folder() + "out";
    const CBookTable table;
    CStoreBuilder builder(table);
    CBibleText text;
    text.AddChapter(0, 1, {u"옛 말씀"});
    text.AddChapter(39, 1, {u"새 말씀"});
    ASSERT_EQ(builder.Build(text), std::vector<std::string>{});
    fs::create_directories(out);
    for (int round = 0; round < 2; ++round) {
        for (int failAt = 1; failAt <= 4; ++failAt) {
            const std::string before = FolderBytes(out);
            int calls = 0;
            builder.SetRenameForTesting([&](const auto& from, const auto& to, auto& ec) {
                if (++calls == failAt)
                    ec = std::make_error_code(std::errc::io_error);
                else
                    fs::rename(from, to, ec);
            });
            EXPECT_FALSE(builder.Write(out, error));
            EXPECT_THAT(error, HasSubstr(": cannot be replaced"));
            EXPECT_EQ(FolderBytes(out), before) << failAt;
        }
        builder.SetRenameForTesting({});
        ASSERT_TRUE(builder.Write(out, error)) << error;
    }
}

TEST(StoreVerifier, FindsEachKindOfBreach) {
    using Change = std::function<void(CStoreFixture&)>;
    auto put = [](const char* file, std::string key, std::string text) -> Change {
        return [=](CStoreFixture& f) { f.PutText(file, key, text); };
    };
    auto drop = [](const char* file, std::u16string key) -> Change {
        return [=](CStoreFixture& f) { f.Drop(file, EncodeAnsi(key)); };
    };
    auto raw = [](std::u16string key, std::string record) -> Change {
        return [=](CStoreFixture& f) { f.PutRaw(kDatOldFile, EncodeAnsi(key), record); };
    };
    const std::string about(kDescriptionKey), shortName(kShortNameKey);
    const std::pair<Change, std::string> cases[] = {
        {put(kKeyOldFile, shortName, EncodeAnsi(std::u16string(16, u'한'))), ""},
        {put(kKeyOldFile, shortName, EncodeAnsi(std::u16string(17, u'한'))),
         "the short name has 17 characters, more than 16"},
        {put(kKeyOldFile, shortName, ""), "the short name is empty"},
        {put(kKeyOldFile, shortName, "K	JV"), "the short name holds a control character"},
        {put(kKeyNewFile, shortName, std::string(17, 'a')), ""},  // not where the reader looks
        {put(kKeyOldFile, about, std::string(255, 'a')), ""},
        {put(kKeyOldFile, about, std::string(256, 'a')), "description is 256 bytes, more than 255"},
        {put(kKeyOldFile, about, "a\nb"), "the description holds a control character"},
        {put(kKeyOldFile, about, "a\x7F"), "the description holds a control character"},
        {put(kKeyOldFile, about, "ab\xB0"), "'\tdescription': not valid code page 949 text"},
        {[](CStoreFixture& f) { f.Omit(kDatNewFile); }, "inxdat_newB.dbe: missing"},
        {drop(kKeyOldFile, u"allindex"), "inxkey_oldB.dbe: no \"allindex\""},
        {drop(kKeyNewFile, u"요한계시록"),
         "'요한계시록': listed in \"allindex\" but has no reference"},
        {drop(kDatNewFile, u"계1: 1"), "reference '계1: 1' is not a key of inxdat_newB.dbe"},
        {drop(kDatOldFile, u"창1:2"), "chapter '창1:': verse 2 is missing but verse 3 exists"},
        {[](CStoreFixture& f) {
             f.PutText(kKeyOldFile, EncodeAnsi(u"출애굽기"), EncodeAnsi(u"\t출1:1\t출7:2\t"));
             f.PutText(kDatOldFile, EncodeAnsi(u"출7:2"), "x");
         },
         "chapter '출7:': has no verse 1 (key '출7:1')"},
        // Verse 99 counts: 21 characters per verse 1-3, 15 for 4-9, 16 for 10-98.
        {[](CStoreFixture& f) {
             for (int v = 4; v <= 99; ++v)
                 f.AddVerse(Testament::Old, VerseKey(u"창1:", v, Testament::Old),
                            v < 99 ? u"a" : std::u16string(16408, u'a'));
         },
         "chapter '창1:': the chapter reader's text is 18000 characters"},
        {put(kKeyOldFile, EncodeAnsi(u"창세기"), EncodeAnsi(u"\t창2가1:1\t")),
         "'창2가1:' holds a digit"},
        {put(kKeyNewFile, "allindex", EncodeAnsi(u"\t" + std::u16string(30, u'유') + u"\t")),
         "has 30 characters, more than 29"},
        {put(kKeyNewFile, "allindex", "\tA\tB"), "'B' after the last TAB"},
        {put(kDatOldFile, std::string(260, 'k'), "x"), "key has 260 characters, more than 259"},
        {put(kDatNewFile, EncodeAnsi(u"마2: 1"), std::string(29999, 'a')),
         "29999 bytes, more than 29998"},
        {put(kDatOldFile, EncodeAnsi(u"출1:2"), std::string(17964, 'a')),
         ""},  // 21 characters for verse 1, 14 around verse 2's text
        {put(kDatOldFile, EncodeAnsi(u"출1:2"), std::string(17965, 'a')),
         "chapter '출1:': the chapter reader's text is 18000 characters"},
        {raw(u"창1:3", std::string("\x09\0\0\0abc", 7)), "length field 9 but 3 text bytes follow"},
        {raw(u"창1:3", std::string("\x04\0\0\0", 4)), "record of 4 bytes, shorter than 5"},
        {raw(u"창1:3", std::string("\x04\0\0\0a\0b\0", 8)), "'창1:3': NUL inside the text"},
        {raw(std::u16string(u"창\0", 2), "\x02\0\0\0x\0"), "is not framed as a NUL-terminated"},
    };
    // A reference the reference grammar cannot read is only a warning: the lists still reach it.
    {
        CStoreFixture fx;
        fx.AddSampleSet();
        fx.AddBook(Testament::Old, u"레위기", {{u"레1:1a", u"x"}});
        fx.AddVerse(Testament::Old, u"레1:1", u"y");
        fx.Build();
        CStoreVerifier verifier;
        EXPECT_TRUE(verifier.Verify(fx.Folder()));
        EXPECT_THAT(verifier.Warnings(),
                    testing::Contains(HasSubstr("reference '레1:1a' does not read")));
    }
    for (const auto& [change, breach] : cases) {
        CStoreFixture fx;
        fx.AddSampleSet();
        change(fx);
        fx.Build();
        CStoreVerifier verifier;
        EXPECT_EQ(verifier.Verify(fx.Folder()), breach.empty());
        EXPECT_THAT(verifier.Breaches(),
                    breach.empty()
                        ? testing::Matcher<const std::vector<std::string>&>(testing::IsEmpty())
                        : testing::Contains(HasSubstr(breach)));
    }
}

// A folder whose name is not UTF-8, fed TSV with a BOM, CR LF, TABs and gaps in order.
TEST(MkstoreCli, BuildsVerifiesDumpsAnySetFolderTheReaderReads) {
    CStoreFixture fx;
    const std::string dir = fx.Folder() + "\xB1\xB8 set/";
    fs::create_directories(dir);
    WriteBytes(dir + "names", "Gen\t태초\t태\n");
    WriteBytes(dir + "in.tsv",
               "\xEF\xBB\xBF# title:성경 · 공회\r\n#short-name:  공회 "
               "\nJohn\t3\t1\t바리새인\t중에—\\😀\r\nGen\t2\t2\t\n"
               "Gen\t2\t1\t말\r씀\n" +
                   Verses("Ps", 119, 1, 100, "v") + "Sir\t1\t1\tx\n");
    const SRun build =
        Mkstore({"--names", dir + "names", "--from-tsv", "-", dir + "out"}, "<'" + dir + "in.tsv'");
    ASSERT_EQ(build.m_nStatus, 0) << build.m_strErr;
    EXPECT_EQ(build.m_strErr, "");
    for (const char* line :
         {"standard input -> ", "skipped 1 other books (Sir)", "  title      성경 · 공회\n",
          "  short name 공회\n",
          "replaced   2 characters code page 949 cannot hold: U+1F600 '😀' -> '?' x1, U+2014 '—' "
          "-> '-' x1\n",
          "119 has 100 verses; the chapter reader shows the first 99"})
        EXPECT_THAT(build.m_strOut, HasSubstr(line));
    EXPECT_EQ(Mkstore({"--verify", dir + "out"}).m_nStatus, 0);
    const std::string dump = Mkstore({"--dump", dir + "out"}).m_strOut;
    EXPECT_THAT(dump, HasSubstr("# inxkey_oldB.dbe: 5 records\nallindex\t\\t태초\\t시편\\t\n태초\t"
                                "\\t태2:1\\t태2:2\\t\n시편\t\\t시119:1\\t"));
    EXPECT_THAT(dump, HasSubstr("\\t시119:100\\t\n\\tdescription\t성경 · 공회\n"
                                "\\tshort-name\t공회\n# inxdat_oldB"));
    EXPECT_THAT(dump, HasSubstr("\n태2:1\t말\\r씀\n"));
    EXPECT_THAT(dump, HasSubstr("\n요3: 1\t바리새인\\t중에-\\\\?\n"));
    EXPECT_EQ(RunProgram(TAVRIN_READ_PATH, {"-d", dir + "out", "text", "요3: 1"}).m_strOut,
              "바리새인\t중에-\\?\n");
}

TEST(MkstoreCli, RefusesEachFaultAndReplacesTheSetOnlyWithAWholeOne) {
    CStoreFixture fx;
    const std::string out = fx.Folder() + "out";
    fs::create_directories(out);
    std::string xz = ReadBytes(TAVRIN_KOREAN_TSV), flipped = xz;
    flipped[xz.size() / 2] ^= 0x10;
    const std::string gen = "Gen\t1\t1\t새\n",
                      long26 = "Gen\t창세기\t" + std::string(26, 'G') + "\n",
                      ga127 = Utf16ToUtf8(std::u16string(127, u'가')),
                      han17 = Utf16ToUtf8(std::u16string(17, u'한'));
    auto verse100 = [](size_t n) {
        return Verses("Gen", 1, 1, 99, "a") + Verses("Gen", 1, 100, 100, std::string(n, 'a'));
    };
    const struct {
        std::string tsv, error;  // error empty: builds
        std::string names = "";
        Args args = {};
        int status = 1;  // 2: wrong usage
    } cases[] = {
        {gen, ""},
        {gen, "names:1: expected", "Gen\t창세기\n"},
        {gen, "names:2: 'Foo'", "\nFoo\tx\ty\n"},
        {gen, "names:1: not valid UTF-8", "Gen\t창\xff\t창\n"},
        {gen, "decimal digit", "Matt\t마태복음\t마1\n"},
        {gen, "key of the book list", "Gen\tallindex\t창\n"},
        {gen, "30 characters", "Gen\t" + Utf16ToUtf8(std::u16string(30, u'가')) + "\t창\n"},
        {gen, "code page 949 cannot hold", "Gen\t창세기\xF0\x9F\x98\x80\t창\n"},
        {gen, "abbreviation '창' is used by another book", "Exod\t출애굽기\t창\n"},
        {gen, "holds a TAB or control character", "Gen\t창\x01\t창\n"},
        {"#x\nGen 1 1 text\n", "in.tsv:2: expected BOOK"},
        {"Foo\t1\t1\tx\n", ":1: 'Foo' is not an OSIS"},
        {"Gen\t0\t1\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t1a\tx\n", ":1: chapter and verse"},
        {"Gen\t1\t10000\tx\n", ":1: chapter and verse"},
        {"Gen\t9999\t1\tx\n", ""},
        {std::string("Gen\t1\t1\ta\0b\n", 12), ":1: not valid UTF-8 (or holds a NUL byte)"},
        {"Gen\t1\t1\ta\nGen\t1\t1\tb\n", ":2: Gen 1:1 was already given on line 1"},
        {"Gen\t1\t1\t\xC0\xAF\n", ":1: not valid UTF-8"},
        {"# title: \xC0\xAF\n" + gen, ":1: not valid UTF-8"},
        {"# title: a\n# title: b\n" + gen, ":2: the title was already given on line 1"},
        {"Gen\t1\t1\ta\nGen\t1\t3\tc\n", "Gen 1:2: verse missing"},
        {"Rev\t2\t2\tb\n", "Rev 2:1: verse missing"},
        {"# none of the 66\nTob\t1\t1\tx\n", "none of the 66 books"},
        {xz.substr(0, xz.size() - 1), "in.tsv: xz data cut short"},
        {flipped, "in.tsv: xz data damaged"},
        {xz + xz, "in.tsv:31103: Gen 1:1 was already given on line 1"},
        {verse100(29998), ""},
        {verse100(29999), "(Gen) 1:100: text is 29999 bytes"},
        {Verses("Gen", 1, 1, 1, Utf16ToUtf8(std::u16string(15000, u'가'))),
         "(Gen) 1:1: text is 30000 bytes"},
        {Verses("Gen", 1, 1, 1, std::string(17985, 'a')), ""},
        {Verses("Gen", 1, 1, 1, std::string(17986, 'a')), "verses 1-1 is 18000 characters"},
        {Verses("Gen", 1, 1, 98, "a") + Verses("Gen", 1, 99, 99, std::string(16426, 'a')),
         "verses 1-99 is 18000 characters"},  // 15 characters a verse to 9, 16 to 98
        {Verses("Gen", 1, 1, 9, "a"), "", long26},
        {Verses("Gen", 1, 1, 10, "a"), "(Gen) 1:10: key", long26},
        {Verses("Gen", 1, 1, 4000, "a"), "(Gen): reference list is 34894 bytes, more than 29998"},
        {"# title: overridden\n" + gen, "", "", {"--title", ga127 + "a"}},
        {"# title: " + ga127 + "가\n" + gen, "title: 256 bytes in code page 949"},
        {gen, "title: holds a control character", "", {"--title", "a\tb"}},
        {gen, "title: holds a control character", "", {"--title", "a\x7F"}},
        {gen, "title: code page 949 cannot hold U+2014", "", {"--title", "a—"}},
        {gen, "--title must be UTF-8 text", "", {"--title", "\xB1\xB8"}, 2},
        {gen, "--title must be UTF-8 text", "", {"--title", "\xF4\x90\x80\x80"}, 2},
        {"# short-name: " + Utf16ToUtf8(std::u16string(16, u'한')) + "\n" + gen, ""},
        {"# short-name: " + han17 + "\n" + gen, "'" + han17 + "' has 17 characters, more than 16"},
        {"# short-name: KJV\n" + gen, "", "", {"--short-name", "ABCDEFGHIJKLMNOP"}},
        {"# short-name: KJV\n" + gen,
         "has 17 characters",
         "",
         {"--short-name", "ABCDEFGHIJKLMNOPQ"}},
        {"# short-name: a\n#short-name: b\n" + gen,
         ":2: the short name was already given on line 1"},
        {gen, "short name: holds a control character", "", {"--short-name", "a\x7F"}},
        {gen, "short name: code page 949 cannot hold U+2014", "", {"--short-name", "a—"}},
        {gen, "--short-name must not be empty", "", {"--short-name", ""}, 2},
        {gen, "--short-name must be UTF-8 text", "", {"--short-name", "\xB1\xB8"}, 2},
        {gen, "unknown option --bogus", "", {"--bogus"}, 2},
        {gen, "unexpected argument 'extra'", "", {"extra"}, 2},
        {gen, "give one of --from-sword, --from-tsv, --verify, --dump", "", {"--dump", "d"}, 2},
    };
    std::string before;
    for (const auto& c : cases) {
        Args args = c.args;
        if (!c.names.empty())
            args.insert(args.end(), {"--names", WriteBytes(fx.PathOf("names"), c.names)});
        args.insert(args.end(),
                    {"--quiet", "--from-tsv", WriteBytes(fx.PathOf("in.tsv"), c.tsv), out});
        const SRun run = Mkstore(args);
        EXPECT_EQ(run.m_nStatus, c.error.empty() ? 0 : c.status) << c.error << run.m_strErr;
        EXPECT_THAT(run.m_strErr, HasSubstr(c.error));
        EXPECT_EQ(run.m_strOut, "");
        before = c.error.empty() ? FolderBytes(out) : before;
        EXPECT_EQ(FolderBytes(out), before) << c.error;
    }
    EXPECT_THAT(Mkstore({"--verify", out, "--names", "n"}).m_strErr, HasSubstr("a build only"));
    EXPECT_THAT(Mkstore({"--from-tsv", "in.tsv"}).m_strErr, HasSubstr("needs an output folder"));
    CStoreFixture part;  // a set without a text store dumps what it has and fails
    part.AddSampleSet();
    part.Omit(kDatOldFile);
    part.PutText(kKeyOldFile, "bytes", "\\\xB0");  // not code page 949: shown as bytes
    part.Build();
    const SRun dump = Mkstore({"--dump", part.Folder()});
    EXPECT_EQ(dump.m_nStatus, 1);
    EXPECT_THAT(dump.m_strOut, HasSubstr("\nbytes\t\\x5C\\xB0\n"));
}

// The shipped text: every verse reads back unaltered, with the description; its
// reading through an installed tavrin-read is the install test's.
TEST(MkstoreCli, KoreanSetHoldsTheWholeTextUnalteredWithItsAttribution) {
    CStoreFixture fx;
    const std::string title = "성경전서 개역한글판 (1961) · 대한성서공회";
    const SRun build = Mkstore({"--title", title, "--short-name", "개역한글", "--from-tsv",
                                TAVRIN_KOREAN_TSV, fx.Folder()});
    ASSERT_EQ(build.m_nStatus, 0) << build.m_strErr;
    EXPECT_THAT(build.m_strOut, HasSubstr("\n  replaced   none: every character is stored as"));
    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(fx.Folder()));
    EXPECT_EQ(set.ReadDescription(), Utf8ToUtf16(title));
    EXPECT_EQ(ReadShortName(set), u"개역한글");
    const CBookTable table;
    CBibleText text;
    std::string error;
    ASSERT_TRUE(ReadTsvText(TAVRIN_KOREAN_TSV, table, text, error)) << error;
    // Every verse of every chapter, and no more references than verses.
    std::vector<size_t> chapters;
    size_t verses = 0, differ = 0, listed = 0;
    for (const auto& [index, book] : text.Books()) {
        const CBookTable::Book& b = table.Books()[static_cast<size_t>(index)];
        chapters.push_back(book.size());
        listed += set.ReadReferenceList(b.testament, b.strName).size();
        for (const auto& [c, texts] : book)
            for (int v = 1; v <= static_cast<int>(texts.size()); ++v, ++verses)
                differ +=
                    set.ReadReferenceText(
                        b.testament, VerseKey(b.strAbbr + Utf8ToUtf16(std::to_string(c)) + u':', v,
                                              b.testament)) != texts[v - 1];
    }
    EXPECT_EQ(chapters, (std::vector<size_t>{50, 40, 27, 36, 34,  24, 21, 4, 31, 24, 22, 25, 29, 36,
                                             10, 13, 10, 42, 150, 31, 12, 8, 66, 52, 5,  48, 12, 14,
                                             3,  9,  1,  4,  7,   3,  3,  3, 2,  14, 4,  28, 16, 24,
                                             21, 28, 16, 16, 13,  6,  6,  4, 4,  5,  3,  6,  4,  3,
                                             1,  13, 5,  5,  3,   5,  1,  1, 1,  22}));
    EXPECT_EQ(std::vector({verses, listed, differ}), std::vector<size_t>({31102, 31102, 0}));
}

}  // namespace
}  // namespace tavrin
