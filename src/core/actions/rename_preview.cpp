#include "actions/rename_preview.h"

#include <optional>
#include <unordered_map>

#include "actions/tag_processor.h"
#include "actions/templates.h"
#include "platform/paths.h"
#include "tag/tag_file.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

// The file system as the run would find it when a row's turn comes: the disk, with the
// renames of the rows before played over it.
class PlayedNames {
public:
    bool Exists(const std::string& path) const {
        const auto played = exists_.find(path);
        return played != exists_.end() ? played->second : paths::PathExists(path);
    }
    bool Played(const std::string& path) const { return exists_.count(path) != 0; }
    // The row that took the path in this run, -1 for none.
    int TakenBy(const std::string& path) const {
        const auto taker = taken_by_.find(path);
        return taker == taken_by_.end() ? -1 : taker->second;
    }
    void Rename(const std::string& from, const std::string& to, int row) {
        exists_[from] = false;
        exists_[to] = true;
        taken_by_[to] = row;
    }

private:
    std::unordered_map<std::string, bool> exists_;
    std::unordered_map<std::string, int> taken_by_;
};

// The path the entry's rename gives its file, as TFileItem::Rename builds it.
std::string TargetPath(const std::string& path, const std::string& new_name) {
    const std::string directory = paths::DirectoryOf(path);
    return directory.empty() ? new_name : paths::Join(directory, new_name);
}

void Keep(FileRenamePreviewRow& row, PreviewVerdict verdict, std::string reason = {}) {
    row.verdict = verdict;
    row.reason = reason.empty() ? VerdictText(verdict) : std::move(reason);
}

// The verdict of a name that may be tried: free, or taken on disk or by the run.
// place is the row's place in the run; selected_paths gives the place of each selected file.
void JudgeTarget(FileRenamePreviewRow& row, int place, const std::string& source,
                 const std::string& target, const PlayedNames& names,
                 const std::unordered_map<std::string, int>& selected_paths) {
    if (!names.Exists(source)) return Keep(row, PreviewVerdict::kFileGone);
    if (!names.Exists(target)) return;
    // Another spelling of the file itself (a case-insensitive volume) may be taken.
    if (!names.Played(source) && !names.Played(target) && paths::SameFile(source, target)) return;
    if (names.TakenBy(target) >= 0) return Keep(row, PreviewVerdict::kSameNameInBatch);
    const auto holder = selected_paths.find(target);
    if (holder != selected_paths.end() && holder->second > place) {
        return Keep(row, PreviewVerdict::kNameExists,
                    VerdictText(PreviewVerdict::kNameExists) +
                        " (a selected file that is renamed later in the run still has it)");
    }
    Keep(row, PreviewVerdict::kNameExists);
}

}  // namespace

std::vector<FileRenamePreviewRow> PlanFileRename(const TTagViewer& tags,
                                                 const TTagProcessor& processor) {
    const std::vector<int> rows = tags.SelectedRows();
    // The files the selection holds now, by path, with the place of their row in the run.
    std::unordered_map<std::string, int> selected_paths;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (const TTagFile* entry = tags.EntryAt(rows[i]))
            selected_paths.emplace(entry->GetPath(), static_cast<int>(i));
    }
    PlayedNames names;
    std::vector<FileRenamePreviewRow> plan;
    plan.reserve(rows.size());
    for (std::size_t place = 0; place < rows.size(); ++place) {
        const int row = rows[place];
        const TTagFile* entry = tags.EntryAt(row);
        if (entry == nullptr) continue;
        FileRenamePreviewRow& line = plan.emplace_back();
        line.row = row;
        line.old_name = entry->GetFileName();
        line.verdict = PreviewVerdict::kApplies;
        if (processor.MaskRefused()) {
            Keep(line, PreviewVerdict::kMaskRefused);
            continue;
        }
        const std::optional<TTagProcessor::RenamePlan> plan =
            processor.PlanRename(tags.ListPositionAt(row));
        if (!plan) {
            Keep(line, PreviewVerdict::kNoTag);
            continue;
        }
        line.new_name = plan->new_name;
        if (line.new_name == line.old_name) {
            Keep(line, PreviewVerdict::kNoChange);
            continue;
        }
        if (plan->refused) {
            Keep(line, PreviewVerdict::kNameNotAllowed,
                 SkipReasonText({entry->GetPath(), line.new_name, *plan->refused, 0}));
            continue;
        }
        const std::string& source = entry->GetPath();
        const std::string target = TargetPath(source, line.new_name);
        JudgeTarget(line, static_cast<int>(place), source, target, names, selected_paths);
        if (line.verdict == PreviewVerdict::kApplies) names.Rename(source, target, row);
    }
    return plan;
}

std::vector<TagRenamePreviewRow> PlanTagRename(const TTagViewer& tags,
                                               const TTagProcessor& processor) {
    std::vector<TagRenamePreviewRow> plan;
    for (const int row : tags.SelectedRows()) {
        const TTagFile* entry = tags.EntryAt(row);
        if (entry == nullptr) continue;
        TagRenamePreviewRow& line = plan.emplace_back();
        line.row = row;
        line.file_name = entry->GetFileName();
        line.verdict = PreviewVerdict::kApplies;
        const std::optional<TTagFile> after = processor.TagAfterFill(tags.ListPositionAt(row));
        const TTagFile& shown = after ? *after : *entry;
        line.artist = shown.GetArtist();
        line.title = shown.GetTitle();
        line.album = shown.GetAlbum();
        line.year = shown.GetYear();
        line.track = shown.GetTrack();
        if (processor.MaskRefused()) {
            line.verdict = PreviewVerdict::kMaskRefused;
        } else if (!after) {
            line.verdict = PreviewVerdict::kNoTag;
        } else if (after->Block() == entry->Block() && after->GetState() == entry->GetState()) {
            line.verdict = PreviewVerdict::kNoChange;
        }
        line.reason = VerdictText(line.verdict);
    }
    return plan;
}

std::string VerdictText(PreviewVerdict verdict) {
    switch (verdict) {
        case PreviewVerdict::kApplies:
            return {};
        case PreviewVerdict::kNoTag:
            return "no tag";
        case PreviewVerdict::kNameExists:
            return "a file of that name exists";
        case PreviewVerdict::kSameNameInBatch:
            return "two files would get the same name";
        case PreviewVerdict::kNameNotAllowed:
            return "the name is not allowed";
        case PreviewVerdict::kNoChange:
            return "no change";
        case PreviewVerdict::kFileGone:
            return "the file is gone";
        case PreviewVerdict::kMaskRefused:
            return "the user mask is longer than " + std::to_string(kMaxMaskLength) + " characters";
    }
    return {};
}

}  // namespace ambrel
