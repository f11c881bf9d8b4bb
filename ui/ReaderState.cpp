// ReaderState.cpp - the reader's state file: its text form, its safe reading
// and writing, and window places fitted to the screens.
#include "ReaderState.h"

#include <algorithm>
#include <charconv>
#include <tuple>
#include <utility>

#include "CodePage.h"
#include "FieldEscape.h"
#include "FileIo.h"
#include "SetLibrary.h"

namespace tavrin {

namespace {

std::string Escaped(std::u16string_view name) {
    std::string out;
    tavrin::AppendEscapedField(out, tavrin::Utf16ToUtf8(name));
    return out;
}

// A damaged escape leaves the value as it stands: the passage is then simply not found.
std::u16string Unescaped(std::string_view value) {
    return tavrin::Utf8ToUtf16(tavrin::UnescapeField(value).value_or(std::string(value)));
}

std::string PlaceText(const SWindowPlace& place) {
    const SRect& r = place.m_rect;
    return std::to_string(r.m_nX) + ' ' + std::to_string(r.m_nY) + ' ' +
           std::to_string(r.m_nWidth) + ' ' + std::to_string(r.m_nHeight) + ' ' +
           (place.m_bMaximized ? '1' : '0');
}

// Five numbers separated by single blanks, each within the limits.
std::optional<SWindowPlace> ParsePlace(std::string_view text) {
    int values[5];
    const char* p = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < 5; ++i) {
        if (i > 0) {
            if (p == end || *p != ' ')
                return std::nullopt;
            ++p;
        }
        const auto [next, ec] = std::from_chars(p, end, values[i]);
        if (ec != std::errc() || next == p)
            return std::nullopt;
        p = next;
    }
    if (p != end)
        return std::nullopt;
    const auto within = [](int v, int low) { return v >= low && v <= kMaxWindowCoordinate; };
    if (!within(values[0], -kMaxWindowCoordinate) || !within(values[1], -kMaxWindowCoordinate) ||
        !within(values[2], 1) || !within(values[3], 1) || (values[4] != 0 && values[4] != 1))
        return std::nullopt;
    return SWindowPlace{{values[0], values[1], values[2], values[3]}, values[4] == 1};
}

long long Overlap(const SRect& a, const SRect& b) {
    const auto span = [](long long a0, long long aw, long long b0, long long bw) {
        return std::min(a0 + aw, b0 + bw) - std::max(a0, b0);
    };
    const long long w = span(a.m_nX, a.m_nWidth, b.m_nX, b.m_nWidth);
    const long long h = span(a.m_nY, a.m_nHeight, b.m_nY, b.m_nHeight);
    return w > 0 && h > 0 ? w * h : 0;
}

// start and length moved and cut to lie within [areaStart, areaStart + areaLength).
std::pair<int, int> FitSpan(int start, int length, int areaStart, int areaLength) {
    const int fittedLength = std::clamp(length, 1, areaLength);
    const long long last = static_cast<long long>(areaStart) + areaLength - fittedLength;
    return {static_cast<int>(std::clamp<long long>(start, areaStart, last)), fittedLength};
}

}  // namespace

std::string FormatReaderState(const SReaderState& state) {
    std::string text = "# Tavrin: where the reader was left; rewritten when it closes.\n";
    if (state.m_bHasPassage) {
        text += state.m_testament == Testament::Old ? "testament=old\n" : "testament=new\n";
        text += "book=" + Escaped(state.m_strBook) + '\n';
        text += "reference=" + Escaped(state.m_strReference) + '\n';
    }
    if (state.m_mainPlace)
        text += "main=" + PlaceText(*state.m_mainPlace) + '\n';
    if (state.m_chapterPlace)
        text += "chapter=" + PlaceText(*state.m_chapterPlace) + '\n';
    if (state.m_bChapterParagraphs)
        text += "chapter-layout=paragraphs\n";
    if (state.m_citationFormat)
        text += "citation=" + std::to_string(*state.m_citationFormat) + '\n';
    if (!state.m_strMainSet.empty())
        text += "main-set=" + state.m_strMainSet + '\n';
    if (!state.m_arrCompanions.empty()) {
        std::string ids;
        for (const std::string& id : state.m_arrCompanions) ids += (ids.empty() ? "" : ",") + id;
        text += "companions=" + ids + '\n';
    }
    // The history's own text form escapes line breaks, so each entry is one line.
    std::string_view history = state.m_strHistory;
    while (!history.empty()) {
        const size_t eol = history.find('\n');
        if (eol != 0)
            text += "history=" + std::string(history.substr(0, eol)) + '\n';
        history = eol == std::string_view::npos ? std::string_view() : history.substr(eol + 1);
    }
    return text;
}

SReaderState ParseReaderState(std::string_view text) {
    SReaderState state;
    std::optional<Testament> testament;
    std::optional<std::u16string> book;
    std::optional<std::u16string> reference;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        if (key == "testament" && (value == "old" || value == "new"))
            testament = value == "old" ? Testament::Old : Testament::New;
        else if (key == "book")
            book = Unescaped(value);
        else if (key == "reference")
            reference = Unescaped(value);
        else if (key == "citation" && value.size() == 1 && value[0] >= '0' && value[0] <= '7')
            state.m_citationFormat = value[0] - '0';
        else if (key == "history")
            (state.m_strHistory += value) += '\n';
        else if (key == "chapter-layout" && (value == "paragraphs" || value == "verses"))
            state.m_bChapterParagraphs = value == "paragraphs";
        else if (key == "main-set" && IsSetId(value))
            state.m_strMainSet = value;
        else if (key == "companions") {
            state.m_arrCompanions.clear();
            for (size_t from = 0; from <= value.size();) {
                const size_t comma = std::min(value.find(',', from), value.size());
                if (IsSetId(value.substr(from, comma - from)))
                    state.m_arrCompanions.emplace_back(value.substr(from, comma - from));
                from = comma + 1;
            }
        } else if (key == "main" || key == "chapter") {
            if (auto place = ParsePlace(value))
                (key == "main" ? state.m_mainPlace : state.m_chapterPlace) = place;
        }
    }
    if (testament && book && reference) {
        state.m_bHasPassage = true;
        state.m_testament = *testament;
        state.m_strBook = std::move(*book);
        state.m_strReference = std::move(*reference);
    }
    return state;
}

SReaderState LoadReaderState(const std::string& path) {
    const auto bytes = ReadRegularFile(path, kMaxReaderStateBytes);
    return bytes ? ParseReaderState(*bytes) : SReaderState();
}

bool SaveReaderState(const std::string& path, const SReaderState& state) {
    return ReplaceFile(path, {FormatReaderState(state)}, true);
}

SRect FitToScreens(const SRect& rect, const std::vector<SRect>& screens) {
    const SRect* best = nullptr;
    long long bestOverlap = -1;
    for (const SRect& screen : screens) {
        if (screen.m_nWidth < 1 || screen.m_nHeight < 1)
            continue;
        const long long overlap = Overlap(rect, screen);
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = &screen;
        }
    }
    if (best == nullptr)
        return rect;
    SRect fitted;
    std::tie(fitted.m_nX, fitted.m_nWidth) =
        FitSpan(rect.m_nX, rect.m_nWidth, best->m_nX, best->m_nWidth);
    std::tie(fitted.m_nY, fitted.m_nHeight) =
        FitSpan(rect.m_nY, rect.m_nHeight, best->m_nY, best->m_nHeight);
    return fitted;
}

SRect PlaceBeside(const SRect& main, int width, int height, const SRect& screen) {
    SRect place{main.m_nX + main.m_nWidth, main.m_nY, width, height};
    const int screenRight = screen.m_nX + screen.m_nWidth;
    if (place.m_nX + width > screenRight) {
        place.m_nX = main.m_nX - width;
        if (place.m_nX < screen.m_nX)
            place.m_nX = std::min(main.m_nX + main.m_nWidth, screenRight) - width;
    }
    return FitToScreens(place, {screen});
}

}  // namespace tavrin
