#include "tag/id3v2_inflate_guard.h"

#include <zlib.h>

#include <string>

namespace ambrel::id3v2 {

namespace {

// The bytes one stream inflates to, counted until it ends, fails or passes limit.
std::size_t InflatedSize(std::string_view data, std::size_t limit) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return 0;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    unsigned char out[16384];
    std::size_t total = 0;
    for (;;) {
        stream.next_out = out;
        stream.avail_out = sizeof out;
        const int result = inflate(&stream, Z_NO_FLUSH);
        total += sizeof out - stream.avail_out;
        if (result != Z_OK || total > limit) break;
    }
    inflateEnd(&stream);
    return total;
}

// A zlib header: deflate with a window of at most 32 KB, a check that holds, no preset
// dictionary (which nothing in a tag could supply).
bool StreamStartsAt(std::string_view data, std::size_t i) {
    const auto cmf = static_cast<unsigned char>(data[i]);
    const auto flg = static_cast<unsigned char>(data[i + 1]);
    return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0 &&
           (flg & 0x20) == 0;
}

bool StreamsInflatePast(std::string_view data, std::size_t limit) {
    std::size_t total = 0;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (!StreamStartsAt(data, i)) continue;
        total += InflatedSize(data.substr(i), limit - total);
        if (total > limit) return true;
    }
    return false;
}

// Unsynchronisation puts a zero after 0xFF wherever the next byte could be mistaken for
// audio; the reader takes it out again.
std::string Resynchronised(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += data[i];
        if (static_cast<unsigned char>(data[i]) == 0xFF && i + 1 < data.size() && data[i + 1] == 0)
            ++i;
    }
    return out;
}

}  // namespace

bool InflatesPast(std::string_view tag, std::size_t limit) {
    if (StreamsInflatePast(tag, limit)) return true;
    if (tag.find(std::string_view("\xFF\x00", 2)) == std::string_view::npos) return false;
    return StreamsInflatePast(Resynchronised(tag), limit);
}

}  // namespace ambrel::id3v2
