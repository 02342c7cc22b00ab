#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

namespace ambrel::file_io {

namespace {

int OpenFlags(File::Mode mode) {
    // O_NONBLOCK keeps open() from waiting for a writer when the path is a FIFO; it has
    // no effect on the regular files that are let through below.
    const int base = O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
        case File::kRead:
            return base | O_RDONLY;
        case File::kWrite:
            return base | O_WRONLY;
        case File::kReadWrite:
            return base | O_RDWR;
    }
    return base | O_RDONLY;
}

// Takes the whole-file write lock, waiting up to File::kLockWaitMs for a writer that holds
// it. True when it is held, or when the file system has no such locks.
bool LockForWriting(int fd) {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;  // l_start 0 and l_len 0: the whole file, however it grows
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(File::kLockWaitMs);
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EACCES) return true;  // no locks here: write unlocked
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The path is taken relative to the open directory dir_fd (AT_FDCWD: as open takes it).
// With lock, the file is locked for writing before its size is noted, so that the size is
// the one no other writer can change any more.
int OpenRegularAt(int dir_fd, const std::string& path, int flags, long long* size,
                  bool lock = false) {
    if (path.empty()) return -1;
    int fd;
    do {
        fd = ::openat(dir_fd, path.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    if (lock && !LockForWriting(fd)) {
        ::close(fd);
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    *size = static_cast<long long>(st.st_size);
    return fd;
}

int OpenRegular(const std::string& path, int flags, long long* size) {
    return OpenRegularAt(AT_FDCWD, path, flags, size);
}

bool ReadFully(int fd, long long offset, uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, data, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        offset += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// Writes until all size bytes are in or a write fails; the number of bytes that reached the
// file. A write that crosses a file size limit writes the part below it, then fails.
std::size_t WriteFully(int fd, long long offset, const uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(fd, data + done, size - done, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) break;
        offset += put;
        done += static_cast<std::size_t>(put);
    }
    return done;
}

// Both ends of an open file of size bytes: the tail (true when read) and the head.
bool ReadBothEnds(int fd, long long size, std::array<uint8_t, 128>* out, FileHead* head) {
    const long long n = static_cast<long long>(out->size());
    const long long head_size = static_cast<long long>(FileHead::kSize);
    head->file_size = size;
    if (size < head_size) return false;
    if (size <= static_cast<long long>(kWholeReadLimit)) {
        uint8_t whole[kWholeReadLimit];
        if (!ReadFully(fd, 0, whole, static_cast<std::size_t>(size))) return false;
        std::copy_n(whole, FileHead::kSize, head->bytes.begin());
        head->read = true;
        if (size < n) return false;
        std::copy_n(whole + (size - n), out->size(), out->begin());
        return true;
    }
    head->read = ReadFully(fd, 0, head->bytes.data(), FileHead::kSize);
    return ReadFully(fd, size - n, out->data(), out->size());
}

}  // namespace

File::File(const std::string& path, Mode mode) {
    fd_ = OpenRegularAt(AT_FDCWD, path, OpenFlags(mode), &size_, mode != kRead);
    if (fd_ < 0) size_ = -1;
}

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<paths::FileIdentity> File::Identity() const { return paths::IdentityOfOpen(fd_); }

bool File::ReadAt(long long offset, uint8_t* data, std::size_t size) const {
    return fd_ >= 0 && offset >= 0 && ReadFully(fd_, offset, data, size);
}

bool File::Overwrite(long long offset, const uint8_t* data, const uint8_t* old, std::size_t size) {
    if (fd_ < 0 || offset < 0) return false;
    const std::size_t written = WriteFully(fd_, offset, data, size);
    if (written == size) {
        size_ = std::max(size_, offset + static_cast<long long>(size));
        return true;
    }
    // The bytes to put back were just written, so they are allocated and lie below any size
    // limit: writing them again succeeds where the first write stopped.
    WriteFully(fd_, offset, old, written);
    return false;
}

bool File::Append(const uint8_t* data, std::size_t size) {
    if (fd_ < 0) return false;
    const long long old_size = size_;
    if (WriteFully(fd_, old_size, data, size) == size) {
        size_ = old_size + static_cast<long long>(size);
        return true;
    }
    // Whatever part of the block got written would otherwise stay glued to the audio.
    while (::ftruncate(fd_, static_cast<off_t>(old_size)) != 0 && errno == EINTR) {
    }
    return false;
}

bool File::Truncate(long long new_size) {
    if (fd_ < 0 || new_size < 0) return false;
    int rc;
    do {
        rc = ::ftruncate(fd_, static_cast<off_t>(new_size));
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) return false;
    size_ = new_size;
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* out) {
    out->clear();
    long long size = -1;
    const int fd = OpenRegular(path, OpenFlags(File::kRead), &size);
    if (fd < 0) return false;
    // Read to the end rather than to the size noted at open, which may have changed since.
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    char buffer[16384];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (ok) *out = std::move(text);
    return ok;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool ReadLastBlock(const std::string& path, std::array<uint8_t, 128>* out, FileHead* head) {
    return ReadLastBlockAt(AT_FDCWD, path, out, head);
}

void ReadHead(const std::string& path, FileHead* head) {
    *head = FileHead{};
    long long size = -1;
    const int fd = OpenRegularAt(AT_FDCWD, path, OpenFlags(File::kRead), &size);
    if (fd < 0) return;
    head->file_size = size;
    head->read = size >= static_cast<long long>(FileHead::kSize) &&
                 ReadFully(fd, 0, head->bytes.data(), FileHead::kSize);
    ::close(fd);
}

bool ReadLastBlockAt(int directory_fd, const std::string& name, std::array<uint8_t, 128>* out,
                     FileHead* head) {
    if (head) *head = FileHead{};
    long long size = -1;
    const int fd = OpenRegularAt(directory_fd, name, OpenFlags(File::kRead), &size);
    if (fd < 0) return false;
    const long long n = static_cast<long long>(out->size());
    const bool read = head ? ReadBothEnds(fd, size, out, head)
                           : size >= n && ReadFully(fd, size - n, out->data(), out->size());
    ::close(fd);
    return read;
}

}  // namespace ambrel::file_io
