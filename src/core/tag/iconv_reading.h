#pragma once

#include <cstddef>
#include <string>

namespace ambrel {

void AppendUtf8(char32_t c, std::string* out);

// What iconv, converting to UTF-32LE, makes of a few bytes alone.
enum class IconvReading {
    kCharacter,    // one character
    kNoCharacter,  // not a character of the code set
    kSeveral,      // more than one character, or one held back
    kIncomplete,   // the start of a longer sequence
};

// cd converts to UTF-32LE; it is reset before the bytes are read.
IconvReading ReadWithIconv(void* cd, const unsigned char* bytes, std::size_t length, char32_t* c);

}  // namespace ambrel
