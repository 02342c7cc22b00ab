#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/parallel_load.h"

namespace ambrel {

class TErrorLog;
class TFileViewer;
class TTagList;
class TTagViewer;

// The loads of the file viewer, of a drop on the main window, of the paths the program is
// started with and of the command line. Each is a LoadRequest that a LoadJob runs on its
// threads (every file read once, the bytes the tag test read going to the tag list with the
// path), then ApplyLoad on the owner's thread.

// What the end of a load does besides adding its files: a directory load reports its search
// result, a load of named paths the paths it could not take; a drop that takes nothing leaves
// the table alone.
enum class LoadKind { kDirectory, kSelectedFiles, kDrop, kNamedPaths };

// "Load supported files in current directory" and "Load files from current directory": the
// browser's current path searched with the mask, the viewer's LoadMode and no directory
// entries. The window sets the LoadMode first ("Load files from current directory" leaves it
// as it was) and passes its check boxes "Show hidden files in file viewer" (include_hidden)
// and "Load tags also from subdirectories" (recurse), which the viewer keeps.
LoadRequest DirectoryLoad(TFileViewer& viewer, std::optional<std::string_view> mask,
                          bool include_hidden, bool recurse);
// "Load selected files": the selected file rows in row order, each kept while a file still
// exists at its path and it passes the viewer's LoadMode test.
LoadRequest SelectedFilesLoad(TFileViewer& viewer, bool include_hidden, bool recurse);
// A drop: the paths in their order whose extension is ".mp3" in any letter case
// (TTagList::HasMp3Extension), whatever their tag; directories are left out, never searched.
LoadRequest DroppedFilesLoad(std::vector<std::string> paths);

// Applies a load's result: adds its files to the tag list in their order and rebuilds the
// tag viewer's rows once; a drop that took nothing changes nothing. It goes in steps, so a
// window's thread never stops long over 100,000 files: each Step adds files and makes the
// rows of the list's entries aside, up to `slice` of both together, and the last puts every
// row in the table at once (TTagViewer::FinishRebuild). The list must not change otherwise in
// between. A tag viewer without a table (the command line) is given the files only.
class LoadApplier {
public:
    LoadApplier(LoadKind kind, LoadResult result, TTagList& list, TTagViewer& tag_viewer);
    // True once everything is applied.
    bool Step(std::size_t slice);
    // What is reported after the rows are there, through the error log when given: a
    // directory load's code (nothing for 1; 58 once for every path too long to be read); the
    // failures of a load of named paths in one warning (PathFailuresText), none when there
    // are none.
    void Report(TErrorLog* log) const;

private:
    const LoadKind kind_;
    const LoadResult result_;
    TTagList& list_;
    TTagViewer& tag_viewer_;
    std::size_t added_ = 0;
    bool done_ = false;
};

// A LoadApplier run to its end at once, then its report.
void ApplyLoad(LoadKind kind, LoadResult result, TTagList& list, TTagViewer& tag_viewer,
               TErrorLog* log);

// The same loads run to their end on the calling thread's behalf.
// Returns the search result.
int LoadDirectory(TFileViewer& viewer, TTagList& list, TTagViewer& tag_viewer, TErrorLog& log,
                  std::optional<std::string_view> mask, bool include_hidden, bool recurse);
// Returns the number of paths handed to the tag list; nothing is reported.
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
    // Whether each file's ID3v2 header is read with its tag (LoadOptions::read_head).
    bool read_head = false;

    // The mask of the file viewer's filter as it starts: its first entry's.
    static std::string DefaultLoadMask();
};

// Takes the entries a load has added so far; the load empties the list after each call.
using LoadDrain = std::function<void(const TTagList& list)>;
// A drained load hands the list on each time it holds this many entries.
inline constexpr int kLoadDrainChunk = 1024;

// Files and folders named from outside the windows, loaded with the options
// (LoadRequest::Named): a folder is searched as LoadDirectory searches the current one and
// what it finds stands at its place; a file is taken as a dropped one is, when the tag list
// takes it (TTagList::IsMp3Path) and it passes the load mode.
LoadRequest NamedPathsLoad(std::vector<std::string> paths, const PathLoadOptions& options = {});

// Loads files and folders into the tag list in their order, as NamedPathsLoad asks, on the
// load threads; each file is read once. Returns the failures, in path order: 50 no such path,
// 80 a file the tag list does not take (kNotMp3File), or a folder search's own code (60, 58)
// after what it found was added. With a drain the list is handed to it, and emptied, whenever
// it holds kLoadDrainChunk entries and at the end, the files going to it as they are read,
// so a load of any size never holds more than that at once beside what is read ahead.
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
