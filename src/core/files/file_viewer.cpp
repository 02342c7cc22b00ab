#include "files/file_viewer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "files/directory_operations.h"
#include "files/directory_walk.h"
#include "files/file_copy.h"
#include "files/result_codes.h"
#include "files/tag_presence.h"
#include "platform/compact.h"
#include "platform/paths.h"

namespace ambrel {

namespace {

// The two kinds of result lists share one search: a plain path, or a path with the bytes
// its tag test read.
void Append(std::vector<std::string>* list, std::string path, FoundFile&&) {
    list->push_back(std::move(path));
}
void Append(std::vector<FoundFile>* list, std::string path, FoundFile&& found) {
    found.path = std::move(path);
    list->push_back(std::move(found));
}

const std::string& PathOf(const std::string& item) { return item; }
const std::string& PathOf(const FoundFile& item) { return item.path; }

// Where the tag test of an entry leaves what it read: the entry itself for a FoundFile,
// a scratch record for a plain path.
FoundFile* ReadTarget(FoundFile* item, FoundFile*) { return item; }
FoundFile* ReadTarget(std::string*, FoundFile* scratch) { return scratch; }

}  // namespace

TFileViewer::TFileViewer(std::string start_path, Prompter* prompter)
    : browser_(std::move(start_path), prompter) {}

int TFileViewer::HasTag(const std::string& path) { return path.empty() ? 0 : TagPresence(path); }

void TFileViewer::SetLoadMode(int mode) {
    if (const std::optional<LoadMode> known = LoadModeFromInt(mode)) load_mode_ = *known;
}

bool TFileViewer::PassesLoadMode(const std::string& path, FoundFile* found) const {
    found->tail_read = false;
    found->tail.reset();
    // Taking all files, the tag test decides nothing, so no file is opened.
    if (load_mode_ == LoadMode::kAll) return true;
    int tagged = 0;
    if (TTagList::IsMp3Path(path)) {
        tagged = ReadTagPresence(path, &found->tail);
        found->tail_read = true;
    }
    return load_mode_ == LoadMode::kTagged ? tagged != 0 : tagged == 0;
}

int TFileViewer::SearchFiles(std::vector<std::string>* list, const std::string& directory,
                             std::optional<std::string_view> mask, bool add_directories) {
    return Search(list, directory, mask, add_directories);
}

int TFileViewer::SearchFiles(std::vector<FoundFile>* list, const std::string& directory,
                             std::optional<std::string_view> mask, bool add_directories) {
    return Search(list, directory, mask, add_directories);
}

// Collects what the walk takes into a result list, each entry through the LoadMode test.
template <typename Item>
class TFileViewer::Collector : public WalkVisitor {
public:
    Collector(const TFileViewer& viewer, std::vector<Item>* list) : viewer_(viewer), list_(list) {}

    void Directory(std::string path) override { Append(list_, std::move(path), FoundFile{}); }
    void Entry(std::string path) override {
        FoundFile found;
        if (viewer_.PassesLoadMode(path, &found)) Append(list_, std::move(path), std::move(found));
    }

private:
    const TFileViewer& viewer_;
    std::vector<Item>* list_;
};

template <typename Item>
int TFileViewer::Search(std::vector<Item>* list, const std::string& directory,
                        std::optional<std::string_view> mask, bool add_directories) {
    if (!list) return kInvalidArgument;
    Collector<Item> collector(*this, list);
    const WalkResult walk = WalkDirectory(
        directory, WalkRules{mask, include_hidden_, recurse_, add_directories}, collector);
    paths_too_long_ = walk.paths_too_long;
    return walk.code;
}

int TFileViewer::FilterFileList(std::vector<std::string>* list) const { return Filter(list); }

int TFileViewer::FilterFileList(std::vector<FoundFile>* list) const { return Filter(list); }

template <typename Item>
int TFileViewer::Filter(std::vector<Item>* list) const {
    if (!list) return 0;
    // The tag test writes what it read into the item it keeps.
    FoundFile scratch;
    CompactIf(list, [&](Item& item) {
        const std::string& path = PathOf(item);
        return !paths::FileExists(path) || !PassesLoadMode(path, ReadTarget(&item, &scratch));
    });
    return static_cast<int>(list->size());
}

int TFileViewer::DeleteOneFile(const std::string& path) {
    if (path.empty()) {
        last_result_ = kInvalidArgument;
    } else if (paths::FileExists(path)) {
        last_result_ = ::unlink(path.c_str()) == 0 ? kDone : kDeleteFailed;
    } else {
        last_result_ = kSourceMissing;
    }
    return last_result_;
}

int TFileViewer::CopyOrMoveFile(const std::string& source, bool keep_source) {
    const CopyOptions options{overwrite_without_asking_, ask_before_overwriting_, GetPrompter(),
                              progress_bar_};
    return CopyOrMoveInto(source, browser_.CurrentPath(), keep_source, options);
}

int TFileViewer::DeleteDirectoryTree(const std::string& path,
                                     std::optional<std::string_view> mask) {
    if (path.empty()) return kInvalidArgument;
    std::vector<std::string> entries;
    const std::string top = paths::WithoutTrailingSeparator(path);
    struct stat st;
    if (::lstat(top.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // A link listed as a directory: searching it would delete inside its target.
        if (!keep_directories_) entries.push_back(top);
    } else {
        SearchFiles(&entries, path, mask, !keep_directories_);
    }
    RemoveListedEntries(entries);
    browser_.RefreshDirectories();
    return kDone;
}

int TFileViewer::MakeDirectory(const std::string& name) {
    const int result = MakeDirectoryBelow(browser_, name);
    if (result == kInvalidArgument) last_result_ = result;
    return result;
}

int TFileViewer::RenameDirectory(const std::string& new_name) {
    last_result_ = RenameSelectedDirectory(browser_, new_name);
    return last_result_;
}

}  // namespace ambrel
