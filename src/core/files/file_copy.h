#pragma once

#include <cstddef>
#include <string>

namespace ambrel {

class ProgressBar;
class Prompter;

// The overwrite question asked before an existing destination file is replaced; the text is
// followed directly by the destination path.
inline constexpr char kOverwriteCaption[] = "Do you want to overwrite existing file ?";
inline constexpr char kOverwriteText[] = "Click YES if you want to overwrite existing file:";

// The copy streams through one buffer of this size.
inline constexpr std::size_t kCopyBlockSize = 65535;

// How a copy treats an existing destination file, and where it reports.
struct CopyOptions {
    bool overwrite_without_asking = false;
    // Without overwrite_without_asking: ask (true) or refuse at once with 51 (false).
    bool ask_before_overwriting = true;
    // Asks the overwrite question; without one the answer is No.
    Prompter* prompter = nullptr;
    // Follows the file in whole KiB copied, from 0; may be none.
    ProgressBar* progress = nullptr;
};

// Copies the file at source into directory under its own file name; a move (keep_source
// false) then deletes the source. Result codes of files/result_codes.h:
//   1 done; 50 no file at source; 55 the destination is the source itself, however spelt
//   (device and inode compared); 51 the destination exists and is not to be replaced (the
//   settings, or No to the question); 52 the source cannot be read; 53 the destination
//   cannot be written (a directory of that name, a full disk, a read-only folder, a file
//   size limit); 54 an existing destination could not be replaced; 0 a move whose copy is
//   complete but whose source could not be deleted.
// The copy is written under a temporary name beside the destination and renamed onto it
// only once it is complete, flushed and closed, so a failed copy leaves no partial file and
// an old destination stays whole. A move deletes its source only after that, and its copy
// keeps the source's modification time, permission bits and, where allowed, owner; a copy
// is a new file. Symbolic links are followed at the source; a link at the destination is
// replaced, never written through.
int CopyOrMoveInto(const std::string& source, const std::string& directory, bool keep_source,
                   const CopyOptions& options);

// Copies the bytes of in_fd from its offset to end of file onto out_fd, kCopyBlockSize bytes
// a step; a short step is not taken for the end, only a step that finds no byte is. The
// progress bar gets the whole KiB copied after each step. 1; 52 when reading fails, 53 when
// writing fails.
int CopyStream(int in_fd, int out_fd, ProgressBar* progress);

}  // namespace ambrel
