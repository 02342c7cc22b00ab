#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ambrel {

// The ID3v2 header: the first 10 bytes of a file that carries an ID3v2 tag. "ID3", the major
// version and the revision, a flags byte, then the tag's size after the header as four
// syncsafe bytes (7 bits each, the high bit always clear).
namespace id3v2 {
inline constexpr std::size_t kHeaderSize = 10;
using HeaderBytes = std::array<uint8_t, kHeaderSize>;

// The major version (2, 3 or 4) of a well-formed header, else 0: no "ID3", another major
// version, a version byte 0xFF, a size byte with its high bit set, or, when the file's size is
// known (not negative), a tag that would reach past the file's end.
uint8_t HeaderMajor(const HeaderBytes& bytes, long long file_size = -1);

// "2.2", "2.3" or "2.4" for a major version; empty for any other value.
std::string_view VersionText(uint8_t major);
}  // namespace id3v2

// What an entry knows of its file's ID3v2 header, in one byte: not looked at, looked at and
// none found, or the major version found. Loads look only when asked.
class Id3v2Head {
public:
    Id3v2Head() = default;
    // Looked at: the major version found (0 for none).
    static Id3v2Head Found(uint8_t major) {
        return Id3v2Head(static_cast<uint8_t>(major >= 2 && major <= 4 ? major : kNone));
    }
    // Looked at: what the first bytes of a file of file_size bytes hold (zeros for a file
    // too short to hold a header, or not read).
    static Id3v2Head Of(const id3v2::HeaderBytes& bytes, long long file_size) {
        return Found(id3v2::HeaderMajor(bytes, file_size));
    }

    bool Read() const { return value_ != kNotRead; }
    // 2, 3 or 4; 0 when there is none or it was not looked at.
    uint8_t Major() const { return value_ == kNone ? 0 : value_; }
    std::string_view VersionText() const { return id3v2::VersionText(Major()); }

    bool operator==(Id3v2Head other) const { return value_ == other.value_; }
    bool operator!=(Id3v2Head other) const { return value_ != other.value_; }

private:
    static constexpr uint8_t kNotRead = 0, kNone = 1;
    explicit Id3v2Head(uint8_t value) : value_(value) {}
    uint8_t value_ = kNotRead;
};

}  // namespace ambrel
