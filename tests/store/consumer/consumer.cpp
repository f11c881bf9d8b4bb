// consumer.cpp - stores and reads back one record through an installed Tessdb.
#include <tessdb.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    unsigned short path[512] = {};
    for (size_t i = 0; argv[1][i] != 0 && i < 511; ++i)
        path[i] = static_cast<unsigned char>(argv[1][i]);
    void* db = CreateTESS(path, FL_NEWDB);
    if (db == nullptr)
        return 3;
    char key[] = "allindex";
    char text[] = "\tGen\t";
    static _TESS_MAXDATA_ out;
    const int ok = InsertQdata(db, key, text, 0) && GetQdata(db, out, key) && out.nLen == 6 &&
                   std::strcmp(out.szData, text) == 0 && fnTessdb() == 42;
    DestroyTESS(db);
    std::puts(ok ? "ok" : "mismatch");
    return ok ? 0 : 1;
}
