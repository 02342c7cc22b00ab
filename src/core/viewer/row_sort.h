#pragma once

#include <string_view>
#include <vector>

namespace ambrel {

class TTagFile;

// A row's value in the sort column: a number for Index and Track, the bytes of the text for
// every other column. It points into the entry (and the genre names), so it lives as long
// as they do.
struct SortKey {
    long long number = 0;
    std::string_view text;
};

// The key of an entry in a column (TagColumns): Index and Track as numbers (an untagged
// row's empty track as 0), every other column by unsigned bytes. A tag field sorts by its
// stored bytes, so nothing is converted: in the Latin-1 page they order as the UTF-8 cell
// does. genre_text is the Genre cell's text of the entry.
SortKey SortKeyOf(const TTagFile& file, int column, std::string_view genre_text);

// Below 0 when a sorts first: by number, then by unsigned bytes, a prefix before the longer
// text. Allocates nothing.
int CompareSortKeys(const SortKey& a, const SortKey& b);

// The positions of the keys in sorted order, stable; direction 1 ascending, -1 descending.
std::vector<int> SortedOrder(const std::vector<SortKey>& keys, int direction);

}  // namespace ambrel
