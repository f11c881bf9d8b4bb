// StoreBuilder.h - turns verses into the records of the four stores, checks limits, writes a set.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "BibleText.h"
#include "BookTable.h"
#include "SwordReader.h"

namespace tavrin {

// Builds the simplest store set that serves the reader: "allindex" lists the
// testament's books, each book's reference list is its verse keys (Old
// Testament "창1:1", New Testament "마1: 1"), and each verse key holds the
// verse's text. Lists have a TAB as their skipped first character and a TAB
// after every name.
class CStoreBuilder {
public:
    // The value nearest to a limit that the set came, and where.
    struct Peak {
        size_t nValue = 0;
        std::string strWhere;
        void Take(size_t value, const std::string& where);
    };
    struct Figures {
        int nBooks[2] = {0, 0};  // Old, New
        int nChapters[2] = {0, 0};
        int nVerses[2] = {0, 0};
        size_t nTextBytes = 0;                // verse texts, encoded
        std::map<char32_t, int> mapReplaced;  // character -> occurrences
        Peak peakVerseBytes, peakListBytes, peakLayoutChars, peakNameChars, peakVerses;
    };

    explicit CStoreBuilder(const CBookTable& table) : m_table(table) {}

    // Encodes text (code page 949, unholdable characters replaced) into
    // records and checks every limit of the set: names and references of at
    // most 29 characters, keys of at most 259, record texts and lists of at
    // most 29,998 bytes, and each chapter's first 99 verses laid out in at
    // most 17,999 characters. Returns every breach, each naming the book,
    // chapter and verse; empty when the set can be written. Chapters of more
    // than 99 verses are kept whole and reported by Warnings(). The text's
    // title, when it has one, goes under kDescriptionKey unaltered: a
    // character code page 949 cannot hold, a control character or more than
    // kMaxDescriptionBytes is a breach, not a replacement. So is its short
    // name, under kShortNameKey: at most kMaxShortNameChars characters.
    std::vector<std::string> Build(const CBibleText& text);

    // Writes the records built last into a new folder inside outdir (made
    // when missing), then renames the four files into outdir, so that an
    // existing set there is replaced only by a complete one. On failure
    // returns false with error set, removes what it made and leaves outdir's
    // files as they were.
    bool Write(const std::string& outdir, std::string& error, const ProgressFn& progress = {});

    // Replaces the file renames Write makes, so tests can fail one part-way.
    using RenameFn =
        std::function<void(const std::string& from, const std::string& to, std::error_code& ec)>;
    void SetRenameForTesting(RenameFn rename) { m_fnRename = std::move(rename); }

    const Figures& GetFigures() const { return m_figures; }
    const std::vector<std::string>& Warnings() const { return m_arrWarnings; }

private:
    using Records = std::vector<std::pair<std::string, std::string>>;
    using Chapters = std::map<int, CBibleText::Chapter>;
    struct Target {
        const char* file;
        const Records* records;
    };

    // Build's steps; each adds its records, figures and breaches.
    void AddBook(const CBookTable::Book& book, const Chapters& chapters, std::u16string& bookList);
    void AddChapter(const CBookTable::Book& book, int chapter, const CBibleText::Chapter& verses,
                    std::u16string& references);
    void AddBookLists(const std::u16string (&bookLists)[2]);
    // text in code page 949; a character it cannot hold or a control character is a breach
    // named after what.
    std::string EncodeSetText(std::u16string_view text, const std::string& what);
    void AddDescription(std::u16string_view title);
    void AddShortName(std::u16string_view name);
    void Breach(std::string what) { m_arrBreaches.push_back(std::move(what)); }

    // Write's steps. The four files in the order they are written and renamed.
    std::array<Target, 4> Targets() const;
    bool WriteStores(const std::string& work, std::string& error, const ProgressFn& progress) const;
    bool ReplaceStores(const std::string& outdir, const std::string& work,
                       std::string& error) const;

    const CBookTable& m_table;
    RenameFn m_fnRename;
    Records m_arrIndex[2];  // Old, New
    Records m_arrText[2];
    Figures m_figures;
    std::vector<std::string> m_arrBreaches;
    std::vector<std::string> m_arrWarnings;
};

}  // namespace tavrin
