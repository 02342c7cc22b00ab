#pragma once

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

// Reads the entries of a directory in the order the file system yields them. The
// directory is closed before this returns, so a recursive walk holds no descriptor open
// per level. False when the directory cannot be opened (entries stay empty).
bool ReadDirectory(const std::string& path, std::vector<DirectoryEntry>* entries);

// Puts entries in name order as an NTFS directory search yields them, whatever order the
// file system keeps: ASCII letters compared without case (upper-cased, as NTFS compares),
// names equal that way ordered by their bytes, so "A" < "a" < "b" < "_".
void SortByName(std::vector<DirectoryEntry>* entries);

}  // namespace ambrel
