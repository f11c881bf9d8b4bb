// FileIo.cpp - non-blocking opens, whole reads and writes, replace by rename, locked appends.
#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tavrin {

CFileCloser::~CFileCloser() {
    if (m_nFd >= 0)
        close(m_nFd);
}

int OpenRegularFile(const std::string& path, uint64_t maxBytes, uint64_t* size, bool noFollow) {
    const int fd = open(path.c_str(),
                        O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<uint64_t>(st.st_size) > maxBytes) {
        close(fd);
        return -1;
    }
    *size = static_cast<uint64_t>(st.st_size);
    return fd;
}

namespace {

// Repeats call (a read or a write) until size bytes have moved: an interrupted
// call is retried, an error or end of file fails.
template <typename Byte, typename Call>
bool MoveAll(Byte* p, size_t size, Call call) {
    while (size > 0) {
        const ssize_t n = call(p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ReadExactly(int fd, void* data, size_t size) {
    return MoveAll(static_cast<char*>(data), size,
                   [fd](char* p, size_t n) { return read(fd, p, n); });
}

std::optional<std::string> ReadRegularFile(const std::string& path, uint64_t maxBytes,
                                           bool noFollow) {
    uint64_t size = 0;
    const int fd = OpenRegularFile(path, maxBytes, &size, noFollow);
    if (fd < 0)
        return std::nullopt;
    const CFileCloser closer(fd);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!ReadExactly(fd, bytes.data(), bytes.size()))
        return std::nullopt;
    return bytes;
}

bool WriteAll(int fd, const void* data, size_t size) {
    return MoveAll(static_cast<const char*>(data), size,
                   [fd](const char* p, size_t n) { return write(fd, p, n); });
}

bool ReplaceFile(const std::string& path, const std::vector<std::string_view>& pieces, bool sync) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = fchmod(fd, 0644) == 0;
    for (std::string_view piece : pieces) ok = ok && WriteAll(fd, piece.data(), piece.size());
    ok = ok && (!sync || fsync(fd) == 0);
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    unlink(temporary.c_str());
    return false;
}

namespace {

// Opens an existing file for appending, or creates it when there is none.
int OpenForAppend(const std::string& path) {
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

// Blocks until the lock is taken, so a rollback never cuts another
// appender's data. A file system without locks still gets the append.
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

EAppendResult AppendToFile(const std::string& path, std::string_view header,
                           std::string_view data) {
    if (path.empty())
        return EAppendResult::OpenFailed;
    const int fd = OpenForAppend(path);
    if (fd < 0)
        return EAppendResult::OpenFailed;
    LockWhole(fd, F_WRLCK);
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        close(fd);
        return EAppendResult::OpenFailed;
    }
    const off_t oldSize = st.st_size;
    // The header goes in the same write as the data, so no file is ever left
    // holding only a header, and a file left empty by a failed append still gets one.
    std::string bytes;
    if (oldSize == 0)
        bytes.assign(header);
    bytes.append(data);
    EAppendResult result = EAppendResult::Appended;
    if (!WriteAll(fd, bytes.data(), bytes.size())) {
        [[maybe_unused]] const int undone = ftruncate(fd, oldSize);
        result = EAppendResult::WriteFailed;
    }
    LockWhole(fd, F_UNLCK);
    if (close(fd) != 0 && result == EAppendResult::Appended)
        result = EAppendResult::WriteFailed;
    return result;
}

}  // namespace tavrin
