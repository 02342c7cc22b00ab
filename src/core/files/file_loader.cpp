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

// Hands the found files to the tag list in their order. A file whose end the tag test
// already read is not read again.
void AddFound(TTagList& list, const std::vector<FoundFile>& found) {
    for (const FoundFile& file : found) {
        if (file.tail_read) {
            list.AddRead(file.path, file.tail);
        } else {
            list.Add(file.path);
        }
    }
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
                                   const PathLoadOptions& options) {
    TFileViewer viewer(paths::Root());
    viewer.SetLoadMode(options.mode);
    viewer.SetIncludeHidden(options.include_hidden);
    viewer.SetRecurse(options.recurse);
    std::vector<PathFailure> failures;
    for (const std::string& path : paths) {
        std::vector<FoundFile> found;
        int result = kDone;
        if (paths::DirectoryExists(path)) {
            result = viewer.SearchFiles(&found, path, options.mask, false);
        } else if (!paths::PathExists(path)) {
            result = kSourceMissing;
        } else if (!TTagList::IsMp3Path(path)) {
            result = kNotMp3File;
        } else {
            found.push_back({path, false, std::nullopt});
            viewer.FilterFileList(&found);
        }
        AddFound(list, found);
        if (result != kDone) failures.push_back({path, result});
    }
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
