// SearchIndex.h - every reference text of a store set, prepared once and searched by queries.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "SearchQuery.h"
#include "StoreSet.h"

namespace tavrin {

// Which testaments a build or a search covers.
enum class EScope { Old, New, Both };

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
    // it. The index opens its own read-only handles (on each thread it reads
    // with, never sharing one) and closes them before it returns, so it may
    // run on any thread and never touches a caller's CStoreSet. threads: how
    // many threads read (0: two when the machine has two cores or more); the
    // result is the same whatever the count. Returns true when built; false,
    // with the index empty, when any store does not open: onMissing (if set)
    // is then called once with kMissingStoresMessage, as OpenStores does.
    // Exhausted memory throws std::bad_alloc, the index left empty.
    bool Build(const std::string& folder, EScope scope,
               const std::function<void(std::u16string_view)>& onMissing = {},
               unsigned threads = 0);
    // Empties the index (IsBuilt() false).
    void Clear();
    bool IsBuilt() const { return m_bBuilt; }
    // False when the set held more references or text than the index takes
    // (over a hundred Bibles): references past the limit are left out, texts
    // past it left empty.
    bool IsComplete() const;

    // References held.
    size_t Size() const { return m_arrEntries.size(); }
    // Reference id (0 <= id < Size(), in the reader's order); an empty entry
    // for any other id.
    SSearchEntry Entry(size_t id) const;

    // The ids of the references in scope whose text matches query, in the
    // reader's order; empty when the query is not Ready or nothing matches.
    std::vector<size_t> Search(const CSearchQuery& query, EScope scope = EScope::Both) const;
    // Where query's terms occur in reference id's text (CSearchQuery::MatchedRanges).
    std::vector<STextRange> MatchedRanges(size_t id, const CSearchQuery& query) const {
        return query.MatchedRanges(Entry(id).m_strText);
    }

    // Bytes of memory the index holds (capacity of every buffer).
    size_t MemoryBytes() const;
    // The prepared texts, each followed by U+0000, in the reader's order
    // across the returned buffers; for measuring a bare scan beside Search.
    std::vector<std::u16string_view> PreparedBuffers() const;

private:
    // The texts one thread read: record texts as stored (code page 949),
    // prepared forms (each followed by U+0000) and their initials bytes, back
    // to back.
    struct SChunk {
        std::string m_strStored;
        std::u16string m_strPrepared;
        std::string m_strInitials;
        size_t m_nFirst = 0;  // ids [m_nFirst, m_nEnd) lie here
        size_t m_nEnd = 0;
        bool m_bComplete = true;  // false when texts past kMaxChunkUnits were left empty
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
        uint8_t m_nChunk = 0;
        Testament m_testament = Testament::Old;
    };

    // Reads the texts of part's references with stores into its chunk.
    bool ReadTexts(const CStoreSet& stores, size_t part);
    bool Matches(const SEntry& entry, const std::vector<const SSearchTerm*>& terms) const;

    bool m_bBuilt = false;
    bool m_bListsComplete = true;
    std::vector<SEntry> m_arrEntries;
    std::u16string m_strNames;  // reference names back to back
    std::vector<std::u16string> m_arrBooks[2];
    std::vector<SChunk> m_arrChunks;
};

}  // namespace tavrin
