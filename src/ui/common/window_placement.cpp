#include "ui/common/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace ambrel::ui {

WindowPlacement ComputePlacement(int work_right, int work_bottom, int file_viewer_width,
                                 bool file_viewer_visible, int action_panel_width,
                                 bool action_panel_visible) {
    const int left = file_viewer_visible ? file_viewer_width : 0;
    const int right = action_panel_visible ? action_panel_width : 0;
    WindowPlacement placement;
    placement.main = QRect(left + 1, 1, work_right - left - right - 2, work_bottom);
    if (file_viewer_visible) placement.file_viewer = QRect(1, 1, left, work_bottom);
    if (action_panel_visible)
        placement.action_panel = QRect(work_right - right - 1, 1, right, work_bottom);
    return placement;
}

QRect WorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void PlaceFrame(QWidget* window, const QRect& outer) {
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    window->move(outer.topLeft());
    // A work area too narrow for the side windows still leaves the main window a sliver.
    window->resize(std::max(1, outer.width() - frame.width()),
                   std::max(1, outer.height() - frame.height()));
}

}  // namespace ambrel::ui
