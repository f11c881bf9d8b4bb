// Notes.h - note entries, time stamps and the UTF-16 notes file.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "StoreSet.h"

namespace tavrin {

// The notes file's name in the user's documents folder.
inline constexpr const char* kNotesFileName = "BibleNote.txt";

// "구약" for the Old Testament, "신약" for the New.
std::u16string_view TestamentWord(Testament testament);

// "%s - %s - %s\r\n%s\r\n": testament word, book, reference, passage.
std::u16string FormatNoteEntry(Testament testament, std::u16string_view book,
                               std::u16string_view reference, std::u16string_view passage);

// "\r\n▶ 일시 %d-%.2d-%.2d / %.2d:%.2d:%.2d \r\n" from a local time.
std::u16string FormatStamp(const std::tm& local);

enum class ENoteResult { Saved, OpenFailed, WriteFailed };

// Appends one record (stamp, then entry) as UTF-16LE to the file at path, in a
// single write, whole however long. A new (or empty) file gets FF FE first.
// An existing file is never truncated or rewritten: when it cannot be opened
// for appending (read-only, a directory, a dangling link) the save fails. A write that fails
// part-way is undone (the file is cut back to its old length). Returns Saved only when the whole
// record reached the file.
ENoteResult AppendNote(const std::string& path, std::u16string_view entry, const std::tm& local);

}  // namespace tavrin
