#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "actions/id3v2_copy.h"

namespace ambrel {

class Library;

// "Copy ID3v2 to ID3v1" over the table's selected rows: the window previews the plans,
// then applies them. The ID3v2 tags are only read; the entries change in memory and reach
// their files at the next save.

// The plans of the selected rows' entries, in display order, each file's ID3v2 tag read
// now. None while the library is busy, without a model, or without a selected row.
std::optional<std::vector<Id3v2CopyRow>> PlanSelectedId3v2Copies(const Library& library);

// How many fields of how many files the plans change.
struct Id3v2CopyCount {
    std::size_t fields = 0;
    std::size_t files = 0;
};
Id3v2CopyCount CountId3v2Copies(const std::vector<Id3v2CopyRow>& rows);

// Applies every plan that changes something as one batch of the history ("ID3v2 copy"),
// then draws the rows of the changed entries again. Entries no longer in the list are
// passed over; rows without a plan stay as they are. The number of entries changed; -1
// while the library is busy or without a model.
int ApplyId3v2Copies(Library& library, const std::vector<Id3v2CopyRow>& rows);

}  // namespace ambrel
