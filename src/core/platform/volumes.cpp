#include "platform/volumes.h"

#include <sys/statvfs.h>

#include <algorithm>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace ambrel::volumes {
namespace {

// Splits at blanks; fields are never empty.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end > at) fields.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return fields;
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

std::string Unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool IsUnder(std::string_view tree, std::string_view path) {
    return path.compare(0, tree.size(), tree) == 0 &&
           (path.size() == tree.size() || path[tree.size()] == '/');
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    for (std::string_view line : file_io::SplitLines(text)) {
        const std::vector<std::string_view> fields = Fields(line);
        // id, parent, major:minor, root, mount point, options, optional fields, "-",
        // type, source, super options.
        const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 6 || dash - fields.begin() < 6 || fields.end() - dash < 3) continue;
        entries.push_back({Unescape(fields[4]), Unescape(dash[1]), Unescape(dash[2])});
    }
    return entries;
}

bool IsBrowsable(const MountEntry& entry) {
    for (const char* tree : {"/dev", "/proc", "/sys", "/var/run", "/var/lock"})
        if (IsUnder(tree, entry.mount_point)) return false;
    if (entry.type == "tmpfs") return true;
    if (entry.type == "rootfs" || entry.type == "rpc_pipefs") return false;
    return !entry.source.empty() && entry.source[0] == '/';
}

std::vector<std::string> MountedRoots() {
    std::string text;
    if (!file_io::ReadWholeFile("/proc/self/mountinfo", &text)) return {};
    std::vector<std::string> roots;
    for (const MountEntry& entry : ParseMountInfo(text)) {
        struct statvfs info;
        if (paths::IsRoot(entry.mount_point) || !IsBrowsable(entry) ||
            !paths::DirectoryExists(entry.mount_point) ||
            ::statvfs(entry.mount_point.c_str(), &info) != 0)
            continue;
        roots.push_back(entry.mount_point);
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}

}  // namespace ambrel::volumes
