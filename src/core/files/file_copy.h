#pragma once

#include <cstddef>
#include <functional>
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
    // Flushes a file or a directory to the disk, 0 on success: fsync when none. Only a
    // benchmark turns the flushes off, to weigh them; tests watch or fail them here.
    std::function<int(int fd)> flush;
};

// Copies the file at source into directory under its own file name; a move (keep_source
// false) then deletes the source. Result codes of files/result_codes.h:
//   1 done; 50 no file at source, or a move's source deleted by another program while it was
//   copied (the complete copy is kept); 55 the destination is the source itself, however
//   spelt (device and inode compared); 51 the destination exists and is not to be replaced
//   (the settings, or No to the question); 52 the source cannot be read; 53 the destination
//   cannot be written (a directory of that name, a full disk, a read-only folder, a file
//   size limit, a failed flush); 54 an existing destination could not be replaced; 59 the
//   source changed while it was copied (below); 0 a move whose copy is complete but whose
//   source could not be deleted.
// The copy is written under a temporary name beside the destination and renamed onto it
// only once it is complete, flushed and closed, so a failed copy leaves no partial file and
// an old destination stays whole. The source stays open throughout, and the copy counts as
// complete only when the open file still has the length and modification time it had when
// opened and every byte of that length was copied; a source written to, cut short or
// lengthened meanwhile gives 59 and no copy (an old destination stays), and keeps the source. A
// move deletes its source only after its copy is in place and on the disk (the file and then its
// folder flushed; a failed folder flush gives 0, both files kept), and only while the path still
// names the file that was copied, with the same device, inode, length and modification
// time: a source saved anew meanwhile (a new file renamed over it) gives 59 with both files
// kept, the complete copy of the old version and the new file at the source. The moved
// copy keeps the source's modification time, permission bits and, where allowed, owner; a
// copy is a new file. Symbolic links are followed at the source, where a move removes the
// link alone; a link at the destination is replaced, never written through.
int CopyOrMoveInto(const std::string& source, const std::string& directory, bool keep_source,
                   const CopyOptions& options);

// Copies the bytes of in_fd from its offset to end of file onto out_fd, kCopyBlockSize bytes
// a step; a short step is not taken for the end, only a step that finds no byte is. The
// progress bar gets the whole KiB copied after each step, and copied (when given) the bytes
// written so far. 1; 52 when reading fails, 53 when writing fails.
int CopyStream(int in_fd, int out_fd, ProgressBar* progress, long long* copied = nullptr);

}  // namespace ambrel
