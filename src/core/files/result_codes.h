#pragma once

// Result codes of the file viewer's operations and of the tag commands. The error log turns
// every code but kDone into a message from error.cfg, found by the code written as three digits.
namespace ambrel {

// A moved file was copied, but deleting its source failed.
inline constexpr int kMoveSourceNotDeleted = 0;
inline constexpr int kDone = 1;
// An argument is missing or empty, the browser is not ready, or the parent entry " .."
// was to be renamed.
inline constexpr int kInvalidArgument = 10;
inline constexpr int kSourceMissing = 50;
// The destination file exists and was not overwritten.
inline constexpr int kDestinationExists = 51;
// A copy failed because its source could not be read; nothing was changed.
inline constexpr int kSourceUnreadable = 52;
// A copy failed because its destination could not be written; the source is kept.
inline constexpr int kDestinationUnwritable = 53;
inline constexpr int kDeleteFailed = 54;
// Source and destination name the same file (two spellings of one path included).
inline constexpr int kSamePath = 55;
inline constexpr int kDirectoryRenameFailed = 56;
inline constexpr int kDirectoryCreateFailed = 57;
// A search skipped entries whose paths are longer than the system lets a call name; the
// rest was searched.
inline constexpr int kPathsTooLong = 58;
// A copy or move found its source changed, cut short or replaced by another program while
// it was copied: the source is kept as it is now, and the copy was put in place only when it
// was complete (the old version of a source replaced under its name).
inline constexpr int kSourceChanged = 59;
// The directory cannot be enumerated, nothing is selected, or the path is the root already.
inline constexpr int kCannotEnumerate = 60;
// A directory delete left entries behind: a subdirectory that could not be read, or an entry
// that could not be removed.
inline constexpr int kDirectoryNotEmptied = 61;
inline constexpr int kSameDirectoryName = 65;
// The drive (mounted volume) cannot be opened.
inline constexpr int kCannotOpenDrive = 70;

// Codes of the tag commands run on files named from outside the windows (the command line).
// The path is not a file the tag list takes: a directory, or a name whose extension does not
// begin with ".mp3".
inline constexpr int kNotMp3File = 80;
// The file has no ID3v1 tag to change or rename from.
inline constexpr int kNoTag = 81;
// The tag could not be written; the file keeps its old tag.
inline constexpr int kTagNotWritten = 82;
// The path names a FIFO, a device or a socket: it is never opened for writing.
inline constexpr int kNotRegularFile = 83;

}  // namespace ambrel
