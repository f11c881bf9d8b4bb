// History.cpp - the passages shown, stepped through and kept as text lines.
#include "History.h"

#include "CodePage.h"
#include "FieldEscape.h"

namespace tavrin {

namespace {

std::u16string_view ChapterOf(std::u16string_view reference) {
    const size_t colon = reference.find(u':');
    return colon == std::u16string_view::npos ? reference : reference.substr(0, colon + 1);
}

bool SameChapter(const SHistoryEntry& a, const SHistoryEntry& b) {
    return a.m_testament == b.m_testament && a.m_strBook == b.m_strBook &&
           ChapterOf(a.m_strReference) == ChapterOf(b.m_strReference);
}

// The name a field stands for; nullopt when it is empty, holds a bad escape
// or a TAB, or is not UTF-8 (decoding would put U+FFFD in its place).
std::optional<std::u16string> Unescape(std::string_view field) {
    const std::optional<std::string> raw = UnescapeField(field);
    if (!raw || raw->empty() || raw->find('\t') != std::string::npos || !IsWellFormedUtf8(*raw))
        return std::nullopt;
    return Utf8ToUtf16(*raw);
}

std::optional<SHistoryEntry> ParseLine(std::string_view line) {
    if (line.size() > CHistory::kMaxLineBytes)
        return std::nullopt;
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos)
        return std::nullopt;
    SHistoryEntry entry;
    const std::string_view testament = line.substr(0, tab1);
    if (testament == "old")
        entry.m_testament = Testament::Old;
    else if (testament != "new")
        return std::nullopt;
    auto book = Unescape(line.substr(tab1 + 1, tab2 - tab1 - 1));
    auto reference = Unescape(line.substr(tab2 + 1));
    if (!book || !reference)
        return std::nullopt;
    entry.m_strBook = std::move(*book);
    entry.m_strReference = std::move(*reference);
    return entry;
}

}  // namespace

void CHistory::Visit(const SHistoryEntry& entry) {
    if (entry.m_strBook.empty() || entry.m_strReference.empty())
        return;
    if (const SHistoryEntry* current = Current(); current && SameChapter(*current, entry)) {
        m_arrEntries[static_cast<size_t>(m_nCurrent)].m_strReference = entry.m_strReference;
        return;
    }
    m_arrEntries.resize(static_cast<size_t>(m_nCurrent + 1));
    m_arrEntries.push_back(entry);
    if (m_arrEntries.size() > kMaxEntries)
        m_arrEntries.erase(m_arrEntries.begin());
    m_nCurrent = static_cast<int>(m_arrEntries.size()) - 1;
}

std::optional<int> CHistory::Step(int direction, const HistoryExists& exists) const {
    if (m_nCurrent < 0)
        return std::nullopt;
    for (int i = m_nCurrent + direction; i >= 0 && i < static_cast<int>(m_arrEntries.size());
         i += direction) {
        if (!exists || exists(m_arrEntries[static_cast<size_t>(i)]))
            return i;
    }
    return std::nullopt;
}

std::optional<SHistoryEntry> CHistory::Back(const HistoryExists& exists) {
    const std::optional<int> to = Step(-1, exists);
    if (!to)
        return std::nullopt;
    m_nCurrent = *to;
    return m_arrEntries[static_cast<size_t>(m_nCurrent)];
}

std::optional<SHistoryEntry> CHistory::Forward(const HistoryExists& exists) {
    const std::optional<int> to = Step(1, exists);
    if (!to)
        return std::nullopt;
    m_nCurrent = *to;
    return m_arrEntries[static_cast<size_t>(m_nCurrent)];
}

bool CHistory::CanGoBack(const HistoryExists& exists) const {
    return Step(-1, exists).has_value();
}

bool CHistory::CanGoForward(const HistoryExists& exists) const {
    return Step(1, exists).has_value();
}

const SHistoryEntry* CHistory::Current() const {
    return m_nCurrent < 0 ? nullptr : &m_arrEntries[static_cast<size_t>(m_nCurrent)];
}

void CHistory::Clear() {
    m_arrEntries.clear();
    m_nCurrent = -1;
}

std::string CHistory::Format() const {
    std::string out;
    for (size_t i = 0; i < m_arrEntries.size(); ++i) {
        const SHistoryEntry& e = m_arrEntries[i];
        if (static_cast<int>(i) == m_nCurrent)
            out += '*';
        out += e.m_testament == Testament::Old ? "old\t" : "new\t";
        AppendEscapedField(out, Utf16ToUtf8(e.m_strBook));
        out += '\t';
        AppendEscapedField(out, Utf16ToUtf8(e.m_strReference));
        out += '\n';
    }
    return out;
}

CHistory CHistory::Parse(std::string_view text) {
    CHistory history;
    std::optional<size_t> marked;  // index in m_arrEntries before any is dropped
    size_t dropped = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r'))  // a line end of an edited file; CR in a name is escaped
            line.remove_suffix(1);
        const bool isCurrent = line.starts_with('*');
        if (isCurrent)
            line.remove_prefix(1);
        std::optional<SHistoryEntry> entry = ParseLine(line);
        if (!entry)
            continue;
        if (isCurrent && !marked)
            marked = dropped + history.m_arrEntries.size();
        history.m_arrEntries.push_back(std::move(*entry));
        if (history.m_arrEntries.size() > kMaxEntries) {
            history.m_arrEntries.erase(history.m_arrEntries.begin());
            ++dropped;
        }
    }
    const size_t count = history.m_arrEntries.size();
    if (marked && *marked >= dropped)
        history.m_nCurrent = static_cast<int>(*marked - dropped);
    else
        history.m_nCurrent = static_cast<int>(count) - 1;
    return history;
}

}  // namespace tavrin
