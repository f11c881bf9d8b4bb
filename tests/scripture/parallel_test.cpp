// parallel_test.cpp - sets side by side: verses aligned by key with their notes, the passage a
// switch of the main set keeps, the chosen sets held to the library.
#include <gtest/gtest.h>

#include <fstream>

#include "CodePage.h"
#include "ParallelRows.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

std::vector<SDivision> ShippedTable() {
    std::ifstream in(TAVRIN_VERSIFICATION_TABLE, std::ios::binary);
    return ParseDivisions(
        std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// Verses first..last of chapter ("아6:" or "롬16: "), texts "<id> n".
std::vector<std::u16string> Verses(std::u16string_view chapter, int first, int last,
                                   std::u16string_view id) {
    std::vector<std::u16string> pairs;
    for (int n = first; n <= last; ++n) {
        pairs.push_back(std::u16string(chapter) + Utf8ToUtf16(std::to_string(n)));
        pairs.push_back(std::u16string(id) + u" " + Utf8ToUtf16(std::to_string(n)));
    }
    return pairs;
}

// Each row as "KEY|text|text|note", "-" for a lacking cell.
std::vector<std::string> Shown(const std::vector<SParallelRow>& rows) {
    std::vector<std::string> out;
    for (const SParallelRow& row : rows) {
        std::string line = Utf16ToUtf8(row.m_strKey);
        for (const auto& text : row.m_arrTexts) line += "|" + (text ? Utf16ToUtf8(*text) : "-");
        for (const auto& note : row.m_arrNotes) line += "|" + Utf16ToUtf8(note).substr(0, 13);
        out.push_back(line);
    }
    return out;
}

// A lacking verse on either side, in both testaments; the WEB ends 로마서 16 at 24.
TEST(Parallel, VersesAlignByKey) {
    const auto table = ShippedTable();
    const auto song = AlignVerses({{"main", Verses(u"아6:", 12, 14, u"k")},
                                   {"kjv", Verses(u"아6:", 12, 13, u"e")},
                                   {"x", Verses(u"아6:", 14, 15, u"x")}},
                                  Testament::Old, table);
    EXPECT_EQ(Shown(song), (std::vector<std::string>{
                               "아6:12|k 12|e 12|-",
                               "아6:13|k 13|e 13|-|이 역본은",
                               "아6:14|k 14|-|x 14|이 역본은",
                               "아6:15|-|-|x 15",
                           }));
    // Out of order and a key of another shape: numbers first, the odd key last.
    std::vector<std::u16string> web = Verses(u"롬16: ", 23, 24, u"w");
    web.insert(web.begin(), {u"롬16: 2", u"w 2", u"odd", u"w odd"});
    const auto romans = AlignVerses({{"main", Verses(u"롬16: ", 24, 27, u"k")}, {"web", web}},
                                    Testament::New, table);
    EXPECT_EQ(Shown(romans), (std::vector<std::string>{
                                 "롬16: 2|-|w 2",
                                 "롬16: 23|-|w 23",
                                 "롬16: 24|k 24|w 24|이 역본은",
                                 "롬16: 25|k 25|-|이 역본은",
                                 "롬16: 26|k 26|-|이 역본은",
                                 "롬16: 27|k 27|-|이 역본은",
                                 "odd|-|w odd",
                             }));
    ASSERT_EQ(romans[3].m_arrNotes.size(), 1u);
    EXPECT_EQ(Utf16ToUtf8(romans[3].m_arrNotes[0]).find("16:25-27의 송영을 14:23"), 14u);
    EXPECT_EQ(Utf16ToUtf8(ParallelText({romans[3]}, {u"개역한글", u"WEB"})),
              "롬16: 25\r\n개역한글\tk 25\r\nWEB\t\r\n※ " + Utf16ToUtf8(romans[3].m_arrNotes[0]) +
                  "\r\n\r\n");
}

// The passage kept by key, else its chapter's first verse, else the book's
// first, else the testament's first reference.
TEST(Parallel, SwitchKeepsThePassage) {
    test::CStoreFixture fx;
    fx.AddSampleSet();
    fx.Build();
    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(fx.Folder()));
    const struct {
        Testament t;
        std::u16string book, reference, kept;
    } rows[] = {
        {Testament::Old, u"창세기", u"창2:2", u"창세기 창2:2"},
        {Testament::Old, u"창세기", u"창2:9", u"창세기 창2:1"},
        {Testament::Old, u"창세기", u"창5:1", u"창세기 창1:1"},
        {Testament::Old, u"레위기", u"레1:1", u"창세기 창1:1"},
        {Testament::New, u"마태복음", u"마2: 7", u"마태복음 마2: 1"},
        {Testament::New, u"로마서", u"롬16: 25", u"마태복음 마1: 1"},
    };
    for (const auto& r : rows) {
        const auto kept = KeepPassage(set, {r.t, r.book, r.reference});
        ASSERT_TRUE(kept) << Utf16ToUtf8(r.reference);
        EXPECT_EQ(kept->m_testament, r.t);
        EXPECT_EQ(Utf16ToUtf8(kept->m_strBook + u" " + kept->m_strReference), Utf16ToUtf8(r.kept));
    }
    CStoreSet closed;
    EXPECT_FALSE(KeepPassage(closed, {Testament::New, u"마태복음", u"마1: 1"}));
}

// A gone main set gives the default; gone, repeated, main and third companions are dropped.
TEST(Parallel, ChoiceHeldToTheLibrary) {
    const std::vector<SLibrarySet> sets{{"main", u"", u"", "/a/"},
                                        {"kjv", u"KJV", u"", "/a/kjv/"},
                                        {"web", u"WEB", u"", "/a/web/"},
                                        {"x", u"", u"", "/a/x/"}};
    const std::pair<SSetChoice, std::string> rows[] = {
        {{"kjv", {"web", "main"}}, "kjv:web,main"},
        {{"gone", {"gone", "kjv"}}, "main:kjv"},
        {{"web", {"web", "kjv", "kjv", "x", "main"}}, "web:kjv,x"},
        {{"", {}}, "main:"},
    };
    for (const auto& [wanted, kept] : rows) {
        const SSetChoice choice = ResolveSetChoice(sets, wanted);
        std::string shown = choice.m_strMain + ":";
        for (const auto& id : choice.m_arrCompanions)
            shown += id + (id == choice.m_arrCompanions.back() ? "" : ",");
        EXPECT_EQ(shown, kept);
    }
    EXPECT_EQ(ResolveSetChoice({}, {"kjv", {"kjv"}}).m_strMain, "");
}

}  // namespace
}  // namespace tavrin
