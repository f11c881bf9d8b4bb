// Versification.cpp - reference lists compared book by book, and the division table read line by
// line.
#include "Versification.h"

#include <set>

#include "CodePage.h"
#include "Reference.h"
#include "SetLibrary.h"

namespace tavrin {

namespace {

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
        const size_t tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == line.npos ? line.npos : tab - from));
        if (tab == line.npos)
            return fields;
        from = tab + 1;
    }
}

std::optional<SDivision> ParseLine(std::string_view line) {
    const std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() != 3 || !IsSetId(fields[0]) || fields[2].empty() || !IsWellFormedUtf8(line))
        return std::nullopt;
    const std::optional<SPassage> passage = ParsePassage(Utf8ToUtf16(fields[1]));
    if (!passage || passage->IsWholeChapter())
        return std::nullopt;
    return SDivision{std::string(fields[0]), passage->m_strBook,    passage->m_nChapter,
                     passage->m_nVerse,      passage->m_nLastVerse, Utf8ToUtf16(fields[2])};
}

}  // namespace

std::vector<SKeyDifference> CompareReferences(const CStoreSet& main, const CStoreSet& other) {
    std::vector<SKeyDifference> differences;
    if (!main.AreStoresOpen() || !other.AreStoresOpen())
        return differences;
    for (Testament t : {Testament::Old, Testament::New}) {
        const std::vector<std::u16string> mainBooks = main.ReadBookList(t);
        const std::vector<std::u16string> otherBooks = other.ReadBookList(t);
        const std::set<std::u16string> mainBookSet(mainBooks.begin(), mainBooks.end());
        const std::set<std::u16string> otherBookSet(otherBooks.begin(), otherBooks.end());
        auto addAll = [&](const std::vector<std::u16string>& refs,
                          const std::set<std::u16string>& in, bool added) {
            for (const std::u16string& ref : refs)
                if (in.count(ref) == 0)
                    differences.push_back({t, ref, added});
        };
        for (const std::u16string& book : mainBooks) {
            const std::vector<std::u16string> mine = main.ReadReferenceList(t, book);
            std::vector<std::u16string> theirs;
            if (otherBookSet.count(book) != 0)
                theirs = other.ReadReferenceList(t, book);
            addAll(mine, std::set<std::u16string>(theirs.begin(), theirs.end()), false);
            addAll(theirs, std::set<std::u16string>(mine.begin(), mine.end()), true);
        }
        for (const std::u16string& book : otherBooks)
            if (mainBookSet.count(book) == 0)
                addAll(other.ReadReferenceList(t, book), {}, true);
    }
    return differences;
}

std::vector<SDivision> ParseDivisions(std::string_view text, std::vector<int>* badLines) {
    std::vector<SDivision> table;
    int number = 0;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find('\n', from);
        if (end == text.npos)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        from = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        if (std::optional<SDivision> division = ParseLine(line))
            table.push_back(std::move(*division));
        else if (badLines != nullptr)
            badLines->push_back(number);
    }
    return table;
}

std::optional<std::u16string> DivisionNote(const std::vector<SDivision>& table,
                                           std::string_view setId, std::u16string_view book,
                                           int chapter, int verse) {
    for (const SDivision& d : table) {
        if (d.m_strSetId == setId && SameBookName(d.m_strBook, book) && d.m_nChapter == chapter &&
            verse >= d.m_nFirst && verse <= d.m_nLast)
            return d.m_strNote;
    }
    return std::nullopt;
}

}  // namespace tavrin
