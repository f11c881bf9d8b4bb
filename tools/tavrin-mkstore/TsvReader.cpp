// TsvReader.cpp - parses and checks the TAB-separated verse file.
#include "TsvReader.h"

#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "CodePage.h"
#include "InputFile.h"
#include "TextUtil.h"

namespace tavrin {

namespace {

constexpr int kMaxNumber = 9999;

// A decimal number 1..kMaxNumber without sign or blanks; 0 when malformed.
int ParseNumber(const std::string& s) {
    if (s.empty() || s.size() > 4)
        return 0;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n <= kMaxNumber ? n : 0;
}

struct Verse {
    std::u16string strText;
    int nLine;
};

// The header lines a '#' line may be: "# title: TEXT" and "# short-name: TEXT".
struct SHeader {
    const char* pszLabel;  // "title:"
    const char* pszName;   // for messages
    std::string strValue;
    int nLine = 0;  // where it was given; 0: not yet
};

// Which header a '#' line gives: its index in headers, with its value taken;
// -1 for any other line.
int HeaderLine(const std::string& line, std::vector<SHeader>& headers) {
    const std::string rest = Trim(std::string_view(line).substr(1));
    for (size_t i = 0; i < headers.size(); ++i) {
        const std::string_view label = headers[i].pszLabel;
        if (rest.starts_with(label)) {
            headers[i].strValue = Trim(std::string_view(rest).substr(label.size()));
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

bool ReadTsvText(const std::string& path, const CBookTable& table, CBibleText& text,
                 std::string& error) {
    std::string bytes;
    if (!ReadInputFile(path, bytes, error))
        return false;
    std::istringstream in(std::move(bytes));
    return ReadTsvText(in, InputName(path), table, text, error);
}

bool ReadTsvText(std::istream& in, const std::string& path, const CBookTable& table,
                 CBibleText& text, std::string& error) {
    // book -> chapter -> verse
    std::map<int, std::map<int, std::map<int, Verse>>> verses;
    std::set<std::string> skipped;
    std::string line;
    std::vector<SHeader> headers = {{"title:", "the title", "", 0},
                                    {"short-name:", "the short name", "", 0}};
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (lineNo == 1 && line.starts_with(kUtf8Bom))
            line.erase(0, kUtf8Bom.size());
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = path + ":" + std::to_string(lineNo) + ": ";
        const int header = !line.empty() && line[0] == '#' ? HeaderLine(line, headers) : -1;
        if (header >= 0 && headers[static_cast<size_t>(header)].nLine != 0) {
            const SHeader& h = headers[static_cast<size_t>(header)];
            error = where + h.pszName + " was already given on line " + std::to_string(h.nLine);
            return false;
        }
        if (header >= 0)
            headers[static_cast<size_t>(header)].nLine = lineNo;
        if (Trim(line).empty() || (line[0] == '#' && header < 0))
            continue;
        if (!IsValidUtf8(line)) {
            error = where + "not valid UTF-8 (or holds a NUL byte)";
            return false;
        }
        if (header >= 0)
            continue;
        size_t tabs[3];
        size_t from = 0;
        bool complete = true;
        for (size_t& tab : tabs) {
            tab = line.find('\t', from);
            if (tab == std::string::npos) {
                complete = false;
                break;
            }
            from = tab + 1;
        }
        if (!complete) {
            error = where + "expected BOOK<TAB>CHAPTER<TAB>VERSE<TAB>TEXT";
            return false;
        }
        const std::string osis = line.substr(0, tabs[0]);
        const std::string chapterField = line.substr(tabs[0] + 1, tabs[1] - tabs[0] - 1);
        const std::string verseField = line.substr(tabs[1] + 1, tabs[2] - tabs[1] - 1);
        const int book = table.Find(osis);
        if (book < 0 && !CBookTable::IsOtherBook(osis)) {
            error = where + "'" + osis + "' is not an OSIS book id (Gen .. Rev)";
            return false;
        }
        const int chapter = ParseNumber(chapterField);
        const int verse = ParseNumber(verseField);
        if (chapter == 0 || verse == 0) {
            error = where + "chapter and verse must be whole numbers from 1 to " +
                    std::to_string(kMaxNumber);
            return false;
        }
        if (book < 0) {
            skipped.insert(osis);
            continue;
        }
        auto [it, added] = verses[book][chapter].try_emplace(
            verse, Verse{Utf8ToUtf16(line.substr(tabs[2] + 1)), lineNo});
        if (!added) {
            error = where + osis + " " + std::to_string(chapter) + ":" + std::to_string(verse) +
                    " was already given on line " + std::to_string(it->second.nLine);
            return false;
        }
    }
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }

    for (auto& [book, chapters] : verses) {
        const std::string& osis = table.Books()[static_cast<size_t>(book)].strOsis;
        for (auto& [chapter, chapterVerses] : chapters) {
            CBibleText::Chapter texts;
            for (auto& [verse, v] : chapterVerses) {
                const int expected = static_cast<int>(texts.size()) + 1;
                if (verse != expected) {
                    error = osis + " " + std::to_string(chapter) + ":" + std::to_string(expected) +
                            ": verse missing (verse " + std::to_string(verse) +
                            " is given on line " + std::to_string(v.nLine) + ")";
                    return false;
                }
                texts.push_back(std::move(v.strText));
            }
            text.AddChapter(book, chapter, std::move(texts));
        }
    }
    text.m_arrSkippedBooks.assign(skipped.begin(), skipped.end());
    text.m_strSource = path;
    text.m_strTitle = Utf8ToUtf16(headers[0].strValue);
    text.m_strShortName = Utf8ToUtf16(headers[1].strValue);
    return true;
}

}  // namespace tavrin
