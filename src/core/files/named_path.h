#pragma once

#include <string>

namespace ambrel {

// What a path named from outside the windows (the command line, a drop, a start path)
// stands for, told by one stat that follows symbolic links.
enum class NamedPath {
    kMissing,     // nothing is there
    kTooLong,     // longer than the system lets a call name
    kDirectory,   // a folder, searched by a load
    kNotMp3,      // a file whose extension does not begin with ".mp3"
    kNotRegular,  // a FIFO, a device or a socket named like an MP3 file: never opened
    kMp3File,     // a regular file the tag list takes
};

NamedPath ClassifyNamedPath(const std::string& path);

// The result code that reports a path of this kind as a failure: 50, 58, 80 or 83; 1 for a
// directory or an MP3 file.
int NamedPathCode(NamedPath kind);

}  // namespace ambrel
