#include "files/file_viewer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "files/directory_operations.h"
#include "files/directory_reader.h"
#include "files/file_copy.h"
#include "files/result_codes.h"
#include "files/tag_presence.h"
#include "platform/compact.h"
#include "platform/paths.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

// The two kinds of result lists share one search: a plain path, or a path with the bytes
// its tag test read.
void Append(std::vector<std::string>* list, std::string path, FoundFile&&) {
    list->push_back(std::move(path));
}
void Append(std::vector<FoundFile>* list, std::string path, FoundFile&& found) {
    found.path = std::move(path);
    list->push_back(std::move(found));
}

// Whether the name's extension (from its last dot, dot included; empty without a dot),
// lower-cased, occurs in the mask. Read in place: every entry of a search is tested.
bool MaskHoldsExtension(std::string_view mask, std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return true;  // an empty extension occurs in every mask
    const std::string_view extension = name.substr(dot);
    return std::search(mask.begin(), mask.end(), extension.begin(), extension.end(),
                       [](char m, char e) { return m == AsciiToLower(e); }) != mask.end();
}

// True for a path the system refuses to look up: with its terminating zero it exceeds
// PATH_MAX.
bool IsTooLong(const std::string& path) { return path.size() >= PATH_MAX; }

const std::string& PathOf(const std::string& item) { return item; }
const std::string& PathOf(const FoundFile& item) { return item.path; }

// Where the tag test of an entry leaves what it read: the entry itself for a FoundFile,
// a scratch record for a plain path.
FoundFile* ReadTarget(FoundFile* item, FoundFile*) { return item; }
FoundFile* ReadTarget(std::string*, FoundFile* scratch) { return scratch; }

}  // namespace

TFileViewer::TFileViewer(std::string start_path, Prompter* prompter)
    : browser_(std::move(start_path), prompter) {}

int TFileViewer::HasTag(const std::string& path) { return path.empty() ? 0 : TagPresence(path); }

void TFileViewer::SetLoadMode(int mode) {
    if (const std::optional<LoadMode> known = LoadModeFromInt(mode)) load_mode_ = *known;
}

bool TFileViewer::PassesLoadMode(const std::string& path, FoundFile* found) const {
    found->tail_read = false;
    found->tail.reset();
    // Taking all files, the tag test decides nothing, so no file is opened.
    if (load_mode_ == LoadMode::kAll) return true;
    int tagged = 0;
    if (TTagList::IsMp3Path(path)) {
        tagged = ReadTagPresence(path, &found->tail);
        found->tail_read = true;
    }
    return load_mode_ == LoadMode::kTagged ? tagged != 0 : tagged == 0;
}

int TFileViewer::SearchFiles(std::vector<std::string>* list, const std::string& directory,
                             std::optional<std::string_view> mask, bool add_directories) {
    return Search(list, directory, mask, add_directories);
}

int TFileViewer::SearchFiles(std::vector<FoundFile>* list, const std::string& directory,
                             std::optional<std::string_view> mask, bool add_directories) {
    return Search(list, directory, mask, add_directories);
}

template <typename Item>
int TFileViewer::Search(std::vector<Item>* list, const std::string& directory,
                        std::optional<std::string_view> mask, bool add_directories) {
    if (!list || directory.empty()) return kInvalidArgument;
    const std::string_view mask_text = mask.value_or(std::string_view());
    const bool mask_test = !mask_text.empty() && mask_text.find("*.*") == std::string_view::npos;
    int result = kDone;
    paths_too_long_ = 0;
    SearchInto(list, paths::WithoutTrailingSeparator(directory), mask_text, mask_test,
               add_directories, true, &result);
    if (result == kDone && paths_too_long_ > 0) result = kPathsTooLong;
    return result;
}

// One directory of the search. Only the top directory's enumeration failure reaches the
// result; a subdirectory that cannot be read is skipped and the walk goes on.
template <typename Item>
void TFileViewer::SearchInto(std::vector<Item>* list, const std::string& directory,
                             std::string_view mask, bool mask_test, bool add_directories, bool top,
                             int* result) {
    if (add_directories) Append(list, directory, FoundFile{});
    std::vector<DirectoryEntry> entries;
    if (!ReadDirectory(directory, &entries)) {
        if (top) *result = kCannotEnumerate;
        return;
    }
    SortByName(&entries);
    for (const DirectoryEntry& entry : entries) {
        std::string full = paths::Join(directory, entry.name);
        // A symbolic link is never descended into: it is taken like a file, so a search
        // (and the delete that runs on it) never leaves the tree nor runs round a loop.
        const bool is_dir = entry.kind == DirectoryEntry::kDirectory;
        if (!is_dir && !include_hidden_ && entry.name[0] == '.') continue;
        const bool descend = is_dir && recurse_;
        // The mask test comes first: it is free, and the order changes no result.
        if (!descend && mask_test && !MaskHoldsExtension(mask, entry.name)) continue;
        // No call can name such an entry (nor anything below a directory): it is counted
        // for the one report after the search rather than lost without a word.
        if (IsTooLong(full)) {
            ++paths_too_long_;
            continue;
        }
        if (descend) {
            SearchInto(list, full, mask, mask_test, add_directories, false, result);
            continue;
        }
        FoundFile found;
        if (!PassesLoadMode(full, &found)) continue;
        Append(list, std::move(full), std::move(found));
    }
}

int TFileViewer::FilterFileList(std::vector<std::string>* list) const { return Filter(list); }

int TFileViewer::FilterFileList(std::vector<FoundFile>* list) const { return Filter(list); }

template <typename Item>
int TFileViewer::Filter(std::vector<Item>* list) const {
    if (!list) return 0;
    // The tag test writes what it read into the item it keeps.
    FoundFile scratch;
    CompactIf(list, [&](Item& item) {
        const std::string& path = PathOf(item);
        return !paths::FileExists(path) || !PassesLoadMode(path, ReadTarget(&item, &scratch));
    });
    return static_cast<int>(list->size());
}

int TFileViewer::DeleteOneFile(const std::string& path) {
    if (path.empty()) {
        last_result_ = kInvalidArgument;
    } else if (paths::FileExists(path)) {
        last_result_ = ::unlink(path.c_str()) == 0 ? kDone : kDeleteFailed;
    } else {
        last_result_ = kSourceMissing;
    }
    return last_result_;
}

int TFileViewer::CopyOrMoveFile(const std::string& source, bool keep_source) {
    const CopyOptions options{overwrite_without_asking_, ask_before_overwriting_, GetPrompter(),
                              progress_bar_};
    return CopyOrMoveInto(source, browser_.CurrentPath(), keep_source, options);
}

int TFileViewer::DeleteDirectoryTree(const std::string& path,
                                     std::optional<std::string_view> mask) {
    if (path.empty()) return kInvalidArgument;
    std::vector<std::string> entries;
    const std::string top = paths::WithoutTrailingSeparator(path);
    struct stat st;
    if (::lstat(top.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // A link listed as a directory: searching it would delete inside its target.
        if (!keep_directories_) entries.push_back(top);
    } else {
        SearchFiles(&entries, path, mask, !keep_directories_);
    }
    RemoveListedEntries(entries);
    browser_.RefreshDirectories();
    return kDone;
}

int TFileViewer::MakeDirectory(const std::string& name) {
    const int result = MakeDirectoryBelow(browser_, name);
    if (result == kInvalidArgument) last_result_ = result;
    return result;
}

int TFileViewer::RenameDirectory(const std::string& new_name) {
    last_result_ = RenameSelectedDirectory(browser_, new_name);
    return last_result_;
}

}  // namespace ambrel
