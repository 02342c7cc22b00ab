#include "files/file_loader.h"

#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/file_viewer.h"
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

}  // namespace ambrel
