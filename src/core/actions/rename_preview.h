#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ambrel {

class TTagProcessor;
class TTagViewer;

// What a run would do with one selected row: change it, or keep it for a reason.
enum class PreviewVerdict {
    kApplies,
    kNoTag,            // the file has no tag (and the step needs one)
    kNameExists,       // a file of the new name is in the directory when the row's turn comes
    kSameNameInBatch,  // an earlier row of the same run takes that name first
    kNameNotAllowed,   // empty, too long, or not a plain file name
    kNoChange,         // the new name, or the new tag, is what the file has now
    kFileGone,         // the file is no longer where its entry says
    kMaskRefused,      // the user mask is too long: the run would not start
};

// The file system as a rename run finds it at each of its steps: the disk, with the renames
// the run made before played over it, so a name an earlier step gave up is free and a name
// it took is not. The preview and the command line's dry run ask it step by step.
class RenameRehearsal {
public:
    // Whether renaming source to target goes at this step (kApplies, and the rename is then
    // played), or why not: kFileGone, kSameNameInBatch (an earlier step took the name) or
    // kNameExists. Another spelling of the file itself (a case-insensitive volume) is no
    // other file.
    PreviewVerdict Rename(const std::string& source, const std::string& target);

private:
    bool Exists(const std::string& path) const;
    bool Played(const std::string& path) const { return exists_.count(path) != 0; }

    std::unordered_map<std::string, bool> exists_;
    std::unordered_set<std::string> taken_;
};

// One row of a file rename preview.
struct FileRenamePreviewRow {
    int row;               // the table row
    std::string old_name;  // the file name it has
    std::string new_name;  // the name it is to get; empty when none is built
    PreviewVerdict verdict;
    std::string reason;  // why it is kept; empty for kApplies
};

// One row of a tag rename preview: the fields the tag would hold after the run.
struct TagRenamePreviewRow {
    int row;
    std::string file_name;
    std::string artist, title, album, year;
    int track = 0;
    PreviewVerdict verdict;
    std::string reason;
};

// The plan of "Rename selected files" with the processor's options as they stand, one row
// per selected row in display order, without a change on disk or in memory. The run's
// renames are played through in its order, so a name that an earlier row gives up is free
// for a later one and a name an earlier row takes is not.
std::vector<FileRenamePreviewRow> PlanFileRename(const TTagViewer& tags,
                                                 const TTagProcessor& processor);
// The plan of "Rename selected tags" likewise: each row's tag as TagFromName leaves it.
std::vector<TagRenamePreviewRow> PlanTagRename(const TTagViewer& tags,
                                               const TTagProcessor& processor);

// The text of a verdict for the preview's reason column; empty for kApplies.
std::string VerdictText(PreviewVerdict verdict);

}  // namespace ambrel
