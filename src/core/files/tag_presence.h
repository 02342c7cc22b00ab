#pragma once

#include <optional>
#include <string>

#include "platform/file_io.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"

namespace ambrel {

// The file viewer's tag test: only a path whose extension holds ".mp3" (lower case, as
// written) is opened, and it counts as tagged when its last 128 bytes begin with "TAG".
// The bytes read are kept in tail (absent when the file cannot be read or is shorter than
// 128 bytes), so that a load can take them over without reading the file again.
inline int ReadTagPresence(const std::string& path, std::optional<TagBlock>* tail) {
    tail->reset();
    TagBlock block;
    if (!file_io::ReadLastBlock(path, &block)) return 0;
    *tail = block;
    return BeginsWithTag(block) ? 1 : 0;
}

// The tag status of a path: ReadTagPresence for a ".mp3" path, 0 without opening anything
// for every other path.
inline int TagPresence(const std::string& path) {
    if (!TTagList::IsMp3Path(path)) return 0;
    std::optional<TagBlock> tail;
    return ReadTagPresence(path, &tail);
}

}  // namespace ambrel
