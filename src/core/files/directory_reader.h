#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ambrel {

// One entry of a directory as the file system reports it, without "." and "..".
struct DirectoryEntry {
    enum Kind { kFile, kDirectory, kSymlink };
    std::string name;
    // A symbolic link is reported as such, whatever it points to.
    Kind kind = kFile;
};

// The kind of the entry name of an open directory, a link as a link (never followed); none
// when nothing is there.
std::optional<DirectoryEntry::Kind> KindAt(int directory_fd, const char* name);

// Reads the entries of a directory in the order the file system yields them. The
// directory is closed before this returns, so a recursive walk holds no descriptor open
// per level. False when the directory cannot be opened or read (entries stay empty).
bool ReadDirectory(const std::string& path, std::vector<DirectoryEntry>* entries);
// The same for an open directory, which stays open; an entry's kind is looked up in it.
bool ReadDirectoryAt(int directory_fd, std::vector<DirectoryEntry>* entries);

// Which directory a path names and when its entries last changed: a listing still holds
// while its directory keeps the stamp it had when it was read.
struct DirectoryStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t seconds = 0;
    int64_t nanoseconds = 0;

    bool operator==(const DirectoryStamp& other) const {
        return device == other.device && inode == other.inode && seconds == other.seconds &&
               nanoseconds == other.nanoseconds;
    }
    bool operator!=(const DirectoryStamp& other) const { return !(*this == other); }
};

// The stamp of a directory; none when nothing can be looked up at the path.
std::optional<DirectoryStamp> StampOf(const std::string& path);

// Puts entries in name order as an NTFS directory search yields them, whatever order the
// file system keeps: ASCII letters compared without case (upper-cased, as NTFS compares),
// names equal that way ordered by their bytes, so "A" < "a" < "b" < "_".
void SortByName(std::vector<DirectoryEntry>* entries);

}  // namespace ambrel
