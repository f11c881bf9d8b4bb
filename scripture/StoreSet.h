// StoreSet.h - the four stores of a scripture set and the reads the screens make.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <tessdb.h>

#include "XdgPaths.h"

namespace tavrin {

enum class Testament { Old, New };

// The message shown once when any of the four stores did not open.
inline constexpr std::u16string_view kMissingStoresMessage =
    u"성경 데이타 파일이 존재하지 않거나 경로가 잘못 되었습니다.";

// File names, in the order they are opened.
inline constexpr const char* kKeyOldFile = "inxkey_oldB.dbe";
inline constexpr const char* kKeyNewFile = "inxkey_newB.dbe";
inline constexpr const char* kDatOldFile = "inxdat_oldB.dbe";
inline constexpr const char* kDatNewFile = "inxdat_newB.dbe";

// Key of the book list in each index store.
inline constexpr std::string_view kBookListKey = "allindex";

// Longest record text in bytes that the reader takes.
inline constexpr size_t kMaxRecordBytes = 29998;

// Key of the set's description (title and attribution of its text) in the Old
// Testament index store. A list name never holds a TAB, so this key can never
// be a book name or a reference, and no list reaches it.
inline constexpr std::string_view kDescriptionKey = "\tdescription";
// Longest description in bytes of code page 949; it holds no control character.
inline constexpr size_t kMaxDescriptionBytes = 255;

// Opens the store file at path (any bytes: a byte that is not UTF-8 travels
// to Tessdb as a lone surrogate it turns back into that byte) with
// CreateTESS in mode; null as CreateTESS gives it.
void* OpenStoreFile(const std::string& path, FLOPEN mode);

// The folder of the running program file (its real folder, whatever the length
// of its name), ending in '/'; empty when it cannot be found.
std::string ProgramFolder();

// The folders where a reader looks for a store set, in order, each ending in
// '/': programFolder itself, "../share/tavrin" beside it (the install layout),
// XdgDataHome + "tavrin/", then each of XdgDataDirs + "tavrin/". An empty or
// relative programFolder gives neither of the first two.
std::vector<std::string> StoreFolderSearchPath(const std::string& programFolder,
                                               const EnvLookup& env);

// The first folder of StoreFolderSearchPath that holds all four store files;
// programFolder when none does, so opening it reports the missing set.
std::string FindStoreFolder(const std::string& programFolder, const EnvLookup& env);

// Owns the four read-only store handles. Not copyable.
class CStoreSet {
public:
    CStoreSet() = default;
    ~CStoreSet();
    CStoreSet(const CStoreSet&) = delete;
    CStoreSet& operator=(const CStoreSet&) = delete;

    // Opens the four stores of folder (with or without a trailing '/') read-only,
    // in the order key-old, key-new, dat-old, dat-new; all four are attempted.
    // Handles already open are closed first. When any store fails to open,
    // onMissing (if set) is called once with kMissingStoresMessage; the stores
    // that did open stay open; an empty folder opens nothing. Returns
    // AreStoresOpen().
    bool OpenStores(const std::string& folder,
                    const std::function<void(std::u16string_view)>& onMissing = {});
    // True only when all four handles are open.
    bool AreStoresOpen() const;
    // Closes every open handle (key-old, key-new, dat-old, dat-new); idempotent.
    void CloseStores();

    // The book list ("allindex") of the index store of testament; empty when the
    // stores are not all open or the record is absent.
    std::vector<std::u16string> ReadBookList(Testament testament) const;
    // The reference list of book in the index store of testament; empty likewise.
    std::vector<std::u16string> ReadReferenceList(Testament testament,
                                                  std::u16string_view book) const;
    // The text of reference in the text store of testament; empty likewise.
    std::u16string ReadReferenceText(Testament testament, std::u16string_view reference) const;
    // The set's description (kDescriptionKey), cut to kMaxDescriptionBytes at a
    // character boundary; empty when the stores are not all open or the set has
    // none.
    std::u16string ReadDescription() const;

    // Reads the chapter that reference (a list entry or a chapter reference)
    // belongs to: verse keys and texts in pairs, verses 1.. up to the first
    // absent one, at most 99 verses. Empty when the stores are not all open or
    // verse 1 is absent.
    std::vector<std::u16string> LoadChapter(Testament testament,
                                            std::u16string_view chapterReference) const;
    // The same with at most maxVerses verses (the whole chapter for a layout
    // that shows every verse).
    std::vector<std::u16string> LoadChapter(Testament testament,
                                            std::u16string_view chapterReference,
                                            int maxVerses) const;

    // Raw handles, for tools that check a store set.
    void* m_hKeyOld = nullptr;
    void* m_hKeyNew = nullptr;
    void* m_hDatOld = nullptr;
    void* m_hDatNew = nullptr;

    void* IndexStore(Testament t) const { return t == Testament::Old ? m_hKeyOld : m_hKeyNew; }
    void* TextStore(Testament t) const { return t == Testament::Old ? m_hDatOld : m_hDatNew; }
};

// One lookup: the record text of key (8-bit, as stored) up to its first NUL and
// cut at the stored length when that is smaller and in range. found (if not
// null) tells whether the key exists. A null handle yields "" and not found.
std::string FetchRecordText(void* store, std::string_view key, bool* found = nullptr);
// The same text as a view into this thread's record buffer, valid until the
// thread's next fetch: no allocation, for reads of many records.
std::string_view FetchRecordView(void* store, std::string_view key, bool* found = nullptr);

}  // namespace tavrin
