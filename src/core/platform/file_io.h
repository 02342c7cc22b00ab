#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"

// The thin layer of file calls under the tag record: every call opens the file once,
// works with positioned reads and writes, and closes it on every path. Only regular
// files are accepted (a directory, FIFO or device named like an audio file is refused,
// and opening never blocks on a FIFO).
namespace ambrel::file_io {

// An open regular file; closed by the destructor.
//
// A file opened for writing is held under an exclusive advisory lock (an open file
// description lock over the whole file) until it is closed, so that two writers, in this
// process or in two runs of the program, never interleave "read the end, decide, write":
// two appends at once would glue two tags onto the audio. The size is noted once the lock
// is held. A file whose lock another writer keeps for longer than kLockWaitMs is not opened;
// a file system without such locks is written without one.
class File {
public:
    enum Mode { kRead, kReadWrite, kWrite };

    static constexpr int kLockWaitMs = 3000;

    File(const std::string& path, Mode mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // The size noted when the file was opened; -1 when not open.
    long long Size() const { return size_; }
    // Which file is open, as it is now (paths::FileIdentity); none when not open.
    std::optional<paths::FileIdentity> Identity() const;
    // Reads exactly size bytes at offset; false on any shortfall.
    bool ReadAt(long long offset, uint8_t* data, std::size_t size) const;
    // Writes data over the size bytes at offset, which hold old. A write that stops part-way
    // (a file size limit, a full disk) puts back the part of old it replaced, so on failure
    // the range holds old again, never a mix of both.
    bool Overwrite(long long offset, const uint8_t* data, const uint8_t* old, std::size_t size);
    // Writes the bytes after the current end. A partial write (a full disk, a file size
    // limit) is taken back, so the file keeps its old length on failure.
    bool Append(const uint8_t* data, std::size_t size);
    // Cuts the file to new_size bytes in place.
    bool Truncate(long long new_size);

private:
    int fd_ = -1;
    long long size_ = -1;
};

// The whole content of a regular file, read through the same checks as File: a directory,
// FIFO or device is refused (and never blocks). False when the file cannot be opened or a
// read fails; out is then left empty.
bool ReadWholeFile(const std::string& path, std::string* out);

// The lines of a text file's content, as views into it: split at '\n' with a '\r' before it
// dropped (a file saved with Windows line ends), and a final line end opens no further,
// empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The first bytes of a file, read in the same open as its last block when a caller asks.
struct FileHead {
    static constexpr std::size_t kSize = 10;
    std::array<uint8_t, kSize> bytes{};
    // False when the file could not be opened or read, or is shorter than kSize bytes.
    bool read = false;
    // The file's size when it was read; -1 when it could not be opened.
    long long file_size = -1;
};

// A file up to this size is read whole by one positioned read when its head is asked for
// too: below it, one read of the whole file costs less than two small ones.
inline constexpr std::size_t kWholeReadLimit = 16 * 1024;

// The last n bytes of the file (n <= 128) with one open, one fstat, one positioned read
// and one close. False when the file cannot be opened or is shorter than 128 bytes.
// With head, its first FileHead::kSize bytes are read in the same open, and head filled
// whatever the tail gives: a file up to kWholeReadLimit bytes by the same one read, a
// longer one by a second. Without head the calls are exactly those above.
bool ReadLastBlock(const std::string& path, std::array<uint8_t, 128>* out,
                   FileHead* head = nullptr);
// The same for the entry name of the open directory directory_fd (a link is followed, as
// ReadLastBlock follows one).
bool ReadLastBlockAt(int directory_fd, const std::string& name, std::array<uint8_t, 128>* out,
                     FileHead* head = nullptr);
// The first FileHead::kSize bytes of a file alone, for an entry whose tag is read already.
void ReadHead(const std::string& path, FileHead* head);

}  // namespace ambrel::file_io
