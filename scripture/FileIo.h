// FileIo.h - the few file operations the reader's own small files share:
// opening without ever blocking, reading and writing whole buffers,
// replacing a file so that a failed or interrupted save leaves the old one,
// and appending so that a failed append leaves the file as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin {

// Closes a descriptor when it goes.
class CFileCloser {
public:
    explicit CFileCloser(int fd) : m_nFd(fd) {}
    ~CFileCloser();
    CFileCloser(const CFileCloser&) = delete;
    CFileCloser& operator=(const CFileCloser&) = delete;

private:
    int m_nFd;
};

// Opens path for reading when it is a regular file of at most maxBytes (a
// FIFO, a device or a folder in its place is refused at once, never waited
// on; a symbolic link is not followed when noFollow). Returns the descriptor
// and sets *size, or returns -1.
int OpenRegularFile(const std::string& path, uint64_t maxBytes, uint64_t* size,
                    bool noFollow = false);

// The whole of the regular file at path, opened as OpenRegularFile does (at
// most maxBytes; a FIFO, device or folder refused); nullopt when it cannot be
// opened or read to its end.
std::optional<std::string> ReadRegularFile(const std::string& path, uint64_t maxBytes,
                                           bool noFollow = false);

// Reads exactly size bytes into data (false when the file ends or fails first).
bool ReadExactly(int fd, void* data, size_t size);
// Writes all size bytes of data (false when a write fails).
bool WriteAll(int fd, const void* data, size_t size);

// Writes pieces, one after another, to a new file beside path (mode 0644;
// flushed to the disk first when sync), then renames it over path. On any
// failure the new file is removed and path is as it was. True when replaced.
bool ReplaceFile(const std::string& path, const std::vector<std::string_view>& pieces, bool sync);

enum class EAppendResult { Appended, OpenFailed, WriteFailed };

// Appends data to the regular file at path, creating it (mode 0666 less the
// umask, never through a symbolic link) when there is none, under a lock on the
// whole file so two appenders never interleave. An empty file gets header
// first, in the same write. Never truncates what was there: a path that is not
// a regular file, or cannot be opened for appending, is OpenFailed, and a
// write that fails part-way is cut back off (WriteFailed). Appended only when
// all of it reached the file.
EAppendResult AppendToFile(const std::string& path, std::string_view header, std::string_view data);

}  // namespace tavrin
