#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ambrel {

class TTagBase;

// The values of the "Copy options" page that are to be written: a field is present exactly
// when its Fill box is checked.
struct FieldFill {
    std::optional<std::string> artist;
    std::optional<std::string> title;
    std::optional<std::string> album;
    std::optional<std::string> track;  // the Track box's text, converted when written
    std::optional<std::string> comment;
    std::optional<int> genre;  // the genre number: the selected genre entry - 1
    std::optional<std::string> year;
};

// Writes the present fields into the entry through its setters, in the order artist,
// title, album, track, comment, genre, year; the setters cut texts to their fields and
// refuse out-of-range numbers and untagged entries. A track number, when given, is
// written as the track in place of the Track text, whether or not that is present.
// A Track text that is no whole number throws ConversionError once artist, title and
// album are written.
void WriteFieldsToTag(TTagBase& entry, const FieldFill& fill,
                      std::optional<int> track_number = std::nullopt);

// The tracks of "Begin track number in each directory from 1": for entries in display
// order, 1, 2, 3... counted apart in each directory (the entry's whole directory path).
// Entries that are absent or have no tag (tsNone) take no tag, so they get none and are
// not counted.
std::vector<std::optional<int>> TrackNumbersByDirectory(
    const std::vector<const TTagBase*>& entries);

}  // namespace ambrel
