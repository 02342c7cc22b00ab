#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ambrel {

// The columns of the tag table, in their order; the table binding and the helpers that
// fill, filter and sort its rows share them. The eleven of the window's first layout, then
// the ID3v2 version of the file, hidden until the user shows it.
struct TagColumns {
    static constexpr int kColumnCount = 12;
    enum Column {
        kIndex = 0,
        kDirectory,
        kFilename,
        kTrack,
        kArtist,
        kSongTitle,
        kAlbum,
        kComment,
        kGenre,
        kYear,
        kPicture,
        kId3v2
    };
};

// The texts of one row, a cell per column (shown or not).
using RowCells = std::array<std::string, TagColumns::kColumnCount>;

// The Picture cell's text.
constexpr std::string_view PictureCellText(bool has_picture) { return has_picture ? "Yes" : "No"; }

}  // namespace ambrel
