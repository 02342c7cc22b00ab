#include "files/directory_reader.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "tag/text_helpers.h"

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

// NTFS compares names upper-cased; names equal that way go by their bytes.
bool NameBefore(const std::string& a, const std::string& b) {
    if (const int order = CompareIgnoringCase(a, b, CaseFold::kToUpper); order != 0)
        return order < 0;
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
