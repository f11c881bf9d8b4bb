// SearchIndex.cpp - reads and prepares every reference text of a store set and scans it.
#include "SearchIndex.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "CodePage.h"

namespace tavrin {

namespace {

// Text the index holds at most, so that every offset fits 32 bits: over a
// hundred Bibles. Texts past it are left empty and the index is incomplete.
constexpr size_t kMaxTextUnits = std::numeric_limits<uint32_t>::max() / 2;

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
                         const std::function<void(std::u16string_view)>& onMissing) {
    Clear();
    CStoreSet stores;
    if (!stores.OpenStores(folder, onMissing))
        return false;
    std::vector<SEntry> entries;
    std::u16string names;
    std::string stored;
    std::u16string prepared, text;
    for (Testament t : {Testament::Old, Testament::New}) {
        if (scope != EScope::Both && (scope == EScope::Old) != (t == Testament::Old))
            continue;
        auto& books = m_arrBooks[TestamentSlot(t)];
        books = stores.ReadBookList(t);
        for (size_t b = 0; b < books.size(); ++b) {
            const auto references = stores.ReadReferenceList(t, books[b]);
            const size_t taken = std::min(references.size(), kMaxReferences - entries.size());
            m_bComplete = m_bComplete && taken == references.size();
            for (size_t r = 0; r < taken; ++r) {
                SEntry& entry = entries.emplace_back();
                entry.m_nTestament = static_cast<uint8_t>(TestamentSlot(t));
                entry.m_nBook = static_cast<uint16_t>(b);
                entry.m_nReference = static_cast<uint32_t>(r);
                entry.m_nNameStart = static_cast<uint32_t>(names.size());
                entry.m_nNameLength = static_cast<uint16_t>(references[r].size());
                names += references[r];
                std::string_view record =
                    FetchRecordView(stores.TextStore(t), ToAnsiKey(references[r]));
                AnsiToWide(record, text);
                // NFC gives at most three code units for one.
                if (stored.size() + record.size() > kMaxTextUnits ||
                    prepared.size() + 3 * text.size() + 1 > kMaxTextUnits) {
                    m_bComplete = false;
                    record = {};
                    text.clear();
                }
                entry.m_nStoredStart = static_cast<uint32_t>(stored.size());
                entry.m_nStoredLength = static_cast<uint32_t>(record.size());
                stored += record;
                entry.m_nPreparedStart = static_cast<uint32_t>(prepared.size());
                PrepareSearchText(text, prepared);
                entry.m_nPreparedLength =
                    static_cast<uint32_t>(prepared.size() - entry.m_nPreparedStart);
                prepared += u'\0';
            }
        }
    }
    // The views point here until Pack copies everything into the block.
    m_arrEntries = entries;
    m_strNames = names;
    m_strStored = stored;
    m_strPrepared = prepared;
    try {
        Pack();
    } catch (...) {
        Clear();  // its views would outlive what they show
        throw;
    }
    return true;
}

// Growth leaves up to half of each buffer unused, and a whole Bible is kept
// for a session: one copy into a block of the exact size is worth it.
void CSearchIndex::Pack() {
    const size_t total = Padded(m_arrEntries.size_bytes()) + Padded(2 * m_strNames.size()) +
                         Padded(m_strStored.size()) + Padded(2 * m_strPrepared.size());
    auto block = AllocateBlock(total);
    char* at = block.get();
    const auto put = [&at](const void* data, size_t size) {
        char* start = at;
        if (size > 0)
            std::memcpy(at, data, size);
        at += Padded(size);
        return start;
    };
    m_arrEntries = {reinterpret_cast<SEntry*>(put(m_arrEntries.data(), m_arrEntries.size_bytes())),
                    m_arrEntries.size()};
    m_strNames = {reinterpret_cast<const char16_t*>(put(m_strNames.data(), 2 * m_strNames.size())),
                  m_strNames.size()};
    m_strStored = {put(m_strStored.data(), m_strStored.size()), m_strStored.size()};
    m_strPrepared = {
        reinterpret_cast<const char16_t*>(put(m_strPrepared.data(), 2 * m_strPrepared.size())),
        m_strPrepared.size()};
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
    // A large block ends on a 2 MB boundary too, or its last part would take
    // a fault per 4 KB page.
    const size_t unit = bytes >= kHuge ? kHuge : static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t length = (std::max<size_t>(bytes, 1) + unit - 1) / unit * unit;
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
    // The kept references' names and texts are one stretch of each buffer;
    // offsets move down by the stretch's start. Pack then copies what is kept
    // into a block of its own.
    if (lo < hi) {
        const SEntry a = m_arrEntries[lo];
        const SEntry& z = m_arrEntries[hi - 1];
        m_strNames =
            m_strNames.substr(a.m_nNameStart, z.m_nNameStart + z.m_nNameLength - a.m_nNameStart);
        m_strStored = m_strStored.substr(a.m_nStoredStart,
                                         z.m_nStoredStart + z.m_nStoredLength - a.m_nStoredStart);
        m_strPrepared = m_strPrepared.substr(
            a.m_nPreparedStart, z.m_nPreparedStart + z.m_nPreparedLength + 1 - a.m_nPreparedStart);
        for (size_t id = lo; id < hi; ++id) {
            SEntry& entry = m_arrEntries[id];
            entry.m_nNameStart -= a.m_nNameStart;
            entry.m_nStoredStart -= a.m_nStoredStart;
            entry.m_nPreparedStart -= a.m_nPreparedStart;
        }
    } else {
        m_strNames = {};
        m_strStored = {};
        m_strPrepared = {};
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
    result.m_strReference = m_strNames.substr(entry.m_nNameStart, entry.m_nNameLength);
    if (withText)
        result.m_strText = AnsiToWide(StoredText(id));
    return result;
}

std::string_view CSearchIndex::StoredText(size_t id) const {
    if (id >= m_arrEntries.size())
        return {};
    const SEntry& entry = m_arrEntries[id];
    return m_strStored.substr(entry.m_nStoredStart, entry.m_nStoredLength);
}

bool CSearchIndex::Matches(const SEntry& entry,
                           const std::vector<const SSearchTerm*>& terms) const {
    const auto prepared = m_strPrepared.substr(entry.m_nPreparedStart, entry.m_nPreparedLength);
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

    const auto [first, end] = ScopeIds(scope);
    if (first >= end)
        return ids;
    const SEntry& last = m_arrEntries[end - 1];
    const auto prepared = m_strPrepared.substr(0, last.m_nPreparedStart + last.m_nPreparedLength);
    size_t from = m_arrEntries[first].m_nPreparedStart;
    auto cursor = m_arrEntries.begin() + static_cast<ptrdiff_t>(first);
    const auto stop = m_arrEntries.begin() + static_cast<ptrdiff_t>(end);
    for (size_t at; (at = FindSearchTerm(driver, prepared, from)) != std::u16string_view::npos;) {
        // A match never spans the U+0000 after a text, so it lies in the
        // last reference starting at or before it.
        cursor =
            std::upper_bound(cursor, stop, at,
                             [](size_t pos, const SEntry& e) { return pos < e.m_nPreparedStart; }) -
            1;
        if (Matches(*cursor, others))
            ids.push_back(static_cast<size_t>(cursor - m_arrEntries.begin()));
        from = cursor->m_nPreparedStart + cursor->m_nPreparedLength + 1;
    }
    return ids;
}

size_t CSearchIndex::MemoryBytes() const {
    size_t bytes = sizeof(*this) + m_nBlockBytes;
    for (const auto& books : m_arrBooks) {
        bytes += books.capacity() * sizeof(std::u16string);
        for (const auto& book : books) bytes += book.capacity() * sizeof(char16_t);
    }
    return bytes;
}

}  // namespace tavrin
