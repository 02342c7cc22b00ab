#include "actions/rename_skips.h"

#include <cerrno>
#include <cstring>

namespace ambrel {

const char kSkipWarningCaption[] = "Files not renamed";

SkipReason SkipReasonForError(int error) {
    switch (error) {
        case EEXIST:
        case ENOTEMPTY:
            return SkipReason::kNameExists;
        case ENOENT:
            return SkipReason::kFileGone;
        case ENAMETOOLONG:
            return SkipReason::kNameTooLong;
        default:
            return SkipReason::kRenameFailed;
    }
}

std::string SkipReasonText(const RenameSkip& skip) {
    switch (skip.reason) {
        case SkipReason::kNameExists:
            return "a file of that name exists";
        case SkipReason::kNameEmpty:
            return "the name is not allowed: it is empty";
        case SkipReason::kNameTooLong:
            return "the name is not allowed: it is longer than 255 bytes";
        case SkipReason::kNameNotAllowed:
            return "the name is not allowed: it holds a \"/\" or a zero byte";
        case SkipReason::kFileGone:
            return "the file is gone";
        case SkipReason::kFileReplaced:
            return "another file has taken its place";
        case SkipReason::kFileChanged:
            return "the file has changed since";
        case SkipReason::kRenameFailed:
            return std::string("the rename failed: ") + std::strerror(skip.error);
    }
    return {};
}

std::string SkipWarningText(const std::vector<RenameSkip>& skips) {
    std::string text = skips.size() == 1
                           ? "1 file kept its name:"
                           : std::to_string(skips.size()) + " files kept their names:";
    for (const RenameSkip& skip : skips) {
        text += '\n';
        text += skip.path + " -> \"" + skip.new_name + "\": " + SkipReasonText(skip);
    }
    return text;
}

}  // namespace ambrel
