#include "files/file_commands.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "errors/error_log.h"
#include "files/file_viewer.h"
#include "files/process_run.h"
#include "files/result_codes.h"
#include "files/tree_delete.h"
#include "history/batch_history.h"
#include "history/rename_batch.h"
#include "platform/paths.h"
#include "platform/process_view.h"
#include "platform/prompter.h"
#include "platform/selectors.h"
#include "tag/tag_file.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

std::string DeleteFilesQuestion(const std::vector<std::string>& paths) {
    if (paths.size() == 1) return "Do you want to delete the file " + paths.front() + " ?";
    return "Do you want to delete the " + std::to_string(paths.size()) + " selected files in " +
           paths::DirectoryOf(paths.front()) + " ?";
}

std::string DeleteDirectoryQuestion(const std::string& path, bool keep_directories) {
    return keep_directories ? "Do you want to delete the files of the directory " + path + " ?"
                            : "Do you want to delete the directory " + path + " ?";
}

// How many of the entries a folder delete left the warning names before it only counts them.
constexpr std::size_t kListedLeft = 10;

// The warning of a folder delete that left entries: the code's message, then a line
// "PATH: why" for each of the first kListedLeft entries and how many more there are.
std::string LeftBehindText(const std::string& message, const std::vector<LeftEntry>& left) {
    std::string text = message;
    for (std::size_t i = 0; i < left.size() && i < kListedLeft; ++i) {
        text += "\n" + left[i].path +
                (left[i].reason == LeftEntry::kNotRead ? ": could not be read"
                                                       : ": could not be removed");
    }
    if (left.size() > kListedLeft) {
        text += "\n... and " + std::to_string(left.size() - kListedLeft) + " more";
    }
    return text;
}

}  // namespace

TFileCommands::TFileCommands(TFileViewer& viewer, TTagViewer& tags, TErrorLog& errors,
                             ProcessView& process, Prompter& prompter, TBatchHistory* history)
    : viewer_(viewer),
      tags_(tags),
      errors_(errors),
      process_(process),
      prompter_(prompter),
      history_(history) {}

bool TFileCommands::ConfirmDelete(const char* caption, const std::string& text) {
    return !viewer_.AskBeforeDeleting() || prompter_.Question(caption, text);
}

int TFileCommands::CopyMoveSelected(bool keep_source, const CopyMoveSettings& settings) {
    viewer_.SetOverwriteWithoutAsking(settings.overwrite_without_asking);
    viewer_.SetAskBeforeOverwriting(settings.ask_before_overwriting);
    const std::vector<int> rows = tags_.SelectedRows();
    int result = 0;
    if (!rows.empty()) {
        const std::string destination = viewer_.Browser().CurrentPath();
        std::vector<TTagFile*> entries;
        std::vector<std::string> sources;
        for (int row : rows) {
            TTagFile* entry = tags_.EntryAt(row);
            entries.push_back(entry);
            sources.push_back(entry ? entry->GetPath() : std::string());
        }
        // A move makes a new file of each one it moves: the undo history follows them.
        std::vector<std::optional<paths::FileIdentity>> moving(sources.size());
        for (std::size_t i = 0; !keep_source && i < sources.size(); ++i)
            moving[i] = paths::IdentityOf(sources[i]);
        std::vector<int> results;
        TProcessRun run(viewer_, errors_, process_);
        process_.ShowModal(
            [&] { return result = run.RunCopyMove(sources, keep_source, &results); });
        if (!keep_source) FollowMoves(entries, moving, results, destination);
    }
    viewer_.Browser().Refresh();
    return result;
}

void TFileCommands::FollowMoves(const std::vector<TTagFile*>& entries,
                                const std::vector<std::optional<paths::FileIdentity>>& moving,
                                const std::vector<int>& results, const std::string& destination) {
    std::vector<FileRewrite> moved;
    std::unordered_set<const TTagFile*> followed;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i] != kDone || entries[i] == nullptr) continue;
        entries[i]->SetPath(paths::Join(destination, entries[i]->GetFileName()));
        followed.insert(entries[i]);
        const std::optional<paths::FileIdentity> now = paths::IdentityOf(entries[i]->GetPath());
        if (moving[i] && now) moved.push_back({*moving[i], *now});
    }
    // With a filter on the Directory column, a moved row may no longer belong in the table.
    if (!followed.empty()) tags_.FollowEntries(followed);
    if (history_) history_->Follow(moved);
}

int TFileCommands::DeleteSelectedFiles() {
    std::vector<std::string> paths;
    viewer_.Browser().GetSelectedFiles(&paths);
    if (!paths.empty() && !ConfirmDelete(kDeleteFilesCaption, DeleteFilesQuestion(paths))) {
        return 0;
    }
    std::vector<int> results;
    int result = 0;
    TProcessRun run(viewer_, errors_, process_);
    if (paths.empty()) {
        process_.ShowModal({});
    } else {
        process_.ShowModal([&] { return result = run.RunDelete(paths, &results); });
    }
    std::vector<std::string> deleted;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i] == kDone) deleted.push_back(paths[i]);
    }
    if (!deleted.empty()) tags_.RemovePaths(deleted);
    viewer_.Browser().Refresh();
    return result;
}

int TFileCommands::DeleteSelectedDirectory(const DirectoryDeleteSettings& settings) {
    viewer_.SetIncludeHidden(settings.include_hidden);
    viewer_.SetRecurse(settings.recurse);
    viewer_.SetKeepDirectories(settings.keep_directories);
    TDirectoryBrowser& browser = viewer_.Browser();
    const std::optional<std::string> name = browser.GetSelectedDirName();
    if (!name || *name == TDirectoryBrowser::kParentEntry) return 0;
    const std::string path = paths::Join(browser.CurrentPath(), *name);
    if (!ConfirmDelete(kDeleteDirectoryCaption,
                       DeleteDirectoryQuestion(path, viewer_.KeepDirectories()))) {
        return 0;
    }
    const std::string mask = settings.only_filtered && browser.Filter()
                                 ? browser.Filter()->CurrentMask()
                                 : std::string("*.*");
    const int result = viewer_.DeleteDirectoryTree(path, mask);
    DropEntriesGoneUnder(path);
    if (result == kDone) return 1;
    if (result == kDirectoryNotEmptied) {
        errors_.ReportText(LeftBehindText(errors_.MessageText(result), viewer_.LeftBehind()));
    } else {
        errors_.Report(result);
    }
    return 0;
}

int TFileCommands::CreateDirectory() {
    const std::optional<std::string> name =
        prompter_.Query(kCreateCaption, kDirectoryNamePrompt, "");
    if (!name || name->empty()) return 0;
    const int result = viewer_.MakeDirectory(*name);
    errors_.Report(result);
    return result;
}

int TFileCommands::RenameDirectory() {
    const std::string old_name = viewer_.Browser().GetSelectedDirName().value_or("");
    const std::string new_name =
        prompter_.Query(kRenameCaption, kDirectoryNamePrompt, old_name).value_or(old_name);
    if (new_name == old_name) return 0;
    return RenameDirectoryTo(new_name);
}

int TFileCommands::RenameDirectoryTo(const std::string& new_name) {
    if (new_name.empty()) return 0;
    TDirectoryBrowser& browser = viewer_.Browser();
    const std::optional<std::string> old_name = browser.GetSelectedDirName();
    const std::string folder = browser.CurrentPath();
    const int result = viewer_.RenameDirectory(new_name);
    if (result == kDone && old_name) {
        const std::string from = paths::Join(folder, *old_name);
        const std::string to = paths::Join(folder, new_name);
        FollowFolder(from, to);
        if (history_) {
            auto batch = std::make_unique<RenameBatch>(RenameBatch::Kind::kFolder);
            batch->Add(0, from, to);
            history_->Record(std::move(batch));
        }
    }
    errors_.Report(result);
    return result;
}

void TFileCommands::DropEntriesGoneUnder(const std::string& folder) {
    TTagList* list = tags_.List();
    if (list == nullptr) return;
    const std::string prefix = paths::Join(folder, "");
    std::vector<std::string> gone;
    for (int i = 0; i < list->Count(); ++i) {
        const std::string& path = list->Get(i)->GetPath();
        if (path.compare(0, prefix.size(), prefix) == 0 && !paths::IdentityOf(path))
            gone.push_back(path);
    }
    if (!gone.empty()) tags_.RemovePaths(gone);
}

void TFileCommands::FollowFolder(const std::string& from, const std::string& to) {
    TTagList* list = tags_.List();
    if (list == nullptr) return;
    const std::vector<TTagFile*> moved = list->FollowFolder(from, to);
    if (!moved.empty()) tags_.FollowEntries({moved.begin(), moved.end()});
}

}  // namespace ambrel
