// Notes.cpp - note entries, time stamps and appending records to the UTF-16LE notes file.
#include "Notes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

// Opens an existing notes file for appending, or creates it when there is
// none. Never truncates; never follows a symlink when creating. A path that
// is not a regular file (directory, FIFO, device) is refused.
int OpenNotesFile(const std::string& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = open(path.c_str(),
                      O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                      0666);
            // Someone else created it in between: append to theirs.
            if (fd < 0 && errno == EEXIST)
                continue;
        }
        if (fd < 0)
            return -1;
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            close(fd);
            return -1;
        }
        return fd;
    }
    return -1;
}

// Blocks until this process holds the write lock on the whole file, so two
// savers never interleave records and a rollback never cuts another's record.
// A file system without locks still gets the save.
void LockWhole(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    while (fcntl(fd, F_SETLKW, &lock) != 0 && errno == EINTR) {
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
    if (path.empty())
        return ENoteResult::OpenFailed;
    const int fd = OpenNotesFile(path);
    if (fd < 0)
        return ENoteResult::OpenFailed;
    LockWhole(fd, F_WRLCK);

    struct stat st {};
    if (fstat(fd, &st) != 0) {
        close(fd);
        return ENoteResult::OpenFailed;
    }
    const off_t oldSize = st.st_size;

    // The mark goes in the same write as the first record, so no file is ever
    // left holding only a mark, and a file left empty by a failed first save
    // still gets one.
    std::string record;
    if (oldSize == 0)
        record.assign("\xFF\xFE", 2);
    AppendUtf16Le(record, FormatStamp(local));
    AppendUtf16Le(record, entry);

    ssize_t written;
    do {
        written = write(fd, record.data(), record.size());
    } while (written < 0 && errno == EINTR);

    ENoteResult result = ENoteResult::Saved;
    if (written != static_cast<ssize_t>(record.size())) {
        // Take back whatever part landed; the file is as it was before.
        [[maybe_unused]] const int undone = ftruncate(fd, oldSize);
        result = ENoteResult::WriteFailed;
    }
    LockWhole(fd, F_UNLCK);
    if (close(fd) != 0 && result == ENoteResult::Saved)
        result = ENoteResult::WriteFailed;
    return result;
}

}  // namespace tavrin
