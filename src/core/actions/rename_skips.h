#pragma once

#include <string>
#include <vector>

namespace ambrel {

// Why a file of a rename run kept its name.
enum class SkipReason {
    kNameExists,      // another file of the new name is in the directory
    kNameEmpty,       // the new name has nothing before its extension
    kNameTooLong,     // longer than a file name may be (255 bytes)
    kNameNotAllowed,  // holds a "/" (from a mask's literal text) or a zero byte
    kFileGone,        // the file is no longer where the entry says
    kFileReplaced,    // another file stands under the name the renamed one had
    kFileChanged,     // the file under that name has another size or time than it had
    kRenameFailed,    // the file system refused for another reason (error holds errno)
};

// One file of a run that kept its name.
struct RenameSkip {
    std::string path;      // the file's path, which it still has
    std::string new_name;  // the name it was to get
    SkipReason reason;
    int error = 0;  // the errno of a failed rename, 0 when the name was refused before
};

// The reason for a rename the file system refused with this errno.
SkipReason SkipReasonForError(int error);

// The caption and text of the one warning that ends a run which skipped files: one line
// per file with its path, the name it was to get and the reason.
extern const char kSkipWarningCaption[];
std::string SkipReasonText(const RenameSkip& skip);
std::string SkipWarningText(const std::vector<RenameSkip>& skips);

}  // namespace ambrel
