// StoreVerifier.cpp - walks lists, references and chapters of a set and checks every record.
#include "StoreVerifier.h"

#include <filesystem>
#include <map>

#include "Chapter.h"
#include "CodePage.h"
#include "NameList.h"
#include "RawStore.h"
#include "RecordFraming.h"
#include "Reference.h"
#include "SetInfo.h"
#include "StoreSet.h"
#include "TextUtil.h"

namespace tavrin {

namespace {

constexpr int kMaxCountedVerses = 10000;

std::string Quote(std::u16string_view s) {
    std::string quoted(1, '\'');
    quoted.append(Utf16ToUtf8(s)).push_back('\'');
    return quoted;
}

constexpr const char* kFiles[4] = {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile};

size_t IndexFile(Testament t) {
    return t == Testament::Old ? 0 : 1;
}
size_t TextFile(Testament t) {
    return 2 + IndexFile(t);
}

}  // namespace

bool CStoreVerifier::Verify(const std::string& dir) {
    m_arrBreaches.clear();
    m_arrWarnings.clear();
    m_nBooks = m_nChapters = m_nReferences = 0;
    LoadRawStores(dir);
    CStoreSet set;
    set.OpenStores(dir);
    for (Testament t : {Testament::Old, Testament::New}) CheckTestament(set, t);
    return m_arrBreaches.empty();
}

void CStoreVerifier::LoadRawStores(const std::string& dir) {
    for (size_t i = 0; i < 4; ++i) {
        std::string error;
        m_bLoaded[i] = m_raw[i].Load((std::filesystem::path(dir) / kFiles[i]).string(), error);
        if (!m_bLoaded[i]) {
            Breach(kFiles[i], error);
            continue;
        }
        for (const auto& [key, stored] : m_raw[i].BadKeys())
            Breach(kFiles[i],
                   "key " + Quote(AnsiToWide(key)) + " is not framed as a NUL-terminated string");
        for (const auto& [key, stored] : m_raw[i].Records()) CheckRecord(kFiles[i], key, stored);
    }
}

void CStoreVerifier::CheckRecord(const char* file, const std::string& key,
                                 const std::string& stored) {
    const std::string where = std::string(file) + ": record " + Quote(AnsiToWide(key));
    const std::string framing = CRawStore::FramingProblem(stored);
    if (!framing.empty())
        Breach(where, framing);
    const std::string_view text = tessdb::RecordText(stored);
    if (text.size() > kMaxRecordBytes)
        Breach(where, "text is " + std::to_string(text.size()) + " bytes, more than " +
                          std::to_string(kMaxRecordBytes));
    const std::u16string wideKey = AnsiToWide(key);
    if (wideKey.size() > kMaxKeyChars)
        Breach(where, "key has " + std::to_string(wideKey.size()) + " characters, more than " +
                          std::to_string(kMaxKeyChars));
    const std::u16string wideText = AnsiToWide(text);
    if (EncodeAnsi(wideText) != text || EncodeAnsi(wideKey) != key)
        Breach(where, "not valid code page 949 text");
    if (std::string_view(file) != kKeyOldFile)
        return;
    if (key == kDescriptionKey) {
        if (text.size() > kMaxDescriptionBytes)
            Breach(where, "the description is " + std::to_string(text.size()) +
                              " bytes, more than " + std::to_string(kMaxDescriptionBytes));
        if (HasControl(wideText))
            Breach(where, "the description holds a control character");
    } else if (key == kShortNameKey) {
        if (CharacterCount(wideText) > kMaxShortNameChars)
            Breach(where, "the short name has " + std::to_string(CharacterCount(wideText)) +
                              " characters, more than " + std::to_string(kMaxShortNameChars));
        if (HasControl(wideText))
            Breach(where, "the short name holds a control character");
        if (wideText.empty())
            Breach(where, "the short name is empty");
    }
}

void CStoreVerifier::CheckTestament(const CStoreSet& set, Testament t) {
    const std::string indexFile = kFiles[IndexFile(t)];
    const std::string textFile = kFiles[TextFile(t)];
    if (set.IndexStore(t) == nullptr || set.TextStore(t) == nullptr) {
        if (m_bLoaded[IndexFile(t)] && set.IndexStore(t) == nullptr)
            Breach(indexFile, "does not open read-only as a store");
        if (m_bLoaded[TextFile(t)] && set.TextStore(t) == nullptr)
            Breach(textFile, "does not open read-only as a store");
        return;
    }
    bool found = false;
    const std::string bookList = FetchRecordText(set.IndexStore(t), kBookListKey, &found);
    if (!found) {
        Breach(indexFile, "no \"allindex\" record (the book list)");
        return;
    }
    ChapterCounts chapters = CheckBooks(set, t, bookList);
    CheckChapters(set, t, chapters);
    CheckVerseGaps(t, chapters);
}

std::vector<std::u16string> CStoreVerifier::CheckList(const std::string& where,
                                                      std::string_view text) {
    const SNameList split = SplitNameList(text);
    for (const std::u16string& name : split.arrNames) {
        if (name.size() > kMaxNameChars)
            Breach(where, "name " + Quote(name) + " has " + std::to_string(name.size()) +
                              " characters, more than " + std::to_string(kMaxNameChars));
    }
    if (!split.strRest.empty())
        Breach(where,
               Quote(split.strRest) + " after the last TAB is not a name (every name needs a TAB)");
    if (split.arrNames.empty())
        m_arrWarnings.push_back(where + ": lists no name");
    return ParseNameList(text);
}

CStoreVerifier::ChapterCounts CStoreVerifier::CheckBooks(const CStoreSet& set, Testament t,
                                                         const std::string& bookList) {
    const std::string indexFile = kFiles[IndexFile(t)];
    const std::string textFile = kFiles[TextFile(t)];
    ChapterCounts chapters;
    for (const std::u16string& book : CheckList(indexFile + ": \"allindex\"", bookList)) {
        ++m_nBooks;
        const std::string bookWhere = indexFile + ": book " + Quote(book);
        bool found = false;
        const std::string refs = FetchRecordText(set.IndexStore(t), ToAnsiKey(book), &found);
        if (!found) {
            Breach(bookWhere, "listed in \"allindex\" but has no reference list");
            continue;
        }
        for (const std::u16string& ref : CheckList(bookWhere, refs)) {
            ++m_nReferences;
            FetchRecordText(set.TextStore(t), ToAnsiKey(ref), &found);
            if (!found)
                Breach(bookWhere, "reference " + Quote(ref) + " is not a key of " + textFile);
            if (!SplitReference(ref))
                m_arrWarnings.push_back(bookWhere + ": reference " + Quote(ref) +
                                        " does not read as a reference, so it cannot be typed");
            const std::u16string chapterRef = ChapterReference(ref);
            if (!chapters.emplace(chapterRef, 0).second)
                continue;
            if (BookPartHoldsDigit(chapterRef))
                Breach(bookWhere, "the book part of " + Quote(chapterRef) +
                                      " holds a digit, so chapters cannot be stepped");
        }
    }
    return chapters;
}

// Each chapter is read as the chapter reader reads it.
void CStoreVerifier::CheckChapters(const CStoreSet& set, Testament t, ChapterCounts& chapters) {
    const std::string textFile = kFiles[TextFile(t)];
    for (auto& [chapterRef, count] : chapters) {
        ++m_nChapters;
        const std::string where = textFile + ": chapter " + Quote(chapterRef);
        std::vector<std::u16string> layout;
        int n = 1;
        for (; n <= kMaxCountedVerses; ++n) {
            const std::u16string key = VerseKey(chapterRef, n, t);
            bool found = false;
            const std::string text = FetchRecordText(set.TextStore(t), ToAnsiKey(key), &found);
            if (!found)
                break;
            if (n <= kMaxChapterVerses) {
                layout.push_back(key);
                layout.push_back(AnsiToWide(text));
            }
        }
        count = n - 1;
        if (count == 0)
            Breach(where, "has no verse 1 (key " + Quote(VerseKey(chapterRef, 1, t)) + ")");
        if (count > kMaxChapterVerses)
            m_arrWarnings.push_back(where + " has " + std::to_string(count) +
                                    " verses; the chapter reader shows the first " +
                                    std::to_string(kMaxChapterVerses));
        const size_t chars = ChapterLayoutLength(layout);
        if (chars > kMaxChapterTextChars)
            Breach(where, "the chapter reader's text is " + std::to_string(chars) +
                              " characters, more than " + std::to_string(kMaxChapterTextChars));
    }
}

// Verse keys past a missing number are never reached.
void CStoreVerifier::CheckVerseGaps(Testament t, const ChapterCounts& chapters) {
    if (!m_bLoaded[TextFile(t)])
        return;
    std::map<std::u16string, int> gaps;  // chapter reference -> first verse past the gap
    for (const auto& [key, stored] : m_raw[TextFile(t)].Records()) {
        const std::optional<SVerseKey> verse = SplitVerseKey(AnsiToWide(key), t);
        if (!verse)
            continue;
        auto it = chapters.find(verse->m_strChapter);
        if (it != chapters.end() && verse->m_nVerse > it->second + 1) {
            int& first = gaps[verse->m_strChapter];
            first = first == 0 ? verse->m_nVerse : std::min(first, verse->m_nVerse);
        }
    }
    for (const auto& [chapterRef, n] : gaps)
        Breach(std::string(kFiles[TextFile(t)]) + ": chapter " + Quote(chapterRef),
               "verse " + std::to_string(chapters.at(chapterRef) + 1) + " is missing but verse " +
                   std::to_string(n) + " exists (verse numbers must run without a gap)");
}

}  // namespace tavrin
