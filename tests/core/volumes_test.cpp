#include "platform/volumes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ambrel::test {
namespace {

using volumes::MountEntry;

TEST(VolumesTest, ReadsMountPointsWithTheirBytes) {
    const std::string text =
        "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
        "25 1 254:1 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
        // The kernel escapes a blank as \040 and a backslash as \134; other bytes, Latin-1
        // ones too, stand as they are.
        "40 25 8:17 / /media/Caf\xe9\\040Disk\\134x rw master:3 - vfat /dev/sdb1 rw\n"
        "41 25 0:50 / /mnt/odd\\0 rw - tmpfs tmpfs rw\n"
        "broken line\n"
        "42 25 0:51 / /mnt/nodash rw tmpfs tmpfs rw\n";
    const std::vector<MountEntry> entries = volumes::ParseMountInfo(text);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].mount_point, "/proc");
    EXPECT_EQ(entries[0].type, "proc");
    EXPECT_EQ(entries[1].mount_point, "/");
    EXPECT_EQ(entries[1].source, "/dev/vda1");
    EXPECT_EQ(entries[2].mount_point, "/media/Caf\xe9 Disk\\x");
    EXPECT_EQ(entries[2].type, "vfat");
    EXPECT_EQ(entries[2].source, "/dev/sdb1");
    // A backslash that starts no escape stays.
    EXPECT_EQ(entries[3].mount_point, "/mnt/odd\\0");
}

TEST(VolumesTest, OnlyVolumesAUserBrowsesAreListed) {
    const struct {
        MountEntry entry;
        bool browsable;
    } cases[] = {
        {{"/media/usb", "vfat", "/dev/sdb1"}, true},
        {{"/mnt/ram", "tmpfs", "tmpfs"}, true},
        {{"/dev/shm", "tmpfs", "tmpfs"}, false},
        {{"/proc", "proc", "proc"}, false},
        {{"/sys/fs/cgroup", "cgroup", "cgroup"}, false},
        {{"/var/run/user", "ext4", "/dev/sda1"}, false},
        {{"/devices", "ext4", "/dev/sda2"}, true},
        {{"/", "rootfs", "/dev/root"}, false},
        {{"/srv/tools", "fuse", "toolbox"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(volumes::IsBrowsable(c.entry), c.browsable) << c.entry.mount_point;
}

}  // namespace
}  // namespace ambrel::test
