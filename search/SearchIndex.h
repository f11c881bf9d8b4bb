// SearchIndex.h - every reference text of a store set, prepared once and searched by queries.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SearchQuery.h"
#include "StoreSet.h"

namespace tavrin {

// Which testaments a build or a search covers.
enum class EScope { Old, New, Both };

// Which road CSearchIndex::BuildCached took.
enum class ECacheUse {
    Loaded,      // the cache file was current: no store was read
    Rewritten,   // read from the stores; the cache file was written anew
    NotWritten,  // read from the stores (or not built); the cache file was left as it was
};

// A cache file carries at these eight bytes, little-endian, the CChecksum of
// every byte after them; a file whose sum differs is damaged.
inline constexpr size_t kSearchCacheChecksumAt = 16;

// The usual cache file of the store set in folder:
// XdgCacheHome(env) + "tavrin/<hash of the folder's real path>-<its last name>.idx".
// Empty (no cache) when there is no cache home or the folder does not
// resolve. The one-argument form reads the process's environment.
std::string SearchCachePath(const std::string& folder, const EnvLookup& env);
std::string SearchCachePath(const std::string& folder);
// The same file name with another extension (".chapters"), for other caches of the set.
std::string SetCachePath(const std::string& folder, std::string_view extension,
                         const EnvLookup& env);

// What a cache file records of one store file, to tell that it was written
// from this very file as it is now.
struct SStoreStamp {
    uint64_t m_nDevice = 0;
    uint64_t m_nInode = 0;
    uint64_t m_nSize = 0;
    int64_t m_nModifiedSeconds = 0;
    int64_t m_nModifiedNanoseconds = 0;
    bool operator==(const SStoreStamp&) const = default;
};
// Key-old, key-new, dat-old, dat-new.
using SStoreStamps = std::array<SStoreStamp, 4>;

// The identity of the four stores of a folder, and whether they have been
// left alone long enough to be cached (a store changed within the file
// system clock's last tick may change again unseen).
struct SStoreIdentity {
    SStoreStamps m_arrStores;
    bool m_bSettled = true;
};
// Empty when a store is missing or not a regular file.
std::optional<SStoreIdentity> IdentifyStores(const std::string& folder);
// Appends the stamps as a cache file keeps them: each field 8 bytes little-endian.
void AppendStoreStamps(std::string& out, const SStoreStamps& stores);
// Creates a cache file's folder, and the one above it, when missing: the
// cache home may not exist yet on a new account.
void MakeFolderOf(const std::string& file);

// One reference of the index, as the navigator shows and reaches it. The
// name views point into the index and live as long as it holds them (until
// the next Build or Clear); the text is the entry's own.
struct SSearchEntry {
    Testament m_testament = Testament::Old;
    size_t m_nBook = 0;             // index in the testament's book list
    std::u16string_view m_strBook;  // the book's name in that list
    size_t m_nReference = 0;        // index in the book's reference list
    std::u16string_view m_strReference;
    std::u16string m_strText;  // the text the text pane shows for it
};

// The references of a store set in the reader's order (Old Testament before
// New, books in book-list order, references in reference-list order), each
// with its text as stored (decoded when asked for) and the text's prepared
// form (PrepareSearchText). Built once per store set; every query after that
// reads only memory. A built index does not change, so its const members may
// be called from any number of threads at once. Movable, not copyable.
class CSearchIndex {
public:
    CSearchIndex() = default;
    CSearchIndex(CSearchIndex&&) noexcept;
    CSearchIndex& operator=(CSearchIndex&&) noexcept;
    ~CSearchIndex();
    CSearchIndex(const CSearchIndex&) = delete;
    CSearchIndex& operator=(const CSearchIndex&) = delete;

    // Replaces the index with every reference of the testaments in scope of
    // the store set in folder, each read as CStoreSet::ReadReferenceText reads
    // it. The index opens its own read-only handles and closes them before it
    // returns, so it may run on any thread and never touches a caller's
    // CStoreSet. Returns true when built; false,
    // with the index empty, when any store does not open: onMissing (if set)
    // is then called once with kMissingStoresMessage, as OpenStores does.
    // Exhausted memory throws std::bad_alloc, the index left empty.
    bool Build(const std::string& folder, EScope scope,
               const std::function<void(std::u16string_view)>& onMissing = {});
    // As Build, through the cache file cacheFile (SearchCachePath gives the
    // usual one), which holds the whole set whatever the scope. When the file
    // was written from this very store set it is read and no store is opened;
    // otherwise the whole set is read from the stores and written to the file
    // (a temporary file in the same folder, renamed over it) unless a store
    // changed in the last two seconds or while it was read, or the set holds
    // more than the index takes. The index is the one Build gives for scope
    // (same ids, entries, texts and matches); the return value, onMissing and
    // std::bad_alloc are Build's. The cache never causes a failure: a missing,
    // unreadable, damaged, foreign or oversized file is rebuilt, one that is
    // not a regular file is never waited on, and a write that fails is
    // dropped silently, leaving no temporary file.
    //
    // What keeps the texts shown those the stores hold: "this very store set"
    // means that each of the four files has the device, inode, size and
    // modification time (to the nanosecond) it had when the stores were read
    // for the cache. Every write changes the time, and a set written in the
    // two seconds before is not cached, so that a second write within one
    // tick of a coarse file system clock is not missed. Only a tool that
    // rewrites a store in place at the same size and then sets its time back
    // defeats the rule; delete the cache file after using one.
    //
    // cacheFile empty: Build alone. use (if not null) tells the road taken.
    bool BuildCached(const std::string& folder, EScope scope, const std::string& cacheFile,
                     const std::function<void(std::u16string_view)>& onMissing = {},
                     ECacheUse* use = nullptr);
    // Empties the index (IsBuilt() false).
    void Clear();
    bool IsBuilt() const { return m_pBlock != nullptr; }
    // False when the set held more references or text than the index takes
    // (over a hundred Bibles): references past the limit are left out, texts
    // past it left empty.
    bool IsComplete() const { return m_bComplete; }

    // References held.
    size_t Size() const { return m_arrEntries.size(); }
    // Reference id (0 <= id < Size(), in the reader's order); an empty entry
    // for any other id. withText false leaves m_strText empty, for callers
    // that take the text undecoded from StoredText.
    SSearchEntry Entry(size_t id, bool withText = true) const;
    // Reference id's text as its store holds it (code page 949): a view into
    // the index, valid while it holds the text; empty for any other id.
    std::string_view StoredText(size_t id) const;

    // The ids of the references in scope whose text matches query, in the
    // reader's order; empty when the query is not Ready or nothing matches.
    std::vector<size_t> Search(const CSearchQuery& query, EScope scope = EScope::Both) const;
    // Where query's terms occur in reference id's text (CSearchQuery::MatchedRanges).
    std::vector<STextRange> MatchedRanges(size_t id, const CSearchQuery& query) const {
        return query.MatchedRanges(Entry(id).m_strText);
    }

    // Bytes of memory the index holds (capacity of every buffer).
    size_t MemoryBytes() const;
    // The prepared texts, each followed by U+0000, in the reader's order; for
    // measuring a bare scan beside Search.
    std::u16string_view PreparedText() const { return m_strPrepared; }

    // Appends to out the cache file of this index as it is, recording stores
    // as the files it was read from (docs/search-cache.md: a header, then the
    // entries, names and texts in fixed-width little-endian fields, with their
    // checksum). False, out unchanged, when the index is not built, not
    // complete, or its file would pass maxBytes. BuildCached writes only an
    // index of both testaments.
    bool EncodeTo(const SStoreStamps& stores, uint64_t maxBytes, std::string& out) const;
    // Replaces the index with the one in the cache file open on fd (fileBytes
    // long, read from its current offset to its end) when the file is whole and
    // well formed, its checksum matches and it was written from stores.
    // Otherwise returns false and leaves the index as it was. Every offset the
    // index later uses is checked here, so a forged file gives at worst wrong
    // texts, never a read outside the index. std::bad_alloc as Build.
    bool DecodeFrom(int fd, uint64_t fileBytes, const SStoreStamps& stores);

private:
    // References one index takes at most: over a hundred Bibles, and few enough
    // that no offset into the names overflows.
    static constexpr size_t kMaxReferences = 4'000'000;

    // Gives back a block of AllocateBlock.
    struct SUnmap {
        size_t m_nBytes;  // mapped length
        void operator()(char* block) const;
    };

    struct SEntry {
        uint32_t m_nNameStart = 0;
        uint32_t m_nStoredStart = 0;
        uint32_t m_nStoredLength = 0;
        uint32_t m_nPreparedStart = 0;
        uint32_t m_nPreparedLength = 0;
        uint32_t m_nReference = 0;
        uint16_t m_nNameLength = 0;
        uint16_t m_nBook = 0;
        uint8_t m_nTestament = 0;  // 0 Old, 1 New
    };

    // Copies the entries, the names, the stored and the prepared texts,
    // wherever they lie, into one new m_pBlock, in that order, each padded to
    // 8 bytes, and points the views there.
    void Pack();
    static size_t Padded(size_t bytes) { return (bytes + 7) & ~size_t{7}; }
    // A block of bytes, its content undefined; throws std::bad_alloc when there
    // is no memory.
    static std::unique_ptr<char, SUnmap> AllocateBlock(size_t bytes);
    // The ids [first, end) of scope's references.
    std::pair<size_t, size_t> ScopeIds(EScope scope) const;
    // Drops the references outside scope, numbering the rest from 0, as a
    // Build of scope alone would have them.
    void KeepScope(EScope scope);
    bool Matches(const SEntry& entry, const std::vector<const SSearchTerm*>& terms) const;

    // False when references or texts were left out (IsComplete).
    bool m_bComplete = true;
    // The references in the reader's order, their names back to back, the
    // texts as stored back to back, and the prepared texts each followed by
    // U+0000: views into m_pBlock (into Build's own buffers while it reads).
    std::span<SEntry> m_arrEntries;
    std::u16string_view m_strNames;
    std::string_view m_strStored;
    std::u16string_view m_strPrepared;
    std::vector<std::u16string> m_arrBooks[2];
    std::unique_ptr<char, SUnmap> m_pBlock;
    size_t m_nBlockBytes = 0;
};

}  // namespace tavrin
