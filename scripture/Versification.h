// Versification.h - where two sets number verses differently: the references one lacks or adds, and
// the table of known divisions that explains them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// The table's file name, installed beside the default set.
inline constexpr const char* kVersificationFile = "versification.tsv";

// A reference of the main set's list that other lacks, or one of other's list
// that the main set lacks.
struct SKeyDifference {
    Testament m_testament = Testament::Old;
    std::u16string m_strReference;
    bool m_bAdded = false;  // true: other has it and the main set lacks it
};

// Compares the reference lists of two open sets book by book (books matched
// by their names in the book lists): the references the main set lists that
// other lacks, then none; in the main set's book and list order, Old
// Testament first, each book's lacked references before its added ones. A
// book only one set lists gives all its references. Empty when either set is
// not open.
std::vector<SKeyDifference> CompareReferences(const CStoreSet& main, const CStoreSet& other);

// One known division: in the set with id m_strSetId, the verses m_nFirst..
// m_nLast of chapter m_nChapter of the book abbreviated m_strBook are divided
// differently from the main set; m_strNote says how, for a row's note.
struct SDivision {
    std::string m_strSetId;
    std::u16string m_strBook;
    int m_nChapter = 0;
    int m_nFirst = 0;
    int m_nLast = 0;
    std::u16string m_strNote;
};

// Reads the table: UTF-8 lines ID<TAB>PASSAGE<TAB>NOTE, PASSAGE a verse or a
// range in one chapter as the reference grammar reads it ("아6:13-14"), ID a
// set id, NOTE any non-empty text. Blank lines and lines opening with '#' are
// ignored. A malformed line (wrong field count, no id, a passage that is not a
// verse or range, an empty note, text that is not UTF-8) is left out and its
// 1-based number added to badLines (if given); the other lines still count.
std::vector<SDivision> ParseDivisions(std::string_view text, std::vector<int>* badLines = nullptr);

// The note of the division of set setId that holds verse of chapter in book
// (the book's abbreviation or name as the table writes it), or nullopt.
std::optional<std::u16string> DivisionNote(const std::vector<SDivision>& table,
                                           std::string_view setId, std::u16string_view book,
                                           int chapter, int verse);

}  // namespace tavrin
