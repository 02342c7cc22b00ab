#include "files/directory_operations.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "files/directory_browser.h"
#include "files/result_codes.h"
#include "platform/paths.h"

namespace ambrel {

int MakeDirectoryBelow(TDirectoryBrowser& browser, const std::string& name) {
    if (name.empty() || !browser.IsReady()) return kInvalidArgument;
    const std::string full = paths::Join(browser.CurrentPath(), name);
    std::error_code error;
    // False without an error when the directory is there already: it was not created, and
    // a second row for it would name nothing new.
    if (!std::filesystem::create_directories(full, error) || error) return kDirectoryCreateFailed;
    browser.AddDirectoryRow(name);
    return kDone;
}

int RenameSelectedDirectory(TDirectoryBrowser& browser, const std::string& new_name) {
    if (!browser.IsReady() || !paths::IsPlainFileName(new_name)) return kInvalidArgument;
    const std::optional<std::string> selected = browser.GetSelectedDirName();
    if (selected == TDirectoryBrowser::kParentEntry) return kInvalidArgument;
    const std::string old_path = selected ? paths::Join(browser.CurrentPath(), *selected) : "";
    const std::string target = paths::Join(browser.CurrentPath(), new_name);
    if (old_path == target) return kSameDirectoryName;
    if (old_path.empty() || paths::RenameNoReplace(old_path, target) != 0) {
        return kDirectoryRenameFailed;
    }
    browser.RenameDirectoryRow(new_name);
    return kDone;
}

}  // namespace ambrel
