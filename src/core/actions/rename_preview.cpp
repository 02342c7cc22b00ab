#include "actions/rename_preview.h"

#include <optional>

#include "actions/tag_processor.h"
#include "actions/templates.h"
#include "platform/paths.h"
#include "tag/tag_file.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

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
                 const std::string& target, RenameRehearsal& rehearsal,
                 const std::unordered_map<std::string, int>& selected_paths) {
    const PreviewVerdict verdict = rehearsal.Rename(source, target);
    if (verdict == PreviewVerdict::kApplies) return;
    const auto holder = selected_paths.find(target);
    if (verdict == PreviewVerdict::kNameExists && holder != selected_paths.end() &&
        holder->second > place) {
        return Keep(row, verdict,
                    VerdictText(verdict) +
                        " (a selected file that is renamed later in the run still has it)");
    }
    Keep(row, verdict);
}

}  // namespace

bool RenameRehearsal::Exists(const std::string& path) const {
    const auto played = exists_.find(path);
    return played != exists_.end() ? played->second : paths::PathExists(path);
}

PreviewVerdict RenameRehearsal::Rename(const std::string& source, const std::string& target) {
    if (!Exists(source)) return PreviewVerdict::kFileGone;
    const bool free =
        !Exists(target) || (!Played(source) && !Played(target) && paths::SameFile(source, target));
    if (!free) {
        return taken_.count(target) != 0 ? PreviewVerdict::kSameNameInBatch
                                         : PreviewVerdict::kNameExists;
    }
    exists_[source] = false;
    exists_[target] = true;
    taken_.insert(target);
    return PreviewVerdict::kApplies;
}

std::vector<FileRenamePreviewRow> PlanFileRename(const TTagViewer& tags,
                                                 const TTagProcessor& processor) {
    const std::vector<int> rows = tags.SelectedRows();
    // The files the selection holds now, by path, with the place of their row in the run.
    std::unordered_map<std::string, int> selected_paths;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (const TTagFile* entry = tags.EntryAt(rows[i]))
            selected_paths.emplace(entry->GetPath(), static_cast<int>(i));
    }
    RenameRehearsal rehearsal;
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
        JudgeTarget(line, static_cast<int>(place), source, target, rehearsal, selected_paths);
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
