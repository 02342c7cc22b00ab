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

// What tells a file or folder from every other one, through renames and writes: its device
// and inode, and its birth time where the file system keeps one, since a file made after
// another was deleted often gets the freed inode number.
struct FileIdentity {
    uint64_t device = 0, inode = 0;
    int64_t born_seconds = 0;
    uint32_t born_nanoseconds = 0;
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode &&
               born_seconds == other.born_seconds && born_nanoseconds == other.born_nanoseconds;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
// The identity of what the path names itself (a symbolic link is not followed); none when
// nothing is there.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Renames without ever replacing an existing target. Returns 0 on success, else an
// errno value (EEXIST when the target exists). A rename that only changes the letter
// case of a name on a case-insensitive volume goes through a temporary name.
int RenameNoReplace(const std::string& from, const std::string& to);

// A file name that may be given to a rename: not empty, not "." or "..", no separator,
// no NUL.
bool IsPlainFileName(std::string_view name);

}  // namespace ambrel::paths
