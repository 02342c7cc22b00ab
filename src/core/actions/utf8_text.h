#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Byte-level rules for the UTF-8 texts of names and masks: file names are UTF-8 bytes, and
// a rename or a cut must never leave half a character behind.
namespace ambrel::utf8 {

inline bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The number of bytes of the character that starts at text[i]: its lead byte and the
// continuation bytes after it; 1 for a stray byte.
std::size_t CharLength(std::string_view text, std::size_t i);

// The number of characters (bytes that are not continuation bytes).
std::size_t CountChars(std::string_view text);

// Cuts the text to at most max_bytes bytes, never inside a character.
void CutToBytes(std::string& text, std::size_t max_bytes);

// True when the text holds a character that is printable and not a space: an ASCII
// graphic character, or a character from U+00A1 on (the Latin-1 letters of a tag's text).
// Spaces, control characters and the no-break space do not count.
bool HasVisibleChar(std::string_view text);

}  // namespace ambrel::utf8
