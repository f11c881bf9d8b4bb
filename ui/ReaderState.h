// ReaderState.h - where the reader was left (testament, book, reference) and
// where its two windows stood, kept in a small text file of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// The state file's name, in the user's configuration folder.
inline constexpr const char* kReaderStateFileName = "tavrin-state.ini";
// A bigger file is not ours and is not read.
inline constexpr size_t kMaxReaderStateBytes = 64 * 1024;
// Coordinates and sizes beyond this are not a window's.
inline constexpr int kMaxWindowCoordinate = 1000000;

// A rectangle in screen pixels.
struct SRect {
    int m_nX = 0;
    int m_nY = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

// A window's normal (not maximised) rectangle and whether it was maximised.
struct SWindowPlace {
    SRect m_rect;
    bool m_bMaximized = false;
};

struct SReaderState {
    // The passage, present only when testament, book and reference all are.
    bool m_bHasPassage = false;
    Testament m_testament = Testament::New;
    std::u16string m_strBook;
    std::u16string m_strReference;
    std::optional<SWindowPlace> m_mainPlace;     // the main window
    std::optional<SWindowPlace> m_chapterPlace;  // the chapter reader
    // The passages shown, in CHistory's text form (one entry a line).
    std::string m_strHistory;
    // The chosen citation format (EncodeCitationFormat's 0..7), once chosen.
    std::optional<int> m_citationFormat;
    bool m_bChapterParagraphs = false;  // the reader's paragraph layout chosen
    // The sets chosen by id: the main text ("" until chosen) and the companions.
    std::string m_strMainSet;
    std::vector<std::string> m_arrCompanions;
};

// The file's text: UTF-8 lines "key=value" (testament, book, reference, main,
// chapter, chapter-layout "paragraphs" or "verses", citation, main-set (a set
// id), companions (set ids joined by ','), then one history line per history
// entry), a place as "x y width height maximised(0/1)"; a
// backslash, CR or LF in a name is written as "\\", "\r", "\n".
std::string FormatReaderState(const SReaderState& state);

// Reads what text holds. Unknown keys, comments ('#'), and values that do not
// parse (a place with a size below 1 or a number beyond
// kMaxWindowCoordinate, a testament other than "old" or "new", a citation
// other than 0..7, a main-set that is no set id, each companion that is none)
// are skipped one by one; the passage needs all three of its
// lines. History lines are kept in their order for CHistory::Parse, which
// judges them. Never fails.
SReaderState ParseReaderState(std::string_view text);

// The state in the file at path. A missing or unreadable file, or one that is
// not a regular file (a FIFO, a device, a folder: never waited on) or is
// bigger than kMaxReaderStateBytes gives the empty state.
SReaderState LoadReaderState(const std::string& path);

// Writes state to path through a temporary file renamed over the old one, so
// a failed or interrupted save leaves the old file whole. False on failure.
bool SaveReaderState(const std::string& path, const SReaderState& state);

// rect moved, and shrunk where it is larger, to lie wholly within one of
// screens (their available areas): the one it overlaps most, or the first
// when it overlaps none. An empty list leaves rect as it is.
SRect FitToScreens(const SRect& rect, const std::vector<SRect>& screens);

// Where a window of width x height opens beside main (a window's rectangle)
// on screen (its available area): to main's right, top edges level, when it
// fits there; else to its left; else over main's right part, its right edge
// on main's (or the screen's). Then held within screen (FitToScreens).
SRect PlaceBeside(const SRect& main, int width, int height, const SRect& screen);

}  // namespace tavrin
