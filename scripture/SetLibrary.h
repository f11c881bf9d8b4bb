// SetLibrary.h - every store set of the lookup folders: ids, names, the default, and why a set was
// passed over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"
#include "XdgPaths.h"

namespace tavrin {

// A set id: 1..32 characters of a-z, 0-9, '_' and '-'.
inline constexpr size_t kMaxSetIdChars = 32;
bool IsSetId(std::string_view id);

// Why the set in folder (with or without a trailing '/') cannot be read, or
// empty when it can: a store file that is missing, not a regular file,
// unreadable, not a database of the engine, cut short (shorter than its own
// header says), or that does not open read-only; or a set with no book list
// in either testament. Every check runs before any record is fetched, so a
// set that passes is no worse than one the reader opens itself, and a failed
// check never ends the process. Reasons are short English phrases naming the
// file ("inxdat_newB.dbe is cut short").
std::string CheckSetFolder(const std::string& folder);

// A usable set.
struct SLibrarySet {
    std::string m_strId;
    std::u16string m_strShortName;  // SetDisplayName; empty: show the id
    std::u16string m_strDescription;
    std::string m_strFolder;  // ends in '/'
};

// A set passed over, and why.
struct SSkippedSet {
    std::string m_strId;  // the id it would have had (the folder's name when that is no id)
    std::string m_strReason;
    std::string m_strFolder;  // ends in '/'
};

// The sets of a list of lookup folders. Each folder may hold one set itself
// and sets in its immediate subfolders: the set held directly comes first,
// then the subfolders' sets in byte order of their names; folders are taken
// in the order given, a folder met twice (the same real folder) only the
// first time. A folder "holds" a set when any of the four store files lies in
// it; subfolders without one are not sets and are not listed.
//
// Ids: a set held directly in a lookup folder is "main", the next such
// "main-2", "main-3"...; a subfolder's set has the subfolder's name, which
// must be an id (else it is skipped with that reason). A set whose id an
// earlier usable set already has is skipped, naming that set's folder. A set
// that fails CheckSetFolder is skipped with its reason; it never hides the
// sets after it, nor takes an id from them.
class CSetLibrary {
public:
    // Looks through folders (e.g. StoreFolderSearchPath's), replacing what
    // an earlier Scan found.
    void Scan(const std::vector<std::string>& folders);
    // Scan of the reader's own lookup order.
    void ScanDefault(const std::string& programFolder, const EnvLookup& env) {
        Scan(StoreFolderSearchPath(programFolder, env));
    }

    // Usable sets in lookup order; the first is the default main set.
    const std::vector<SLibrarySet>& Sets() const { return m_arrSets; }
    const std::vector<SSkippedSet>& Skipped() const { return m_arrSkipped; }
    // The default main set, or null when no set is usable.
    const SLibrarySet* Default() const { return m_arrSets.empty() ? nullptr : &m_arrSets[0]; }
    // The usable set with id, or null.
    const SLibrarySet* Find(std::string_view id) const;

private:
    void Consider(const std::string& folder, const std::string& id, const std::string& badName);

    std::vector<SLibrarySet> m_arrSets;
    std::vector<SSkippedSet> m_arrSkipped;
};

// The name shown for a set: its short name, else its id.
std::u16string DisplayName(const SLibrarySet& set);

}  // namespace tavrin
