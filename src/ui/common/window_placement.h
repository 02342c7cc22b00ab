#pragma once

#include <QRect>
#include <functional>
#include <optional>

class QWidget;

namespace ambrel::ui {

// Where the three side-by-side windows go: outer (frame) rectangles.
struct WindowPlacement {
    QRect main;
    std::optional<QRect> file_viewer;   // set when the file viewer is to be shown
    std::optional<QRect> action_panel;  // set when the action panel is to be shown
};

// The work area's right and bottom (x + width, y + height) serve as its width and
// height. Each side window keeps its outer width; the main window takes the rest,
// with one pixel to spare at the left, the top and the right.
WindowPlacement ComputePlacement(int work_right, int work_bottom, int file_viewer_width,
                                 bool file_viewer_visible, int action_panel_width,
                                 bool action_panel_visible);

// The primary screen's available geometry, as work right and bottom.
QRect WorkArea();

// Moves and sizes a top-level window so that its frame covers `outer`.
void PlaceFrame(QWidget* window, const QRect& outer);

// The side windows to place beside the main window; none for one whose flag is off.
struct SideWindows {
    QWidget* file_viewer = nullptr;
    QWidget* action_panel = nullptr;
};

// Shows the side windows that side() names, then places them and main side by side on the
// work area (a side window is shown before it is measured, so its frame counts). A window
// manager frames a window a moment after it is first shown, so the frames measured may still
// be empty then: a little later the placement runs again, with side() asked anew, if any
// frame has changed since, `rechecks` times at most.
void PlaceSideBySide(QWidget* main, const std::function<SideWindows()>& side, int rechecks = 2);

}  // namespace ambrel::ui
