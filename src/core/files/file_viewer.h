#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/directory_browser.h"
#include "files/tree_delete.h"

namespace ambrel {

class ProgressBar;

// Which files the searches and the load list filter take by their tag.
enum class LoadMode : uint8_t { kAll = 0, kTagged = 1, kUntagged = 2 };

// The mode of a number given from outside: 0, 1 or 2; none for any other value.
constexpr std::optional<LoadMode> LoadModeFromInt(int value) {
    if (value < 0 || value > 2) return std::nullopt;
    return static_cast<LoadMode>(value);
}

// Whether a file of this tag status passes the mode's test.
constexpr bool LoadModeTakes(LoadMode mode, bool tagged) {
    return mode == LoadMode::kAll || (mode == LoadMode::kTagged) == tagged;
}

// The file viewer's model: owns the browser, carries the settings the file commands read
// and runs the searches behind the load and delete commands. Result codes are those of
// files/result_codes.h.
//
// The tag test reads only files whose extension begins with ".mp3" (any letter case):
// every other file counts as untagged without being opened.
class TFileViewer {
public:
    explicit TFileViewer(std::string start_path, Prompter* prompter = nullptr);

    TDirectoryBrowser& Browser() { return browser_; }
    const TDirectoryBrowser& Browser() const { return browser_; }
    // Asks the overwrite question and shows the browser's messages.
    Prompter* GetPrompter() const { return browser_.GetPrompter(); }
    void SetPrompter(Prompter* prompter) { browser_.SetPrompter(prompter); }

    // 1 when the path's extension holds ".mp3" and the file's last 128 bytes begin with
    // "TAG"; 0 for an empty path, a missing or short file, and every other path.
    static int HasTag(const std::string& path);

    // Appends to list what WalkDirectory (files/directory_walk.h) takes from directory with
    // the mask and the include hidden and recurse settings, each entry that is not a
    // searched directory passing the LoadMode test too; with add_directories each directory
    // (the given one included) stands before its own contents. Returns the walk's code
    // (10, 60, 58 or 1); PathsTooLong counts the entries left out for their length.
    int SearchFiles(std::vector<std::string>* list, const std::string& directory,
                    std::optional<std::string_view> mask, bool add_directories);

    // Removes, in place and keeping the order, the entries where no file exists and those
    // failing the LoadMode test; returns how many remain.
    int FilterFileList(std::vector<std::string>* list) const;

    // A mode number from outside names its mode through LoadModeFromInt.
    void SetLoadMode(LoadMode mode) { load_mode_ = mode; }
    LoadMode GetLoadMode() const { return load_mode_; }

    // Deletes one file: 1, or 54 when the delete fails; 50 when no file is at the path;
    // 10 for an empty path. The code is also kept as the last result.
    int DeleteOneFile(const std::string& path);

    // How many entries the last search skipped because their paths are longer than the
    // system lets a call name (PATH_MAX); the search then returns 58.
    int PathsTooLong() const { return paths_too_long_; }

    // Copies (keep_source) or moves one file into the browser's current directory, with the
    // overwrite settings, the prompter for the overwrite question and the progress bar;
    // CopyOrMoveInto of files/file_copy.h gives the rules and the result codes.
    int CopyOrMoveFile(const std::string& source, bool keep_source);
    // Deletes what a search of path with the mask takes (the rules of SearchFiles under the
    // current settings: include hidden, recurse, the mask and the LoadMode test), each
    // directory's entries in name order, each directory (the given one last) removed once its
    // contents are gone unless keep directories is on. Whatever the rules leave out stays, and
    // so do the directories holding it. DeleteTree (files/tree_delete.h) does the work
    // relative to open directory descriptors, so nothing outside path is reached even when
    // the tree changes meanwhile: a symbolic link, the given path included, is removed as a
    // link and never followed. Then the browser relists its directories. 1; 61 when an entry
    // the rules took could not be removed or a subdirectory could not be read (LeftBehind
    // names them); 10 for an empty path.
    int DeleteDirectoryTree(const std::string& path, std::optional<std::string_view> mask);
    // What the last DeleteDirectoryTree left although the rules took it, in walk order.
    const std::vector<LeftEntry>& LeftBehind() const { return left_behind_; }
    // Called with each directory's path just before the folder delete opens it, the given one
    // first. Only tests set it, to change the tree at that moment.
    void SetBeforeOpeningDirectory(std::function<void(const std::string&)> hook) {
        before_opening_directory_ = std::move(hook);
    }
    // MakeDirectoryBelow of files/directory_operations.h; a rejected name (10) is kept as
    // the last result.
    int MakeDirectory(const std::string& name);
    // RenameSelectedDirectory of files/directory_operations.h; the code is kept as the last
    // result.
    int RenameDirectory(const std::string& new_name);

    // The process dialog's bar for the file being copied; none when not shown.
    ProgressBar* GetProgressBar() const { return progress_bar_; }
    void SetProgressBar(ProgressBar* bar) { progress_bar_ = bar; }

    int LastResult() const { return last_result_; }
    bool IncludeHidden() const { return include_hidden_; }
    void SetIncludeHidden(bool on) { include_hidden_ = on; }
    bool Recurse() const { return recurse_; }
    void SetRecurse(bool on) { recurse_ = on; }
    bool KeepDirectories() const { return keep_directories_; }
    void SetKeepDirectories(bool on) { keep_directories_ = on; }
    bool OverwriteWithoutAsking() const { return overwrite_without_asking_; }
    void SetOverwriteWithoutAsking(bool on) { overwrite_without_asking_ = on; }
    bool AskBeforeOverwriting() const { return ask_before_overwriting_; }
    void SetAskBeforeOverwriting(bool on) { ask_before_overwriting_ = on; }
    // Whether deleting files or a directory tree asks once first.
    bool AskBeforeDeleting() const { return ask_before_deleting_; }
    void SetAskBeforeDeleting(bool on) { ask_before_deleting_ = on; }

private:
    class Collector;
    // Whether the entry name of the open directory directory_fd (AT_FDCWD: a path) passes
    // the LoadMode test; reads the file's end only when the mode needs it.
    bool PassesLoadMode(int directory_fd, const std::string& name) const;

    int32_t last_result_ = 0;
    int paths_too_long_ = 0;
    std::vector<LeftEntry> left_behind_;
    std::function<void(const std::string&)> before_opening_directory_;
    ProgressBar* progress_bar_ = nullptr;
    LoadMode load_mode_ = LoadMode::kAll;
    bool include_hidden_ = true;
    bool recurse_ = true;
    bool keep_directories_ = false;
    bool overwrite_without_asking_ = false;
    bool ask_before_overwriting_ = true;
    bool ask_before_deleting_ = true;
    TDirectoryBrowser browser_;
};

}  // namespace ambrel
