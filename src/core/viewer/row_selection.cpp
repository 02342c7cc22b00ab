#include "viewer/row_selection.h"

#include "tag/tag_file.h"

namespace ambrel {

namespace {

constexpr int kGenreUnset = 255;  // the genre byte of "no genre"

bool FieldFilled(const TagBlock& block, SelectField field) {
    switch (field) {
        case SelectField::kArtist:
            return block[id3v1::kArtistOffset] != 0;
        case SelectField::kTitle:
            return block[id3v1::kTitleOffset] != 0;
        case SelectField::kAlbum:
            return block[id3v1::kAlbumOffset] != 0;
        case SelectField::kComment:
            return block[id3v1::kCommentOffset] != 0;
        case SelectField::kTrack:
            return block[id3v1::kTrackOffset] != 0;
        case SelectField::kGenre:
            return block[id3v1::kGenreOffset] != kGenreUnset;
        case SelectField::kYear:
            return block[id3v1::kYearOffset] != 0;
    }
    return false;
}

}  // namespace

std::optional<SelectionCriterion> CriterionFromCode(unsigned code) {
    if (code == 0) return SelectionCriterion{SelectTest::kNoTag};
    if (code == 1) return SelectionCriterion{SelectTest::kWithTag};
    const unsigned field = code % 10;
    if (field > static_cast<unsigned>(SelectField::kYear)) return std::nullopt;
    if (code / 10 == 1)
        return SelectionCriterion{SelectTest::kFilled, static_cast<SelectField>(field)};
    if (code / 10 == 2)
        return SelectionCriterion{SelectTest::kEmpty, static_cast<SelectField>(field)};
    return std::nullopt;
}

bool MeetsCriterion(const TTagFile& file, const SelectionCriterion& criterion) {
    switch (criterion.test) {
        case SelectTest::kNoTag:
            return file.GetState() == tsNone;
        case SelectTest::kWithTag:
            return file.GetState() != tsNone;
        case SelectTest::kFilled:
            return FieldFilled(file.Block(), criterion.field);
        case SelectTest::kEmpty:
            return !FieldFilled(file.Block(), criterion.field);
    }
    return false;
}

}  // namespace ambrel
