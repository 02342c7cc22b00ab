#include "files/directory_browser.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "files/directory_reader.h"
#include "files/result_codes.h"
#include "files/tag_presence.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "platform/report_view.h"
#include "platform/selectors.h"
#include "tag/text_helpers.h"

namespace ambrel {

// A row to be added: its caption, kind, type key and collation key.
struct TDirectoryBrowser::Entry {
    std::string name;
    bool is_dir = false;
    std::string type_key;
    std::string sort_key;
};

namespace {

constexpr char kDirectoryTypeKey[] = "dir";

// A file's type key: its extension, dot included, lower-cased.
std::string FileTypeKey(const std::string& name) {
    return AsciiLowerCase(paths::ExtensionOf(name));
}

// The key under which strcmp orders like strcoll in the current collation, so a listing
// transforms each name once instead of collating at every comparison.
std::string CollationKey(const std::string& name) {
    const std::size_t size = std::strxfrm(nullptr, name.c_str(), 0);
    std::string key(size + 1, '\0');
    std::strxfrm(key.data(), name.c_str(), key.size());
    key.resize(size);
    return key;
}

// The parent entry first, then the locale's order; equal collation falls back to the bytes
// so the order never depends on the order the entries came in.
int CompareCaptions(const std::string& a, const std::string& b) {
    const bool a_parent = a == TDirectoryBrowser::kParentEntry;
    const bool b_parent = b == TDirectoryBrowser::kParentEntry;
    if (a_parent != b_parent) return a_parent ? -1 : 1;
    if (const int order = std::strcoll(a.c_str(), b.c_str()); order != 0) return order;
    return a.compare(b);
}

// The directory above path; a path without a separator stays as it is.
std::string ParentOf(const std::string& path) {
    std::string parent = paths::DirectoryOf(path);
    return parent.empty() ? path : parent;
}

}  // namespace

TDirectoryBrowser::TDirectoryBrowser(std::string start_path, Prompter* prompter)
    : current_path_(paths::WithoutTrailingSeparator(start_path)), prompter_(prompter) {}

void TDirectoryBrowser::UpdateReady() { ready_ = drives_ && filter_ && directories_ && files_; }

void TDirectoryBrowser::AttachDriveSelector(DriveSelector* drives) {
    drives_ = drives;
    UpdateReady();
    if (!drives_) return;
    const std::string root = VolumeRootOf(drives_->Drives(), current_path_);
    if (!root.empty()) drives_->SetDrive(root);
}

void TDirectoryBrowser::AttachFilterSelector(FilterSelector* filter) {
    filter_ = filter;
    UpdateReady();
    if (!filter_) return;
    if (filter_->EntryCount() == 0) {
        filter_->AddEntry("All files", "*.*");
        filter_->SelectEntry(0);
    }
    BuildFilterExtensions();
    if (ready_) ClearAndList(Listing::kFiles);
}

void TDirectoryBrowser::AttachDirectoryList(ReportView* directories) {
    directories_ = directories;
    UpdateReady();
    if (ready_) ClearAndList(Listing::kDirectories);
}

void TDirectoryBrowser::AttachFileList(ReportView* files) {
    files_ = files;
    UpdateReady();
    if (ready_) ClearAndList(Listing::kFiles);
}

void TDirectoryBrowser::AttachIconList(IconSource* icons) {
    if (!icons) return;
    icons_ = icons;
    show_icons_ = true;
}

int TDirectoryBrowser::ClearAndList(Listing what) {
    directories_->ClearRows();
    files_->ClearRows();
    return ListDirectory(current_path_, what);
}

int TDirectoryBrowser::ListDirectory(const std::string& path, Listing what) {
    if (path.empty() || !ready_) return kInvalidArgument;
    const bool list_directories = what != Listing::kFiles;
    const bool list_files = what != Listing::kDirectories;
    if (show_icons_ && what == Listing::kBoth) {
        if (icons_) icons_->ClearIcons();
        icon_keys_.clear();
        icon_index_.clear();
    }
    current_path_ = paths::WithoutTrailingSeparator(path);
    if (directories_->ColumnCount() > 0) directories_->SetColumnCaption(0, current_path_);

    // Taken before the read, so a change during it shows as a changed stamp later.
    if (list_files) files_stamp_ = StampOf(current_path_);
    std::vector<DirectoryEntry> found;
    if (!ReadDirectory(current_path_, &found)) {
        files_stamp_.reset();
        return kCannotEnumerate;
    }

    std::vector<Entry> directories;
    std::vector<Entry> files;
    for (DirectoryEntry& item : found) {
        const bool is_dir = item.kind == DirectoryEntry::kDirectory ||
                            (item.kind == DirectoryEntry::kSymlink &&
                             paths::DirectoryExists(paths::Join(current_path_, item.name)));
        if (is_dir ? !list_directories : !list_files) continue;
        std::string type_key = is_dir ? std::string(kDirectoryTypeKey) : FileTypeKey(item.name);
        if (!is_dir && !ShowsFile(item.name, type_key)) continue;
        std::string sort_key = CollationKey(item.name);
        (is_dir ? directories : files)
            .push_back({std::move(item.name), is_dir, std::move(type_key), std::move(sort_key)});
    }
    const auto by_key = [](const Entry& a, const Entry& b) {
        if (const int order = a.sort_key.compare(b.sort_key); order != 0) return order < 0;
        return a.name < b.name;
    };
    std::sort(directories.begin(), directories.end(), by_key);
    std::sort(files.begin(), files.end(), by_key);
    if (list_directories && !paths::IsRoot(current_path_)) {
        directories.insert(directories.begin(), {kParentEntry, true, kDirectoryTypeKey, {}});
    }

    // The previous row's type key: icons are looked up only when it changes.
    std::optional<std::string> previous_key;
    int previous_image = -1;
    if (list_directories) AddRows(directories_, directories, &previous_key, &previous_image);
    if (list_files) AddRows(files_, files, &previous_key, &previous_image);
    if (list_directories && directories_->RowCount() > 0) directories_->ReplaceSelection({0});
    if (list_files && files_->RowCount() > 0) files_->ReplaceSelection({0});
    return kDone;
}

void TDirectoryBrowser::AddRows(ReportView* list, const std::vector<Entry>& entries,
                                std::optional<std::string>* previous_key, int* previous_image) {
    list->BeginUpdate();
    for (const Entry& entry : entries) {
        std::vector<std::string> cells{entry.name};
        if (show_tag_status_) {
            cells.push_back(TagStatusText(GetTagStatus(paths::Join(current_path_, entry.name))));
        }
        int image = -1;
        if (show_icons_ && icons_) {
            if (!*previous_key || **previous_key != entry.type_key) {
                *previous_image = GetIconIndex(entry.name, entry.is_dir);
                *previous_key = entry.type_key;
            }
            image = *previous_image;
        }
        list->AddRow(std::move(cells), image);
    }
    list->EndUpdate();
}

bool TDirectoryBrowser::PassesFilter(const std::string& type_key) const {
    if (!filter_active_) return true;
    const std::string extension = type_key.empty() ? std::string() : type_key.substr(1);
    return std::find(extensions_.begin(), extensions_.end(), extension) != extensions_.end();
}

bool TDirectoryBrowser::ShowsFile(const std::string& name, const std::string& type_key) const {
    return (show_hidden_ || name[0] != '.') && PassesFilter(type_key);
}

bool TDirectoryBrowser::WouldListFile(const std::string& name) const {
    const std::string path = paths::Join(current_path_, name);
    struct stat st;
    // A link to a directory is listed as a directory; a dangling link as a file.
    if (::lstat(path.c_str(), &st) != 0 || paths::DirectoryExists(path)) return false;
    return ShowsFile(name, FileTypeKey(name));
}

int TDirectoryBrowser::FindFileRow(const std::string& name) const {
    int low = 0;
    int high = files_->RowCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareCaptions(std::string(files_->Cell(middle, 0)), name) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low < files_->RowCount() && files_->Cell(low, 0) == name ? low : -1;
}

int TDirectoryBrowser::UpdateFileRows(const std::vector<std::string>& written) {
    if (!ready_) return kInvalidArgument;
    if (!show_tag_status_) return kDone;
    if (!files_stamp_ || StampOf(current_path_) != files_stamp_) return RefreshFiles();
    // Whether each directory met is the current one, another spelling of it included.
    std::unordered_map<std::string, bool> is_current;
    std::vector<std::pair<int, std::string>> rows;
    for (const std::string& path : written) {
        const std::string directory = paths::DirectoryOf(path);
        const auto [known, added] = is_current.try_emplace(directory, false);
        if (added) {
            known->second = directory == current_path_ || paths::SameFile(directory, current_path_);
        }
        if (!known->second) continue;
        std::string name = paths::FileNameOf(path);
        const int row = FindFileRow(name);
        // A row without its file, or a file without its row: the folder is not as listed.
        if ((row >= 0) != WouldListFile(name)) return RefreshFiles();
        if (row >= 0) rows.emplace_back(row, std::move(name));
    }
    files_->BeginUpdate();
    for (auto& [row, name] : rows) {
        std::string status = TagStatusText(GetTagStatus(paths::Join(current_path_, name)));
        files_->SetRow(row, {std::move(name), std::move(status)});
    }
    files_->EndUpdate();
    return kDone;
}

int TDirectoryBrowser::Refresh() {
    if (!ready_) return kInvalidArgument;
    return ClearAndList(Listing::kBoth);
}

int TDirectoryBrowser::RefreshDirectories() { return Relist(directories_, Listing::kDirectories); }

int TDirectoryBrowser::RefreshFiles() { return Relist(files_, Listing::kFiles); }

// Relists one kind, then selects the row number that was selected before, or the last row
// when the list got shorter; nothing when nothing was selected.
int TDirectoryBrowser::Relist(ReportView* list, Listing what) {
    if (!ready_) return kInvalidArgument;
    const int remembered = list->FirstSelected();
    list->ClearRows();
    const int result = ListDirectory(current_path_, what);
    const int count = list->RowCount();
    const int row = remembered < count ? remembered : count - 1;
    if (row >= 0) {
        list->ReplaceSelection({row});
    } else {
        list->ClearSelection();
    }
    return result;
}

int TDirectoryBrowser::ChangeFilter() {
    if (!ready_) return kInvalidArgument;
    files_->ClearRows();
    BuildFilterExtensions();
    return ListDirectory(current_path_, Listing::kFiles);
}

int TDirectoryBrowser::OpenSelected() {
    if (!ready_) return kInvalidArgument;
    const std::optional<std::string> name = GetSelectedDirName();
    if (!name) return kCannotEnumerate;
    current_path_ =
        *name == kParentEntry ? ParentOf(current_path_) : paths::Join(current_path_, *name);
    Refresh();
    return kDone;
}

int TDirectoryBrowser::GoUp() {
    if (!ready_) return kInvalidArgument;
    if (current_path_.empty() || paths::IsRoot(current_path_)) return kCannotEnumerate;
    current_path_ = ParentOf(current_path_);
    Refresh();
    return kDone;
}

int TDirectoryBrowser::ChangeDrive(const std::string& root) {
    if (!ready_ || root.empty()) return kInvalidArgument;
    const std::string candidate = paths::WithoutTrailingSeparator(root);
    if (!paths::DirectoryExists(candidate)) {
        if (prompter_) prompter_->Message("Error while reading from drive: Unable to open drive");
        return kCannotOpenDrive;
    }
    current_path_ = candidate;
    Refresh();
    return kDone;
}

std::optional<std::string> TDirectoryBrowser::GetSelectedDirName() const {
    if (!ready_) return std::nullopt;
    const int row = directories_->FirstSelected();
    if (row < 0) return std::nullopt;
    return std::string(directories_->Cell(row, 0));
}

std::optional<std::string> TDirectoryBrowser::GetSelectedDirPath() const {
    const std::optional<std::string> name = GetSelectedDirName();
    if (!name) return std::nullopt;
    return paths::Join(current_path_, *name);
}

int TDirectoryBrowser::AddDirectoryRow(const std::string& name) {
    if (!ready_ || name.empty()) return kInvalidArgument;
    std::vector<std::string> cells{name};
    if (show_tag_status_) {
        cells.push_back(TagStatusText(GetTagStatus(paths::Join(current_path_, name))));
    }
    const int image = show_icons_ && icons_ ? GetIconIndex(name, true) : -1;
    const int row = directories_->AddRow(std::move(cells), image);
    directories_->ReplaceSelection({row});
    SortRows(directories_);
    directories_->FocusRow(directories_->FirstSelected());
    return kDone;
}

int TDirectoryBrowser::RenameDirectoryRow(const std::string& name) {
    if (!ready_ || name.empty()) return kInvalidArgument;
    const int row = directories_->FirstSelected();
    if (row < 0) return kCannotEnumerate;
    if (directories_->Cell(row, 0) == kParentEntry) return kInvalidArgument;
    std::vector<std::string> cells;
    for (int i = 0; i < directories_->CellCount(row); ++i) {
        cells.emplace_back(directories_->Cell(row, i));
    }
    cells[0] = name;
    directories_->SetRow(row, std::move(cells));
    SortRows(directories_);
    return kDone;
}

// Puts a list back in caption order after a single row changed; the selection follows.
void TDirectoryBrowser::SortRows(ReportView* list) {
    list->Sort([list](int a, int b) {
        return CompareCaptions(std::string(list->Cell(a, 0)), std::string(list->Cell(b, 0)));
    });
}

void TDirectoryBrowser::SelectAllFiles() {
    if (ready_) files_->SelectAll();
}

void TDirectoryBrowser::DeselectAllFiles() {
    if (ready_) files_->ClearSelection();
}

int TDirectoryBrowser::GetSelectedFiles(std::vector<std::string>* list) const {
    if (!ready_ || !list) return kInvalidArgument;
    for (const int row : files_->SelectedRows()) {
        list->push_back(paths::Join(current_path_, files_->Cell(row, 0)));
    }
    return kDone;
}

int TDirectoryBrowser::GetTagStatus(const std::string& path) { return TagPresence(path); }

std::string TDirectoryBrowser::TagStatusText(int code) {
    switch (code) {
        case 1:
            return "Mp3v1";
        case 2:
            return "Mp3v2";
        case 3:
            return "Mp3v1&2";
        case 4:
            return "Ogg";
        default:
            return "No";
    }
}

int TDirectoryBrowser::GetIconIndex(const std::string& name, bool is_dir) {
    if (!icons_) return -1;
    const std::string key = icons_->IconKeyFor(name, is_dir);
    if (const auto known = icon_index_.find(key); known != icon_index_.end()) {
        return known->second;
    }
    const int image = icons_->AddIcon(key);
    icon_keys_.push_back(key);
    icon_index_.emplace(key, image);
    return image;
}

int TDirectoryBrowser::BuildFilterExtensions() {
    if (!filter_) return kInvalidArgument;
    extensions_.clear();
    const std::string mask = AsciiLowerCase(filter_->CurrentMask());
    if (mask.find("*.*") != std::string::npos) {
        filter_active_ = false;
        return kDone;
    }
    std::size_t start = 0;
    while (start <= mask.size()) {
        const std::size_t end = std::min(mask.find(';', start), mask.size());
        const std::string segment = mask.substr(start, end - start);
        if (const std::size_t dot = segment.find('.'); dot != std::string::npos) {
            extensions_.push_back(segment.substr(dot + 1, 4));
        }
        start = end + 1;
    }
    filter_active_ = true;
    return kDone;
}

void TDirectoryBrowser::SetShowTagStatus(bool on) {
    if (files_) {
        if (on && files_->ColumnCount() == 1) {
            files_->AddColumn("Tag", kTagColumnWidth);
            const int width = files_->ColumnWidth(0);
            if (width > kTagColumnWidth) files_->SetColumnWidth(0, width - kTagColumnWidth);
        } else if (!on && files_->ColumnCount() > 1) {
            const int width = files_->ColumnWidth(0) + files_->ColumnWidth(1);
            files_->DeleteColumn(1);
            files_->SetColumnWidth(0, width);
        }
    }
    show_tag_status_ = on;
}

void TDirectoryBrowser::SetShowIcons(bool on) {
    if (icons_) show_icons_ = on;
}

std::string TDirectoryBrowser::VolumeRootOf(const std::vector<std::string>& roots,
                                            const std::string& path) {
    std::string best;
    for (const std::string& root : roots) {
        const std::string bare = paths::WithoutTrailingSeparator(root);
        if (bare.empty()) continue;
        const bool holds = paths::IsRoot(bare) ? !path.empty() && path[0] == paths::kSeparator
                                               : path.compare(0, bare.size(), bare) == 0 &&
                                                     (path.size() == bare.size() ||
                                                      path[bare.size()] == paths::kSeparator);
        if (holds && bare.size() > best.size()) best = root;
    }
    return best;
}

}  // namespace ambrel
