// StoreVerifier.h - checks any store set in a folder against the reader's contract.
#pragma once

#include <string>
#include <vector>

namespace tavrin {

// Reads a store set the way the reader does and lists every breach: a
// missing or unreadable file, a missing "allindex", a listed book without a
// reference list, a reference that is not a key of the text store, a
// chapter with no verse 1 or with a gap in its verse numbers, a digit in a
// book part, a list whose last name has no TAB behind it, over-long names
// (29), keys (259), record texts (29,998 bytes) or chapter texts (17,999
// characters for the first 99 verses), records whose framing is wrong or
// whose text is not valid code page 949.
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
    std::vector<std::string> m_arrBreaches;
    std::vector<std::string> m_arrWarnings;
};

}  // namespace tavrin
