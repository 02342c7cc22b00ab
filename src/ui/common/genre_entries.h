#pragma once

#include <QStringList>

namespace ambrel::ui {

// The genre list of the windows' genre boxes: an empty entry, then the names of genre
// numbers 0..147, so entry n names genre number n - 1.
const QStringList& GenreEntries();

// The entry that shows a genre number: number + 1, or -1 (no entry) for a number without
// a name (148..255, the 254 of a cleared tag included).
int GenreEntryOf(int genre);

}  // namespace ambrel::ui
