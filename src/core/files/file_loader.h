#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_viewer.h"

namespace ambrel {

class TErrorLog;
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

// How files and folders named from outside the windows are loaded: by default as the file
// viewer's "Load supported files in current directory" loads a folder with the window's
// settings as they start (all files, the first filter "*.mp3", hidden files taken,
// subdirectories searched).
struct PathLoadOptions {
    LoadMode mode = LoadMode::kAll;
    bool recurse = true;
    bool include_hidden = true;
    std::string mask = DefaultLoadMask();

    // The mask of the file viewer's filter as it starts: its first entry's.
    static std::string DefaultLoadMask();
};

// A path of a load that could not be taken, with its result code.
struct PathFailure {
    std::string path;
    int code;
};

// Takes the entries a load has added so far; the load empties the list after each call.
using LoadDrain = std::function<void(const TTagList& list)>;
// A drained load hands the list on each time it holds this many entries.
inline constexpr int kLoadDrainChunk = 1024;

// Loads files and folders into the tag list, in their order. A folder is searched as
// LoadDirectory searches the current one (SearchFiles with the options, no directory
// entries) and what it finds is added at its place; a file is added as a dropped one is,
// when the tag list takes it (TTagList::IsMp3Path) and it passes the load mode. Each file is
// read once. Failures, in path order: 50 no such path, 80 a file the tag list does not take
// (kNotMp3File), or a folder search's own code (60, 58) after what it found was added.
// With a drain the list is handed to it, and emptied, whenever it holds kLoadDrainChunk
// entries and at the end, so a load of any size never holds more than that at once.
std::vector<PathFailure> LoadPaths(TTagList& list, const std::vector<std::string>& paths,
                                   const PathLoadOptions& options = {},
                                   const LoadDrain& drain = {});

// The warning text of a load's failures: a line "PATH: message" for each of the first
// `listed`, the message being the error log's text of its code, then how many more there are.
std::string PathFailuresText(const std::vector<PathFailure>& failures, TErrorLog& log,
                             std::size_t listed = 20);

// The folder the file viewer opens for such paths (absolute ones): the first that is a folder, or
// the folder of the first that is a file, whichever comes first; empty when none of them exists.
std::string FirstFolder(const std::vector<std::string>& paths);

}  // namespace ambrel
