#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Path rules of the host system, kept in one place so that the rest of the core
// never spells a separator or a root itself. The separator is '/', the file system
// root is held as "/" (the one path that keeps its separator) and joining a name to
// it gives "/name".
namespace ambrel::paths {

inline constexpr char kSeparator = '/';

// The root of the file system ("/").
std::string Root();
// True for the root path.
bool IsRoot(std::string_view path);
// dir + separator + name; the root gives "/name".
std::string Join(std::string_view dir, std::string_view name);
// The directory part of a path, without its trailing separator; the root when the
// only separator is the leading one; empty when the path has no separator.
std::string DirectoryOf(std::string_view path);
// The text after the last separator (the whole path when there is none).
std::string FileNameOf(std::string_view path);
// Removes one trailing separator, but never from the root itself.
std::string WithoutTrailingSeparator(std::string_view path);
// The extension of the last component, dot included; empty when it has no dot.
std::string ExtensionOf(std::string_view path);

// The path made absolute against the working directory, with "." and ".." components and
// repeated or trailing separators taken out by the text alone (as os.path.abspath does):
// no link is followed and nothing need exist. An empty path stays empty.
std::string Absolute(std::string_view path);

// The working directory and the directory of the running executable, as the system
// gives their bytes; empty when the system does not say.
std::string WorkingDirectory();
std::string ExecutableDirectory();

bool FileExists(const std::string& path);  // a regular file (or anything not a directory)
bool DirectoryExists(const std::string& path);
bool PathExists(const std::string& path);
// True when both paths name the same existing file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);

// What tells a file or folder from every other one, and a file from what someone else
// wrote into it since: its device and inode; its birth time where the file system keeps one
// (zero where it keeps none), since a file made after another was deleted often gets the
// freed inode number; and for a file its size and modification time, which tell such a
// newcomer where there is no birth time, and a file rewritten in place (same inode, other
// content). A folder leaves size and time at zero: its modification time changes whenever
// an entry is added to it or taken out, which says nothing about which folder it is.
struct FileIdentity {
    uint64_t device = 0, inode = 0;
    int64_t born_seconds = 0;
    uint32_t born_nanoseconds = 0;
    int64_t size = 0;
    int64_t modified_seconds = 0;
    uint32_t modified_nanoseconds = 0;

    // The same device, inode and birth time: the same file, or where the file system keeps
    // no birth time perhaps a newcomer under a freed inode number.
    bool SameInode(const FileIdentity& other) const {
        return device == other.device && inode == other.inode &&
               born_seconds == other.born_seconds && born_nanoseconds == other.born_nanoseconds;
    }
    bool operator==(const FileIdentity& other) const {
        return SameInode(other) && size == other.size &&
               modified_seconds == other.modified_seconds &&
               modified_nanoseconds == other.modified_nanoseconds;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
// The identity of what the path names itself (a symbolic link is not followed); none when
// nothing is there.
std::optional<FileIdentity> IdentityOf(const std::string& path);
// The identity of an open file; none when the system does not say.
std::optional<FileIdentity> IdentityOfOpen(int fd);

// Renames without ever replacing an existing target. Returns 0 on success, else an
// errno value (EEXIST when the target exists). A rename that only changes the letter
// case of a name on a case-insensitive volume goes through a temporary name.
int RenameNoReplace(const std::string& from, const std::string& to);

// A file name that may be given to a rename: not empty, not "." or "..", no separator,
// no NUL.
bool IsPlainFileName(std::string_view name);

}  // namespace ambrel::paths
