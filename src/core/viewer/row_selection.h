#pragma once

#include <optional>

namespace ambrel {

class TTagFile;

// What a selection command asks of each row's file: no tag, a tag, or a field filled or
// empty.
enum class SelectTest { kNoTag, kWithTag, kFilled, kEmpty };
// The field a kFilled or kEmpty test looks at, in the order of the selection codes.
enum class SelectField { kArtist, kTitle, kAlbum, kComment, kTrack, kGenre, kYear };
struct SelectionCriterion {
    SelectTest test;
    SelectField field = SelectField::kArtist;  // for kFilled and kEmpty
};

// The criterion of a selection code: 0 no tag, 1 a tag, 10..16 the field of that place in
// SelectField filled, 20..26 empty; none for any other code.
std::optional<SelectionCriterion> CriterionFromCode(unsigned code);

// Whether the file meets the criterion. A field's fill is decided on the stored bytes: a
// text is what precedes the first zero of its field, so a field of spaces is filled; the
// genre is filled unless 255.
bool MeetsCriterion(const TTagFile& file, const SelectionCriterion& criterion);

}  // namespace ambrel
