#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tag/code_page.h"
#include "tag/id3v2_reader.h"

namespace ambrel {

class TTagFile;

enum class Id3v1Field { kTitle, kArtist, kAlbum, kYear, kComment, kTrack, kGenre };

// One field the copy changes: its text before and after as the table shows them (UTF-8;
// the track and genre as numbers), and what the copy could not keep of the ID3v2 value.
struct FieldChange {
    Id3v1Field field = Id3v1Field::kTitle;
    std::string old_text;
    std::string new_text;
    bool cut = false;    // the value was longer than the field
    bool lossy = false;  // a character the code page lacks was transliterated or became '?'
    int new_number = 0;  // the track or genre byte
};

// What copying a file's ID3v2 values into its ID3v1 tag would change. Only fields whose
// bytes change are listed; a field whose frame is missing, or whose frame holds nothing
// the field can take (a year without four digits, a track outside 1..254), stays.
struct Id3v2CopyPlan {
    std::vector<FieldChange> changes;
    // The entry has no tag, or one marked for removal: applying makes it present, a new
    // tag (the cleared block) being appended at the next save.
    bool makes_tag = false;
    // A genre text that names no genre: the genre byte stays.
    std::optional<std::string> unknown_genre;

    bool Changes() const { return !changes.empty(); }
};

// The plan for an entry as it is now; converter is the code page of its fields
// (CodePageConverter::Current) and genre_names the genre list the texts are matched in.
Id3v2CopyPlan PlanId3v2Copy(const TTagFile& entry, const Id3v2Values& values,
                            const CodePageConverter& converter,
                            const std::vector<std::string>& genre_names);

// Applies a plan made for the entry through its own setters, as an edit of the user's:
// the caller records it for undo beforehand. False, with the entry untouched, when the
// plan changes nothing.
bool ApplyId3v2Copy(TTagFile& entry, const Id3v2CopyPlan& plan);

// The name of a field as the table's column and the preview show it ("Title", "Track").
std::string_view Id3v1FieldName(Id3v1Field field);

// What the copy makes of one file: the ID3v2 tag read from the entry's file and the plan
// over it; a file without a usable ID3v2 tag has the reason and an empty plan.
struct Id3v2CopyRow {
    TTagFile* entry = nullptr;
    std::string problem;  // empty when the tag was read
    Id3v2CopyPlan plan;
};

// Reads the ID3v2 tag of each entry's file and plans the copy, in the order given. The
// entries are not changed; the window's preview and the command line show the rows.
std::vector<Id3v2CopyRow> PlanId3v2Copies(const std::vector<TTagFile*>& entries,
                                          const CodePageConverter& converter,
                                          const std::vector<std::string>& genre_names);

// The warnings of a plan for the user, one line each without the file's name:
// "Title: cut to the field's width", "Artist: characters the code page lacks were
// replaced", "Genre: 'Stuff' names no genre; the genre stays".
std::vector<std::string> Id3v2CopyWarnings(const Id3v2CopyPlan& plan);

}  // namespace ambrel
