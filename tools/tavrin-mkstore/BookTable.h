// BookTable.h - the 66 books of a store set: OSIS ids, Korean names and abbreviations.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// The Protestant canon in canonical order (39 Old Testament books, then 27 New
// Testament books), each with the name listed in "allindex" and the book part
// of its verse keys. Starts with the built-in Korean names.
class CBookTable {
public:
    struct Book {
        std::string strOsis;     // OSIS id, e.g. "Gen"
        std::u16string strName;  // listed name and index key, e.g. u"창세기"
        std::u16string strAbbr;  // book part of the keys, e.g. u"창"
        Testament testament;
    };

    CBookTable();

    const std::vector<Book>& Books() const { return m_arrBooks; }
    // Position of the OSIS id in Books(), or -1 when it is not one of the 66.
    int Find(std::string_view osis) const;
    // True for the OSIS ids of books outside the 66 (deuterocanon and others)
    // that sources may hold and that are skipped.
    static bool IsOtherBook(std::string_view osis);

    // Reads overrides from a UTF-8 file of lines "OSIS<TAB>name<TAB>abbreviation"
    // (runs of blanks also separate when a line has no TAB; blank lines and
    // lines starting with '#' are ignored). Books not listed keep their names.
    // Returns false and sets error (naming the line) when the file cannot be
    // read or a line is malformed; the table is then unchanged.
    bool LoadNames(const std::string& path, std::string& error);

    // Checks the whole table: names and abbreviations non-empty, within the
    // name limit, held by code page 949, free of TAB, control characters and
    // ':'; abbreviations without decimal digits; no name is "allindex"; names
    // and abbreviations unique within a testament. Returns every problem.
    std::vector<std::string> Check() const;

private:
    std::vector<Book> m_arrBooks;
};

}  // namespace tavrin
