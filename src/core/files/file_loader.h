#pragma once

#include <optional>
#include <string_view>

namespace ambrel {

class TErrorLog;
class TFileViewer;
class TTagList;
class TTagViewer;

// The file viewer's two load commands. The window sets the LoadMode first ("Load files from
// current directory" leaves it as it was) and
// passes its check boxes "Show hidden files in file viewer" (include_hidden) and "Load tags
// also from subdirectories" (recurse). Each file is read once: the bytes the tag test read
// go to the tag list with the path.

// Searches the browser's current path with the mask and no directory entries, adds what
// was found to the tag list (also after a failed search), rebuilds the tag viewer's rows
// once, then reports the search result through the error log (nothing for 1; 58 once for
// every path too long to be read). Returns the search result.
int LoadDirectory(TFileViewer& viewer, TTagList& list, TTagViewer& tag_viewer, TErrorLog& log,
                  std::optional<std::string_view> mask, bool include_hidden, bool recurse);

// Takes the selected file rows in row order, drops the files that no longer exist or fail
// the LoadMode test, adds the rest to the tag list and rebuilds the tag viewer's rows.
// Nothing is reported. Returns the number of paths handed to the tag list.
int LoadSelectedFiles(TFileViewer& viewer, TTagList& list, TTagViewer& tag_viewer,
                      bool include_hidden, bool recurse);

}  // namespace ambrel
