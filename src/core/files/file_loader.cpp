#include "files/file_loader.h"

#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "platform/paths.h"
#include "platform/selectors.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

// A found file goes to the tag list; one whose end the tag test already read is not read
// again.
void AddOne(TTagList& list, const FoundFile& file) {
    if (file.tail_read) {
        list.AddRead(file.path, file.tail);
    } else {
        list.Add(file.path);
    }
}
void AddOne(TTagList& list, const std::string& path) { list.Add(path); }

// Adds found files to the list; with a drain, hands the list on and empties it each time it
// holds a chunk.
class Drainer {
public:
    Drainer(TTagList& list, const LoadDrain& drain) : list_(list), drain_(drain) {}

    template <typename Item>
    void Add(const std::vector<Item>& found) {
        for (const Item& item : found) {
            AddOne(list_, item);
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

// Searches a folder and adds what it finds. Taking all files, the search reads no file, so
// plain paths carry all there is.
template <typename Item>
int SearchAndAdd(TFileViewer& viewer, const std::string& folder, const std::string& mask,
                 Drainer& adder) {
    std::vector<Item> found;
    const int result = viewer.SearchFiles(&found, folder, mask, false);
    adder.Add(found);
    return result;
}

// Hands the found files to the tag list in their order.
void AddFound(TTagList& list, const std::vector<FoundFile>& found) {
    for (const FoundFile& file : found) AddOne(list, file);
}

}  // namespace

int LoadDirectory(TFileViewer& viewer, TTagList& list, TTagViewer& tag_viewer, TErrorLog& log,
                  std::optional<std::string_view> mask, bool include_hidden, bool recurse) {
    viewer.SetIncludeHidden(include_hidden);
    viewer.SetRecurse(recurse);
    std::vector<FoundFile> found;
    const int result = viewer.SearchFiles(&found, viewer.Browser().CurrentPath(), mask, false);
    AddFound(list, found);
    tag_viewer.RebuildRows();
    // After the rows are there, so a report of skipped paths stands over what was loaded.
    log.Report(result);
    return result;
}

int LoadSelectedFiles(TFileViewer& viewer, TTagList& list, TTagViewer& tag_viewer,
                      bool include_hidden, bool recurse) {
    viewer.SetIncludeHidden(include_hidden);
    viewer.SetRecurse(recurse);
    std::vector<std::string> selected;
    viewer.Browser().GetSelectedFiles(&selected);
    std::vector<FoundFile> found;
    found.reserve(selected.size());
    for (std::string& path : selected) found.push_back({std::move(path), false, std::nullopt});
    viewer.FilterFileList(&found);
    AddFound(list, found);
    tag_viewer.RebuildRows();
    return static_cast<int>(found.size());
}

std::string PathLoadOptions::DefaultLoadMask() {
    return FilterEntries(kFileViewerFilterText).front().second;
}

std::vector<PathFailure> LoadPaths(TTagList& list, const std::vector<std::string>& paths,
                                   const PathLoadOptions& options, const LoadDrain& drain) {
    TFileViewer viewer(paths::Root());
    viewer.SetLoadMode(options.mode);
    viewer.SetIncludeHidden(options.include_hidden);
    viewer.SetRecurse(options.recurse);
    Drainer adder(list, drain);
    std::vector<PathFailure> failures;
    for (const std::string& path : paths) {
        int result = kDone;
        if (paths::DirectoryExists(path)) {
            result = options.mode == LoadMode::kAll
                         ? SearchAndAdd<std::string>(viewer, path, options.mask, adder)
                         : SearchAndAdd<FoundFile>(viewer, path, options.mask, adder);
        } else if (!paths::PathExists(path)) {
            result = kSourceMissing;
        } else if (!TTagList::IsMp3Path(path)) {
            result = kNotMp3File;
        } else {
            std::vector<FoundFile> found = {{path, false, std::nullopt}};
            viewer.FilterFileList(&found);
            adder.Add(found);
        }
        if (result != kDone) failures.push_back({path, result});
    }
    adder.Drain();
    return failures;
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
