#include "support/faults.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace ambrel::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
}

ScopedImmutable::ScopedImmutable(std::string path) : path_(std::move(path)) {
    active_ = SetFlag(true);
}

ScopedImmutable::~ScopedImmutable() {
    if (active_) SetFlag(false);
}

bool ScopedImmutable::SetFlag(bool on) {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

ScopedTmpfs::ScopedTmpfs(std::string directory, long long bytes)
    : directory_(std::move(directory)) {
    const std::string options = "size=" + std::to_string(bytes);
    active_ =
        ::mount("tmpfs", directory_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

ScopedTmpfs::~ScopedTmpfs() {
    if (active_) ::umount2(directory_.c_str(), MNT_DETACH);
}

ScopedPermissionsEnforced::ScopedPermissionsEnforced() {
    if (::geteuid() != 0) return;
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2];
    std::memcpy(reduced, saved_, sizeof reduced);
    reduced[0].effective &=
        ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    dropped_ = ::syscall(SYS_capset, &header_, reduced) == 0;
}

ScopedPermissionsEnforced::~ScopedPermissionsEnforced() {
    if (dropped_) ::syscall(SYS_capset, &header_, saved_);
}

}  // namespace ambrel::test
