#include "files/file_loader.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <utility>

#include "errors/error_log.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "platform/paths.h"
#include "platform/selectors.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

// How long a load of named paths waits for files before it looks whether the load has ended.
constexpr std::chrono::milliseconds kReadyWait{100};

// Adds found files to the list; with a drain, hands the list on and empties it each time it
// holds a chunk.
class Drainer {
public:
    Drainer(TTagList& list, const LoadDrain& drain) : list_(list), drain_(drain) {}

    // A file whose end the load read is not read again.
    void Add(const std::vector<FoundFile>& found) {
        for (const FoundFile& file : found) {
            if (file.tail_read) {
                list_.AddRead(file.path, file.tail, file.head);
            } else {
                list_.Add(file.path);
            }
            if (list_.Count() >= kLoadDrainChunk) Drain();
        }
    }
    void Drain() {
        if (!drain_ || list_.Count() == 0) return;
        drain_(list_);
        list_.Clear();
    }

private:
    TTagList& list_;
    const LoadDrain& drain_;
};

bool IsDroppedFile(const std::string& path) {
    return TTagList::HasMp3Extension(path) && !paths::DirectoryExists(path);
}

bool FileStillExists(const std::string& path) { return paths::FileExists(path); }

}  // namespace

LoadRequest DirectoryLoad(TFileViewer& viewer, std::optional<std::string_view> mask,
                          bool include_hidden, bool recurse) {
    viewer.SetIncludeHidden(include_hidden);
    viewer.SetRecurse(recurse);
    std::optional<std::string> mask_text;
    if (mask) mask_text.emplace(*mask);
    return LoadRequest::Directory(viewer.Browser().CurrentPath(), std::move(mask_text),
                                  include_hidden, recurse, viewer.GetLoadMode());
}

LoadRequest SelectedFilesLoad(TFileViewer& viewer, bool include_hidden, bool recurse) {
    viewer.SetIncludeHidden(include_hidden);
    viewer.SetRecurse(recurse);
    std::vector<std::string> selected;
    viewer.Browser().GetSelectedFiles(&selected);
    return LoadRequest::Paths(std::move(selected), viewer.GetLoadMode(), FileStillExists);
}

LoadRequest DroppedFilesLoad(std::vector<std::string> paths) {
    return LoadRequest::Paths(std::move(paths), LoadMode::kAll, IsDroppedFile);
}

LoadApplier::LoadApplier(LoadKind kind, LoadResult result, TTagList& list, TTagViewer& tag_viewer)
    : kind_(kind), result_(std::move(result)), list_(list), tag_viewer_(tag_viewer) {
    done_ = kind_ == LoadKind::kDrop && result_.files.empty();
}

bool LoadApplier::Step(std::size_t slice) {
    if (done_) return true;
    const std::vector<FoundFile>& files = result_.files;
    std::size_t budget = slice;
    if (added_ < files.size()) {
        const std::size_t count = std::min(budget, files.size() - added_);
        AddFoundFiles(list_, files.begin() + added_, files.begin() + added_ + count);
        added_ += count;
        budget -= count;
        if (added_ < files.size()) return false;
        if (tag_viewer_.Table()) tag_viewer_.BeginRebuild();
    }
    // Without a table (the command line) there are no rows to make.
    if (!tag_viewer_.Table()) {
        done_ = true;
        return true;
    }
    if (budget == 0) return false;
    if (!tag_viewer_.ContinueRebuild(static_cast<int>(std::min<std::size_t>(budget, INT_MAX))))
        return false;
    tag_viewer_.FinishRebuild();
    done_ = true;
    return true;
}

void LoadApplier::Report(TErrorLog* log) const {
    if (!log) return;
    if (kind_ == LoadKind::kDirectory) log->Report(result_.code);
    if (kind_ == LoadKind::kNamedPaths && !result_.failures.empty())
        log->ReportText(PathFailuresText(result_.failures, *log));
}

void ApplyLoad(LoadKind kind, LoadResult result, TTagList& list, TTagViewer& tag_viewer,
               TErrorLog* log) {
    LoadApplier applier(kind, std::move(result), list, tag_viewer);
    applier.Step(SIZE_MAX);
    applier.Report(log);
}

int LoadDirectory(TFileViewer& viewer, TTagList& list, TTagViewer& tag_viewer, TErrorLog& log,
                  std::optional<std::string_view> mask, bool include_hidden, bool recurse) {
    LoadResult result = RunLoad(DirectoryLoad(viewer, mask, include_hidden, recurse));
    const int code = result.code;
    ApplyLoad(LoadKind::kDirectory, std::move(result), list, tag_viewer, &log);
    return code;
}

int LoadSelectedFiles(TFileViewer& viewer, TTagList& list, TTagViewer& tag_viewer,
                      bool include_hidden, bool recurse) {
    LoadResult result = RunLoad(SelectedFilesLoad(viewer, include_hidden, recurse));
    const int handed = static_cast<int>(result.files.size());
    ApplyLoad(LoadKind::kSelectedFiles, std::move(result), list, tag_viewer, nullptr);
    return handed;
}

std::string PathLoadOptions::DefaultLoadMask() {
    return FilterEntries(kFileViewerFilterText).front().second;
}

LoadRequest NamedPathsLoad(std::vector<std::string> paths, const PathLoadOptions& options) {
    return LoadRequest::Named(std::move(paths), options.mask, options.include_hidden,
                              options.recurse, options.mode);
}

std::vector<PathFailure> LoadPaths(TTagList& list, const std::vector<std::string>& paths,
                                   const PathLoadOptions& options, const LoadDrain& drain) {
    Drainer adder(list, drain);
    LoadOptions reading;
    reading.read_head = options.read_head;
    LoadJob job(NamedPathsLoad(paths, options), std::move(reading));
    job.Start();
    std::vector<FoundFile> ready;
    while (!job.IsDone()) {
        job.WaitForReady(kReadyWait);
        job.TakeReady(&ready);
        adder.Add(ready);
        ready.clear();
    }
    LoadResult rest = job.TakeResult();
    adder.Add(rest.files);
    adder.Drain();
    return std::move(rest.failures);
}

std::string PathFailuresText(const std::vector<PathFailure>& failures, TErrorLog& log,
                             std::size_t listed) {
    std::string text;
    for (std::size_t i = 0; i < failures.size() && i < listed; ++i) {
        if (i > 0) text += '\n';
        text += failures[i].path + ": " + log.MessageText(failures[i].code);
    }
    if (failures.size() > listed)
        text += "\n... and " + std::to_string(failures.size() - listed) + " more";
    return text;
}

std::string FirstFolder(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (paths::DirectoryExists(path)) return paths::WithoutTrailingSeparator(path);
        if (paths::PathExists(path)) return paths::DirectoryOf(path);
    }
    return {};
}

}  // namespace ambrel
