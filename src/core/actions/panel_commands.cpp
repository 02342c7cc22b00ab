#include "actions/panel_commands.h"

#include <memory>
#include <optional>
#include <vector>

#include "actions/field_fill.h"
#include "actions/tag_processor.h"
#include "history/tag_change_batch.h"
#include "tag/tag_file.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

void StoreOptions(TTagProcessor& processor, const RenamePageState& page) {
    processor.SetInWordSeparator(page.separators.InWordChar());
    processor.SetCaseMode(page.case_mode);
    processor.SetMask(page.mask);
}

// A processor of its own with the options a run of the page would store in the given one.
std::unique_ptr<TTagProcessor> PreviewProcessor(const TTagProcessor& processor,
                                                const RenamePageState& page) {
    auto copy = std::make_unique<TTagProcessor>(processor.TagList());
    copy->SetTrackDigits(processor.TrackDigits());
    StoreOptions(*copy, page);
    return copy;
}

// Runs the per-file step on the entry of each selected row, redrawing the row after it,
// inside one run of the processor. The current row, -1 when there is none or the run
// was refused.
template <typename Step>
int RunOverSelection(TTagViewer& tags, TTagProcessor& processor, Step step) {
    const std::vector<int> rows = tags.SelectedRows();
    if (rows.empty() || processor.BeginRun() == 0) return -1;
    for (const int row : rows) {
        const int position = tags.ListPositionAt(row);
        if (position < 0) continue;
        (processor.*step)(position);
        tags.UpdateRow(row);
    }
    processor.EndRun();
    tags.UpdateRow(rows.front());
    return rows.front();
}

}  // namespace

int RunFileRename(TTagViewer& tags, TTagProcessor& processor, const RenamePageState& page,
                  int track_digits) {
    StoreOptions(processor, page);
    processor.SetTrackDigits(track_digits);
    return RunOverSelection(tags, processor, &TTagProcessor::RenameFromTag);
}

int RunTagRename(TTagViewer& tags, TTagProcessor& processor, const RenamePageState& page) {
    StoreOptions(processor, page);
    return RunOverSelection(tags, processor, &TTagProcessor::TagFromName);
}

std::vector<FileRenamePreviewRow> PreviewFileRename(const TTagViewer& tags,
                                                    const TTagProcessor& processor,
                                                    const RenamePageState& page, int track_digits) {
    const std::unique_ptr<TTagProcessor> copy = PreviewProcessor(processor, page);
    copy->SetTrackDigits(track_digits);
    return PlanFileRename(tags, *copy);
}

std::vector<TagRenamePreviewRow> PreviewTagRename(const TTagViewer& tags,
                                                  const TTagProcessor& processor,
                                                  const RenamePageState& page) {
    return PlanTagRename(tags, *PreviewProcessor(processor, page));
}

int WriteFieldsToRows(TTagViewer& tags, const FieldFill& fill, bool number_by_directory,
                      TBatchHistory* history) {
    const std::vector<int> rows = tags.SelectedRows();
    if (rows.empty()) return -1;
    TagChangeRecorder record(history, "tag fill");
    std::vector<const TTagBase*> entries;
    for (const int row : rows) entries.push_back(tags.EntryAt(row));
    std::vector<std::optional<int>> numbers(rows.size());
    FieldFill values = fill;
    if (number_by_directory) {
        numbers = TrackNumbersByDirectory(entries);
        // The numbers stand in for the Track box, which is then not read at all.
        values.track.reset();
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        TTagFile* entry = tags.EntryAt(rows[i]);
        if (entry == nullptr) continue;
        record.Note(*entry);
        WriteFieldsToTag(*entry, values, numbers[i]);
        tags.UpdateRow(rows[i]);
    }
    return rows.front();
}

}  // namespace ambrel
