// StudyMarks.cpp - highlight shades, each verse's marks, and the notes panel's rows.
#include "StudyMarks.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "CodePage.h"
#include "StudyLabels.h"

namespace tavrin {

namespace {

struct SShades {
    SRgb m_light;   // under dark text
    SRgb m_dark;    // under light text
    SRgb m_strong;  // a stripe beside a list entry, seen on light and dark grounds alike
};
// In EColour's order.
constexpr std::array<SShades, 5> kShades = {{
    {{0xFF, 0xF5, 0x9D}, {0x5C, 0x4B, 0x00}, {0xE6, 0xB8, 0x00}},  // yellow
    {{0xC8, 0xE6, 0xC9}, {0x1E, 0x51, 0x28}, {0x43, 0xA0, 0x47}},  // green
    {{0xBB, 0xDE, 0xFB}, {0x15, 0x3E, 0x75}, {0x1E, 0x88, 0xE5}},  // blue
    {{0xF8, 0xBB, 0xD0}, {0x6A, 0x1B, 0x4D}, {0xD8, 0x1B, 0x60}},  // pink
    {{0xFF, 0xE0, 0xB2}, {0x7A, 0x3A, 0x00}, {0xFB, 0x8C, 0x00}},  // orange
}};

const SShades& ShadesOf(EColour colour) {
    return kShades[static_cast<size_t>(colour)];
}

}  // namespace

SRgb HighlightRgb(EColour colour, const SRgb& text, const SRgb& background) {
    const SShades& shades = ShadesOf(colour);
    const SRgb shade = RelativeLuminance(text) < 0.5 ? shades.m_light : shades.m_dark;
    if (ContrastRatio(text, shade) >= kMarkMinContrast)
        return shade;
    return DeriveMarkColor(text, background, shade);
}

SRgb SwatchRgb(EColour colour) {
    return ShadesOf(colour).m_light;
}

SRgb StripeRgb(EColour colour) {
    return ShadesOf(colour).m_strong;
}

std::string ChapterOf(std::string_view key) {
    const size_t colon = key.find(':');
    return std::string(colon == std::string_view::npos ? key : key.substr(0, colon + 1));
}

std::vector<SVerseMarks> MarksOfKeys(CStudyDb& db, Testament testament,
                                     const std::vector<std::u16string>& keys) {
    std::vector<SVerseMarks> marks(keys.size());
    std::unordered_map<std::string, std::vector<size_t>> rows;  // UTF-8 key -> its rows
    std::vector<std::string> chapters;
    for (size_t i = 0; i < keys.size(); ++i) {
        std::string key = Utf16ToUtf8(keys[i]);
        std::string chapter = ChapterOf(key);
        if (std::find(chapters.begin(), chapters.end(), chapter) == chapters.end())
            chapters.push_back(std::move(chapter));
        rows[std::move(key)].push_back(i);
    }
    for (const std::string& chapter : chapters) {
        for (const SStudyItem& item : db.ChapterItems(testament, chapter)) {
            const auto found = rows.find(item.m_verse.m_strKey);
            if (found == rows.end())
                continue;
            for (const size_t row : found->second) {
                SVerseMarks& mark = marks[row];
                if (item.m_kind == EItemKind::Bookmark)
                    mark.m_bBookmark = true;
                else if (item.m_kind == EItemKind::Highlight)
                    mark.m_highlight = ColourFromName(item.m_strValue);
                else
                    ++mark.m_nNotes;
            }
        }
    }
    return marks;
}

std::vector<SStudyItem> PanelItems(CStudyDb& db, const SPanelQuery& query,
                                   const CBibleOrder& order) {
    std::vector<SStudyItem> items;
    if (query.m_strSearch.empty()) {
        items = db.List(query.m_filter, query.m_bByDate);
    } else {
        const auto& kinds = query.m_filter.m_arrKinds;
        if (!kinds.empty() && std::find(kinds.begin(), kinds.end(), EItemKind::Note) == kinds.end())
            return {};
        // Newest first, by created time then id: List's order by date.
        items = db.FindNotes(CSearchQuery(query.m_strSearch));
    }
    if (!query.m_bByDate)
        SortInBibleOrder(items, order);
    return items;
}

std::string ItemSummary(const SStudyItem& item, size_t maxChars) {
    std::string line(KindLabel(item.m_kind));
    std::string detail;
    if (item.m_kind == EItemKind::Highlight) {
        const auto colour = ColourFromName(item.m_strValue);
        detail = colour ? std::string(ColourLabel(*colour)) : item.m_strValue;
    } else {
        const std::string& whole =
            item.m_kind == EItemKind::Note ? item.m_strText : item.m_strValue;
        detail = whole.substr(0, whole.find_first_of("\r\n"));
    }
    if (CountChars(detail) > maxChars) {
        // Cut at a character's first byte, never inside one.
        size_t end = 0;
        for (size_t chars = 0; end < detail.size(); ++end)
            if ((static_cast<unsigned char>(detail[end]) & 0xC0) != 0x80 && chars++ == maxChars)
                break;
        detail = detail.substr(0, end) + "…";
    }
    if (!detail.empty())
        line += " " + detail;
    return line;
}

}  // namespace tavrin
