#pragma once

#include <string>

namespace ambrel::test {

// A chain of directories below parent/name whose deepest one has a path of exactly `length`
// bytes, made with mkdirat and openat one step at a time: past PATH_MAX no absolute path can
// reach what lies there, so TempDir could not remove it, and this removes it itself.
class DeepTree {
public:
    DeepTree(const std::string& parent, const std::string& name, std::size_t length);
    ~DeepTree();
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

    // The deepest directory's path: within the limit, so it can still be named whole.
    const std::string& path() const { return path_; }
    // An untagged MP3-like file in the deepest directory.
    void AddFile(const std::string& name) const;
    // A directory in the deepest one, holding one file.
    void AddDirectory(const std::string& name) const;

private:
    int Descend(const std::string& name);

    int parent_;
    std::string name_;
    std::string path_;
    int deepest_ = -1;
};

}  // namespace ambrel::test
