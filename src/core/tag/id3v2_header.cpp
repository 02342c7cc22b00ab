#include "tag/id3v2_header.h"

namespace ambrel::id3v2 {

namespace {

// The flag of a 2.4 tag that has a 10-byte footer after its frames.
constexpr uint8_t kFooterFlag = 0x10;

}  // namespace

uint8_t HeaderMajor(const HeaderBytes& bytes, long long file_size) {
    if (bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3') return 0;
    const uint8_t major = bytes[3];
    if (major < 2 || major > 4 || bytes[4] == 0xFF) return 0;
    long long size = 0;
    for (std::size_t i = 6; i < kHeaderSize; ++i) {
        if (bytes[i] >= 0x80) return 0;
        size = (size << 7) | bytes[i];
    }
    long long whole = static_cast<long long>(kHeaderSize) + size;
    if (major == 4 && (bytes[5] & kFooterFlag) != 0) whole += static_cast<long long>(kHeaderSize);
    if (file_size >= 0 && whole > file_size) return 0;
    return major;
}

std::string_view VersionText(uint8_t major) {
    switch (major) {
        case 2:
            return "2.2";
        case 3:
            return "2.3";
        case 4:
            return "2.4";
        default:
            return {};
    }
}

}  // namespace ambrel::id3v2
