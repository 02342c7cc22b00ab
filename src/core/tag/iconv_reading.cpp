#include "tag/iconv_reading.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace ambrel {

void AppendUtf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

IconvReading ReadWithIconv(void* cd, const unsigned char* bytes, std::size_t length, char32_t* c) {
    const auto converter = static_cast<iconv_t>(cd);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char in[8];
    for (std::size_t i = 0; i < length && i < sizeof in; ++i) in[i] = static_cast<char>(bytes[i]);
    char* in_at = in;
    std::size_t in_left = length;
    unsigned char out[16];
    char* out_at = reinterpret_cast<char*>(out);
    std::size_t out_left = sizeof out;
    if (iconv(converter, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1)) {
        return errno == EINVAL ? IconvReading::kIncomplete : IconvReading::kNoCharacter;
    }
    // Some converters hold a character back until they know what follows.
    iconv(converter, nullptr, nullptr, &out_at, &out_left);
    if (sizeof out - out_left != 4) return IconvReading::kSeveral;
    *c = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    return IconvReading::kCharacter;
}

}  // namespace ambrel
