#include "files/file_viewer.h"

#include <fcntl.h>
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

TFileViewer::TFileViewer(std::string start_path, Prompter* prompter)
    : browser_(std::move(start_path), prompter) {}

int TFileViewer::HasTag(const std::string& path) { return path.empty() ? 0 : TagPresence(path); }

bool TFileViewer::PassesLoadMode(int directory_fd, const std::string& name) const {
    // Taking all files, the tag test decides nothing, so no file is opened.
    return load_mode_ == LoadMode::kAll ||
           LoadModeTakes(load_mode_, TagPresenceAt(directory_fd, name) != 0);
}

// Collects what the walk takes into a result list, each entry through the LoadMode test.
class TFileViewer::Collector : public WalkVisitor {
public:
    Collector(const TFileViewer& viewer, std::vector<std::string>* list)
        : viewer_(viewer), list_(list) {}

    void Directory(std::string path) override { list_->push_back(std::move(path)); }
    void Entry(std::string path) override {
        if (viewer_.PassesLoadMode(AT_FDCWD, path)) list_->push_back(std::move(path));
    }

private:
    const TFileViewer& viewer_;
    std::vector<std::string>* list_;
};

int TFileViewer::SearchFiles(std::vector<std::string>* list, const std::string& directory,
                             std::optional<std::string_view> mask, bool add_directories) {
    if (!list) return kInvalidArgument;
    Collector collector(*this, list);
    const WalkResult walk = WalkDirectory(
        directory, WalkRules{mask, include_hidden_, recurse_, add_directories}, collector);
    paths_too_long_ = walk.paths_too_long;
    return walk.code;
}

int TFileViewer::FilterFileList(std::vector<std::string>* list) const {
    if (!list) return 0;
    CompactIf(list, [&](const std::string& path) {
        return !paths::FileExists(path) || !PassesLoadMode(AT_FDCWD, path);
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
    const CopyOptions options{
        overwrite_without_asking_, ask_before_overwriting_, GetPrompter(), progress_bar_, {}};
    return CopyOrMoveInto(source, browser_.CurrentPath(), keep_source, options);
}

int TFileViewer::DeleteDirectoryTree(const std::string& path,
                                     std::optional<std::string_view> mask) {
    left_behind_.clear();
    if (path.empty()) return kInvalidArgument;
    TreeDeleteHooks hooks;
    hooks.takes = [this](int directory_fd, const std::string& name) {
        return PassesLoadMode(directory_fd, name);
    };
    hooks.before_opening = before_opening_directory_;
    TreeDeleteResult result =
        DeleteTree(path, WalkRules{mask, include_hidden_, recurse_, !keep_directories_}, hooks);
    left_behind_ = std::move(result.left);
    browser_.RefreshDirectories();
    return result.code;
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
