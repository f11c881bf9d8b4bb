// StoreVerifier.h - checks any store set in a folder against the reader's contract.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "RawStore.h"
#include "StoreSet.h"

namespace tavrin {

// Reads a store set the way the reader does and lists every breach: a
// missing or unreadable file, a missing "allindex", a listed book without a
// reference list, a reference that is not a key of the text store, a
// chapter with no verse 1 or with a gap in its verse numbers, a digit in a
// book part, a list whose last name has no TAB behind it, over-long names
// (29), keys (259), record texts (29,998 bytes) or chapter texts (17,999
// characters for the first 99 verses), records whose framing is wrong or
// whose text is not valid code page 949, a description (kDescriptionKey in
// the Old Testament index store) longer than kMaxDescriptionBytes or holding
// a control character, and a short name (kShortNameKey, beside it) that is
// empty, longer than kMaxShortNameChars characters or holds a control
// character.
class CStoreVerifier {
public:
    // Checks the set in dir. Returns true when there is no breach.
    bool Verify(const std::string& dir);

    const std::vector<std::string>& Breaches() const { return m_arrBreaches; }
    // Things the reader handles but a builder may want to know (chapters of
    // more than 99 verses, empty lists).
    const std::vector<std::string>& Warnings() const { return m_arrWarnings; }
    int m_nBooks = 0, m_nChapters = 0, m_nReferences = 0;

private:
    // Chapter reference -> the number of verses read from verse 1.
    using ChapterCounts = std::map<std::u16string, int>;

    // Verify's steps, in order.
    void LoadRawStores(const std::string& dir);
    void CheckRecord(const char* file, const std::string& key, const std::string& stored);
    void CheckTestament(const CStoreSet& set, Testament t);
    // Lists and references: the chapters the references lead to.
    ChapterCounts CheckBooks(const CStoreSet& set, Testament t, const std::string& bookList);
    // Checks a list's layout; returns the names as the reader takes them.
    std::vector<std::u16string> CheckList(const std::string& where, std::string_view text);
    void CheckChapters(const CStoreSet& set, Testament t, ChapterCounts& chapters);
    void CheckVerseGaps(Testament t, const ChapterCounts& chapters);
    void Breach(const std::string& where, const std::string& what) {
        m_arrBreaches.push_back(where + ": " + what);
    }

    CRawStore m_raw[4];  // in the order of kFiles
    bool m_bLoaded[4] = {};
    std::vector<std::string> m_arrBreaches;
    std::vector<std::string> m_arrWarnings;
};

}  // namespace tavrin
