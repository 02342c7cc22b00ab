#include "files/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <memory>

#include "files/result_codes.h"
#include "platform/descriptor.h"
#include "platform/paths.h"
#include "platform/process_view.h"
#include "platform/prompter.h"

namespace ambrel {

namespace {

constexpr long long kKiB = 1024;

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

// One copy in hand: the open source as it was when opened, and where the copy goes.
struct Copy {
    int in_fd;
    struct stat opened;
    std::string directory, target;
    bool replace;  // an old destination is to be replaced
    bool move;
};

int Flush(const CopyOptions& options, int fd) {
    return options.flush ? options.flush(fd) : ::fsync(fd);
}

bool FlushDirectory(const std::string& directory, const CopyOptions& options) {
    Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.IsOpen() && Flush(options, dir.get()) == 0;
}

bool MayReplace(const std::string& target, const CopyOptions& options) {
    if (options.overwrite_without_asking) return true;
    if (!options.ask_before_overwriting || options.prompter == nullptr) return false;
    return options.prompter->Question(kOverwriteCaption, kOverwriteText + target);
}

// True when both show one file of the same length and modification time: it was neither
// written to nor swapped for another in between.
bool SameVersion(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// True when the bytes copied are the whole source as it was opened: no other program wrote
// to it, cut it short or made it longer while it was read.
bool CopiedWhole(const Copy& copy, long long copied) {
    struct stat now;
    return ::fstat(copy.in_fd, &now) == 0 && SameVersion(copy.opened, now) &&
           copied == copy.opened.st_size;
}

// Ends the copy in the temporary file: the moved file's attributes, a flush to the disk when
// the copy is to replace a file or stand in for a source that will be deleted, and a checked
// close.
int FinishCopy(Descriptor* out, const Copy& copy, const CopyOptions& options) {
    if (copy.move) KeepAttributes(out->get(), copy.opened);
    const bool durable = copy.replace || copy.move;
    if (durable && Flush(options, out->get()) != 0) return kDestinationUnwritable;
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

// Copies into a temporary file and renames it onto the target once it is whole and closed;
// anything less removes the temporary file and leaves the target as it was.
int PlaceCopy(const Copy& copy, const CopyOptions& options) {
    std::string temp;
    Descriptor out(CreateTemporary(copy.directory, &temp));
    if (!out.IsOpen()) return kDestinationUnwritable;
    if (options.progress) options.progress->SetPosition(0);
    long long copied = 0;
    int result = CopyStream(copy.in_fd, out.get(), options.progress, &copied);
    if (result == kDone) result = FinishCopy(&out, copy, options);
    // Checked after the flush, so that a write made while it ran counts too.
    if (result == kDone && !CopiedWhole(copy, copied)) result = kSourceChanged;
    if (result == kDone) result = Install(temp, copy.target, copy.replace);
    if (result != kDone) ::unlink(temp.c_str());
    return result;
}

// After a stat or unlink of a move's source failed: another program took the file away
// (the copy is then the only one), or it is still there.
int WhyNotDeleted() {
    return errno == ENOENT || errno == ENOTDIR ? kSourceMissing : kMoveSourceNotDeleted;
}

// The end of a move, once its copy is in place: the copy's name goes to the disk, then the
// source is deleted, but only while its path still names the very file copied, unchanged.
// stat follows a link, which is right: unlink removes the link alone, and its file stays.
int DeleteSource(const std::string& source, const Copy& copy, const CopyOptions& options) {
    if (!FlushDirectory(copy.directory, options)) return kMoveSourceNotDeleted;
    struct stat now;
    if (::stat(source.c_str(), &now) != 0) return WhyNotDeleted();
    if (!SameVersion(copy.opened, now)) return kSourceChanged;
    return ::unlink(source.c_str()) == 0 ? kDone : WhyNotDeleted();
}

}  // namespace

int CopyStream(int in_fd, int out_fd, ProgressBar* progress, long long* copied_out) {
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
        if (copied_out) *copied_out = copied;
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

    Copy copy{-1, {}, directory, target, replace, !keep_source};
    // The source stays open until the move has checked it, so that what was opened is what
    // was copied and what may be deleted.
    Descriptor in(OpenSource(source, &copy.opened));
    if (!in.IsOpen()) return kSourceUnreadable;
    copy.in_fd = in.get();
    const int result = PlaceCopy(copy, options);
    if (result != kDone || keep_source) return result;
    return DeleteSource(source, copy, options);
}

}  // namespace ambrel
