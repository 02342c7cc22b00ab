#pragma once

#include <string>

namespace ambrel {

class TDirectoryBrowser;

// Creates the directory name (which may hold several levels, "a/b") below the browser's
// current directory, with every missing level above it, and adds a row captioned with
// name. 1; 10 for an empty name or a browser that is not ready; 57 when the directory
// cannot be created or is there already (no row is added).
int MakeDirectoryBelow(TDirectoryBrowser& browser, const std::string& name);

// Renames the browser's selected directory to new_name, in the current directory, and
// sets the row's caption. Never replaces an existing file or directory.
// 1; 10 for a browser that is not ready, the parent entry selected, or a name that is
// empty, "." or ".." or holds a separator; 65 for the name the directory has; 56 when the
// rename fails (nothing selected, the name taken).
int RenameSelectedDirectory(TDirectoryBrowser& browser, const std::string& new_name);

}  // namespace ambrel
