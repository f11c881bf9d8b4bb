// SearchCache.cpp - the search index kept in a cache file between runs: the store set's
// identity, the file's layout, checked reads and replacing writes.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <type_traits>

#include "Checksum.h"
#include "FileIo.h"
#include "SearchIndex.h"

namespace tavrin {

namespace {

// The file: a header, one SChunkHeader per part, then the entries, the
// reference names, each testament's book names (each followed by U+0000) and
// every part's texts as the index keeps them (Pack), all in this machine's
// byte order (a byte-order word refuses another machine's).
constexpr char kMagic[8] = {'T', 'a', 'v', 'r', 'i', 'n', 'S', 'I'};
constexpr uint32_t kByteOrder = 0x01020304;
// Changes with the layout, SEntry, the checksum or the prepared form
// (PrepareSearchText).
constexpr uint32_t kFormatVersion = 1;
// Several Bibles in one set; a larger file is neither written nor read.
constexpr uint64_t kMaxCacheBytes = uint64_t{256} << 20;
// A store changed this recently may change again within the same tick of the
// file system's clock, which its modification time would not show.
constexpr int64_t kSettleNs = 2'000'000'000;
// Reads are checksummed piece by piece while the piece is still in the cache.
constexpr size_t kPieceBytes = 256 * 1024;
// Books one testament's list can hold (SEntry::m_nBook is 16 bits).
constexpr uint64_t kMaxBooks = 65536;

struct SFileId {
    uint64_t m_nDevice = 0;
    uint64_t m_nInode = 0;
    uint64_t m_nSize = 0;
    int64_t m_nModifiedSeconds = 0;
    int64_t m_nModifiedNanoseconds = 0;
    bool operator==(const SFileId&) const = default;
};

struct SCacheHeader {
    char m_szMagic[8] = {};
    uint32_t m_nByteOrder = 0;
    uint32_t m_nVersion = 0;
    uint64_t m_nChecksum = 0;  // of every byte after it
    SFileId m_arrStores[4];    // key-old, key-new, dat-old, dat-new
    uint64_t m_nEntries = 0;
    uint64_t m_nNameUnits = 0;
    uint64_t m_arrBookUnits[2] = {};
    uint64_t m_nChunks = 0;
};

struct SChunkHeader {
    uint64_t m_nFirst = 0;
    uint64_t m_nEnd = 0;
    uint64_t m_nStoredBytes = 0;
    uint64_t m_nPreparedUnits = 0;  // and as many initials bytes
};

static_assert(std::has_unique_object_representations_v<SCacheHeader> &&
              std::has_unique_object_representations_v<SChunkHeader>);
static_assert(offsetof(SCacheHeader, m_nChecksum) == kSearchCacheChecksumAt);
constexpr size_t kSummedFrom = kSearchCacheChecksumAt + sizeof(uint64_t);

// The identity of the four stores of folder, and whether they have been left
// alone long enough to be cached; empty when one is missing or not a file.
struct SStoreIdentity {
    SFileId m_arrStores[4];
    bool m_bSettled = true;
};

std::optional<SStoreIdentity> IdentifyStores(const std::string& folder) {
    if (folder.empty())
        return std::nullopt;
    const std::string prefix = folder.back() == '/' ? folder : folder + '/';
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const int64_t nowNs = int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
    SStoreIdentity identity;
    const char* const files[4] = {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile};
    for (int i = 0; i < 4; ++i) {
        struct stat st {};
        if (stat((prefix + files[i]).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return std::nullopt;
        identity.m_arrStores[i] = {st.st_dev, st.st_ino, static_cast<uint64_t>(st.st_size),
                                   st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
        const int64_t modifiedNs = int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
        // A time in the future never settles.
        identity.m_bSettled = identity.m_bSettled && modifiedNs <= nowNs - kSettleNs;
    }
    return identity;
}

bool SameStores(const SStoreIdentity& a, const SStoreIdentity& b) {
    return std::equal(std::begin(a.m_arrStores), std::end(a.m_arrStores),
                      std::begin(b.m_arrStores));
}

// Reads exactly size bytes into data, adding them to sum when it is not null.
bool ReadExactly(int fd, void* data, size_t size, CChecksum* sum) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const size_t piece = std::min(size, kPieceBytes);
        if (!tavrin::ReadExactly(fd, p, piece))
            return false;
        if (sum != nullptr)
            sum->Add(p, piece);
        p += piece;
        size -= piece;
    }
    return true;
}

// Creates the cache file's folder, and the one above it, when missing: the
// cache home may not exist yet on a new account.
void MakeFolderOf(const std::string& file) {
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return;
    const std::string folder = file.substr(0, slash);
    if (mkdir(folder.c_str(), 0700) == 0 || errno != ENOENT)
        return;
    const size_t up = folder.rfind('/');
    if (up != std::string::npos && up > 0)
        mkdir(folder.substr(0, up).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
}

}  // namespace

// Reads and writes an index's buffers as they are, so it sees the index's insides.
class CSearchCacheFile {
public:
    using SEntry = CSearchIndex::SEntry;
    using SChunk = CSearchIndex::SChunk;
    static_assert(std::is_trivially_copyable_v<SEntry> &&
                  std::has_unique_object_representations_v<SEntry>);

    // Fills index (empty) from the cache file at path when it is whole, well
    // formed and written from the stores identity describes; false otherwise,
    // index untouched.
    static bool Load(CSearchIndex& index, const std::string& path, const SStoreIdentity& identity);
    // Writes index (whole set, complete) as the cache of identity's stores;
    // false when anything fails, with nothing left behind.
    static bool Save(const CSearchIndex& index, const std::string& path,
                     const SStoreIdentity& identity);

private:
    static bool IsWellFormed(const CSearchIndex& index);
};

bool CSearchCacheFile::Load(CSearchIndex& index, const std::string& path,
                            const SStoreIdentity& identity) {
    // Not blocking: a FIFO in the file's place must not hold up a search.
    uint64_t fileBytes = 0;
    const int fd = OpenRegularFile(path, kMaxCacheBytes, &fileBytes, true);
    if (fd < 0)
        return false;
    const CFileCloser closer(fd);

    SCacheHeader header;
    if (fileBytes < sizeof header || !ReadExactly(fd, &header, sizeof header, nullptr))
        return false;
    if (std::memcmp(header.m_szMagic, kMagic, sizeof kMagic) != 0 ||
        header.m_nByteOrder != kByteOrder || header.m_nVersion != kFormatVersion ||
        !std::equal(std::begin(header.m_arrStores), std::end(header.m_arrStores),
                    std::begin(identity.m_arrStores)))
        return false;
    // Every count is bounded by the file's size before it is multiplied, so
    // no sum below overflows, and the sizes must add up to the file exactly.
    if (header.m_nChunks == 0 || header.m_nChunks > CSearchIndex::kMaxThreads ||
        header.m_nEntries > CSearchIndex::kMaxReferences || header.m_nNameUnits > fileBytes ||
        header.m_arrBookUnits[0] > fileBytes || header.m_arrBookUnits[1] > fileBytes)
        return false;
    std::vector<SChunkHeader> parts(header.m_nChunks);
    if (!ReadExactly(fd, parts.data(), parts.size() * sizeof(SChunkHeader), nullptr))
        return false;
    uint64_t total =
        sizeof header + parts.size() * sizeof(SChunkHeader) + header.m_nEntries * sizeof(SEntry) +
        2 * (header.m_nNameUnits + header.m_arrBookUnits[0] + header.m_arrBookUnits[1]);
    uint64_t textBytes = 0;
    for (const SChunkHeader& part : parts) {
        if (part.m_nStoredBytes > fileBytes || part.m_nPreparedUnits > fileBytes)
            return false;
        textBytes += CSearchIndex::TextBytes(part.m_nStoredBytes, part.m_nPreparedUnits);
    }
    total += textBytes;
    if (total != fileBytes)
        return false;

    CChecksum sum;
    sum.Add(reinterpret_cast<const char*>(&header) + kSummedFrom, sizeof header - kSummedFrom);
    sum.Add(parts.data(), parts.size() * sizeof(SChunkHeader));
    // The entries, the names and the texts come into the block they stay in,
    // laid out as Pack lays them; the book names into vectors.
    CSearchIndex loaded;
    const size_t entryBytes = CSearchIndex::Padded(header.m_nEntries * sizeof(SEntry));
    const size_t nameBytes = CSearchIndex::Padded(2 * header.m_nNameUnits);
    loaded.m_pBlock = CSearchIndex::AllocateBlock(entryBytes + nameBytes + textBytes);
    loaded.m_nBlockBytes = entryBytes + nameBytes + textBytes;
    char* at = loaded.m_pBlock.get();
    loaded.m_arrEntries = {reinterpret_cast<SEntry*>(at), header.m_nEntries};
    at += entryBytes;
    auto* names = reinterpret_cast<char16_t*>(at);
    loaded.m_strNames = {names, header.m_nNameUnits};
    at += nameBytes;
    if (!ReadExactly(fd, loaded.m_arrEntries.data(), loaded.m_arrEntries.size_bytes(), &sum) ||
        !ReadExactly(fd, names, 2 * loaded.m_strNames.size(), &sum))
        return false;
    for (int t = 0; t < 2; ++t) {
        std::u16string books(header.m_arrBookUnits[t], u'\0');
        if (!ReadExactly(fd, books.data(), books.size() * 2, &sum) ||
            (!books.empty() && books.back() != u'\0') ||
            static_cast<uint64_t>(std::count(books.begin(), books.end(), u'\0')) > kMaxBooks)
            return false;
        for (size_t from = 0; from < books.size();) {
            const size_t end = books.find(u'\0', from);
            loaded.m_arrBooks[t].push_back(books.substr(from, end - from));
            from = end + 1;
        }
    }
    if (!ReadExactly(fd, at, textBytes, &sum))
        return false;
    loaded.m_arrChunks.resize(parts.size());
    for (size_t p = 0; p < parts.size(); ++p) {
        SChunk& chunk = loaded.m_arrChunks[p];
        const size_t stored = parts[p].m_nStoredBytes;
        const size_t units = parts[p].m_nPreparedUnits;
        chunk.m_nFirst = parts[p].m_nFirst;
        chunk.m_nEnd = parts[p].m_nEnd;
        chunk.m_strStored = {at, stored};
        at += CSearchIndex::Padded(stored);
        chunk.m_strPrepared = {reinterpret_cast<const char16_t*>(at), units};
        at += CSearchIndex::Padded(2 * units);
        chunk.m_strInitials = {at, units};
        at += CSearchIndex::Padded(units);
    }
    if (sum.Value() != header.m_nChecksum || !IsWellFormed(loaded))
        return false;
    index = std::move(loaded);
    return true;
}

// Whether every entry lies where a Build would have put it: parts covering
// the ids in order, the Old Testament first, books in order and references
// numbered from 0 within each, names and texts back to back from the start of
// their buffers to their end, each prepared text followed by U+0000. This is
// what makes every offset safe to use, and what Search relies on.
bool CSearchCacheFile::IsWellFormed(const CSearchIndex& index) {
    const auto& entries = index.m_arrEntries;
    size_t id = 0;
    size_t names = 0;
    for (size_t p = 0; p < index.m_arrChunks.size(); ++p) {
        const SChunk& chunk = index.m_arrChunks[p];
        if (chunk.m_nFirst != id || chunk.m_nEnd < id || chunk.m_nEnd > entries.size() ||
            chunk.m_strInitials.size() != chunk.m_strPrepared.size())
            return false;
        size_t stored = 0;
        size_t prepared = 0;
        for (; id < chunk.m_nEnd; ++id) {
            const SEntry& e = entries[id];
            const SEntry* before = id > 0 ? &entries[id - 1] : nullptr;
            const bool sameTestament = before != nullptr && before->m_nTestament == e.m_nTestament;
            const bool sameBook = sameTestament && before->m_nBook == e.m_nBook;
            if (e.m_nTestament > 1 ||
                (before != nullptr && before->m_nTestament > e.m_nTestament) ||
                e.m_nBook >= index.m_arrBooks[e.m_nTestament].size() ||
                (sameTestament && before->m_nBook > e.m_nBook) ||
                e.m_nReference != (sameBook ? before->m_nReference + uint64_t{1} : 0) ||
                e.m_nChunk != p || e.m_nSpare != 0 || e.m_nNameStart != names ||
                e.m_nStoredStart != stored || e.m_nPreparedStart != prepared)
                return false;
            names += e.m_nNameLength;
            stored += e.m_nStoredLength;
            prepared += e.m_nPreparedLength;
            if (names > index.m_strNames.size() || stored > chunk.m_strStored.size() ||
                prepared >= chunk.m_strPrepared.size() || chunk.m_strPrepared[prepared] != u'\0' ||
                chunk.m_strInitials[prepared] != '\0')
                return false;
            ++prepared;
        }
        if (stored != chunk.m_strStored.size() || prepared != chunk.m_strPrepared.size())
            return false;
    }
    return id == entries.size() && names == index.m_strNames.size();
}

bool CSearchCacheFile::Save(const CSearchIndex& index, const std::string& path,
                            const SStoreIdentity& identity) {
    if (!index.IsBuilt() || !index.IsComplete())
        return false;
    SCacheHeader header;
    std::memcpy(header.m_szMagic, kMagic, sizeof kMagic);
    header.m_nByteOrder = kByteOrder;
    header.m_nVersion = kFormatVersion;
    std::copy(std::begin(identity.m_arrStores), std::end(identity.m_arrStores), header.m_arrStores);
    header.m_nEntries = index.m_arrEntries.size();
    header.m_nNameUnits = index.m_strNames.size();
    header.m_nChunks = index.m_arrChunks.size();
    std::u16string books[2];
    for (int t = 0; t < 2; ++t) {
        for (const auto& book : index.m_arrBooks[t]) (books[t] += book) += u'\0';
        header.m_arrBookUnits[t] = books[t].size();
    }
    std::vector<SChunkHeader> parts;
    for (const SChunk& chunk : index.m_arrChunks)
        parts.push_back(
            {chunk.m_nFirst, chunk.m_nEnd, chunk.m_strStored.size(), chunk.m_strPrepared.size()});

    // What follows the header, in order. The header is summed without its
    // checksum field and written first.
    std::vector<std::pair<const void*, size_t>> pieces = {
        {parts.data(), parts.size() * sizeof(SChunkHeader)},
        {index.m_arrEntries.data(), index.m_arrEntries.size() * sizeof(SEntry)},
        {index.m_strNames.data(), index.m_strNames.size() * 2},
        {books[0].data(), books[0].size() * 2},
        {books[1].data(), books[1].size() * 2}};
    // The block's texts, after its entries and names (Pack), as Load reads them.
    const size_t textsAt = CSearchIndex::Padded(index.m_arrEntries.size_bytes()) +
                           CSearchIndex::Padded(2 * index.m_strNames.size());
    pieces.emplace_back(index.m_pBlock.get() + textsAt, index.m_nBlockBytes - textsAt);
    uint64_t total = sizeof header;
    CChecksum sum;
    sum.Add(reinterpret_cast<const char*>(&header) + kSummedFrom, sizeof header - kSummedFrom);
    for (const auto& [data, size] : pieces) {
        sum.Add(data, size);
        total += size;
    }
    if (total > kMaxCacheBytes)
        return false;
    header.m_nChecksum = sum.Value();

    MakeFolderOf(path);
    std::vector<std::string_view> bytes = {
        std::string_view(reinterpret_cast<const char*>(&header), sizeof header)};
    for (const auto& [data, size] : pieces)
        bytes.emplace_back(static_cast<const char*>(data), size);
    // No fsync: a file cut short by a crash fails its checksum and is rebuilt.
    return ReplaceFile(path, bytes, false);
}

bool CSearchIndex::BuildCached(const std::string& folder, EScope scope,
                               const std::string& cacheFile,
                               const std::function<void(std::u16string_view)>& onMissing,
                               unsigned threads, ECacheUse* use) {
    if (use != nullptr)
        *use = ECacheUse::NotWritten;
    // Taken before the stores are read, so that a change while they are read
    // leaves the cache written from them stale.
    const auto before = cacheFile.empty() ? std::nullopt : IdentifyStores(folder);
    if (!before)
        return Build(folder, scope, onMissing, threads);
    Clear();
    if (CSearchCacheFile::Load(*this, cacheFile, *before)) {
        KeepScope(scope);
        if (use != nullptr)
            *use = ECacheUse::Loaded;
        return true;
    }
    // The cache holds the whole set, so that every scope is answered from it.
    if (!Build(folder, EScope::Both, onMissing, threads))
        return false;
    if (!IsComplete())
        return scope == EScope::Both || Build(folder, scope, onMissing, threads);
    const auto after = IdentifyStores(folder);
    if (before->m_bSettled && after && SameStores(*before, *after) &&
        CSearchCacheFile::Save(*this, cacheFile, *before) && use != nullptr)
        *use = ECacheUse::Rewritten;
    KeepScope(scope);
    return true;
}

std::string SearchCachePath(const std::string& folder, const char* xdgCacheHome, const char* home) {
    std::string base;
    if (xdgCacheHome != nullptr && xdgCacheHome[0] == '/')
        base = xdgCacheHome;
    else if (home != nullptr && home[0] == '/')
        base = std::string(home) + "/.cache";
    else
        return {};
    char* resolved = folder.empty() ? nullptr : realpath(folder.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    const std::string real = resolved;
    std::free(resolved);
    // The folder's own name for a person looking in the cache folder, in ASCII
    // letters, digits and -_. only (whatever the locale).
    std::string name = real.substr(real.rfind('/') + 1, 40);
    for (char& c : name) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        c = safe ? c : '_';
    }
    // FNV-1a: the name must not change when the file's checksum does.
    uint64_t fnv = 0xCBF29CE484222325u;
    for (const char c : real) fnv = (fnv ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv));
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/tavrin/" + hash + "-" + name + ".idx";
}

std::string SearchCachePath(const std::string& folder) {
    return SearchCachePath(folder, std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
}

}  // namespace tavrin
