/* tessdb.h - Tessdb: text records under text keys in a GNU dbm file. */
#ifndef TESSDB_H
#define TESSDB_H

#define TESSDB_API __attribute__((visibility("default")))

/* Open modes of CreateTESS; the values are gdbm's open flags. */
enum FLOPEN {
    FL_READER = 0,  /* read only; the file must exist and be a store */
    FL_WRITER = 1,  /* read and write; the file must exist (an empty file becomes a store) */
    FL_WRCREAT = 2, /* read and write; a missing file is created empty */
    FL_NEWDB = 3    /* read and write; the store always starts empty */
};

/* Result of GetQdata. nLen is the record's stored length field (text length
   plus one for records written by InsertQdata); szData holds the text, its
   NUL, then zeros up to the end. */
struct _TESS_MAXDATA_ {
    int nLen;
    char szData[30000];
};

/* Kept for callers built against earlier versions; it has no role. */
class TESSDB_API CTessdb {
public:
    CTessdb();
    CTessdb& operator=(const CTessdb&);
};

extern TESSDB_API int nTessdb; /* always 0; no role */
TESSDB_API int fnTessdb(void); /* returns 42; no role */

/* Opens the store file at the NUL-terminated UTF-16 path (taken as UTF-8 on
   the file system; a lone U+DC80..U+DCFF stands for a path byte 0x80..0xFF
   that is not UTF-8, so any path can be named). Returns the handle,
   which the caller owns until DestroyTESS, or null when the file is missing
   (FL_READER, FL_WRITER), empty (FL_READER), not a store, in use by a handle
   that excludes this one (readers share a file; any other mode has it alone),
   cannot be created, or the path or mode is invalid. A refused open leaves
   nothing open and, under FL_READER, creates nothing. */
TESSDB_API void* CreateTESS(unsigned short* path, FLOPEN mode);

/* Stores text under key. mode 1 replaces an existing record; any other mode
   leaves it untouched and fails. Returns 1 when stored, 0 when the key exists
   (mode != 1), the handle is a reader, an argument is null, or the text with
   its NUL needs more than 30000 bytes (the store is then unchanged). */
TESSDB_API int InsertQdata(void* handle, char* key, char* text, int mode);

/* Removes key and its record. Returns 1 when removed, 0 when the key is
   absent, the handle is a reader or an argument is null. */
TESSDB_API int DeleteQdata(void* handle, char* key);

/* Returns 1 when key is present, else 0 (also for null arguments). */
TESSDB_API int IsKeyid(void* handle, char* key);

/* Fetches key's record into out and returns 1; returns 0 and leaves out
   untouched when the key is absent or an argument is null. A record that
   InsertQdata did not write is read safely: shorter than four bytes gives
   nLen 0 and an empty text; the text ends at the first NUL, the record's end
   or 29999 bytes, whichever comes first; nLen is copied as stored. */
TESSDB_API int GetQdata(void* handle, _TESS_MAXDATA_& out, char* key);

/* Closes the store and frees the handle; a null handle is ignored. */
TESSDB_API void DestroyTESS(void* handle);

/* A failure inside the engine during any call (a read, write or seek on the
   store file, or memory exhausted) ends the process with exit status -1 and
   prints nothing. */

#endif
