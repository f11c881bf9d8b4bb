// Notes.cpp - note entries, time stamps and appending records to the UTF-16LE notes file.
#include "Notes.h"

#include <cstdio>

#include "FileIo.h"

namespace tavrin {

namespace {

void AppendUtf16Le(std::string& bytes, std::u16string_view text) {
    const size_t start = bytes.size();
    bytes.resize(start + text.size() * 2);
    char* out = bytes.data() + start;
    for (char16_t c : text) {
        *out++ = static_cast<char>(c & 0xFF);
        *out++ = static_cast<char>(c >> 8);
    }
}

}  // namespace

std::u16string_view TestamentWord(Testament testament) {
    return testament == Testament::Old ? u"구약" : u"신약";
}

std::u16string FormatNoteEntry(Testament testament, std::u16string_view book,
                               std::u16string_view reference, std::u16string_view passage) {
    std::u16string entry;
    entry.reserve(book.size() + reference.size() + passage.size() + 12);
    entry += TestamentWord(testament);
    entry += u" - ";
    entry += book;
    entry += u" - ";
    entry += reference;
    entry += u"\r\n";
    entry += passage;
    entry += u"\r\n";
    return entry;
}

std::u16string FormatStamp(const std::tm& local) {
    char digits[128];
    // long long: tm_year + 1900 must not overflow for any tm a caller hands in.
    std::snprintf(digits, sizeof(digits), "%lld-%.2lld-%.2lld / %.2lld:%.2lld:%.2lld",
                  static_cast<long long>(local.tm_year) + 1900,
                  static_cast<long long>(local.tm_mon) + 1, static_cast<long long>(local.tm_mday),
                  static_cast<long long>(local.tm_hour), static_cast<long long>(local.tm_min),
                  static_cast<long long>(local.tm_sec));
    std::u16string stamp = u"\r\n▶ 일시 ";
    for (const char* p = digits; *p != '\0'; ++p) stamp += static_cast<char16_t>(*p);
    stamp += u" \r\n";
    return stamp;
}

ENoteResult AppendNote(const std::string& path, std::u16string_view entry, const std::tm& local) {
    std::string record;
    AppendUtf16Le(record, FormatStamp(local));
    AppendUtf16Le(record, entry);
    switch (AppendToFile(path, std::string_view("\xFF\xFE", 2), record)) {
        case EAppendResult::Appended:
            return ENoteResult::Saved;
        case EAppendResult::OpenFailed:
            return ENoteResult::OpenFailed;
        case EAppendResult::WriteFailed:
            break;
    }
    return ENoteResult::WriteFailed;
}

}  // namespace tavrin
