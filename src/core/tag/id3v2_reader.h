#pragma once

// Reads the fields of a file's ID3v2 tag that have an ID3v1 counterpart. Ambrel only
// ever reads ID3v2; the ID3v1 block stays the only thing it writes.

#include <optional>
#include <string>

namespace ambrel {

// The values of an ID3v2 tag that have an ID3v1 field, as UTF-8 text; none where the frame is
// missing.
struct Id3v2Values {
    std::string version;                // "2.2", "2.3" or "2.4"
    std::optional<std::string> title;   // TIT2
    std::optional<std::string> artist;  // TPE1
    std::optional<std::string> album;   // TALB
    std::optional<std::string> year;    // TDRC (2.4) or TYER (2.3), as the frame holds it
    std::optional<std::string> track;   // TRCK, as the frame holds it ("3/12")
    std::optional<std::string> genre;  // TCON text as the frame holds it ("(17)", "Rock", "Grunge")
    std::optional<std::string>
        comment;  // the first COMM with an empty description, else the first COMM
};

struct Id3v2Reading {
    std::optional<Id3v2Values> values;  // none: no usable ID3v2 tag
    std::string problem;  // why not, for the user: "no ID3v2 tag", "the ID3v2 tag is damaged", "the
                          // file could not be read"
};

// The problem of a file that could not be read at all, as against one without a usable tag.
inline constexpr const char* kId3v2Unreadable = "the file could not be read";

// Never writes to the file; a malformed tag gives a problem, never a crash.
Id3v2Reading ReadId3v2(const std::string& path);

}  // namespace ambrel
