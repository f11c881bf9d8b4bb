// StoreBuilder.cpp - record building with limit checks, and the write-then-rename of a set.
#include "StoreBuilder.h"

#include <stdlib.h>
#include <tessdb.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "Chapter.h"
#include "CodePage.h"
#include "NameList.h"
#include "SetInfo.h"
#include "StoreSet.h"
#include "TextUtil.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::string Number(size_t n) {
    return std::to_string(n);
}

int TestamentIndex(Testament t) {
    return t == Testament::Old ? 0 : 1;
}

}  // namespace

void CStoreBuilder::Peak::Take(size_t value, const std::string& where) {
    if (value > nValue || strWhere.empty()) {
        nValue = value;
        strWhere = where;
    }
}

std::vector<std::string> CStoreBuilder::Build(const CBibleText& text) {
    for (int t = 0; t < 2; ++t) {
        m_arrIndex[t].clear();
        m_arrText[t].clear();
    }
    m_figures = Figures();
    m_arrBreaches.clear();
    m_arrWarnings.clear();
    std::u16string bookLists[2] = {u"\t", u"\t"};
    for (const auto& [bookIndex, chapters] : text.Books()) {
        const CBookTable::Book& book = m_table.Books()[static_cast<size_t>(bookIndex)];
        AddBook(book, chapters, bookLists[TestamentIndex(book.testament)]);
    }
    AddBookLists(bookLists);
    AddDescription(text.m_strTitle);
    AddShortName(text.m_strShortName);
    if (text.Books().empty())
        Breach("the source holds none of the 66 books");
    return m_arrBreaches;
}

void CStoreBuilder::AddBook(const CBookTable::Book& book, const Chapters& chapters,
                            std::u16string& bookList) {
    const int t = TestamentIndex(book.testament);
    const std::string bookLabel = Utf16ToUtf8(book.strName) + " (" + book.strOsis + ")";
    ++m_figures.nBooks[t];
    m_figures.nChapters[t] += static_cast<int>(chapters.size());
    m_figures.peakNameChars.Take(book.strName.size(), bookLabel + " name");
    if (book.strName.size() > kMaxNameChars)
        Breach(bookLabel + ": name has " + Number(book.strName.size()) + " characters, more than " +
               Number(kMaxNameChars));
    bookList += book.strName + u'\t';

    std::u16string references = u"\t";
    for (const auto& [chapter, verses] : chapters) AddChapter(book, chapter, verses, references);
    std::string list = EncodeAnsi(references);
    m_figures.peakListBytes.Take(list.size(), bookLabel + " reference list");
    if (list.size() > kMaxRecordBytes)
        Breach(bookLabel + ": reference list is " + Number(list.size()) + " bytes, more than " +
               Number(kMaxRecordBytes));
    m_arrIndex[t].emplace_back(EncodeAnsi(book.strName), std::move(list));
}

void CStoreBuilder::AddChapter(const CBookTable::Book& book, int chapter,
                               const CBibleText::Chapter& verses, std::u16string& references) {
    const int t = TestamentIndex(book.testament);
    const size_t c = static_cast<size_t>(chapter);
    const std::u16string chapterRef = book.strAbbr + Utf8ToUtf16(Number(c)) + u':';
    const std::string chapterLabel =
        Utf16ToUtf8(book.strName) + " (" + book.strOsis + ") " + Number(c);
    std::vector<std::u16string> layout;
    m_figures.nVerses[t] += static_cast<int>(verses.size());
    m_figures.peakVerses.Take(verses.size(), chapterLabel);
    for (size_t v = 1; v <= verses.size(); ++v) {
        const std::string verseLabel = chapterLabel + ":" + Number(v);
        const std::u16string key = VerseKey(chapterRef, static_cast<int>(v), book.testament);
        m_figures.peakNameChars.Take(key.size(), verseLabel + " key");
        if (key.size() > kMaxNameChars)
            Breach(verseLabel + ": key '" + Utf16ToUtf8(key) + "' has " + Number(key.size()) +
                   " characters, more than " + Number(kMaxNameChars) + " (the longest list name)");
        std::vector<char32_t> replaced;
        std::string encoded = EncodeAnsi(verses[v - 1], &replaced);
        for (char32_t r : replaced) ++m_figures.mapReplaced[r];
        m_figures.nTextBytes += encoded.size();
        m_figures.peakVerseBytes.Take(encoded.size(), verseLabel);
        if (encoded.size() > kMaxRecordBytes)
            Breach(verseLabel + ": text is " + Number(encoded.size()) +
                   " bytes in code page 949, more than " + Number(kMaxRecordBytes));
        if (v <= static_cast<size_t>(kMaxChapterVerses)) {
            layout.push_back(key);
            layout.push_back(replaced.empty() ? verses[v - 1] : AnsiToWide(encoded));
        }
        references += key + u'\t';
        m_arrText[t].emplace_back(EncodeAnsi(key), std::move(encoded));
    }
    const size_t layoutChars = ChapterLayoutLength(layout);
    m_figures.peakLayoutChars.Take(layoutChars, chapterLabel);
    if (layoutChars > kMaxChapterTextChars)
        Breach(chapterLabel + ": the chapter reader's text of verses 1-" +
               Number(layout.size() / 2) + " is " + Number(layoutChars) +
               " characters, more than " + Number(kMaxChapterTextChars) + " (from verse 1)");
    if (verses.size() > static_cast<size_t>(kMaxChapterVerses))
        m_arrWarnings.push_back(chapterLabel + " has " + Number(verses.size()) +
                                " verses; the chapter reader shows the first " +
                                Number(kMaxChapterVerses));
}

void CStoreBuilder::AddBookLists(const std::u16string (&bookLists)[2]) {
    for (int t = 0; t < 2; ++t) {
        std::string list = EncodeAnsi(bookLists[t]);
        const std::string label = t == 0 ? "Old Testament book list" : "New Testament book list";
        m_figures.peakListBytes.Take(list.size(), label);
        if (list.size() > kMaxRecordBytes)
            Breach(label + " is " + Number(list.size()) + " bytes, more than " +
                   Number(kMaxRecordBytes));
        m_arrIndex[t].insert(m_arrIndex[t].begin(), {std::string(kBookListKey), std::move(list)});
    }
}

std::string CStoreBuilder::EncodeSetText(std::u16string_view text, const std::string& what) {
    std::vector<char32_t> replaced;
    std::string encoded = EncodeAnsi(text, &replaced);
    for (char32_t c : replaced) Breach(what + ": code page 949 cannot hold " + DescribeChar(c));
    if (HasControl(text))
        Breach(what + ": holds a control character");
    return encoded;
}

void CStoreBuilder::AddDescription(std::u16string_view title) {
    if (title.empty())
        return;
    std::string encoded = EncodeSetText(title, "title");
    if (encoded.size() > kMaxDescriptionBytes)
        Breach("title: " + Number(encoded.size()) + " bytes in code page 949, more than " +
               Number(kMaxDescriptionBytes));
    m_arrIndex[0].emplace_back(std::string(kDescriptionKey), std::move(encoded));
}

void CStoreBuilder::AddShortName(std::u16string_view name) {
    if (name.empty())
        return;
    std::string encoded = EncodeSetText(name, "short name");
    const size_t chars = CharacterCount(name);
    if (chars > kMaxShortNameChars)
        Breach("short name: '" + Utf16ToUtf8(name) + "' has " + Number(chars) +
               " characters, more than " + Number(kMaxShortNameChars));
    m_arrIndex[0].emplace_back(std::string(kShortNameKey), std::move(encoded));
}

std::array<CStoreBuilder::Target, 4> CStoreBuilder::Targets() const {
    return {{{kKeyOldFile, &m_arrIndex[0]},
             {kKeyNewFile, &m_arrIndex[1]},
             {kDatOldFile, &m_arrText[0]},
             {kDatNewFile, &m_arrText[1]}}};
}

bool CStoreBuilder::Write(const std::string& outdir, std::string& error,
                          const ProgressFn& progress) {
    std::error_code ec;
    fs::create_directories(outdir, ec);
    if (ec || !fs::is_directory(outdir)) {
        error = outdir + ": cannot make the folder (" + ec.message() + ")";
        return false;
    }
    std::string work = (fs::path(outdir) / ".tavrin-mkstore-XXXXXX").string();
    if (mkdtemp(work.data()) == nullptr) {
        error = outdir + ": cannot make a work folder inside it";
        return false;
    }
    const bool written = WriteStores(work, error, progress) && ReplaceStores(outdir, work, error);
    fs::remove_all(work, ec);
    return written;
}

bool CStoreBuilder::WriteStores(const std::string& work, std::string& error,
                                const ProgressFn& progress) const {
    size_t total = 0, done = 0;
    for (const Target& target : Targets()) total += target.records->size();
    for (const Target& target : Targets()) {
        const std::string path = (fs::path(work) / target.file).string();
        void* store = OpenStoreFile(path, FL_NEWDB);
        if (store == nullptr) {
            error = path + ": cannot be created";
            return false;
        }
        for (const auto& [key, text] : *target.records) {
            if (InsertQdata(store, const_cast<char*>(key.c_str()), const_cast<char*>(text.c_str()),
                            0) != 1) {
                DestroyTESS(store);
                error = std::string(target.file) + ": cannot store key '" +
                        Utf16ToUtf8(AnsiToWide(key)) + "' (given twice?)";
                return false;
            }
            if (progress && ++done % 2048 == 0)
                progress(static_cast<double>(done) / static_cast<double>(total), target.file);
        }
        DestroyTESS(store);
    }
    return true;
}

// Every file is complete before the first one replaces anything. The old
// files are kept as hard links so that a rename failing half-way can put the
// old set back.
bool CStoreBuilder::ReplaceStores(const std::string& outdir, const std::string& work,
                                  std::string& error) const {
    const std::array<Target, 4> targets = Targets();
    std::error_code ec;
    const fs::path keep = fs::path(work) / "old";
    fs::create_directory(keep, ec);
    bool hadOld[4] = {};
    for (size_t i = 0; i < targets.size(); ++i) {
        const fs::path existing = fs::path(outdir) / targets[i].file;
        hadOld[i] = fs::exists(existing, ec);
        if (hadOld[i]) {
            fs::create_hard_link(existing, keep / targets[i].file, ec);
            if (ec) {
                error = existing.string() + ": cannot be kept aside (" + ec.message() + ")";
                return false;
            }
        }
    }
    auto rename = [this](const fs::path& from, const fs::path& to, std::error_code& failure) {
        if (m_fnRename)
            m_fnRename(from.string(), to.string(), failure);
        else
            fs::rename(from, to, failure);
    };
    for (size_t i = 0; i < targets.size(); ++i) {
        const fs::path to = fs::path(outdir) / targets[i].file;
        rename(fs::path(work) / targets[i].file, to, ec);
        if (!ec)
            continue;
        error = to.string() + ": cannot be replaced (" + ec.message() + ")";
        for (size_t j = 0; j < i; ++j) {
            const fs::path back = fs::path(outdir) / targets[j].file;
            std::error_code ignored;
            if (hadOld[j])
                rename(keep / targets[j].file, back, ignored);
            else
                fs::remove(back, ignored);
        }
        return false;
    }
    return true;
}

}  // namespace tavrin
