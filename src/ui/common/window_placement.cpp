#include "ui/common/window_placement.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace ambrel::ui {

namespace {

// How long a window manager is given to decorate the windows before their frames are
// measured again.
constexpr int kFrameSettleMs = 250;

// The frame sizes (outer minus inner) of the main window and the side windows named.
std::vector<QSize> FrameSizes(const QWidget* main, const SideWindows& side) {
    std::vector<QSize> sizes;
    for (const QWidget* window : {main, static_cast<const QWidget*>(side.file_viewer),
                                  static_cast<const QWidget*>(side.action_panel)})
        if (window) sizes.push_back(window->frameGeometry().size() - window->geometry().size());
    return sizes;
}

}  // namespace

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

void PlaceSideBySide(QWidget* main, const std::function<SideWindows()>& side, int rechecks) {
    const SideWindows windows = side();
    const QRect work = WorkArea();
    if (windows.file_viewer) windows.file_viewer->show();
    if (windows.action_panel) windows.action_panel->show();
    const WindowPlacement placement =
        ComputePlacement(work.x() + work.width(), work.y() + work.height(),
                         windows.file_viewer ? windows.file_viewer->frameGeometry().width() : 0,
                         windows.file_viewer != nullptr,
                         windows.action_panel ? windows.action_panel->frameGeometry().width() : 0,
                         windows.action_panel != nullptr);
    PlaceFrame(main, placement.main);
    if (placement.file_viewer) PlaceFrame(windows.file_viewer, *placement.file_viewer);
    if (placement.action_panel) PlaceFrame(windows.action_panel, *placement.action_panel);
    if (rechecks <= 0) return;
    QTimer::singleShot(kFrameSettleMs, main,
                       [main, side, rechecks, frames = FrameSizes(main, windows)] {
                           if (FrameSizes(main, side()) != frames)
                               PlaceSideBySide(main, side, rechecks - 1);
                       });
}

}  // namespace ambrel::ui
