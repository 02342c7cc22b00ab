#include "support/deep_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "support/mp3_fixture.h"

namespace ambrel::test {

namespace {

// Removes name below the open directory parent, with everything in it, by steps relative to
// open directories, so no call names a path longer than the system allows.
void RemoveTreeAt(int parent, const std::string& name) {
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) {
        ::unlinkat(parent, name.c_str(), 0);
        return;
    }
    DIR* dir = ::fdopendir(fd);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string child = entry->d_name;
        if (child != "." && child != "..") names.push_back(child);
    }
    for (const std::string& child : names) RemoveTreeAt(fd, child);
    ::closedir(dir);
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

void WriteAt(int dir, const std::string& name) {
    const std::vector<uint8_t> bytes = MakeMp3Bytes(300, std::nullopt);
    const int fd = ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + name);
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (put != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("short write " + name);
}

}  // namespace

DeepTree::DeepTree(const std::string& parent, const std::string& name, std::size_t length)
    : parent_(::open(parent.c_str(), O_RDONLY | O_DIRECTORY)), name_(name) {
    path_ = parent + "/" + name;
    ::mkdirat(parent_, name.c_str(), 0755);
    deepest_ = ::openat(parent_, name.c_str(), O_RDONLY | O_DIRECTORY);
    while (path_.size() < length) {
        // Steps of up to 200 bytes, never leaving a single byte, which no name could fill.
        std::size_t step = std::min<std::size_t>(200, length - path_.size() - 1);
        if (length - path_.size() - 1 - step == 1) --step;
        deepest_ = Descend(std::string(step, 'd'));
        path_ += "/" + std::string(step, 'd');
    }
}

DeepTree::~DeepTree() {
    ::close(deepest_);
    RemoveTreeAt(parent_, name_);
    ::close(parent_);
}

void DeepTree::AddFile(const std::string& name) const { WriteAt(deepest_, name); }

void DeepTree::AddDirectory(const std::string& name) const {
    ::mkdirat(deepest_, name.c_str(), 0755);
    const int fd = ::openat(deepest_, name.c_str(), O_RDONLY | O_DIRECTORY);
    WriteAt(fd, "inner.mp3");
    ::close(fd);
}

int DeepTree::Descend(const std::string& name) {
    ::mkdirat(deepest_, name.c_str(), 0755);
    const int next = ::openat(deepest_, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(deepest_);
    return next;
}

}  // namespace ambrel::test
