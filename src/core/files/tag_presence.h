#pragma once

#include <fcntl.h>

#include <optional>
#include <string>

#include "platform/file_io.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"

namespace ambrel {

// The file viewer's tag test: only a path whose extension begins with ".mp3" (any letter
// case) is opened, and it counts as tagged when its last 128 bytes begin with "TAG".
// The bytes read are kept in tail (absent when the file cannot be read or is shorter than
// 128 bytes), so that a load can take them over without reading the file again. With head,
// the file's ID3v2 header is read in the same open and what it holds kept there.
inline int ReadTagPresence(const std::string& path, std::optional<TagBlock>* tail,
                           Id3v2Head* head = nullptr) {
    tail->reset();
    TagBlock block;
    file_io::FileHead first;
    const bool read = file_io::ReadLastBlock(path, &block, head ? &first : nullptr);
    if (head) *head = Id3v2Head::Of(first.bytes, first.file_size);
    if (!read) return 0;
    *tail = block;
    return BeginsWithTag(block) ? 1 : 0;
}

// The tag status of the entry name of the open directory directory_fd (AT_FDCWD: a path):
// for a ".mp3" name, whether its last 128 bytes begin with "TAG"; 0 without opening anything
// for every other name.
inline int TagPresenceAt(int directory_fd, const std::string& name) {
    if (!TTagList::IsMp3Path(name)) return 0;
    TagBlock block;
    return file_io::ReadLastBlockAt(directory_fd, name, &block) && BeginsWithTag(block) ? 1 : 0;
}

// The tag status of a path, as TagPresenceAt gives it.
inline int TagPresence(const std::string& path) { return TagPresenceAt(AT_FDCWD, path); }

}  // namespace ambrel
