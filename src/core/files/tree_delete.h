#pragma once

#include <functional>
#include <string>
#include <vector>

#include "files/directory_walk.h"

namespace ambrel {

// An entry the rules took that a folder delete had to leave where it was.
struct LeftEntry {
    enum Reason { kNotRemoved, kNotRead };
    std::string path;
    // kNotRead: a subdirectory that could not be opened or listed, with whatever it holds.
    Reason reason = kNotRemoved;

    bool operator==(const LeftEntry& other) const {
        return path == other.path && reason == other.reason;
    }
};

// What a folder delete asks of its caller besides the walk's rules.
struct TreeDeleteHooks {
    // Whether an entry the rules took goes, from its name in the open directory (the tag
    // test); none takes every entry.
    std::function<bool(int directory_fd, const std::string& name)> takes;
    // Called with each directory's path just before the delete opens it, the given one
    // first; tests change the tree at that moment.
    std::function<void(const std::string& directory)> before_opening;
};

struct TreeDeleteResult {
    // 1; 61 when something the rules took stays (left says what and why); 10 for an empty
    // path.
    int code = 1;
    std::vector<LeftEntry> left;
};

// Deletes what a search of path by the rules takes, in the walk's order: each directory's
// entries in name order, each subdirectory searched where it is met and, with
// add_directories, removed once its contents are gone, the given directory last. What the
// rules or the takes hook leave out stays, and so do the directories holding it; that is no
// failure.
//
// Everything is done relative to open directory descriptors: a subdirectory is opened from
// its parent without following a link, entries are removed from the directory they were
// read from, and a link is removed as a link. So nothing outside the given directory is
// reached, whatever is renamed or swapped for a link while the delete runs: a subdirectory
// that has become a link by the time it is opened is taken as the link it now is, and a
// given path that is a link (or a file) is removed itself under add_directories, else
// left alone. Only the given path's last component is checked so; the directories above it
// are the caller's choice.
//
// No path is ever named whole, so a tree deeper than PATH_MAX goes too. One descriptor
// stays open for each level being emptied, and the walk descends kMaxTreeDeleteDepth levels
// below path at most: a directory deeper than that is left (kNotRead) with what it holds.
inline constexpr int kMaxTreeDeleteDepth = 2048;
TreeDeleteResult DeleteTree(const std::string& path, const WalkRules& rules,
                            const TreeDeleteHooks& hooks);

}  // namespace ambrel
