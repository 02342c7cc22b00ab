#include "files/tree_delete.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "files/directory_reader.h"
#include "files/result_codes.h"
#include "platform/descriptor.h"
#include "platform/paths.h"

namespace ambrel {

namespace {

// Opens a directory only: a link at the name fails with ELOOP, a file with ENOTDIR.
int OpenDirectoryAt(int parent_fd, const std::string& name) {
    int fd;
    do {
        fd = ::openat(parent_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// A directory that still holds entries: rmdir's answer when it is not empty.
bool NotEmpty(int error) { return error == ENOTEMPTY || error == EEXIST; }

class TreeDelete {
public:
    TreeDelete(const WalkRules& rules, const TreeDeleteHooks& hooks)
        : rules_(rules), filter_(rules), hooks_(hooks) {}

    TreeDeleteResult Run(const std::string& given) {
        const std::string path = paths::WithoutTrailingSeparator(given);
        const std::string name = paths::FileNameOf(path);
        if (paths::IsRoot(path) || name.empty()) {
            // The root has no parent to be removed from: only what it holds goes.
            if (Empty(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), path) == kUnread) {
                left_.push_back({path, LeftEntry::kNotRead});
            }
        } else {
            const std::string parent = paths::DirectoryOf(path);
            const Descriptor parent_fd(
                ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (parent_fd.get() >= 0) {
                Subdirectory(parent_fd.get(), parent, name, true);
            } else if (errno != ENOENT) {
                left_.push_back({path, LeftEntry::kNotRead});
            }
        }
        return {left_.empty() ? kDone : kDirectoryNotEmptied, std::move(left_)};
    }

private:
    enum State { kEmptied, kHolding, kUnread };

    // Empties the directory open as fd (and closes it) by the rules: kHolding when something
    // stays in it, left on purpose or named in left_ already.
    State Empty(int fd, const std::string& path) {
        const Descriptor directory(fd);
        std::vector<DirectoryEntry> entries;
        if (fd < 0 || !ReadDirectoryAt(fd, &entries)) return kUnread;
        SortByName(&entries);
        bool holding = false;
        for (const DirectoryEntry& entry : entries) {
            if (Entry(fd, path, entry)) holding = true;
        }
        return holding ? kHolding : kEmptied;
    }

    // One entry of the directory fd, which is at path. True when it stays.
    bool Entry(int fd, const std::string& path, const DirectoryEntry& entry) {
        switch (filter_.Choose(entry)) {
            case WalkFilter::kSkip:
                return true;
            case WalkFilter::kDescend:
                return Subdirectory(fd, path, entry.name, false);
            case WalkFilter::kTake:
                break;
        }
        if (hooks_.takes && !hooks_.takes(fd, entry.name)) return true;
        return Remove(fd, paths::Join(path, entry.name), entry.name);
    }

    // A directory the walk searches, name of parent_fd (at parent): opened from there without
    // following a link, emptied, and removed under add_directories. True when it stays.
    bool Subdirectory(int parent_fd, const std::string& parent, const std::string& name, bool top) {
        const std::string path = paths::Join(parent, name);
        if (hooks_.before_opening) hooks_.before_opening(path);
        // The top is level 0; each level holds a descriptor and a few frames of the stack.
        const bool too_deep = depth_ > kMaxTreeDeleteDepth;
        const int fd = too_deep ? -1 : OpenDirectoryAt(parent_fd, name);
        const int error = too_deep ? 0 : errno;
        State state = kUnread;
        if (fd >= 0) {
            ++depth_;
            state = Empty(fd, path);
            --depth_;
        } else if (error == ENOENT) {
            return false;
        } else if (error == ELOOP || error == ENOTDIR) {
            return NoLongerADirectory(parent_fd, parent, name, top);
        }
        if (!rules_.add_directories) {
            if (state == kUnread) left_.push_back({path, LeftEntry::kNotRead});
            return true;
        }
        if (::unlinkat(parent_fd, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT) {
            return false;  // an empty directory that could not be read goes too
        }
        // A directory still holding entries stays for them: they were left on purpose or
        // are named already.
        if (state == kUnread) {
            left_.push_back({path, LeftEntry::kNotRead});
        } else if (state == kEmptied) {
            left_.push_back({path, LeftEntry::kNotRemoved});
        }
        return true;
    }

    // A link or a file found where a directory was listed, or given: the given path goes
    // itself under add_directories, else stays; one met below it is taken as what it is now.
    bool NoLongerADirectory(int parent_fd, const std::string& parent, const std::string& name,
                            bool top) {
        const std::string path = paths::Join(parent, name);
        if (top) return rules_.add_directories ? Remove(parent_fd, path, name) : true;
        const std::optional<DirectoryEntry::Kind> kind = KindAt(parent_fd, name.c_str());
        if (!kind) return false;
        if (*kind == DirectoryEntry::kDirectory) {
            // Swapped back already: it is not opened a second time, so no swapping can keep
            // the walk going round.
            left_.push_back({path, LeftEntry::kNotRead});
            return true;
        }
        return Entry(parent_fd, parent, DirectoryEntry{name, *kind});
    }

    // Removes the entry name of fd, which is not searched: a file or a link as itself, a
    // directory only when empty (one with contents stays, as it should). True when it stays.
    bool Remove(int fd, const std::string& path, const std::string& name) {
        if (::unlinkat(fd, name.c_str(), 0) == 0 || errno == ENOENT) return false;
        const int unlink_error = errno;
        if (::unlinkat(fd, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT) return false;
        const int error = errno == ENOTDIR ? unlink_error : errno;
        if (!NotEmpty(error)) left_.push_back({path, LeftEntry::kNotRemoved});
        return true;
    }

    const WalkRules& rules_;
    const WalkFilter filter_;
    const TreeDeleteHooks& hooks_;
    std::vector<LeftEntry> left_;
    int depth_ = 0;
};

}  // namespace

TreeDeleteResult DeleteTree(const std::string& path, const WalkRules& rules,
                            const TreeDeleteHooks& hooks) {
    if (path.empty()) return {kInvalidArgument, {}};
    return TreeDelete(rules, hooks).Run(path);
}

}  // namespace ambrel
