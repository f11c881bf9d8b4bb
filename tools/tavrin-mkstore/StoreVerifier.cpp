// StoreVerifier.cpp - walks lists, references and chapters of a set and checks every record.
#include "StoreVerifier.h"

#include <filesystem>
#include <map>

#include "Chapter.h"
#include "CodePage.h"
#include "NameList.h"
#include "RawStore.h"
#include "RecordFraming.h"
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

// Splits a text-store key into chapter reference and verse number by the
// testament's format ("X1:5" or "X1: 5"); false when it is not a verse key.
bool SplitVerseKey(std::u16string_view key, Testament t, std::u16string& chapterRef, int& n) {
    const size_t colon = key.rfind(u':');
    if (colon == std::u16string_view::npos)
        return false;
    std::u16string_view digits = key.substr(colon + 1);
    if (t == Testament::New) {
        if (digits.empty() || digits[0] != u' ')
            return false;
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 6 || digits[0] == u'0')
        return false;
    n = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        n = n * 10 + (c - u'0');
    }
    chapterRef = std::u16string(key.substr(0, colon + 1));
    return true;
}

bool BookPartHasDigit(std::u16string_view chapterRef) {
    std::u16string_view part = chapterRef;
    if (!part.empty() && part.back() == u':')
        part.remove_suffix(1);
    while (!part.empty() && part.back() >= u'0' && part.back() <= u'9') part.remove_suffix(1);
    for (char16_t c : part) {
        if (c >= u'0' && c <= u'9')
            return true;
    }
    return false;
}

}  // namespace

bool CStoreVerifier::Verify(const std::string& dir) {
    m_arrBreaches.clear();
    m_arrWarnings.clear();
    m_nBooks = m_nChapters = m_nReferences = 0;
    auto breach = [&](const std::string& where, const std::string& what) {
        m_arrBreaches.push_back(where + ": " + what);
    };

    const char* files[4] = {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile};
    CRawStore raw[4];
    bool loaded[4];
    for (int i = 0; i < 4; ++i) {
        std::string error;
        const std::string path = (std::filesystem::path(dir) / files[i]).string();
        loaded[i] = raw[i].Load(path, error);
        if (!loaded[i]) {
            breach(files[i], error);
            continue;
        }
        for (const auto& [key, stored] : raw[i].BadKeys())
            breach(files[i],
                   "key " + Quote(AnsiToWide(key)) + " is not framed as a NUL-terminated string");
        for (const auto& [key, stored] : raw[i].Records()) {
            const std::string where = std::string(files[i]) + ": record " + Quote(AnsiToWide(key));
            const std::string framing = CRawStore::FramingProblem(stored);
            if (!framing.empty())
                m_arrBreaches.push_back(where + ": " + framing);
            const std::string_view text = tessdb::RecordText(stored);
            if (text.size() > kMaxRecordBytes)
                m_arrBreaches.push_back(where + ": text is " + std::to_string(text.size()) +
                                        " bytes, more than " + std::to_string(kMaxRecordBytes));
            const std::u16string wideKey = AnsiToWide(key);
            if (wideKey.size() > kMaxKeyChars)
                m_arrBreaches.push_back(where + ": key has " + std::to_string(wideKey.size()) +
                                        " characters, more than " + std::to_string(kMaxKeyChars));
            if (EncodeAnsi(AnsiToWide(text)) != text || EncodeAnsi(wideKey) != key)
                m_arrBreaches.push_back(where + ": not valid code page 949 text");
        }
    }

    CStoreSet set;
    set.OpenStores(dir);
    for (Testament t : {Testament::Old, Testament::New}) {
        const int ti = t == Testament::Old ? 0 : 1;
        void* index = set.IndexStore(t);
        void* textStore = set.TextStore(t);
        const std::string indexFile = files[ti];
        const std::string textFile = files[2 + ti];
        if (index == nullptr || textStore == nullptr) {
            if (loaded[ti] && index == nullptr)
                breach(indexFile, "does not open read-only as a store");
            if (loaded[2 + ti] && textStore == nullptr)
                breach(textFile, "does not open read-only as a store");
            continue;
        }

        // Checks a list's layout; returns the names as the reader takes them.
        auto checkList = [&](const std::string& where, const std::string& text) {
            const SNameList split = SplitNameList(text);
            for (const std::u16string& name : split.arrNames) {
                if (name.size() > kMaxNameChars)
                    breach(where, "name " + Quote(name) + " has " + std::to_string(name.size()) +
                                      " characters, more than " + std::to_string(kMaxNameChars));
            }
            if (!split.strRest.empty())
                breach(where, Quote(split.strRest) +
                                  " after the last TAB is not a name (every name needs a TAB)");
            if (split.arrNames.empty())
                m_arrWarnings.push_back(where + ": lists no name");
            return ParseNameList(text);
        };

        bool found = false;
        const std::string bookList = FetchRecordText(index, kBookListKey, &found);
        if (!found) {
            breach(indexFile, "no \"allindex\" record (the book list)");
            continue;
        }
        std::map<std::u16string, int> chapters;  // chapter reference -> verses from 1
        for (const std::u16string& book : checkList(indexFile + ": \"allindex\"", bookList)) {
            ++m_nBooks;
            const std::string bookWhere = indexFile + ": book " + Quote(book);
            const std::string refs = FetchRecordText(index, ToAnsiKey(book), &found);
            if (!found) {
                breach(bookWhere, "listed in \"allindex\" but has no reference list");
                continue;
            }
            for (const std::u16string& ref : checkList(bookWhere, refs)) {
                ++m_nReferences;
                FetchRecordText(textStore, ToAnsiKey(ref), &found);
                if (!found)
                    breach(bookWhere, "reference " + Quote(ref) + " is not a key of " + textFile);
                const std::u16string chapterRef = ChapterReference(ref);
                if (chapters.count(chapterRef))
                    continue;
                chapters[chapterRef] = 0;
                if (BookPartHasDigit(chapterRef))
                    breach(bookWhere, "the book part of " + Quote(chapterRef) +
                                          " holds a digit, so chapters cannot be stepped");
            }
        }

        // Each chapter is read as the chapter reader reads it.
        for (auto& [chapterRef, count] : chapters) {
            ++m_nChapters;
            const std::string where = textFile + ": chapter " + Quote(chapterRef);
            std::vector<std::u16string> layout;
            int n = 1;
            for (; n <= kMaxCountedVerses; ++n) {
                const std::u16string key = VerseKey(chapterRef, n, t);
                const std::string text = FetchRecordText(textStore, ToAnsiKey(key), &found);
                if (!found)
                    break;
                if (n <= kMaxChapterVerses) {
                    layout.push_back(key);
                    layout.push_back(AnsiToWide(text));
                }
            }
            count = n - 1;
            if (count == 0)
                breach(where, "has no verse 1 (key " + Quote(VerseKey(chapterRef, 1, t)) + ")");
            if (count > kMaxChapterVerses)
                m_arrWarnings.push_back(where + " has " + std::to_string(count) +
                                        " verses; the chapter reader shows the first " +
                                        std::to_string(kMaxChapterVerses));
            const size_t chars = ChapterLayoutLength(layout);
            if (chars > kMaxChapterTextChars)
                breach(where, "the chapter reader's text is " + std::to_string(chars) +
                                  " characters, more than " + std::to_string(kMaxChapterTextChars));
        }

        // Verse keys past a missing number are never reached.
        std::map<std::u16string, int> gaps;
        if (loaded[2 + ti]) {
            for (const auto& [key, stored] : raw[2 + ti].Records()) {
                std::u16string chapterRef;
                int n = 0;
                if (!SplitVerseKey(AnsiToWide(key), t, chapterRef, n))
                    continue;
                auto it = chapters.find(chapterRef);
                if (it != chapters.end() && n > it->second + 1) {
                    int& first = gaps[chapterRef];
                    first = first == 0 ? n : std::min(first, n);
                }
            }
        }
        for (const auto& [chapterRef, n] : gaps)
            breach(textFile + ": chapter " + Quote(chapterRef),
                   "verse " + std::to_string(chapters[chapterRef] + 1) + " is missing but verse " +
                       std::to_string(n) + " exists (verse numbers must run without a gap)");
    }
    return m_arrBreaches.empty();
}

}  // namespace tavrin
