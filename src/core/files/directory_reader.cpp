#include "files/directory_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tag/text_helpers.h"

namespace ambrel {

namespace {

// The kind from the entry's type; file systems that do not report one get an lstat of the
// name in the directory being read.
DirectoryEntry::Kind KindOf(int directory_fd, const dirent& entry) {
    switch (entry.d_type) {
        case DT_DIR:
            return DirectoryEntry::kDirectory;
        case DT_LNK:
            return DirectoryEntry::kSymlink;
        case DT_UNKNOWN:
            return KindAt(directory_fd, entry.d_name).value_or(DirectoryEntry::kFile);
        default:
            return DirectoryEntry::kFile;
    }
}

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// A name with its sort key: NTFS compares names upper-cased.
struct KeyedEntry {
    std::string key;
    DirectoryEntry* entry;
};

std::string UpperCased(const std::string& name) {
    std::string key = name;
    for (char& c : key) c = AsciiToUpper(c);
    return key;
}

// Reads and closes dir. A read that fails part-way gives no entries: a listing with gaps
// would pass for the whole directory.
bool ReadOpened(DIR* dir, std::vector<DirectoryEntry>* entries) {
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) break;
        if (IsDotEntry(entry->d_name)) continue;
        entries->push_back({entry->d_name, KindOf(fd, *entry)});
    }
    const bool read = errno == 0;
    ::closedir(dir);
    if (!read) entries->clear();
    return read;
}

}  // namespace

std::optional<DirectoryEntry::Kind> KindAt(int directory_fd, const char* name) {
    struct stat st;
    if (::fstatat(directory_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    if (S_ISDIR(st.st_mode)) return DirectoryEntry::kDirectory;
    if (S_ISLNK(st.st_mode)) return DirectoryEntry::kSymlink;
    return DirectoryEntry::kFile;
}

bool ReadDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
    entries->clear();
    DIR* dir = ::opendir(path.c_str());
    return dir && ReadOpened(dir, entries);
}

bool ReadDirectoryAt(int directory_fd, std::vector<DirectoryEntry>* entries) {
    entries->clear();
    // A descriptor of its own, so the listing's position is apart from directory_fd's.
    const int fd = ::openat(directory_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    return ReadOpened(dir, entries);
}

std::optional<DirectoryStamp> StampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return DirectoryStamp{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                          static_cast<int64_t>(st.st_mtim.tv_sec),
                          static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

// The keys are made once, so each of the n log n comparisons is a plain compare of bytes
// (unsigned, as CompareIgnoringCase compares); names equal without case go by their bytes.
void SortByName(std::vector<DirectoryEntry>* entries) {
    std::vector<KeyedEntry> keyed;
    keyed.reserve(entries->size());
    for (DirectoryEntry& entry : *entries) keyed.push_back({UpperCased(entry.name), &entry});
    std::sort(keyed.begin(), keyed.end(), [](const KeyedEntry& a, const KeyedEntry& b) {
        if (const int order = a.key.compare(b.key); order != 0) return order < 0;
        return a.entry->name < b.entry->name;
    });
    std::vector<DirectoryEntry> sorted;
    sorted.reserve(entries->size());
    for (KeyedEntry& k : keyed) sorted.push_back(std::move(*k.entry));
    *entries = std::move(sorted);
}

}  // namespace ambrel
