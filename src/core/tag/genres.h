#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The genre names. Genre numbers 0..147 have names; a tag's genre byte holds any value
// 0..255 (254 is this program's "no genre").
namespace ambrel::genres {

inline constexpr int kNamedCount = 148;

// The fixed list of the tag detail panel, independent of tagviewer.cfg: name n is genre n.
// "Grunge," and "R&B," carry their commas.
const std::array<const char*, kNamedCount>& BuiltInNames();

// The genre names of a tagviewer.cfg: line n names genre n, as the line stands, cut to
// 255 bytes of UTF-8. The file is 8-bit text: bytes that are not UTF-8 are taken as Latin-1.
// None when path is anything but a readable regular file (a directory, a FIFO).
std::optional<std::vector<std::string>> ReadGenreFile(const std::string& path);

// The genre number a text names, the one rule for what a user types, a CSV cell and an
// ID3v2 genre frame: a decimal number 0..254 as it stands; a reference "(N)", with or without
// a name after it ("(17)", "(17)Rock"), as N when N is 0..254; the number of the first named
// genre (0..147) of names whose name equals the text without regard to ASCII letter case or a
// trailing punctuation mark on either side ("grunge" names "Grunge,"); 254 ("no genre") for
// an empty text; none for anything else.
std::optional<int> NumberOf(const std::vector<std::string>& names, std::string_view text);

// The list the table falls back on without a genre file: "0" to "148", so the Genre column
// shows the number.
std::vector<std::string> NumberedGenres();

}  // namespace ambrel::genres
