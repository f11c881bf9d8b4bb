// RawStore.cpp - walks a GNU dbm file and checks the framing of its records.
#include "RawStore.h"

#include <gdbm.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "RecordFraming.h"

namespace tavrin {

bool CRawStore::Load(const std::string& path, std::string& error) {
    m_mapRecords.clear();
    m_mapBadKeys.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        error = "missing";
        return false;
    }
    GDBM_FILE db = gdbm_open(path.c_str(), 0, GDBM_READER, 0, nullptr);
    if (db == nullptr) {
        error = std::string("does not open as a store (") + gdbm_strerror(gdbm_errno) + ")";
        return false;
    }
    datum key = gdbm_firstkey(db);
    while (key.dptr != nullptr) {
        std::string stored;
        datum value = gdbm_fetch(db, key);
        if (value.dptr != nullptr) {
            stored.assign(value.dptr, static_cast<size_t>(value.dsize));
            std::free(value.dptr);
        }
        std::string name(key.dptr, static_cast<size_t>(key.dsize));
        if (!name.empty() && name.back() == '\0' && name.find('\0') == name.size() - 1) {
            name.pop_back();
            m_mapRecords.emplace(std::move(name), std::move(stored));
        } else {
            m_mapBadKeys.emplace(std::move(name), std::move(stored));
        }
        datum next = gdbm_nextkey(db, key);
        std::free(key.dptr);
        key = next;
    }
    gdbm_close(db);
    return true;
}

std::string CRawStore::FramingProblem(std::string_view stored) {
    if (stored.size() < 5)
        return "record of " + std::to_string(stored.size()) + " bytes, shorter than 5";
    const int32_t length = tessdb::RecordLength(stored);
    const size_t textBytes = stored.size() - 4;
    if (length < 1 || static_cast<size_t>(length) != textBytes)
        return "length field " + std::to_string(length) + " but " + std::to_string(textBytes) +
               " text bytes follow";
    const size_t nul = stored.find('\0', 4);
    if (nul != stored.size() - 1)
        return nul == std::string_view::npos ? "text without its terminating NUL"
                                             : "NUL inside the text";
    return {};
}

}  // namespace tavrin
