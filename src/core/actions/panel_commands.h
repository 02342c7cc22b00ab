#pragma once

#include <optional>
#include <string>
#include <vector>

#include "actions/rename_preview.h"
#include "actions/templates.h"

namespace ambrel {

struct FieldFill;
class TBatchHistory;
class TTagProcessor;
class TTagViewer;

// What one rename page's boxes hold when its button is pressed.
struct RenamePageState {
    SeparatorChoice separators;
    int case_mode = 0;
    // The mask of the chosen template (BuildMask); none for the letter-case-only variant.
    std::optional<std::string> mask;
};

// The bodies of the action panel's three run buttons, so that its window only reads its
// boxes, calls one of these and shows the row it returns in the tag detail panel. Each
// works on the table's selected rows in display order and redraws every row it went through.

// "Rename selected files": stores the page's options in the processor (a digit count of 0
// is refused, so the count set before stays), then renames each selected row's file from
// its tag; one warning at the end names the files that kept their names. Returns the
// current row (the first selected one), or -1 when no row is selected or the run was
// refused (a user mask that is too long: the processor warns).
int RunFileRename(TTagViewer& tags, TTagProcessor& processor, const RenamePageState& page,
                  int track_digits);

// "Rename selected tags": stores the page's options, then fills each selected row's tag
// from its file name (an untagged file is given a tag to append). Returns the current row,
// or -1 as above.
int RunTagRename(TTagViewer& tags, TTagProcessor& processor, const RenamePageState& page);

// The plans of the two rename buttons with the page's boxes as they stand: what RunFileRename
// and RunTagRename would do with the same arguments, worked out on a processor of their own,
// so nothing changes on disk, in the entries or in the processor's options.
std::vector<FileRenamePreviewRow> PreviewFileRename(const TTagViewer& tags,
                                                    const TTagProcessor& processor,
                                                    const RenamePageState& page, int track_digits);
std::vector<TagRenamePreviewRow> PreviewTagRename(const TTagViewer& tags,
                                                  const TTagProcessor& processor,
                                                  const RenamePageState& page);

// "Write data to mp3 tag(s)": writes the fill into each selected row's tag; with
// number_by_directory the tracks are numbered 1, 2, 3... in display order, from 1 again in
// each directory, in place of the Track box's value. Returns the first selected row, -1
// when none is. A Track text that is no whole number throws ConversionError at the first
// row that would take it: the rows before it keep their changes, the rest is not done.
// The tags it changed go into the history (when given) as one batch, also when it stops.
int WriteFieldsToRows(TTagViewer& tags, const FieldFill& fill, bool number_by_directory,
                      TBatchHistory* history = nullptr);

}  // namespace ambrel
