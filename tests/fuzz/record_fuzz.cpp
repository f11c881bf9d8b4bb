// record_fuzz.cpp - store records of arbitrary bytes (foreign framing) read back through Tessdb.
#include <gdbm.h>
#include <tessdb.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "NameList.h"
#include "StoreSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // Rewritten for every input: in memory when possible (syncs are the cost).
    static const std::string path = [] {
        std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        dir += "/tavrin-fuzz-record-XXXXXX";
        FUZZ_CHECK(mkdtemp(dir.data()) != nullptr);
        return dir + "/inxdat_oldB.dbe";
    }();
    const size_t keyLength = std::min<size_t>(data[0], size - 1);
    std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
    key = key.substr(0, key.find('\0'));
    const std::string record(reinterpret_cast<const char*>(data + 1 + keyLength),
                             size - 1 - keyLength);
    // The record exactly as given, under the key as a reader looks it up (with its NUL).
    GDBM_FILE db = gdbm_open(path.c_str(), 2048, GDBM_NEWDB, 0600, nullptr);
    FUZZ_CHECK(db != nullptr);
    FUZZ_CHECK(gdbm_store(db, {key.data(), static_cast<int>(key.size() + 1)},
                          {const_cast<char*>(record.data()), static_cast<int>(record.size())},
                          GDBM_REPLACE) == 0);
    gdbm_close(db);

    void* store = tavrin::OpenStoreFile(path, FL_READER);
    FUZZ_CHECK(store != nullptr);
    auto out = std::make_unique<_TESS_MAXDATA_>();
    std::memset(out.get(), 0xAB, sizeof(*out));
    FUZZ_CHECK(GetQdata(store, *out, key.data()) == 1);
    // The length field as stored, the text up to its first NUL within the area, zeros after.
    uint32_t stored = 0;
    if (record.size() >= 4)
        std::memcpy(&stored, record.data(), 4);
    FUZZ_CHECK(out->nLen == static_cast<int>(stored));
    const std::string body = record.size() > 4 ? record.substr(4) : std::string();
    const std::string expected =
        body.substr(0, std::min({body.find('\0'), body.size(), sizeof(out->szData) - 1}));
    FUZZ_CHECK(std::memcmp(out->szData, expected.data(), expected.size()) == 0);
    for (size_t i = expected.size(); i < sizeof(out->szData); ++i) FUZZ_CHECK(out->szData[i] == 0);

    // The reader's text: a prefix, cut by a shorter stored length and the limit.
    bool found = false;
    const std::string text = tavrin::FetchRecordText(store, key, &found);
    FUZZ_CHECK(found && text.size() <= tavrin::kMaxRecordBytes);
    FUZZ_CHECK(expected.compare(0, text.size(), text) == 0);
    if (out->nLen >= 0 && static_cast<size_t>(out->nLen) < expected.size())
        FUZZ_CHECK(text.size() == static_cast<size_t>(out->nLen));
    for (const auto& name : tavrin::ParseNameList(text))
        FUZZ_CHECK(name.size() <= tavrin::kMaxNameChars);
    DestroyTESS(store);
    return 0;
}
