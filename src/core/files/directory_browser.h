#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "files/directory_reader.h"

namespace ambrel {

class DriveSelector;
class FilterSelector;
class IconSource;
class Prompter;
class ReportView;

// Binds the file viewer's navigation controls to one current directory: fills the
// directory list and the file list from it and moves through the tree.
//
// Paths: the separator is '/'; the current path never ends in a separator except the file
// system root, held as "/". Every directory other than the root lists the parent entry
// " .." (a space and two dots) as its first directory row; the root has none.
// Hidden entries are those whose name begins with '.'; without show hidden, hidden files
// are left out while directories are always listed.
//
// Both lists are kept sorted by caption with the locale's collation (strcoll), the parent
// entry always first. The file list's second cell is the tag status text ("Mp3v1" or "No")
// while the tag status is shown; directory rows carry the same second cell, which the
// one-column directory list does not show.
//
// Result codes (files/result_codes.h): 1 done; 10 not ready or an argument missing;
// 60 the directory cannot be enumerated, nothing is selected, or the path is the root
// already; 70 the volume cannot be opened. An operation on a browser that is not ready
// returns 10 and changes nothing. Ready means the drive selector, the filter selector and
// both list views are attached; the icon source is optional.
//
// Window wiring: attach the drive selector, the filter selector, the directory list, the
// file list and the icon source in this order, then Refresh(). The controls are not owned;
// the destructor does not touch them.
class TDirectoryBrowser {
public:
    // The caption of the parent entry.
    static constexpr const char* kParentEntry = " ..";
    // Width of the file list's "Tag" column.
    static constexpr int kTagColumnWidth = 60;

    // start_path: the directory the lists open on (the window passes the root of the
    // volume that holds the working directory, "/" when unsure). Messages go through the
    // prompter (none: ChangeDrive fails silently).
    explicit TDirectoryBrowser(std::string start_path, Prompter* prompter = nullptr);
    TDirectoryBrowser(const TDirectoryBrowser&) = delete;
    TDirectoryBrowser& operator=(const TDirectoryBrowser&) = delete;

    void SetPrompter(Prompter* prompter) { prompter_ = prompter; }
    Prompter* GetPrompter() const { return prompter_; }

    // Stores the selector and selects the volume that holds the current path.
    void AttachDriveSelector(DriveSelector* drives);
    // Stores the selector. One without entries first gets the single entry "All files" /
    // "*.*", selected. Then BuildFilterExtensions; when ready, clears both lists and lists
    // files only.
    void AttachFilterSelector(FilterSelector* filter);
    // Stores the list; when ready, clears both lists and lists directories only.
    void AttachDirectoryList(ReportView* directories);
    // Stores the list; when ready, clears both lists and lists files only.
    void AttachFileList(ReportView* files);
    // Stores the icon source and switches icons on (nothing for none).
    void AttachIconList(IconSource* icons);

    // Which rows a listing adds: directory rows, file rows, or both.
    enum class Listing { kDirectories, kFiles, kBoth };

    // The core listing: current path := path (one trailing separator removed), the
    // directory list's first column header := the current path, then the rows of the
    // kinds asked for are added (the callers clear the lists first). Selects row 0 of
    // each list it filled. 10 for an empty path or when not ready; 60 when the directory
    // cannot be enumerated (the current path is still set, the lists get no rows).
    int ListDirectory(const std::string& path, Listing what = Listing::kBoth);
    // Clears both lists and lists the current path with both kinds.
    int Refresh();
    // Relist one kind only, keeping the selected row number: the same number is selected
    // again when the new list is long enough, else the last row; nothing when nothing was
    // selected.
    int RefreshDirectories();
    int RefreshFiles();
    // Tags were written to these files (full paths): the file list follows as a relisting
    // would, without reading the folder again. Each path in the current directory that has a
    // file row gets its Tag cell read anew; other paths are passed over. When the folder
    // may have changed since its files were listed (it has another modification time or is
    // another directory, a written file has a row but is gone, or has none though a listing
    // would give it one), RefreshFiles instead. Nothing while the tag status is not shown.
    // 10 when not ready, else 1 or the result of RefreshFiles.
    int UpdateFileRows(const std::vector<std::string>& written);
    // Clears the file list, rebuilds the extension list from the filter, lists files only.
    int ChangeFilter();
    // Enters the selected directory row (" .." goes to the parent) and refreshes. 1, even
    // when the new directory cannot be listed; 60 when no directory row is selected.
    int OpenSelected();
    // Goes to the parent directory and refreshes; 60 at the root.
    int GoUp();
    // Goes to the root of a volume. A root that is no directory: the message "Error while
    // reading from drive: Unable to open drive", 70, nothing changed.
    int ChangeDrive(const std::string& root);

    // The caption of the selected directory row; none when not ready or nothing is selected.
    std::optional<std::string> GetSelectedDirName() const;
    // The current path joined with that caption; none likewise. For the parent entry this
    // is a path ending in " ..", which names no directory.
    std::optional<std::string> GetSelectedDirPath() const;
    // Adds a directory row with this caption at its sorted place, selects it and gives it
    // the focus. 10 when not ready or the name is empty.
    int AddDirectoryRow(const std::string& name);
    // Sets the caption of the selected directory row and keeps the list sorted. 10 when
    // not ready, the name is empty, or the selected row is the parent entry, which is never
    // renamed (the window's in-place edit and rename command rely on this); 60 when no row
    // is selected.
    int RenameDirectoryRow(const std::string& name);
    void SelectAllFiles();
    void DeselectAllFiles();
    // Appends current path + '/' + caption of every selected file row, in row order.
    // 10 when not ready, else 1.
    int GetSelectedFiles(std::vector<std::string>* list) const;

    // 1 when the path's extension begins with ".mp3" (any letter case) and the file's last
    // 128 bytes begin with "TAG"; 0 otherwise. Only such files are opened.
    static int GetTagStatus(const std::string& path);
    // "Mp3v1", "Mp3v2", "Mp3v1&2", "Ogg" for the codes 1 to 4, "No" for any other.
    static std::string TagStatusText(int code);
    // The image index of the icon for a name; -1 without an icon source.
    int GetIconIndex(const std::string& name, bool is_dir);
    // Rebuilds the extension list from the filter's current mask, lower-cased: none and
    // filter inactive for a mask holding "*.*"; otherwise the text after the first '.' of
    // each ';'-separated segment (at most 4 characters; a segment without '.' gives none).
    // 10 without a filter selector, else 1.
    int BuildFilterExtensions();
    // On: appends the "Tag" column (width 60) to the file list and narrows its first column
    // by as much. Off: removes the second column and gives its width back to the first.
    // The window then calls RefreshFiles.
    void SetShowTagStatus(bool on);
    // Only with an icon source: rows get images while on and none (-1) while off, from the
    // next listing on.
    void SetShowIcons(bool on);
    void SetShowHidden(bool on) { show_hidden_ = on; }

    bool IsTagStatusShown() const { return show_tag_status_; }
    bool IsReady() const { return ready_; }
    bool IsFilterActive() const { return filter_active_; }
    const std::string& CurrentPath() const { return current_path_; }
    // Lower-case extensions of the current filter, without the dot.
    const std::vector<std::string>& Extensions() const { return extensions_; }
    // Icon keys parallel to the icon source's images: entry i is the key of image i.
    const std::vector<std::string>& IconKeys() const { return icon_keys_; }

    ReportView* DirectoryList() const { return directories_; }
    ReportView* FileList() const { return files_; }
    FilterSelector* Filter() const { return filter_; }
    DriveSelector* Drives() const { return drives_; }

    // The root among roots that holds path: the longest one that equals it or is followed
    // in it by a separator; empty when none does.
    static std::string VolumeRootOf(const std::vector<std::string>& roots, const std::string& path);

private:
    struct Entry;
    void UpdateReady();
    // Clears both lists and lists the current path.
    int ClearAndList(Listing what);
    int Relist(ReportView* list, Listing what);
    void AddRows(ReportView* list, const std::vector<Entry>& entries,
                 std::optional<std::string>* previous_key, int* previous_image);
    bool PassesFilter(const std::string& type_key) const;
    // Whether the file list takes a file of this name and type key (hidden files, filter).
    bool ShowsFile(const std::string& name, const std::string& type_key) const;
    // Whether a listing now would give the name in the current directory a file row.
    bool WouldListFile(const std::string& name) const;
    // The file row with this caption, found by the order the listing keeps; -1 for none.
    int FindFileRow(const std::string& name) const;
    static void SortRows(ReportView* list);

    ReportView* directories_ = nullptr;
    ReportView* files_ = nullptr;
    FilterSelector* filter_ = nullptr;
    DriveSelector* drives_ = nullptr;
    std::vector<std::string> extensions_;
    IconSource* icons_ = nullptr;
    std::vector<std::string> icon_keys_;
    std::unordered_map<std::string, int> icon_index_;
    bool ready_ = false;
    bool show_icons_ = true;
    bool filter_active_ = false;
    bool show_tag_status_ = true;
    std::string current_path_;
    bool show_hidden_ = true;
    // The current directory's stamp when its files were last listed; none after a failed
    // listing.
    std::optional<DirectoryStamp> files_stamp_;
    Prompter* prompter_ = nullptr;
};

}  // namespace ambrel
