// SetLibrary.cpp - finds the sets of the lookup folders, checks each before it is opened, names
// them.
#include "SetLibrary.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

#include "SetInfo.h"

namespace tavrin {

namespace {

constexpr const char* kStoreFiles[] = {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile};

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// The engine's file header starts with its magic number; the 32- and 64-bit
// layouts then say where the file's next free block lies, which is its length
// when whole. A fetch that runs past the real end ends the process inside the
// engine, so a file shorter than that is refused here, before any fetch.
constexpr uint32_t kMagic32 = 0x13579acd, kMagic64 = 0x13579acf;
constexpr uint32_t kSyncMagic32 = 0x13579ad0, kSyncMagic64 = 0x13579ad1;
constexpr uint32_t kOldMagic = 0x13579ace;

// Why the store file at path cannot be opened safely, or empty.
std::string FileProblem(const std::string& path, const char* name) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return std::string(name) + " is missing";
    if (!S_ISREG(st.st_mode))
        return std::string(name) + " is not a regular file";
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::string(name) + " cannot be read";
    unsigned char header[40] = {};
    const ssize_t got = pread(fd, header, sizeof header, 0);
    close(fd);
    if (got < 0)
        return std::string(name) + " cannot be read";
    uint32_t magic = 0;
    std::memcpy(&magic, header, sizeof magic);
    int64_t end = 0;
    if (got == sizeof header && (magic == kMagic64 || magic == kSyncMagic64)) {
        std::memcpy(&end, header + 32, sizeof end);
    } else if (got >= 32 && (magic == kMagic32 || magic == kSyncMagic32)) {
        int32_t end32 = 0;
        std::memcpy(&end32, header + 28, sizeof end32);
        end = end32;
    } else if (got < 4 || magic != kOldMagic) {
        return std::string(name) + " is not a store file";
    }
    if (end > st.st_size)
        return std::string(name) + " is cut short (" + std::to_string(st.st_size) + " of " +
               std::to_string(end) + " bytes)";
    return {};
}

// CheckSetFolder, leaving the set open in stores when it passes.
std::string OpenChecked(const std::string& folder, CStoreSet& stores) {
    stores.CloseStores();
    const std::string prefix = WithSlash(folder);
    if (prefix.empty())
        return "no folder";
    for (const char* name : kStoreFiles) {
        std::string problem = FileProblem(prefix + name, name);
        if (!problem.empty())
            return problem;
    }
    if (!stores.OpenStores(prefix)) {
        for (const char* name : kStoreFiles) {
            void* handle = OpenStoreFile(prefix + name, FL_READER);
            if (handle == nullptr)
                return std::string(name) + " does not open";
            DestroyTESS(handle);
        }
        return "the stores do not open";
    }
    if (stores.ReadBookList(Testament::Old).empty() &&
        stores.ReadBookList(Testament::New).empty()) {
        stores.CloseStores();
        return "no book list in either testament";
    }
    return {};
}

bool HoldsStoreFile(const std::string& folder) {
    for (const char* name : kStoreFiles) {
        struct stat st {};
        if (lstat((folder + name).c_str(), &st) == 0)
            return true;
    }
    return false;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The names of folder's subfolders in byte order.
std::vector<std::string> Subfolders(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && IsFolder(folder + name))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool IsSetId(std::string_view id) {
    if (id.empty() || id.size() > kMaxSetIdChars)
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    });
}

std::string CheckSetFolder(const std::string& folder) {
    CStoreSet stores;
    return OpenChecked(folder, stores);
}

void CSetLibrary::Scan(const std::vector<std::string>& folders) {
    m_arrSets.clear();
    m_arrSkipped.clear();
    std::set<std::string> seen;
    int direct = 0;
    for (const std::string& given : folders) {
        char real[PATH_MAX];
        if (given.empty() || realpath(given.c_str(), real) == nullptr || !IsFolder(real))
            continue;
        if (!seen.insert(real).second)
            continue;
        const std::string folder = WithSlash(given);
        if (HoldsStoreFile(folder)) {
            ++direct;
            Consider(folder, direct == 1 ? "main" : "main-" + std::to_string(direct), {});
        }
        for (const std::string& name : Subfolders(folder)) {
            const std::string sub = folder + name + '/';
            if (!HoldsStoreFile(sub))
                continue;
            Consider(sub, name, IsSetId(name) ? std::string() : name);
        }
    }
}

void CSetLibrary::Consider(const std::string& folder, const std::string& id,
                           const std::string& badName) {
    if (!badName.empty()) {
        m_arrSkipped.push_back({id, "folder name is not an id (1-32 of a-z 0-9 _ -)", folder});
        return;
    }
    if (const SLibrarySet* first = Find(id)) {
        m_arrSkipped.push_back({id, "id already taken by " + first->m_strFolder, folder});
        return;
    }
    CStoreSet stores;
    const std::string problem = OpenChecked(folder, stores);
    if (!problem.empty()) {
        m_arrSkipped.push_back({id, problem, folder});
        return;
    }
    m_arrSets.push_back({id, SetDisplayName(stores), stores.ReadDescription(), folder});
}

const SLibrarySet* CSetLibrary::Find(std::string_view id) const {
    for (const SLibrarySet& set : m_arrSets)
        if (set.m_strId == id)
            return &set;
    return nullptr;
}

std::u16string DisplayName(const SLibrarySet& set) {
    return set.m_strShortName.empty() ? std::u16string(set.m_strId.begin(), set.m_strId.end())
                                      : set.m_strShortName;
}

}  // namespace tavrin
