// marks_test.cpp - what the panes and the notes panel show of the study items: highlight
// contrast, each verse's marks, the panel's rows, and note edits, cleared marks and undo.
#include <gtest/gtest.h>

#include "StudyMarks.h"
#include "StudyTestSet.h"

namespace tavrin {
namespace {

using test::New;
using test::Old;

TEST(StudyMarks, HighlightsKeepTextReadableInEveryPalette) {
    for (const ColorScheme& scheme : {kDefaultColors, kNightColors})
        for (const auto& [textItem, backItem] : kTextOnBackground)
            for (int c = 0; c < 5; ++c) {
                const SRgb text = RgbOf(scheme[textItem]);
                const SRgb fill =
                    HighlightRgb(static_cast<EColour>(c), text, RgbOf(scheme[backItem]));
                EXPECT_GE(ContrastRatio(text, fill), kMarkMinContrast) << textItem << ' ' << c;
                // The fixed shades themselves: the swatch's under dark text, a dark one under
                // light.
                if (RelativeLuminance(text) < 0.5)
                    EXPECT_EQ(fill, SwatchRgb(static_cast<EColour>(c))) << textItem << ' ' << c;
                else
                    EXPECT_LT(RelativeLuminance(fill), 0.12) << textItem << ' ' << c;
            }
    // A grey text no fixed shade suits still reads over the fill.
    const SRgb grey{0x76, 0x76, 0x76};
    EXPECT_GE(ContrastRatio(grey, HighlightRgb(EColour::Blue, grey, {255, 255, 255})),
              kMarkMinContrast);
}

TEST(StudyMarks, EachKeyGetsItsOwnVersesMarksInItsTestament) {
    test::CStudyTestSet set;
    ASSERT_TRUE(set.m_db.SetBookmark({Old("창1:1")}, "시작"));
    ASSERT_TRUE(set.m_db.SetHighlight({Old("창1:3"), New("마1: 2")}, EColour::Pink));
    ASSERT_TRUE(set.m_db.AddNote(Old("창2:1"), "하나"));
    ASSERT_TRUE(set.m_db.AddNote(Old("창2:1"), "둘"));
    const auto old =
        MarksOfKeys(set.m_db, Testament::Old, {u"창1:1", u"창1:2", u"창1:3", u"창2:1"});
    ASSERT_EQ(old.size(), 4u);
    EXPECT_TRUE(old[0].m_bBookmark);
    EXPECT_FALSE(old[1].Any());
    EXPECT_EQ(old[2].m_highlight, EColour::Pink);
    EXPECT_EQ(old[3].m_nNotes, 2u);
    const auto nt = MarksOfKeys(set.m_db, Testament::New, {u"마1: 1", u"마1: 2", u"창1:1"});
    EXPECT_EQ(nt[1].m_highlight, EColour::Pink);
    EXPECT_FALSE(nt[2].Any());
}

TEST(StudyMarks, PanelOrdersFiltersAndSearchesNotes) {
    test::CStudyTestSet set;
    int64_t clock = 1000;
    set.m_db.SetClock([&clock] { return clock++; });
    ASSERT_TRUE(set.m_db.SetHighlight({Old("창1:1")}, EColour::Yellow));
    ASSERT_TRUE(set.m_db.AddNote(Old("창1:2"), "하나님의 사랑"));
    ASSERT_TRUE(set.m_db.AddNote(New("계1: 1"), "사랑의 편지"));
    ASSERT_TRUE(set.m_db.SetHighlight({Old("출1:1")}, EColour::Green));
    const auto keys = [&](const SPanelQuery& query) {
        std::string joined;
        for (const auto& item : PanelItems(set.m_db, query, set.m_order))
            joined += item.m_verse.m_strKey + ",";
        return joined;
    };
    const struct {
        SPanelQuery query;
        const char* keys;
    } rows[] = {
        {{}, "창1:1,창1:2,출1:1,계1: 1,"},
        {{{}, true, {}}, "출1:1,계1: 1,창1:2,창1:1,"},
        {{{{EItemKind::Highlight}, {}}, false, {}}, "창1:1,출1:1,"},
        {{{{}, {EColour::Green}}, false, {}}, "창1:2,출1:1,계1: 1,"},
        {{{}, false, u"사랑"}, "창1:2,계1: 1,"},
        {{{}, true, u"사랑"}, "계1: 1,창1:2,"},
        {{{{EItemKind::Note}, {}}, false, u"하나님"}, "창1:2,"},
        {{{{EItemKind::Highlight}, {}}, false, u"사랑"}, ""},
    };
    for (const auto& row : rows) EXPECT_EQ(keys(row.query), row.keys);
}

TEST(StudyMarks, SummaryNamesKindAndCutsLongText) {
    const struct {
        SStudyItem item;
        size_t max;
        const char* shown;
    } rows[] = {
        {{0, EItemKind::Bookmark, {}, "시작", "", 0, 0}, 60, "책갈피 시작"},
        {{0, EItemKind::Highlight, {}, "orange", "", 0, 0}, 60, "형광펜 주황"},
        {{0, EItemKind::Note, {}, "", "첫 줄\n둘째 줄", 0, 0}, 60, "메모 첫 줄"},
        {{0, EItemKind::Note, {}, "", "가나다", 0, 0}, 3, "메모 가나다"},
        {{0, EItemKind::Note, {}, "", "가나다라", 0, 0}, 3, "메모 가나다…"},
        {{0, EItemKind::Note, {}, "", "𝄞𝄞𝄞𝄞", 0, 0}, 2, "메모 𝄞𝄞…"},
    };
    for (const auto& row : rows) EXPECT_EQ(ItemSummary(row.item, row.max), row.shown);
}

TEST(StudyDb, NoteEditsClearedMarksAndUndo) {
    test::CStudyTestSet set;
    int64_t clock = 1000;
    set.m_db.SetClock([&clock] { return clock++; });
    const auto note = set.m_db.AddNote(Old("창1:1"), "처음");
    ASSERT_TRUE(note);
    ASSERT_TRUE(set.m_db.SetBookmark({Old("창1:1")}, "표"));
    ASSERT_TRUE(set.m_db.SetHighlight({Old("창1:1"), Old("창1:2")}, EColour::Blue));
    EXPECT_TRUE(set.m_db.EditNote(*note, "고침\n둘째 줄"));
    EXPECT_FALSE(set.m_db.EditNote(*note, std::string(kMaxNoteChars + 1, 'a')));
    EXPECT_FALSE(set.m_db.EditNote(*note + 100, "없는 메모"));
    const auto notes = set.m_db.List({{EItemKind::Note}, {}});
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].m_strText, "고침\n둘째 줄");
    EXPECT_GT(notes[0].m_nModified, notes[0].m_nCreated);
    EXPECT_FALSE(set.m_db.CanUndo());
    ASSERT_TRUE(set.m_db.ClearMarks({Old("창1:1"), Old("창1:2")}, EItemKind::Highlight));
    EXPECT_TRUE(set.m_db.CanUndo());
    EXPECT_EQ(set.m_db.List({{EItemKind::Highlight}, {}}).size(), 0u);
    EXPECT_EQ(set.m_db.List({{EItemKind::Bookmark}, {}}).size(), 1u);
    ASSERT_TRUE(set.m_db.UndoRemove());
    EXPECT_FALSE(set.m_db.CanUndo());
    EXPECT_EQ(set.m_db.List({{EItemKind::Highlight}, {EColour::Blue}}).size(), 2u);
}

}  // namespace
}  // namespace tavrin
