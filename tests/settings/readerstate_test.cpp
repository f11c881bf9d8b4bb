// readerstate_test.cpp - the reader's state file: its text form, its safe
// reading and writing, and window places fitted to the screens.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "FailingCalls.h"
#include "FileBytes.h"
#include "ReaderState.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

std::string Kept(const SReaderState& state) {
    const std::string text = FormatReaderState(state);
    return text.substr(text.find('\n') + 1);
}

// A round trip; a save whose write, sync or rename fails; files that are not ours.
TEST(ReaderState, RoundTripsAndKeepsTheOldFileOnFailure) {
    test::CStoreFixture dir;
    SReaderState state{true, Testament::Old, u"창\\세=기\n", u"창1:1\r",     {}, {}, {},
                       {},   true,           "kjv",          {"main", "web"}};
    state.m_mainPlace = SWindowPlace{{-5, 7, 480, 640}, true};
    state.m_chapterPlace = SWindowPlace{{1, 2, 3, 4}, false};
    state.m_citationFormat = 7;
    state.m_strHistory = "old\t창\t창1:1\n*new\t마\t마1: 1\n";
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
}

// Values that do not parse are skipped one by one; the passage needs all three lines.
TEST(ReaderState, SkipsWhatIsDamaged) {
    const std::string passage = "testament=new\nbook=a\nreference=b\n";
    const std::pair<std::string, std::string> rows[] = {
        {passage + "main=1 2 3 4 0\r\nchapter=-1000000 1000000 1 1000000 1",
         passage + "main=1 2 3 4 0\nchapter=-1000000 1000000 1 1000000 1\n"},
        {"testament=old\nbook=a\nmain=0 0 0 5 0\nchapter=0 0 5 0 0", ""},
        {"testament=both\nbook=a\nreference=b\nmain=1000001 0 5 5 0\nchapter=0 0 5 1000001 0", ""},
        {passage + "main=1 2 3 4 2\nchapter=1 2 3 4\nmain=1 2 3 4 0 5\nchapter=1  2 3 4 0",
         passage},
        {"# main=1 2 3 4 0\nmain =1 2 3 4 0\nchapter=x 2 3 4 0\n\xFF\xFE", ""},
        {"citation=0\ncitation=8\ncitation=-1\ncitation=07\nhistory=a\nhistory=\n",
         "citation=0\nhistory=a\n"},
        {"chapter-layout=paragraphs\nchapter-layout=Verses\n", "chapter-layout=paragraphs\n"},
        {"chapter-layout=paragraphs\nchapter-layout=verses\n", ""},  // the last one counts
        {"main-set=kjv\ncompanions=web,Bad,,kjv-2\n", "main-set=kjv\ncompanions=web,kjv-2\n"},
        {"main-set=K JV\ncompanions=a b\nmain-set=\n", ""},
    };
    for (const auto& [text, kept] : rows) EXPECT_EQ(Kept(ParseReaderState(text)), kept) << text;
}

// A saved place off every screen, or larger than one, is pulled back onto a screen;
// a 480x600 reader opens beside the main window where there is room.
TEST(ReaderState, PlacesFitTheScreens) {
    const std::vector<SRect> screens{{0, 0, 1280, 1000}, {1280, 0, 800, 600}};
    const auto text = [](const SRect& r) {
        return std::to_string(r.m_nX) + "," + std::to_string(r.m_nY) + " " +
               std::to_string(r.m_nWidth) + "x" + std::to_string(r.m_nHeight);
    };
    const auto fit = [&](SRect r) { return text(FitToScreens(r, screens)); };
    EXPECT_EQ(fit({800, 360, 480, 640}), "800,360 480x640");           // touching both edges
    EXPECT_EQ(fit({801, 361, 480, 640}), "800,360 480x640");           // one pixel over
    EXPECT_EQ(fit({-9000, -9000, 300, 200}), "0,0 300x200");           // on no screen: the first
    EXPECT_EQ(fit({1200, 100, 500, 400}), "1280,100 500x400");         // mostly on the second
    EXPECT_EQ(fit({1500, 0, 5000, 5000}), "1280,0 800x600");           // larger than its screen
    EXPECT_EQ(FitToScreens({-5, -5, 9, 9}, {{0, 0, 0, 0}}).m_nX, -5);  // no usable screen
    const auto beside = [&](SRect main) { return text(PlaceBeside(main, 480, 600, screens[0])); };
    EXPECT_EQ(beside({0, 50, 800, 640}), "800,50 480x600");      // just room on the right
    EXPECT_EQ(beside({1, 50, 800, 640}), "321,50 480x600");      // none either side: over it
    EXPECT_EQ(beside({700, 0, 400, 900}), "220,0 480x600");      // room on the left
    EXPECT_EQ(beside({0, 0, 1400, 900}), "800,0 480x600");       // main wider than the screen
    EXPECT_EQ(beside({100, 800, 300, 300}), "400,400 480x600");  // held on the screen
}

}  // namespace
}  // namespace tavrin
