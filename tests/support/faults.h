#pragma once

#include <linux/capability.h>
#include <sys/resource.h>

#include <csignal>
#include <string>

// Real faults for the failure paths, made so that they stop root too (the tests run as
// root, for whom permission bits stop nothing). Each undoes itself when it goes.
namespace ambrel::test {

// Lowers the file size limit for the life of the object so that a write past it fails
// with EFBIG (root is bound by it too); SIGXFSZ is ignored so the failure is returned.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

// Sets the immutable attribute (chattr +i) of a file or directory: nothing in an immutable
// directory can be added, renamed or removed, and an immutable file cannot be replaced.
// active() is false where the file system or the process's capabilities do not allow it.
class ScopedImmutable {
public:
    explicit ScopedImmutable(std::string path);
    ~ScopedImmutable();
    ScopedImmutable(const ScopedImmutable&) = delete;
    ScopedImmutable& operator=(const ScopedImmutable&) = delete;
    bool active() const { return active_; }

private:
    bool SetFlag(bool on);
    std::string path_;
    bool active_ = false;
};

// Mounts a tmpfs of the given size on an existing directory (which then shows the empty
// mount), so that a write fails with ENOSPC once it is full. active() is false where the
// process may not mount.
class ScopedTmpfs {
public:
    ScopedTmpfs(std::string directory, long long bytes);
    ~ScopedTmpfs();
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;
    bool active() const { return active_; }

private:
    std::string directory_;
    bool active_ = false;
};

// While alive, the process cannot bypass file permissions even as root: the capabilities
// that override them are dropped from the effective set (and raised again afterwards), so a
// directory whose mode is 0 really cannot be opened. Per thread, as capabilities are.
// active() is false where the capabilities cannot be changed.
class ScopedPermissionsEnforced {
public:
    ScopedPermissionsEnforced();
    ~ScopedPermissionsEnforced();
    ScopedPermissionsEnforced(const ScopedPermissionsEnforced&) = delete;
    ScopedPermissionsEnforced& operator=(const ScopedPermissionsEnforced&) = delete;
    bool active() const { return dropped_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

}  // namespace ambrel::test
