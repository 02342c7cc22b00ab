#pragma once

#include <cstddef>
#include <string_view>

namespace ambrel::id3v2 {

// Whether the zlib streams within an ID3v2 tag would inflate to more than limit bytes in all.
// A compressed frame of a few kilobytes can claim gigabytes, which TagLib would inflate in
// memory whatever its frame says; this looks at every place a stream could start, before and
// after undoing unsynchronisation, so that no way of finding frames can miss one.
bool InflatesPast(std::string_view tag, std::size_t limit);

}  // namespace ambrel::id3v2
