// SearchIndex.cpp - reads and prepares every reference text (on one or two threads) and scans it.
#include "SearchIndex.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <system_error>
#include <thread>

#include "CodePage.h"

namespace tavrin {

namespace {

// Below this many references a second thread costs more than it saves.
constexpr size_t kReferencesPerThread = 2000;
// Text one chunk holds at most, so that every offset fits 32 bits: over a
// hundred Bibles. Texts past it are left empty and the index is incomplete.
constexpr size_t kMaxChunkUnits = std::numeric_limits<uint32_t>::max() / 2;

size_t TestamentSlot(Testament t) {
    return t == Testament::Old ? 0 : 1;
}

Testament SlotTestament(size_t slot) {
    return slot == 0 ? Testament::Old : Testament::New;
}

}  // namespace

CSearchIndex::CSearchIndex(CSearchIndex&&) noexcept = default;
CSearchIndex& CSearchIndex::operator=(CSearchIndex&&) noexcept = default;
CSearchIndex::~CSearchIndex() = default;

void CSearchIndex::Clear() {
    *this = CSearchIndex();
}

bool CSearchIndex::Build(const std::string& folder, EScope scope,
                         const std::function<void(std::u16string_view)>& onMissing,
                         unsigned threads) {
    Clear();
    // The lists and the first part's texts are read on this thread with
    // handles of the index's own.
    CStoreSet stores;
    if (!stores.OpenStores(folder, onMissing))
        return false;
    std::vector<SEntry> entries;
    std::u16string names;
    for (Testament t : {Testament::Old, Testament::New}) {
        if (scope != EScope::Both && (scope == EScope::Old) != (t == Testament::Old))
            continue;
        auto& books = m_arrBooks[TestamentSlot(t)];
        books = stores.ReadBookList(t);
        for (size_t b = 0; b < books.size(); ++b) {
            const auto references = stores.ReadReferenceList(t, books[b]);
            const size_t taken = std::min(references.size(), kMaxReferences - entries.size());
            m_bListsComplete = m_bListsComplete && taken == references.size();
            for (size_t r = 0; r < taken; ++r) {
                SEntry entry;
                entry.m_nTestament = static_cast<uint8_t>(TestamentSlot(t));
                entry.m_nBook = static_cast<uint16_t>(b);
                entry.m_nReference = static_cast<uint32_t>(r);
                entry.m_nNameStart = static_cast<uint32_t>(names.size());
                entry.m_nNameLength = static_cast<uint16_t>(references[r].size());
                names += references[r];
                entries.push_back(entry);
            }
        }
    }
    // The views point here until Pack copies everything into the block.
    m_arrEntries = entries;
    m_strNames = names;

    const bool automatic = threads == 0;
    if (automatic)
        threads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
    const size_t total = m_arrEntries.size();
    size_t parts = std::clamp<size_t>(std::min<size_t>(threads, total), 1, kMaxThreads);
    if (automatic)
        parts = std::min(parts, std::max<size_t>(1, total / kReferencesPerThread));
    m_arrChunks.resize(parts);
    for (size_t p = 0; p < parts; ++p) {
        m_arrChunks[p].m_nFirst = total * p / parts;
        m_arrChunks[p].m_nEnd = total * (p + 1) / parts;
    }

    // Each further part reads on a thread of its own with handles of its own
    // (a handle serves one thread); a part whose thread cannot start is read
    // here afterwards.
    std::vector<std::thread> workers;
    std::vector<SChunkTexts> texts(parts);
    std::vector<char> ok(parts, 0), started(parts, 0);
    std::vector<std::exception_ptr> failures(parts);
    auto read = [&](size_t p, CStoreSet* open) {
        try {
            CStoreSet own;
            CStoreSet* set = open;
            if (set == nullptr) {
                own.OpenStores(folder);
                set = &own;
            }
            ok[p] = set->AreStoresOpen();
            if (ok[p])
                ReadTexts(*set, p, texts[p]);
        } catch (...) {
            failures[p] = std::current_exception();
        }
    };
    for (size_t p = 1; p < parts; ++p) {
        try {
            workers.emplace_back(read, p, nullptr);
            started[p] = 1;
        } catch (const std::system_error&) {
        }
    }
    read(0, &stores);
    for (size_t p = 1; p < parts; ++p) {
        if (!started[p])
            read(p, &stores);
    }
    for (auto& worker : workers) worker.join();
    for (const auto& failure : failures) {
        if (failure) {
            Clear();
            std::rethrow_exception(failure);
        }
    }
    if (std::find(ok.begin(), ok.end(), 0) != ok.end()) {
        // A store went away between the opens.
        Clear();
        if (onMissing)
            onMissing(kMissingStoresMessage);
        return false;
    }
    try {
        Pack();
    } catch (...) {
        Clear();  // its views would outlive what they show
        throw;
    }
    return true;
}

void CSearchIndex::ReadTexts(const CStoreSet& stores, size_t part, SChunkTexts& texts) {
    SChunk& chunk = m_arrChunks[part];
    std::u16string text;
    for (size_t id = chunk.m_nFirst; id < chunk.m_nEnd; ++id) {
        SEntry& entry = m_arrEntries[id];
        const std::string key = ToAnsiKey(
            std::u16string_view(m_strNames).substr(entry.m_nNameStart, entry.m_nNameLength));
        std::string_view stored =
            FetchRecordView(stores.TextStore(SlotTestament(entry.m_nTestament)), key);
        AnsiToWide(stored, text);
        // NFC gives at most three code units for one.
        if (texts.m_strStored.size() + stored.size() > kMaxChunkUnits ||
            texts.m_strPrepared.size() + 3 * text.size() + 1 > kMaxChunkUnits) {
            chunk.m_bComplete = false;
            stored = {};
            text.clear();
        }
        entry.m_nChunk = static_cast<uint8_t>(part);
        entry.m_nStoredStart = static_cast<uint32_t>(texts.m_strStored.size());
        entry.m_nStoredLength = static_cast<uint32_t>(stored.size());
        texts.m_strStored += stored;
        entry.m_nPreparedStart = static_cast<uint32_t>(texts.m_strPrepared.size());
        PrepareSearchText(text, texts.m_strPrepared);
        entry.m_nPreparedLength =
            static_cast<uint32_t>(texts.m_strPrepared.size() - entry.m_nPreparedStart);
        texts.m_strPrepared += u'\0';
    }
    chunk.m_strStored = texts.m_strStored;
    chunk.m_strPrepared = texts.m_strPrepared;
}

// Growth leaves up to half of each buffer unused, and a whole Bible is kept
// for a session: one copy into a block of the exact size is worth it.
void CSearchIndex::Pack() {
    size_t total = Padded(m_arrEntries.size_bytes()) + Padded(2 * m_strNames.size());
    for (const SChunk& chunk : m_arrChunks)
        total += TextBytes(chunk.m_strStored.size(), chunk.m_strPrepared.size());
    auto block = AllocateBlock(total);
    char* at = block.get();
    const auto put = [&at](const void* data, size_t size) {
        char* start = at;
        if (size > 0)
            std::memcpy(at, data, size);
        // Padding is zero, so that a saved index is the same bytes every time.
        std::memset(at + size, 0, Padded(size) - size);
        at += Padded(size);
        return start;
    };
    m_arrEntries = {reinterpret_cast<SEntry*>(put(m_arrEntries.data(), m_arrEntries.size_bytes())),
                    m_arrEntries.size()};
    m_strNames = {reinterpret_cast<const char16_t*>(put(m_strNames.data(), 2 * m_strNames.size())),
                  m_strNames.size()};
    for (SChunk& chunk : m_arrChunks) {
        chunk.m_strStored = {put(chunk.m_strStored.data(), chunk.m_strStored.size()),
                             chunk.m_strStored.size()};
        const size_t units = chunk.m_strPrepared.size();
        chunk.m_strPrepared = {
            reinterpret_cast<const char16_t*>(put(chunk.m_strPrepared.data(), 2 * units)), units};
    }
    m_pBlock = std::move(block);
    m_nBlockBytes = total;
}

void CSearchIndex::SUnmap::operator()(char* block) const {
    munmap(block, m_nBytes);
}

// Straight from the kernel rather than the heap: never zero-filled twice, and
// a large block aligned to 2 MB pages where the system allows them, so that a
// Bible's index costs a handful of page faults instead of 2,500 (a third of
// the time of a search answered from the cache) and a scan fewer TLB misses.
std::unique_ptr<char, CSearchIndex::SUnmap> CSearchIndex::AllocateBlock(size_t bytes) {
    constexpr size_t kHuge = size_t{2} << 20;
    const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t length = (std::max<size_t>(bytes, 1) + page - 1) / page * page;
    const size_t slack = length >= kHuge ? kHuge : 0;
    void* mapped =
        mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    auto* start = static_cast<char*>(mapped);
    if (slack > 0) {
        // The aligned part kept, the rest given back.
        auto* aligned = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(start) + kHuge - 1) &
                                                ~uintptr_t{kHuge - 1});
        if (aligned > start)
            munmap(start, static_cast<size_t>(aligned - start));
        munmap(aligned + length, static_cast<size_t>(start + slack - aligned));
        start = aligned;
        madvise(start, length, MADV_HUGEPAGE);
    }
    return std::unique_ptr<char, SUnmap>(start, SUnmap{length});
}

std::pair<size_t, size_t> CSearchIndex::ScopeIds(EScope scope) const {
    // The Old Testament's references come first.
    const auto oldEnd = static_cast<size_t>(
        std::partition_point(m_arrEntries.begin(), m_arrEntries.end(),
                             [](const SEntry& e) { return e.m_nTestament == 0; }) -
        m_arrEntries.begin());
    return {scope == EScope::New ? oldEnd : 0, scope == EScope::Old ? oldEnd : m_arrEntries.size()};
}

void CSearchIndex::KeepScope(EScope scope) {
    if (scope == EScope::Both)
        return;
    const auto [lo, hi] = ScopeIds(scope);
    m_arrBooks[scope == EScope::Old ? 1 : 0] = {};
    // Each part keeps the stretch of its texts its kept references cover, the
    // names likewise; offsets move down by the stretch's start. Pack then
    // copies what is kept into a block of its own.
    std::vector<SChunk> kept;
    for (const SChunk& chunk : m_arrChunks) {
        const size_t first = std::max(chunk.m_nFirst, lo);
        const size_t end = std::min(chunk.m_nEnd, hi);
        if (first >= end)
            continue;
        const SEntry& a = m_arrEntries[first];
        const SEntry& z = m_arrEntries[end - 1];
        const size_t stored = a.m_nStoredStart;
        const size_t prepared = a.m_nPreparedStart;
        const size_t preparedUnits = z.m_nPreparedStart + z.m_nPreparedLength + 1 - prepared;
        SChunk& part = kept.emplace_back();
        part.m_strStored =
            chunk.m_strStored.substr(stored, z.m_nStoredStart + z.m_nStoredLength - stored);
        part.m_strPrepared = chunk.m_strPrepared.substr(prepared, preparedUnits);
        part.m_nFirst = first - lo;
        part.m_nEnd = end - lo;
        part.m_bComplete = chunk.m_bComplete;
        for (size_t id = first; id < end; ++id) {
            SEntry& entry = m_arrEntries[id];
            entry.m_nChunk = static_cast<uint8_t>(kept.size() - 1);
            entry.m_nStoredStart -= static_cast<uint32_t>(stored);
            entry.m_nPreparedStart -= static_cast<uint32_t>(prepared);
        }
    }
    if (kept.empty())
        kept.emplace_back();
    m_arrChunks = std::move(kept);
    if (lo < hi) {
        const uint32_t names = m_arrEntries[lo].m_nNameStart;
        const SEntry& z = m_arrEntries[hi - 1];
        m_strNames = m_strNames.substr(names, z.m_nNameStart + z.m_nNameLength - names);
        for (size_t id = lo; id < hi; ++id) m_arrEntries[id].m_nNameStart -= names;
    } else {
        m_strNames = {};
    }
    m_arrEntries = m_arrEntries.subspan(lo, hi - lo);
    Pack();
}

SSearchEntry CSearchIndex::Entry(size_t id, bool withText) const {
    SSearchEntry result;
    if (id >= m_arrEntries.size())
        return result;
    const SEntry& entry = m_arrEntries[id];
    result.m_testament = SlotTestament(entry.m_nTestament);
    result.m_nBook = entry.m_nBook;
    result.m_strBook = m_arrBooks[entry.m_nTestament][entry.m_nBook];
    result.m_nReference = entry.m_nReference;
    result.m_strReference =
        std::u16string_view(m_strNames).substr(entry.m_nNameStart, entry.m_nNameLength);
    if (withText)
        result.m_strText = AnsiToWide(StoredText(id));
    return result;
}

std::string_view CSearchIndex::StoredText(size_t id) const {
    if (id >= m_arrEntries.size())
        return {};
    const SEntry& entry = m_arrEntries[id];
    return m_arrChunks[entry.m_nChunk].m_strStored.substr(entry.m_nStoredStart,
                                                          entry.m_nStoredLength);
}

bool CSearchIndex::Matches(const SEntry& entry,
                           const std::vector<const SSearchTerm*>& terms) const {
    const SChunk& chunk = m_arrChunks[entry.m_nChunk];
    const auto prepared =
        chunk.m_strPrepared.substr(entry.m_nPreparedStart, entry.m_nPreparedLength);
    return std::all_of(terms.begin(), terms.end(), [&](const SSearchTerm* term) {
        return FindSearchTerm(*term, prepared) != std::u16string_view::npos;
    });
}

std::vector<size_t> CSearchIndex::Search(const CSearchQuery& query, EScope scope) const {
    std::vector<size_t> ids;
    if (!query.IsReady() || !IsBuilt())
        return ids;
    std::vector<const SSearchTerm*> others;
    for (const SSearchTerm& term : query.Terms()) {
        if (!term.CanMatch())
            return ids;
        others.push_back(&term);
    }
    // The longest term is likely the rarest: it is scanned for, and each
    // reference it occurs in is checked for the others.
    const auto longest = std::max_element(
        others.begin(), others.end(), [](auto* a, auto* b) { return a->Length() < b->Length(); });
    const SSearchTerm& driver = **longest;
    others.erase(longest);

    const auto [lo, hi] = ScopeIds(scope);
    for (const SChunk& chunk : m_arrChunks) {
        const size_t first = std::max(chunk.m_nFirst, lo);
        const size_t end = std::min(chunk.m_nEnd, hi);
        if (first >= end)
            continue;
        const SEntry& last = m_arrEntries[end - 1];
        const size_t regionEnd = last.m_nPreparedStart + last.m_nPreparedLength;
        const auto prepared = chunk.m_strPrepared.substr(0, regionEnd);
        size_t from = m_arrEntries[first].m_nPreparedStart;
        auto cursor = m_arrEntries.begin() + static_cast<ptrdiff_t>(first);
        const auto stop = m_arrEntries.begin() + static_cast<ptrdiff_t>(end);
        for (size_t at;
             (at = FindSearchTerm(driver, prepared, from)) != std::u16string_view::npos;) {
            // A match never spans the U+0000 after a text, so it lies in the
            // last reference starting at or before it.
            cursor = std::upper_bound(
                         cursor, stop, at,
                         [](size_t pos, const SEntry& e) { return pos < e.m_nPreparedStart; }) -
                     1;
            if (Matches(*cursor, others))
                ids.push_back(static_cast<size_t>(cursor - m_arrEntries.begin()));
            from = cursor->m_nPreparedStart + cursor->m_nPreparedLength + 1;
        }
    }
    return ids;
}

size_t CSearchIndex::MemoryBytes() const {
    size_t bytes = sizeof(*this) + m_arrChunks.capacity() * sizeof(SChunk) + m_nBlockBytes;
    for (const auto& books : m_arrBooks) {
        bytes += books.capacity() * sizeof(std::u16string);
        for (const auto& book : books) bytes += book.capacity() * sizeof(char16_t);
    }
    return bytes;
}

bool CSearchIndex::IsComplete() const {
    return m_bListsComplete && std::all_of(m_arrChunks.begin(), m_arrChunks.end(),
                                           [](const SChunk& chunk) { return chunk.m_bComplete; });
}

std::vector<std::u16string_view> CSearchIndex::PreparedBuffers() const {
    std::vector<std::u16string_view> buffers;
    for (const SChunk& chunk : m_arrChunks) buffers.emplace_back(chunk.m_strPrepared);
    return buffers;
}

}  // namespace tavrin
