// SearchCache.cpp - the search index kept in a cache file between runs: the store set's
// identity, the file's encoding and decoding, replacing writes.
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include "Checksum.h"
#include "FileIo.h"
#include "SearchIndex.h"

namespace tavrin {

namespace {

// The layout is docs/search-cache.md: every field fixed-width and
// little-endian, so a file means the same on every machine.
constexpr char kMagic[8] = {'T', 'a', 'v', 'r', 'i', 'n', 'S', 'I'};
// Changes with the layout, the checksum or the prepared form (PrepareSearchText).
constexpr uint32_t kFormatVersion = 2;
constexpr size_t kStampBytes = 40;
constexpr size_t kCountsAt = kSearchCacheChecksumAt + 8 + 4 * kStampBytes;
constexpr size_t kHeaderBytes = kCountsAt + 6 * 8;
constexpr size_t kEntryBytes = 12;
// Several Bibles in one set; a larger file is neither written nor read.
constexpr uint64_t kMaxCacheBytes = uint64_t{256} << 20;
// A store changed this recently may change again within the same tick of the
// file system's clock, which its modification time would not show.
constexpr int64_t kSettleNs = 2'000'000'000;
// Reads are checksummed piece by piece while the piece is still in the cache.
constexpr size_t kPieceBytes = 256 * 1024;
// Books one testament's list can hold (an entry's book is 16 bits).
constexpr uint64_t kMaxBooks = 65536;

void PutBytes(std::string& out, uint64_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

uint64_t GetBytes(const unsigned char* at, size_t bytes) {
    uint64_t value = 0;
    for (size_t i = bytes; i-- > 0;) value = (value << 8) | at[i];
    return value;
}

void PutUnits(std::string& out, std::u16string_view units) {
    if constexpr (std::endian::native == std::endian::little) {
        out.append(reinterpret_cast<const char*>(units.data()), 2 * units.size());
    } else {
        for (char16_t unit : units) PutBytes(out, unit, 2);
    }
}

// UTF-16LE read into place becomes this machine's code units.
void UnitsFromLittleEndian(char16_t* units, size_t count) {
    if constexpr (std::endian::native != std::endian::little) {
        for (size_t i = 0; i < count; ++i)
            units[i] = static_cast<char16_t>((units[i] >> 8) | (units[i] << 8));
    }
}

}  // namespace

void AppendStoreStamps(std::string& out, const SStoreStamps& stores) {
    for (const SStoreStamp& stamp : stores) {
        PutBytes(out, stamp.m_nDevice, 8);
        PutBytes(out, stamp.m_nInode, 8);
        PutBytes(out, stamp.m_nSize, 8);
        PutBytes(out, static_cast<uint64_t>(stamp.m_nModifiedSeconds), 8);
        PutBytes(out, static_cast<uint64_t>(stamp.m_nModifiedNanoseconds), 8);
    }
}

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

namespace {

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

}  // namespace

bool CSearchIndex::EncodeTo(const SStoreStamps& stores, uint64_t maxBytes, std::string& out) const {
    if (!IsBuilt() || !IsComplete())
        return false;
    std::u16string books[2];
    for (int t = 0; t < 2; ++t) {
        for (const auto& book : m_arrBooks[t]) (books[t] += book) += u'\0';
    }
    const uint64_t stored = m_strStored.size(), prepared = m_strPrepared.size();
    const uint64_t total = kHeaderBytes + kEntryBytes * m_arrEntries.size() +
                           2 * (m_strNames.size() + books[0].size() + books[1].size()) + stored +
                           2 * prepared;
    if (total > maxBytes)
        return false;

    const size_t base = out.size();
    out.reserve(base + total);
    out.append(kMagic, sizeof kMagic);
    PutBytes(out, kFormatVersion, 4);
    PutBytes(out, 0, 4);
    PutBytes(out, 0, 8);  // the checksum, once the rest is known
    AppendStoreStamps(out, stores);
    for (uint64_t count : {uint64_t{m_arrEntries.size()}, uint64_t{m_strNames.size()},
                           uint64_t{books[0].size()}, uint64_t{books[1].size()}, stored, prepared})
        PutBytes(out, count, 8);
    for (const SEntry& e : m_arrEntries) {
        if (e.m_nStoredLength > 0xFFFF) {
            out.resize(base);
            return false;
        }
        PutBytes(out, e.m_nTestament, 1);
        PutBytes(out, 0, 1);
        PutBytes(out, e.m_nBook, 2);
        PutBytes(out, e.m_nNameLength, 2);
        PutBytes(out, e.m_nStoredLength, 2);
        PutBytes(out, e.m_nPreparedLength, 4);
    }
    PutUnits(out, m_strNames);
    PutUnits(out, books[0]);
    PutUnits(out, books[1]);
    out += m_strStored;
    PutUnits(out, m_strPrepared);
    CChecksum sum;
    const size_t summedFrom = base + kSearchCacheChecksumAt + 8;
    sum.Add(out.data() + summedFrom, out.size() - summedFrom);
    std::string checksum;
    PutBytes(checksum, sum.Value(), 8);
    out.replace(base + kSearchCacheChecksumAt, 8, checksum);
    return true;
}

bool CSearchIndex::DecodeFrom(int fd, uint64_t fileBytes, const SStoreStamps& stores) {
    unsigned char header[kHeaderBytes];
    if (fileBytes < kHeaderBytes || !ReadExactly(fd, header, kHeaderBytes, nullptr))
        return false;
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0 ||
        GetBytes(header + 8, 4) != kFormatVersion || GetBytes(header + 12, 4) != 0)
        return false;
    for (size_t i = 0; i < stores.size(); ++i) {
        const unsigned char* at = header + kSearchCacheChecksumAt + 8 + i * kStampBytes;
        const SStoreStamp stamp{GetBytes(at, 8), GetBytes(at + 8, 8), GetBytes(at + 16, 8),
                                static_cast<int64_t>(GetBytes(at + 24, 8)),
                                static_cast<int64_t>(GetBytes(at + 32, 8))};
        if (!(stamp == stores[i]))
            return false;
    }
    uint64_t counts[6];
    for (size_t i = 0; i < 6; ++i) counts[i] = GetBytes(header + kCountsAt + 8 * i, 8);
    const auto [entryCount, nameUnits, oldBookUnits, newBookUnits, storedBytes, preparedUnits] =
        counts;
    // Every count is bounded by the file's size before it is multiplied, so no
    // sum overflows, and the sizes must add up to the file exactly.
    if (entryCount > kMaxReferences || std::any_of(std::begin(counts), std::end(counts),
                                                   [&](uint64_t c) { return c > fileBytes; }))
        return false;
    if (kHeaderBytes + kEntryBytes * entryCount + 2 * (nameUnits + oldBookUnits + newBookUnits) +
            storedBytes + 2 * preparedUnits !=
        fileBytes)
        return false;

    CChecksum sum;
    sum.Add(header + kSearchCacheChecksumAt + 8, kHeaderBytes - kSearchCacheChecksumAt - 8);
    // The names and texts are read into the block they stay in, laid out as
    // Pack lays them; the entries are decoded into it.
    CSearchIndex loaded;
    const size_t entryBytes = Padded(entryCount * sizeof(SEntry));
    const size_t nameBytes = Padded(2 * nameUnits);
    loaded.m_nBlockBytes = entryBytes + nameBytes + Padded(storedBytes) + Padded(2 * preparedUnits);
    loaded.m_pBlock = AllocateBlock(loaded.m_nBlockBytes);
    char* at = loaded.m_pBlock.get();
    auto* entries = reinterpret_cast<SEntry*>(at);
    auto* names = reinterpret_cast<char16_t*>(at + entryBytes);
    char* stored = at + entryBytes + nameBytes;
    auto* prepared = reinterpret_cast<char16_t*>(stored + Padded(storedBytes));
    // The entries' fields are read into the end of the entries' own space and
    // decoded forward: entry id, once written, ends where the fields of id + 1
    // begin at the latest.
    static_assert(sizeof(SEntry) >= kEntryBytes);
    auto* fields =
        reinterpret_cast<unsigned char*>(at) + (sizeof(SEntry) - kEntryBytes) * entryCount;
    std::u16string books[2] = {std::u16string(oldBookUnits, u'\0'),
                               std::u16string(newBookUnits, u'\0')};
    if (!ReadExactly(fd, fields, kEntryBytes * entryCount, &sum) ||
        !ReadExactly(fd, names, 2 * nameUnits, &sum) ||
        !ReadExactly(fd, books[0].data(), 2 * books[0].size(), &sum) ||
        !ReadExactly(fd, books[1].data(), 2 * books[1].size(), &sum) ||
        !ReadExactly(fd, stored, storedBytes, &sum) ||
        !ReadExactly(fd, prepared, 2 * preparedUnits, &sum) ||
        sum.Value() != GetBytes(header + kSearchCacheChecksumAt, 8))
        return false;
    UnitsFromLittleEndian(names, nameUnits);
    UnitsFromLittleEndian(prepared, preparedUnits);
    for (int t = 0; t < 2; ++t) {
        std::u16string& list = books[t];
        UnitsFromLittleEndian(list.data(), list.size());
        if ((!list.empty() && list.back() != u'\0') ||
            static_cast<uint64_t>(std::count(list.begin(), list.end(), u'\0')) > kMaxBooks)
            return false;
        for (size_t from = 0; from < list.size();) {
            const size_t end = list.find(u'\0', from);
            loaded.m_arrBooks[t].push_back(list.substr(from, end - from));
            from = end + 1;
        }
    }

    // The offsets follow from the lengths, so every text lies inside its
    // buffer once the lengths add up to the buffers' sizes; the order checks
    // keep the reader's order, which Search and ScopeIds rely on.
    uint64_t nameAt = 0, storedAt = 0, preparedAt = 0;
    // The reference before: its testament and book as one number, its number.
    uint32_t place = 0, reference = 0;
    const size_t oldBooks = loaded.m_arrBooks[0].size(), newBooks = loaded.m_arrBooks[1].size();
    for (size_t id = 0; id < entryCount; ++id) {
        const unsigned char* field = fields + kEntryBytes * id;
        SEntry e;
        e.m_nTestament = field[0];
        e.m_nBook = static_cast<uint16_t>(GetBytes(field + 2, 2));
        e.m_nNameLength = static_cast<uint16_t>(GetBytes(field + 4, 2));
        e.m_nStoredLength = static_cast<uint32_t>(GetBytes(field + 6, 2));
        e.m_nPreparedLength = static_cast<uint32_t>(GetBytes(field + 8, 4));
        const uint32_t here = uint32_t{e.m_nTestament} << 16 | e.m_nBook;
        if (e.m_nTestament > 1 || field[1] != 0 ||
            e.m_nBook >= (e.m_nTestament == 0 ? oldBooks : newBooks) || (id > 0 && here < place))
            return false;
        reference = id > 0 && here == place ? reference + 1 : 0;
        place = here;
        e.m_nReference = reference;
        e.m_nNameStart = static_cast<uint32_t>(nameAt);
        e.m_nStoredStart = static_cast<uint32_t>(storedAt);
        e.m_nPreparedStart = static_cast<uint32_t>(preparedAt);
        nameAt += e.m_nNameLength;
        storedAt += e.m_nStoredLength;
        preparedAt += e.m_nPreparedLength;
        if (nameAt > nameUnits || storedAt > storedBytes || preparedAt >= preparedUnits ||
            prepared[preparedAt] != u'\0')
            return false;
        ++preparedAt;
        entries[id] = e;
    }
    if (nameAt != nameUnits || storedAt != storedBytes || preparedAt != preparedUnits)
        return false;
    loaded.m_arrEntries = {entries, entryCount};
    loaded.m_strNames = {names, nameUnits};
    loaded.m_strStored = {stored, storedBytes};
    loaded.m_strPrepared = {prepared, preparedUnits};
    *this = std::move(loaded);
    return true;
}

namespace {

// The index of the cache file at path when it is current for identity's stores.
bool Load(CSearchIndex& index, const std::string& path, const SStoreIdentity& identity) {
    // Not blocking: a FIFO in the file's place must not hold up a search.
    uint64_t fileBytes = 0;
    const int fd = OpenRegularFile(path, kMaxCacheBytes, &fileBytes, true);
    if (fd < 0)
        return false;
    const CFileCloser closer(fd);
    return index.DecodeFrom(fd, fileBytes, identity.m_arrStores);
}

bool Save(const CSearchIndex& index, const std::string& path, const SStoreIdentity& identity) {
    std::string file;
    if (!index.EncodeTo(identity.m_arrStores, kMaxCacheBytes, file))
        return false;
    MakeFolderOf(path);
    // No fsync: a file cut short by a crash fails its checksum and is rebuilt.
    return ReplaceFile(path, {file}, false);
}

}  // namespace

bool CSearchIndex::BuildCached(const std::string& folder, EScope scope,
                               const std::string& cacheFile,
                               const std::function<void(std::u16string_view)>& onMissing,
                               ECacheUse* use) {
    if (use != nullptr)
        *use = ECacheUse::NotWritten;
    // Taken before the stores are read, so that a change while they are read
    // leaves the cache written from them stale.
    const auto before = cacheFile.empty() ? std::nullopt : IdentifyStores(folder);
    if (!before)
        return Build(folder, scope, onMissing);
    Clear();
    if (Load(*this, cacheFile, *before)) {
        KeepScope(scope);
        if (use != nullptr)
            *use = ECacheUse::Loaded;
        return true;
    }
    // The cache holds the whole set, so that every scope is answered from it.
    if (!Build(folder, EScope::Both, onMissing))
        return false;
    if (!IsComplete())
        return scope == EScope::Both || Build(folder, scope, onMissing);
    const auto after = IdentifyStores(folder);
    if (before->m_bSettled && after && before->m_arrStores == after->m_arrStores &&
        Save(*this, cacheFile, *before) && use != nullptr)
        *use = ECacheUse::Rewritten;
    KeepScope(scope);
    return true;
}

std::string SetCachePath(const std::string& folder, std::string_view extension,
                         const EnvLookup& env) {
    const std::string base = XdgCacheHome(env);
    if (base.empty())
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
    return base + "tavrin/" + hash + "-" + name + std::string(extension);
}

std::string SearchCachePath(const std::string& folder, const EnvLookup& env) {
    return SetCachePath(folder, ".idx", env);
}

std::string SearchCachePath(const std::string& folder) {
    return SearchCachePath(folder, std::getenv);
}

}  // namespace tavrin
