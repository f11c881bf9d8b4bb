// floor_scan.cpp - floor-scan DIR WORD [mapped]: the least a process can do to search
// a store set: walk every record of the two text stores in the engine's own order,
// look for WORD's code page 949 bytes in it, print how many hold it. No decoding,
// no lists, no order; gdbm opened with Tessdb's flags, or with its mapping on.
#include <gdbm.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: floor-scan DIR WORD [mapped]\n", stderr);
        return 2;
    }
    const bool mapped = argc > 3 && std::strcmp(argv[3], "mapped") == 0;
    UErrorCode err = U_ZERO_ERROR;
    UChar wide[1024];
    int32_t wideLength = 0;
    u_strFromUTF8(wide, 1024, &wideLength, argv[2], -1, &err);
    UConverter* conv = ucnv_open("windows-949", &err);
    char word[2048];
    const int32_t wordLength = ucnv_fromUChars(conv, word, sizeof word, wide, wideLength, &err);
    ucnv_close(conv);
    if (U_FAILURE(err) || wordLength == 0)
        return 2;
    const std::string_view needle(word, static_cast<size_t>(wordLength));

    long count = 0;
    for (const char* file : {"/inxdat_oldB.dbe", "/inxdat_newB.dbe"}) {
        const std::string path = std::string(argv[1]) + file;
        const int flags = GDBM_READER | GDBM_FAST | GDBM_XVERIFY | GDBM_CLOEXEC;
        GDBM_FILE db =
            gdbm_open(path.c_str(), 2048, mapped ? flags : flags | GDBM_NOMMAP, 0664, nullptr);
        if (db == nullptr)
            return 3;
        for (datum key = gdbm_firstkey(db); key.dptr != nullptr;) {
            datum record = gdbm_fetch(db, key);
            if (record.dptr != nullptr && record.dsize > 4) {
                const std::string_view text(record.dptr + 4, static_cast<size_t>(record.dsize) - 4);
                count += text.find(needle) != std::string_view::npos;
            }
            std::free(record.dptr);
            const datum next = gdbm_nextkey(db, key);
            std::free(key.dptr);
            key = next;
        }
        gdbm_close(db);
    }
    std::printf("%ld\n", count);
    return count > 0 ? 0 : 1;
}
