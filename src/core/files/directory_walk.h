#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/directory_reader.h"

namespace ambrel {

// Which entries a directory search takes: the rules the file viewer's loads, its folder
// delete and the threaded load all search by.
struct WalkRules {
    // The entry's extension, dot included, must occur in the mask, letter case aside; an empty
    // extension passes. The test is off for an absent or empty mask or one holding "*.*".
    std::optional<std::string_view> mask;
    // Without it, files whose name begins with '.' are left out; directories are taken
    // either way.
    bool include_hidden = true;
    // Each subdirectory is searched where it is met; without it a subdirectory is taken
    // like a file.
    bool recurse = true;
    // Each directory searched (the given one included) is handed on before its contents.
    bool add_directories = false;
};

// What the rules make of one entry of a listing; the one test both walks (WalkDirectory and
// the folder delete's) apply.
class WalkFilter {
public:
    enum Choice { kSkip, kDescend, kTake };
    explicit WalkFilter(const WalkRules& rules);
    // kDescend for a directory searched (it passes no other test), kTake for an entry that
    // passes the hidden and mask rules, else kSkip.
    Choice Choose(const DirectoryEntry& entry) const;

private:
    const WalkRules& rules_;
    bool mask_test_ = false;
};

// What a walk hands on, in walk order: depth-first, each directory's entries in name order
// (SortByName), whatever order the file system keeps.
class WalkVisitor {
public:
    virtual ~WalkVisitor() = default;
    // Asked before each directory and each entry: true ends the walk there.
    virtual bool Stopped() { return false; }
    // Called before a directory is listed: the listing may block on a slow disk.
    virtual void BeforeListing(const std::string& directory) { (void)directory; }
    // A directory searched, with add_directories only; also one that cannot be listed.
    virtual void Directory(std::string path) { (void)path; }
    // An entry taken: a file, a symbolic link, or a subdirectory not searched.
    virtual void Entry(std::string path) = 0;
    // An entry left out because no call can name its path.
    virtual void TooLong() {}
};

struct WalkResult {
    // 10 for an empty directory path; 60 when the directory itself cannot be listed; 58 when
    // entries were left out for their path's length; else 1.
    int code = 1;
    int paths_too_long = 0;
    // False when the visitor stopped the walk before its end.
    bool finished = true;
};

// Searches directory by the rules. A symbolic link is never descended into: it is taken
// like a file, so a walk never leaves the tree nor runs round a loop. A subdirectory that
// cannot be listed is skipped and the rest is searched. An entry whose path is longer than
// the system allows is left out and counted; a directory counts once, whatever it holds.
WalkResult WalkDirectory(const std::string& directory, const WalkRules& rules,
                         WalkVisitor& visitor);

}  // namespace ambrel
