// reader_test.cpp - passages typed and resolved in both testaments, listed
// references and the chosen verse, the reader's state file and window places.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "CodePage.h"
#include "FailingCalls.h"
#include "FileBytes.h"
#include "Navigator.h"
#include "ReaderState.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

std::string Text(std::u16string_view s) {
    return Utf16ToUtf8(s);
}

std::string Parsed(const std::optional<SPassage>& p) {
    return p ? Text(p->m_strBook) + " " + std::to_string(p->m_nChapter) + " " +
                   std::to_string(p->m_nVerse)
             : "-";
}

TEST(GoTo, TypedPassagesAndListedReferences) {
    test::CStoreFixture fx;
    fx.AddSampleSet();
    fx.AddBook(Testament::Old, u"Jude", {{u"Jud1:1", u"Jude 1"}, {u"계1:1", u"계 in both"}});
    fx.AddBook(Testament::Old, u"시편", {{u"시3", u"no verse"}});
    fx.Build();
    // Typed, parsed, and where it leads ("-": nowhere, nothing changed).
    const std::tuple<const char16_t*, const char*, const char*> rows[] = {
        {u"마1:2", "마 1 2", "신약 마태복음 마1: 2"},
        {u"마태복음 2:1", "마태복음 2 1", "신약 마태복음 마2: 1"},
        {u" 마\u3000１ ：２ ", "마 1 2", "신약 마태복음 마1: 2"},
        {u"\u00A0창\t１９\u00A0:\u00A0９", "창 19 9", "-"},
        {u"시3", "시 3 1", "구약 시편 시3"},  // a listed reference without a verse
        {u"시3:2", "시 3 2", "-"},
        {u"계1", "계 1 1", "신약 요한계시록 계1: 1"},
        {u"창2", "창 2 1", "구약 창세기 창2:1"},
        {u"창세기 1:3", "창세기 1 3", "구약 창세기 창1:3"},
        {u"출애굽기1:", "출애굽기 1 1", "구약 출애굽기 출1:1"},
        {u"JUD1", "JUD 1 1", "구약 Jude Jud1:1"},
        {u"창1:4", "창 1 4", "-"},
        {u"창3:1", "창 3 1", "-"},
        {u"요3:16", "요 3 16", "-"},
        {u"창2147483647:2147483647", "창 2147483647 2147483647", "-"},
    };
    CNavigator nav;
    ASSERT_TRUE(nav.OpenStores(fx.Folder()));
    for (const auto& [typed, parsed, reached] : rows) {
        ASSERT_TRUE(nav.Select(Testament::New, 0, 0));
        const std::optional<SPassage> passage = ParsePassage(typed);
        ASSERT_EQ(Parsed(passage), parsed) << Text(typed);
        const bool moved = nav.GoTo(*passage);
        EXPECT_EQ(moved, std::string(reached) != "-");
        EXPECT_EQ(Text(TestamentWord(nav.GetTestament())) + " " + Text(nav.BookName()) + " " +
                      Text(nav.Reference()),
                  moved ? reached : "신약 마태복음 마1: 1");
    }
    for (const char16_t* refused : {u"창2147483648:1", u"창1:2147483648", u"창0:1", u"창1:0", u"창",
                                    u":1", u"1:1", u"", u"창1:2-3", u"창1:1:1", u"창1a"})
        EXPECT_EQ(Parsed(ParsePassage(refused)), "-") << Text(refused);
    std::string listed;
    for (const char16_t* r : {u"마1: 12", u"창1:", u"창1", u"창1:2a", u"창", u"창1 2", u"창0:1"})
        listed += Parsed(SplitReference(r)) + "|";
    EXPECT_EQ(listed, "마 1 12|창 1 0|창 1 0|-|-|-|-|");
    // The chosen verse: by its key, else by its number, else the first.
    const std::vector<std::u16string> verses{u"X1: 1", u"a", u"X1: 2", u"b", u"X1: 3", u"c"};
    for (const auto& [reference, index] : {std::pair{u"X1: 2", 1}, {u"X1:3", 2}, {u"X1:4", 0}})
        EXPECT_EQ(VerseIndexOf(verses, reference), index);
}

std::string Kept(const SReaderState& state) {
    const std::string text = FormatReaderState(state);
    return text.substr(text.find('\n') + 1);
}

TEST(ReaderState, RoundTripsSkipsWhatIsDamagedAndFitsTheScreens) {
    test::CStoreFixture dir;
    SReaderState state{true, Testament::Old, u"창\\세=기\n", u"창1:1\r", {}, {}};
    state.m_mainPlace = SWindowPlace{{-5, 7, 480, 640}, true};
    state.m_chapterPlace = SWindowPlace{{1, 2, 3, 4}, false};
    ASSERT_TRUE(SaveReaderState(dir.PathOf("state"), state));
    EXPECT_EQ(Kept(LoadReaderState(dir.PathOf("state"))), Kept(state));
    // A save whose write, sync or rename fails leaves the old file whole and nothing beside it.
    for (test::ECall call : {test::ECall::Write, test::ECall::Fsync, test::ECall::Rename}) {
        test::FailCall(call, 1);
        EXPECT_FALSE(SaveReaderState(dir.PathOf("state"), SReaderState{}));
        EXPECT_EQ(Kept(LoadReaderState(dir.PathOf("state"))), Kept(state));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Folder()), fs::directory_iterator()), 1);
    }
    ASSERT_EQ(mkdir(dir.PathOf("taken").c_str(), 0755), 0);
    EXPECT_FALSE(SaveReaderState(dir.PathOf("taken"), state));
    EXPECT_FALSE(SaveReaderState(dir.PathOf("none/state"), state));
    const std::string line = "main=1 2 3 4 0\n";
    const std::string full = line + std::string(kMaxReaderStateBytes - line.size(), '#');
    EXPECT_EQ(Kept(LoadReaderState(test::WriteBytes(dir.PathOf("full"), full))), line);
    ASSERT_EQ(mkfifo(dir.PathOf("fifo").c_str(), 0600), 0);
    for (const char* refused : {"over", "fifo", "taken", "missing"}) {
        test::WriteBytes(dir.PathOf("over"), full + "#");
        EXPECT_EQ(Kept(LoadReaderState(dir.PathOf(refused))), "") << refused;
    }
    const std::string passage = "testament=new\nbook=a\nreference=b\n";
    const std::pair<std::string, std::string> rows[] = {
        {passage + "main=1 2 3 4 0\r\nchapter=-1000000 1000000 1 1000000 1",
         passage + "main=1 2 3 4 0\nchapter=-1000000 1000000 1 1000000 1\n"},
        {"testament=old\nbook=a\nmain=0 0 0 5 0\nchapter=0 0 5 0 0", ""},
        {"testament=both\nbook=a\nreference=b\nmain=1000001 0 5 5 0\nchapter=0 0 5 1000001 0", ""},
        {passage + "main=1 2 3 4 2\nchapter=1 2 3 4\nmain=1 2 3 4 0 5\nchapter=1  2 3 4 0",
         passage},
        {"# main=1 2 3 4 0\nmain =1 2 3 4 0\nchapter=x 2 3 4 0\n\xFF\xFE", ""},
    };
    for (const auto& [text, kept] : rows) EXPECT_EQ(Kept(ParseReaderState(text)), kept) << text;
    const std::vector<SRect> screens{{0, 0, 1280, 1000}, {1280, 0, 800, 600}};
    const auto fit = [&](SRect r) {
        r = FitToScreens(r, screens);
        return std::to_string(r.m_nX) + "," + std::to_string(r.m_nY) + " " +
               std::to_string(r.m_nWidth) + "x" + std::to_string(r.m_nHeight);
    };
    EXPECT_EQ(fit({800, 360, 480, 640}), "800,360 480x640");           // touching both edges
    EXPECT_EQ(fit({801, 361, 480, 640}), "800,360 480x640");           // one pixel over
    EXPECT_EQ(fit({-9000, -9000, 300, 200}), "0,0 300x200");           // on no screen: the first
    EXPECT_EQ(fit({1200, 100, 500, 400}), "1280,100 500x400");         // mostly on the second
    EXPECT_EQ(fit({1500, 0, 5000, 5000}), "1280,0 800x600");           // larger than its screen
    EXPECT_EQ(FitToScreens({-5, -5, 9, 9}, {{0, 0, 0, 0}}).m_nX, -5);  // no usable screen
}

}  // namespace
}  // namespace tavrin
