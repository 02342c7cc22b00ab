#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Small text routines shared by the tag record, the error log and the action panel.
// Only ASCII counts: bytes 128..255 and control characters are in no class and are
// never changed, so they act the same on UTF-8 and on Latin-1 text.
namespace ambrel {

bool IsAsciiLetter(unsigned char c);
bool IsAsciiDigit(unsigned char c);
bool IsAsciiPunctuation(unsigned char c);  // printable, not a letter, digit or space
bool IsAsciiGraphic(unsigned char c);      // printable, not a space

// Letter case of ASCII letters only: every other byte stays as it is.
constexpr char AsciiToUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiToLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiLowerCase(std::string_view text);
// Equal with ASCII letters compared without case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// The case ASCII letters are folded to before comparing. It decides where the six
// characters between 'Z' and 'a' (such as '_') sort against the letters: before them when
// folded to lower case, after them when folded to upper case.
enum class CaseFold { kToLower, kToUpper };
// Unsigned byte order with ASCII letters folded, a prefix before the longer text: below 0
// when a comes first, 0 when the two are equal without case.
int CompareIgnoringCase(std::string_view a, std::string_view b, CaseFold fold);

// Mode 1 upper case, 2 lower case, 3 word capitals; any other mode: no change.
std::string& ChangeCase(std::string& text, int mode);
// The same on a fixed-width field: its text ends at its first zero byte, or after length
// bytes when it holds none; the bytes after that zero are left as they are.
void ChangeCase(char* text, std::size_t length, int mode);
std::string& ReplaceAnyOf(std::string& text, std::string_view set, char replacement);
std::string& ReplacePunctuation(std::string& text, char replacement);
std::string& ReplaceChar(std::string& text, char c, char replacement);
// The number in decimal, zero-padded on the left to width; zeros go before a minus sign.
std::string ZeroPadNumber(long long number, int width);
int CountVisibleChars(std::string_view text);
// The last component of a directory path (a trailing separator disregarded);
// absent for the root or a path without another separator.
std::optional<std::string> LastPathComponent(std::optional<std::string_view> path);

// Decodes one well-formed UTF-8 sequence at text[i]: its length and code point, or
// length 0 when the bytes there are not well-formed UTF-8 (overlong forms, surrogates
// and values above U+10FFFF included).
// Inline: the conversions call it once a character.
inline std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t* code_point) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        *code_point = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code_point = value;
    return length;
}

// The character at text[i] as DecodeUtf8 reads it, a byte that begins no well-formed
// sequence being the Latin-1 character of its value; its length, at least 1.
inline std::size_t DecodeUtf8OrLatin1(std::string_view text, std::size_t i, char32_t* code_point) {
    const std::size_t length = DecodeUtf8(text, i, code_point);
    if (length != 0) return length;
    *code_point = static_cast<unsigned char>(text[i]);
    return 1;
}

// Latin-1 <-> UTF-8 at the edge of the tag block. A byte sequence that is not valid
// UTF-8 is taken as Latin-1; a character without a Latin-1 form becomes '?'.
std::string Latin1ToUtf8(std::string_view latin1);
std::string Utf8ToLatin1(std::string_view utf8);
// A line of an 8-bit text file as UTF-8: well-formed UTF-8 sequences stay as they are,
// every other byte is taken as the Latin-1 character it is.
std::string EightBitToUtf8(std::string_view text);
// The longest start of text of at most max_bytes that keeps every well-formed UTF-8
// sequence whole (any other byte counts as a character of its own), so a line cut from an
// 8-bit file before EightBitToUtf8 never ends in half a character.
std::string_view CutAtCharBoundary(std::string_view text, std::size_t max_bytes);

// The same rules, for names and masks, read by continuation bytes (10xxxxxx) alone: a
// character is a byte that does not continue one and the continuation bytes after it,
// well-formed or not. On UTF-8 they agree with the rules above; on stray bytes they differ
// (a Latin-1 byte followed by a continuation byte is one character here, two above).
constexpr bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
// The number of bytes of the character that starts at text[i].
std::size_t Utf8CharLength(std::string_view text, std::size_t i);
// The number of characters: the bytes that do not continue one.
std::size_t CountUtf8Chars(std::string_view text);
// Cuts the text to at most max_bytes bytes, never before a continuation byte.
void CutBeforeContinuation(std::string& text, std::size_t max_bytes);
// True when the UTF-8 text holds a character that is printable and not a space: an ASCII
// graphic character, or a character from U+00A1 on (the Latin-1 letters of a tag's text).
// Spaces, control characters and the no-break space do not count; unlike CountVisibleChars,
// letters beyond ASCII do.
bool HasVisibleUtf8Char(std::string_view text);

}  // namespace ambrel
