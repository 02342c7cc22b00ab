#include "files/directory_reader.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "platform/paths.h"

namespace ambrel {

namespace {

// The kind from the entry's type; file systems that do not report one get an lstat.
DirectoryEntry::Kind KindOf(const std::string& directory, const dirent& entry) {
    switch (entry.d_type) {
        case DT_DIR:
            return DirectoryEntry::kDirectory;
        case DT_LNK:
            return DirectoryEntry::kSymlink;
        case DT_UNKNOWN:
            break;
        default:
            return DirectoryEntry::kFile;
    }
    struct stat st;
    if (::lstat(paths::Join(directory, entry.d_name).c_str(), &st) != 0) {
        return DirectoryEntry::kFile;
    }
    if (S_ISDIR(st.st_mode)) return DirectoryEntry::kDirectory;
    if (S_ISLNK(st.st_mode)) return DirectoryEntry::kSymlink;
    return DirectoryEntry::kFile;
}

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

unsigned char UpperAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

bool NameBefore(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = UpperAscii(a[i]);
        const unsigned char y = UpperAscii(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

bool ReadDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
    entries->clear();
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsDotEntry(entry->d_name)) continue;
        entries->push_back({entry->d_name, KindOf(path, *entry)});
    }
    ::closedir(dir);
    return true;
}

std::optional<DirectoryStamp> StampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return DirectoryStamp{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                          static_cast<int64_t>(st.st_mtim.tv_sec),
                          static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

void SortByName(std::vector<DirectoryEntry>* entries) {
    std::sort(entries->begin(), entries->end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) {
                  return NameBefore(a.name, b.name);
              });
}

}  // namespace ambrel
