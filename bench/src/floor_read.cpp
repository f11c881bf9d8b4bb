// floor_read.cpp - floor-read DIR REFERENCE [old|new]: the least a process can do
// to print a chapter as tavrin-read does: open the one text store, fetch verse 1..
// until one is absent, decode, lay out and print. No checks beyond that.
#include <gdbm.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: floor-read DIR REFERENCE [old|new]\n", stderr);
        return 2;
    }
    const bool isNew = argc < 4 || std::strcmp(argv[3], "old") != 0;
    const std::string path =
        std::string(argv[1]) + (isNew ? "/inxdat_newB.dbe" : "/inxdat_oldB.dbe");
    GDBM_FILE db = gdbm_open(path.c_str(), 2048,
                             GDBM_READER | GDBM_FAST | GDBM_NOMMAP | GDBM_XVERIFY | GDBM_CLOEXEC,
                             0664, nullptr);
    if (db == nullptr)
        return 3;
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open("windows-949", &err);

    // The chapter reference: the reference up to and including its first ':'.
    std::string chapterUtf8 = argv[2];
    const size_t colon = chapterUtf8.find(':');
    if (colon != std::string::npos)
        chapterUtf8.resize(colon + 1);
    UChar wide[1024];
    int32_t wideLength = 0;
    err = U_ZERO_ERROR;
    u_strFromUTF8(wide, 1024, &wideLength, chapterUtf8.c_str(), -1, &err);
    char chapter[2048];
    err = U_ZERO_ERROR;
    const int32_t chapterLength =
        ucnv_fromUChars(conv, chapter, sizeof chapter, wide, wideLength, &err);

    std::string out;
    UChar text[30000];
    char utf8[90000];
    for (int n = 1; n <= 99; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, isNew ? " %d" : "%d", n);
        std::string key(chapter, static_cast<size_t>(chapterLength));
        key += number;
        datum record = gdbm_fetch(db, datum{key.data(), static_cast<int>(key.size() + 1)});
        if (record.dptr == nullptr)
            break;
        err = U_ZERO_ERROR;
        const int32_t textLength =
            ucnv_toUChars(conv, text, 30000, record.dptr + 4,
                          static_cast<int32_t>(strnlen(record.dptr + 4, record.dsize - 4)), &err);
        std::free(record.dptr);
        int32_t utf8Length = 0;
        err = U_ZERO_ERROR;
        u_strToUTF8(utf8, sizeof utf8, &utf8Length, text, textLength, &err);
        out += "  [";
        out += chapterUtf8;
        out += number;
        out += "]\r\n";
        out.append(utf8, static_cast<size_t>(utf8Length));
        out += "\r\n\r\n";
    }
    ucnv_close(conv);
    gdbm_close(db);
    if (out.empty())
        return 1;
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
