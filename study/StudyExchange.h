// StudyExchange.h - the reader's File › export and import of the study items: the same files and
// rules as tavrin-read's study commands, with what to tell the user in Korean.
#pragma once

#include <string>

#include "StudyDb.h"

namespace tavrin {

enum class EStudyFileFormat { Tsv, Markdown, NotesFile };

// Writes every item to path (TSV or Markdown), replacing it whole through a temporary file;
// "" when written, else the Korean message naming what failed.
std::string ExportStudyFile(CStudyDb& db, const CStoreSet& stores, const std::string& path,
                            EStudyFileFormat format);

// Imports a TSV export or the notes file at path in one transaction. The Korean message says
// "N개를 가져오고 M개는 건너뛰었습니다." or names the bad line; a bad or unreadable file
// changes nothing. m_bChanged when any item was added.
struct SStudyImport {
    bool m_bDone = false;
    bool m_bChanged = false;
    std::string m_strMessage;
};
SStudyImport ImportStudyFile(CStudyDb& db, const CStoreSet& stores, const std::string& path,
                             EStudyFileFormat format);

}  // namespace tavrin
