#pragma once

#include <vector>

#include "actions/id3v2_copy.h"

class QWidget;

namespace ambrel {
class Library;
}  // namespace ambrel

namespace ambrel::ui {

class PreviewDialog;

// The preview of "Copy ID3v2 to ID3v1": a line per field that changes (File, Field, Old,
// New, and a note on what the copy could not keep), a greyed line per file it leaves as it
// is with the reason (no usable ID3v2 tag, no change, a genre it cannot name), and the
// count of what changes above. Apply is off when nothing would change.
PreviewDialog* MakeId3v2CopyPreview(const std::vector<ambrel::Id3v2CopyRow>& rows, QWidget* parent);

// Plans the copy over the selected rows, shows the preview over parent and applies the
// plans when the user chooses Apply. Nothing while the library is busy or without a
// selected row. True when entries changed.
bool RunId3v2Copy(ambrel::Library& library, QWidget* parent);

}  // namespace ambrel::ui
