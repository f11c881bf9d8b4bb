/* tessdb.cpp - Tessdb's calls over gdbm: key and record framing, open modes. */
#include "tessdb.h"

#include <gdbm.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "RecordFraming.h"

int nTessdb = 0;

int fnTessdb(void) {
    return 42;
}

CTessdb::CTessdb() {}

CTessdb& CTessdb::operator=(const CTessdb&) {
    return *this;
}

namespace {

constexpr int kBlockSize = 2048;
constexpr int kFileMode = 0664;
constexpr size_t kTextArea = sizeof(_TESS_MAXDATA_::szData);

// The engine failed mid-operation: the store can no longer be trusted and the
// caller has no error channel, so the process ends as documented.
[[noreturn]] void EngineFailed() {
    _exit(-1);
}

void OnFatal(const char*) {
    EngineFailed();
}

GDBM_FILE Db(void* handle) {
    return static_cast<GDBM_FILE>(handle);
}

datum KeyDatum(char* key) {
    return datum{key, static_cast<int>(std::strlen(key) + 1)};
}

// Anything but "absent" or "not allowed for a reader" is an engine failure.
void CheckEngine(GDBM_FILE db) {
    switch (gdbm_last_errno(db)) {
        case GDBM_NO_ERROR:
        case GDBM_ITEM_NOT_FOUND:
        case GDBM_CANNOT_REPLACE:
        case GDBM_READER_CANT_STORE:
        case GDBM_READER_CANT_DELETE:
            return;
        default:
            EngineFailed();
    }
}

// UTF-16 path to the UTF-8 the file system takes. A lone U+DC80..U+DCFF
// stands for a path byte that is not UTF-8 (0x80..0xFF); any other lone
// surrogate gives false.
bool Utf16PathToUtf8(const unsigned short* path, std::string& out) {
    for (size_t i = 0; path[i] != 0; ++i) {
        char32_t c = path[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            const char32_t low = path[i + 1];
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            out += static_cast<char>(c - 0xDC00);
            continue;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

}  // namespace

void* CreateTESS(unsigned short* path, FLOPEN mode) {
    if (path == nullptr || mode < FL_READER || mode > FL_NEWDB)
        return nullptr;
    std::string file;
    if (!Utf16PathToUtf8(path, file) || file.empty())
        return nullptr;
    // Only regular files are stores: opening a FIFO would block until a writer came.
    struct stat st {};
    if (stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return nullptr;
    // No mmap: a store cut short under a mapping would raise SIGBUS instead of a
    // read error. Extra verification: stores come from anyone.
    const int flags = mode | GDBM_FAST | GDBM_NOMMAP | GDBM_XVERIFY | GDBM_CLOEXEC;
    return gdbm_open(file.c_str(), kBlockSize, flags, kFileMode, OnFatal);
}

int InsertQdata(void* handle, char* key, char* text, int mode) {
    if (handle == nullptr || key == nullptr || text == nullptr)
        return 0;
    const size_t length = std::strlen(text) + 1;
    if (length > kTextArea)
        return 0;

    std::string record = tessdb::FrameRecord(std::string_view(text, length - 1));
    GDBM_FILE db = Db(handle);
    datum content{record.data(), static_cast<int>(record.size())};
    const int result =
        gdbm_store(db, KeyDatum(key), content, mode == 1 ? GDBM_REPLACE : GDBM_INSERT);
    if (result == 0)
        return 1;
    CheckEngine(db);
    return 0;
}

int DeleteQdata(void* handle, char* key) {
    if (handle == nullptr || key == nullptr)
        return 0;
    GDBM_FILE db = Db(handle);
    if (gdbm_delete(db, KeyDatum(key)) == 0)
        return 1;
    CheckEngine(db);
    return 0;
}

int IsKeyid(void* handle, char* key) {
    if (handle == nullptr || key == nullptr)
        return 0;
    GDBM_FILE db = Db(handle);
    if (gdbm_exists(db, KeyDatum(key)))
        return 1;
    CheckEngine(db);
    return 0;
}

int GetQdata(void* handle, _TESS_MAXDATA_& out, char* key) {
    if (handle == nullptr || key == nullptr)
        return 0;
    GDBM_FILE db = Db(handle);
    // One lookup: an absent key comes back as a null record, so a separate
    // existence test would only search the bucket twice.
    datum record = gdbm_fetch(db, KeyDatum(key));
    if (record.dptr == nullptr) {
        CheckEngine(db);
        return 0;
    }
    const std::string_view stored(record.dptr,
                                  record.dsize > 0 ? static_cast<size_t>(record.dsize) : 0);
    const std::string_view text = tessdb::RecordText(stored);
    out.nLen = tessdb::RecordLength(stored);
    std::memset(out.szData, 0, kTextArea);
    if (!text.empty())
        std::memcpy(out.szData, text.data(), std::min(text.size(), kTextArea - 1));
    std::free(record.dptr);
    return 1;
}

void DestroyTESS(void* handle) {
    if (handle != nullptr)
        gdbm_close(Db(handle));
}
