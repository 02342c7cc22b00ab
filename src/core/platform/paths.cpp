#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace ambrel::paths {

std::string Root() { return std::string(1, kSeparator); }

bool IsRoot(std::string_view path) { return path.size() == 1 && path[0] == kSeparator; }

std::string Join(std::string_view dir, std::string_view name) {
    std::string joined(dir);
    if (joined.empty() || joined.back() != kSeparator) joined += kSeparator;
    joined += name;
    return joined;
}

std::string DirectoryOf(std::string_view path) {
    const auto cut = path.rfind(kSeparator);
    if (cut == std::string_view::npos) return {};
    if (cut == 0) return Root();
    return std::string(path.substr(0, cut));
}

std::string FileNameOf(std::string_view path) {
    const auto cut = path.rfind(kSeparator);
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string WithoutTrailingSeparator(std::string_view path) {
    if (path.size() > 1 && path.back() == kSeparator) path.remove_suffix(1);
    return std::string(path);
}

std::string ExtensionOf(std::string_view path) {
    const std::string name = FileNameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string Absolute(std::string_view path) {
    if (path.empty()) return {};
    std::string whole(path);
    if (whole[0] != kSeparator) whole = Join(WorkingDirectory(), whole);
    std::vector<std::string_view> parts;
    std::string_view rest(whole);
    while (!rest.empty()) {
        const std::size_t cut = std::min(rest.find(kSeparator), rest.size());
        const std::string_view part = rest.substr(0, cut);
        rest.remove_prefix(std::min(cut + 1, rest.size()));
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();  // above the root is the root
            continue;
        }
        parts.push_back(part);
    }
    std::string result;
    for (std::string_view part : parts) {
        result += kSeparator;
        result += part;
    }
    return result.empty() ? Root() : result;
}

std::string WorkingDirectory() {
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    return error ? std::string() : cwd.native();
}

std::string ExecutableDirectory() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : DirectoryOf(exe.native());
}

namespace {
bool StatOf(const std::string& path, struct stat* st) {
    return !path.empty() && ::stat(path.c_str(), st) == 0;
}
}  // namespace

bool FileExists(const std::string& path) {
    struct stat st;
    return StatOf(path, &st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return StatOf(path, &st) && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st;
    return StatOf(path, &st);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (!StatOf(a, &sa) || !StatOf(b, &sb)) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

std::optional<FileIdentity> IdentityAt(int dir_fd, const char* path, int flags) {
    struct statx st;
    constexpr unsigned kWanted = STATX_TYPE | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME;
    if (::statx(dir_fd, path, flags, kWanted, &st) != 0) return std::nullopt;
    FileIdentity identity;
    identity.device = (static_cast<uint64_t>(st.stx_dev_major) << 32) | st.stx_dev_minor;
    identity.inode = st.stx_ino;
    if ((st.stx_mask & STATX_BTIME) != 0) {
        identity.born_seconds = st.stx_btime.tv_sec;
        identity.born_nanoseconds = st.stx_btime.tv_nsec;
    }
    // A folder's time moves with every entry made or removed in it, so it is left out.
    if (!S_ISDIR(st.stx_mode)) {
        identity.size = static_cast<int64_t>(st.stx_size);
        identity.modified_seconds = st.stx_mtime.tv_sec;
        identity.modified_nanoseconds = st.stx_mtime.tv_nsec;
    }
    return identity;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    if (path.empty()) return std::nullopt;
    return IdentityAt(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW);
}

std::optional<FileIdentity> IdentityOfOpen(int fd) {
    if (fd < 0) return std::nullopt;
    return IdentityAt(fd, "", AT_EMPTY_PATH);
}

namespace {

// renameat2 with RENAME_NOREPLACE where the kernel and file system offer it; otherwise
// link + unlink, which fails with EEXIST instead of replacing (files only).
int RenameExclusive(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
    if (!PathExists(from)) return ENOENT;
    if (PathExists(to)) return EEXIST;
    if (DirectoryExists(from)) {
        // Directories cannot be hard-linked; the existence check above is the best left.
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

}  // namespace

int RenameNoReplace(const std::string& from, const std::string& to) {
    // The exclusive rename itself tells a missing source (ENOENT) from a taken target
    // (EEXIST), so the usual case costs one call and no lookups beforehand.
    const int error = RenameExclusive(from, to);
    if (error != EEXIST || from == to || !SameFile(from, to)) return error;
    // The target is the source under another spelling (a case-insensitive volume): go
    // through a temporary name so that the new spelling is taken.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp =
            from + ".ambrel-rename-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (PathExists(temp)) continue;
        if (const int first = RenameExclusive(from, temp); first != 0) return first;
        if (const int second = RenameExclusive(temp, to); second != 0) {
            RenameExclusive(temp, from);
            return second;
        }
        return 0;
    }
    return EEXIST;
}

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find(kSeparator) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace ambrel::paths
