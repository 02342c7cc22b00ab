#include "files/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <memory>

#include "files/result_codes.h"
#include "platform/paths.h"
#include "platform/process_view.h"
#include "platform/prompter.h"

namespace ambrel {

namespace {

constexpr long long kKiB = 1024;

// A file descriptor that is closed when it goes, unless Close took it first.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded: a write-back error of a network or
    // full file system may only show here. On Linux a close is never retried.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// True when anything is at path, a dangling symbolic link included.
bool Occupied(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Opens a regular file for reading. O_NONBLOCK keeps a FIFO from blocking the open; it
// changes nothing for the regular files let through.
int OpenSource(const std::string& path, struct stat* st) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Creates a new, empty file under a free temporary name in directory, with the permission
// bits a new file gets (0666 less the umask). The name is short so that it fits whatever
// the destination's own name is.
int CreateTemporary(const std::string& directory, std::string* temp_path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp_path = paths::Join(directory, ".ambrel-copy-" + std::to_string(::getpid()) + "-" +
                                                std::to_string(counter++) + ".part");
        const int fd = ::open(temp_path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

// A moved file is the same file in another place: owner (where the process may set it),
// permission bits and times go with it. The owner comes first, since changing it may clear
// set-user-ID bits. The times are set last, after every write.
void KeepAttributes(int fd, const struct stat& source) {
    // Only root may give a file away; for anyone else the copy stays the mover's own.
    [[maybe_unused]] const int owner_kept = ::fchown(fd, source.st_uid, source.st_gid);
    ::fchmod(fd, source.st_mode & 07777);
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    ::futimens(fd, times);
}

bool SyncDirectory(const std::string& directory) {
    Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.IsOpen() && ::fsync(dir.get()) == 0;
}

bool MayReplace(const std::string& target, const CopyOptions& options) {
    if (options.overwrite_without_asking) return true;
    if (!options.ask_before_overwriting || options.prompter == nullptr) return false;
    return options.prompter->Question(kOverwriteCaption, kOverwriteText + target);
}

// Ends the copy in the temporary file: the moved file's attributes, a flush to the disk when
// the copy is to replace a file or stand in for a source that will be deleted, and a checked
// close.
int FinishCopy(Descriptor* out, const struct stat& source, bool keep_attributes, bool durable) {
    if (keep_attributes) KeepAttributes(out->get(), source);
    if (durable && ::fsync(out->get()) != 0) return kDestinationUnwritable;
    return out->Close() ? kDone : kDestinationUnwritable;
}

// Puts the complete copy in its place: over the old destination, or under a name that must
// still be free (a file that appeared there meanwhile is never replaced unasked).
int Install(const std::string& temp, const std::string& target, bool replace) {
    if (replace) return ::rename(temp.c_str(), target.c_str()) == 0 ? kDone : kDeleteFailed;
    const int error = paths::RenameNoReplace(temp, target);
    if (error == 0) return kDone;
    return error == EEXIST ? kDestinationExists : kDestinationUnwritable;
}

}  // namespace

int CopyStream(int in_fd, int out_fd, ProgressBar* progress) {
    const std::unique_ptr<uint8_t[]> buffer(new uint8_t[kCopyBlockSize]);
    long long copied = 0;
    for (;;) {
        const ssize_t got = ::read(in_fd, buffer.get(), kCopyBlockSize);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return kSourceUnreadable;
        if (got == 0) return kDone;
        if (!WriteAll(out_fd, buffer.get(), static_cast<std::size_t>(got))) {
            return kDestinationUnwritable;
        }
        copied += got;
        if (progress) progress->SetPosition(copied / kKiB);
    }
}

int CopyOrMoveInto(const std::string& source, const std::string& directory, bool keep_source,
                   const CopyOptions& options) {
    if (!paths::FileExists(source)) return kSourceMissing;
    const std::string target = paths::Join(directory, paths::FileNameOf(source));
    if (source == target || paths::SameFile(source, target)) return kSamePath;
    if (paths::DirectoryExists(target)) return kDestinationUnwritable;
    const bool replace = Occupied(target);
    if (replace && !MayReplace(target, options)) return kDestinationExists;

    struct stat source_stat;
    Descriptor in(OpenSource(source, &source_stat));
    if (!in.IsOpen()) return kSourceUnreadable;
    std::string temp;
    Descriptor out(CreateTemporary(directory, &temp));
    if (!out.IsOpen()) return kDestinationUnwritable;
    if (options.progress) options.progress->SetPosition(0);

    int result = CopyStream(in.get(), out.get(), options.progress);
    if (result == kDone)
        result = FinishCopy(&out, source_stat, !keep_source, replace || !keep_source);
    if (result == kDone) result = Install(temp, target, replace);
    if (result != kDone) {
        ::unlink(temp.c_str());
        return result;
    }
    if (keep_source) return kDone;
    // The copy's name must be on the disk before the only other copy goes.
    SyncDirectory(directory);
    return ::unlink(source.c_str()) == 0 ? kDone : kMoveSourceNotDeleted;
}

}  // namespace ambrel
