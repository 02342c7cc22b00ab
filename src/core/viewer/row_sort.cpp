#include "viewer/row_sort.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "tag/tag_file.h"
#include "viewer/tag_columns.h"

namespace ambrel {

namespace {

int Sign(long long difference) { return (difference > 0) - (difference < 0); }

// Unsigned byte order, a prefix before the longer text.
int CompareBytes(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
    if (c != 0) return Sign(c);
    return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

int TrackKey(const TTagFile& file) { return file.GetState() == tsNone ? 0 : file.GetTrack(); }

// A text column's key: the bytes of the cell text, or for a tag field its stored bytes.
std::string_view SortText(const TTagFile& file, int column, std::string_view genre_text) {
    if (column == TagColumns::kDirectory) return file.GetFolderName();
    if (column == TagColumns::kFilename) return file.GetName();
    if (column == TagColumns::kId3v2) return file.Id3v2Version();
    if (file.GetState() == tsNone) return {};
    switch (column) {
        case TagColumns::kArtist:
            return file.StoredText(id3v1::kArtistOffset, id3v1::kArtistWidth);
        case TagColumns::kSongTitle:
            return file.StoredText(id3v1::kTitleOffset, id3v1::kTitleWidth);
        case TagColumns::kAlbum:
            return file.StoredText(id3v1::kAlbumOffset, id3v1::kAlbumWidth);
        case TagColumns::kComment:
            return file.StoredText(id3v1::kCommentOffset, id3v1::kCommentWidth);
        case TagColumns::kYear:
            return file.StoredText(id3v1::kYearOffset, id3v1::kYearWidth);
        case TagColumns::kGenre:
            return genre_text;
        case TagColumns::kPicture:
            return PictureCellText(file.HasPicture() != 0);
        default:
            return {};
    }
}

}  // namespace

SortKey SortKeyOf(const TTagFile& file, int column, std::string_view genre_text) {
    if (column == TagColumns::kIndex) return {file.GetIndex(), {}};
    if (column == TagColumns::kTrack) return {TrackKey(file), {}};
    return {0, SortText(file, column, genre_text)};
}

int CompareSortKeys(const SortKey& a, const SortKey& b) {
    if (a.number != b.number) return a.number < b.number ? -1 : 1;
    return CompareBytes(a.text, b.text);
}

std::vector<int> SortedOrder(const std::vector<SortKey>& keys, int direction) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return CompareSortKeys(keys[a], keys[b]) * direction < 0;
    });
    return order;
}

}  // namespace ambrel
