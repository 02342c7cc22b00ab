#pragma once

#include <string>

namespace ambrel {

class TBatchHistory;
class TTagFile;

// What the tag detail panel's boxes hold when "Save tag" is pressed.
struct TagDetailFields {
    std::string artist, title, album, comment, year;
    std::string track;  // the Track box's text, converted when stored
    int genre = -1;     // the selected genre entry - 1 (-1 the empty entry, -2 none)
};

// The bodies of the detail panel's two commands, so that the panel only reads its boxes.
// Each records what it changed in the history, when one is given.

// "Tag present": moves the entry to the state the box asks for (NextTagState). A state that
// changes marks the entry modified, so that "Save all" writes it too; the block stays.
void SetTagPresent(TTagFile& entry, bool present, TBatchHistory* history);

// "Save tag": copies the fields into a tag that stays (tsPresent, tsAppend; the boxes are
// hidden otherwise and may hold anything) and saves the entry; the edit and the save are one
// batch. A Track text that is no whole number throws ConversionError once the text fields
// are in the tag: track and genre are not stored, the file is not written, and the edit
// alone is recorded.
void StoreTagDetail(TTagFile& entry, const TagDetailFields& fields, TBatchHistory* history);

}  // namespace ambrel
