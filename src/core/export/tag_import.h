#pragma once

#include <string>
#include <vector>

#include "actions/id3v2_copy.h"
#include "export/record_reader.h"

namespace ambrel {

class TTagFile;
class TTagViewer;

// What importing one record of a table does: the entry of the file its Path names and the
// fields that change, or why nothing of it is imported.
struct ImportRow {
    int line = 0;  // the line of the table the record begins on
    std::string path;
    TTagFile* entry = nullptr;  // none when the file is not loaded
    // Each field whose cell differs from what the entry shows: old_text as the table shows
    // it, new_text as it will show it (cut to the field's width when `cut`), and for the
    // track and genre the new byte in new_number.
    std::vector<FieldChange> changes;
    // The entry has no tag, or one marked for removal: applying makes it present, a new tag
    // (the cleared block) being appended at the next save.
    bool makes_tag = false;
    // Why the record is left out ("the file is not loaded", "Track '300' is not a number
    // from 0 to 254"); empty when it is imported.
    std::string skipped;
};

// What importing a table would do. Only records that change something or are left out have
// a row; records that match their entries are counted.
struct ImportPlan {
    // Why the whole table is refused (a column the import does not know, no Path column);
    // nothing is imported then.
    std::string refused;
    std::vector<ImportRow> rows;
    int unchanged = 0;

    bool Changes() const;
};

// Plans the import of a table that the command line's list or the window's table export
// wrote, against the entries loaded in the viewer's list. A record goes to the entry of the
// file its Path names, byte for byte (the k-th record naming a file to the k-th entry of
// it). The tag columns are compared with the cells the viewer shows for the entry now, in
// the current code page and genre names, so a table exported and imported unedited changes
// nothing; the other columns the exports write (Index, Directory, Filename, Picture, Tag,
// ID3v2) are read-only and ignored. Captions are matched without regard to ASCII case.
// A genre is read by genres::NumberOf; a track must be 0..254 (empty for none) and a year
// up to four digits. The entries are not changed; the plan points at them, so the list must
// stay as it is until the plan is applied.
ImportPlan PlanImport(const RecordTable& table, TTagViewer& viewer);

// Applies each row's changes through its entry's setters, as an edit of the user's: the
// caller records them for undo beforehand. The number of entries changed.
int ApplyImport(const ImportPlan& plan);

}  // namespace ambrel
