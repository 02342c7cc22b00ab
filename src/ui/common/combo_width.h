#pragma once

class QComboBox;

namespace ambrel::ui {

// The least width at which the box shows each of its items whole when chosen. The style's
// size hint for AdjustToContents may leave the field where the item is drawn a few pixels
// short of the longest text, so the field itself is measured.
int WidthShowingEveryItem(const QComboBox& box);

}  // namespace ambrel::ui
