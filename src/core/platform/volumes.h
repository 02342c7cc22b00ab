#pragma once

#include <string>
#include <string_view>
#include <vector>

// The mounted volumes of the machine, read from the kernel's own list so that a mount
// point keeps its bytes (a name need not be UTF-8).
namespace ambrel::volumes {

struct MountEntry {
    std::string mount_point;
    std::string type;    // the file system type, e.g. "ext4", "tmpfs"
    std::string source;  // the device or other source, e.g. "/dev/sdb1"
};

// The entries of a /proc/self/mountinfo text, in its order; the kernel's octal escapes
// (\040 for a blank, \011, \012, \134) are undone. Lines that do not parse are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// True for a volume a user browses: a device or tmpfs mount outside the system's own
// trees (/dev, /proc, /sys, /var/run, /var/lock), not a kernel pseudo file system.
bool IsBrowsable(const MountEntry& entry);

// The browsable mount points other than the root that are directories the system can
// report on, sorted and without repeats.
std::vector<std::string> MountedRoots();

}  // namespace ambrel::volumes
