// StudyMarks.h - what the reading panes and the notes panel show of the study items: the
// highlight colours over a palette's text, each verse's marks, and the panel's rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ColorScheme.h"
#include "SearchQuery.h"
#include "StudyDb.h"

namespace tavrin {

// A highlight's fill under text drawn on background. Each colour has a light shade for dark
// text and a dark shade for light text, both fixed so the built-in palettes' texts keep
// kMarkMinContrast; under other colours a shade falling short is blended towards the
// background as the verse mark is (DeriveMarkColor), so text always keeps it.
SRgb HighlightRgb(EColour colour, const SRgb& text, const SRgb& background);
// The colour's own shade for a small swatch (the light one).
SRgb SwatchRgb(EColour colour);
// A stronger shade for a thin stripe beside a list entry, where no text lies over it.
SRgb StripeRgb(EColour colour);

// What one verse carries.
struct SVerseMarks {
    bool m_bBookmark = false;
    std::optional<EColour> m_highlight;
    size_t m_nNotes = 0;
    bool Any() const { return m_bBookmark || m_highlight || m_nNotes > 0; }
};

// The chapter part of a verse key, through its ':' ("창1:" of "창1:1", "요3:" of "요3: 16");
// the whole key when it has none.
std::string ChapterOf(std::string_view key);

// The marks of each key (UTF-16, as the panes list them) of testament, in order: one
// ChapterItems read per distinct chapter.
std::vector<SVerseMarks> MarksOfKeys(CStudyDb& db, Testament testament,
                                     const std::vector<std::u16string>& keys);

// What the notes panel lists: the filter's items, in the Bible's order or newest first; with a
// search, only notes whose text matches it (the scripture search's matching), kept to the
// filter's kinds. A search that is typed but not searchable lists nothing.
struct SPanelQuery {
    SItemFilter m_filter;
    bool m_bByDate = false;
    std::u16string m_strSearch;
};
std::vector<SStudyItem> PanelItems(CStudyDb& db, const SPanelQuery& query,
                                   const CBibleOrder& order);

// One line about an item for the panel: "책갈피" and its label, "형광펜 노랑", or "메모" and
// the note's first line, cut to maxChars characters with "…".
std::string ItemSummary(const SStudyItem& item, size_t maxChars = 60);

}  // namespace tavrin
