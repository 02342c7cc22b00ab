#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

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

// The frame a window manager draws around a top-level window, as the window system tells
// it now (a widget's own frameGeometry may still hold an older frame).
QMargins FrameMargins(const QWidget* window);

// Moves and sizes a top-level window so that its frame covers `outer`.
void PlaceFrame(QWidget* window, const QRect& outer);

// The side windows to place beside the main window; none for one whose flag is off.
struct SideWindows {
    QWidget* file_viewer = nullptr;
    QWidget* action_panel = nullptr;
};

// Keeps the main window and the side windows side by side on the work area. A window
// manager frames a window some time after it is first shown, on a busy machine seconds
// later, and a frame measured before that is empty: the windows placed with it overlap by
// the frames that come. So the placement watches the windows it placed, and whenever the
// window system reports a change to one of them (X11: a configure, reparent or property
// notice, which is how a frame comes; elsewhere a move or resize), it measures the frames
// again and, when one differs from those it placed with, places them all again. Only a new
// frame places them again, never a move: a window the user moves stays moved.
class SideBySidePlacement : public QObject, public QAbstractNativeEventFilter {
public:
    // A placement runs again this many times at most after each Place, so that a window
    // manager that keeps changing the frames cannot keep the windows moving.
    static constexpr int kMaxReplacements = 16;

    // side() names the side windows to place beside main; none for one whose flag is off.
    // The placement belongs to main.
    SideBySidePlacement(QWidget* main, std::function<SideWindows()> side);

    // Shows the side windows that side() names, then places them and main side by side (a
    // side window is shown before it is measured, so its frame counts).
    void Place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    // A window as the last placement left it.
    struct Placed {
        QWidget* window;
        QMargins frame;  // as measured for the placement
    };

    void PlaceOnce();
    // Places again when a frame differs from the one placed with or the side windows differ.
    void Recheck();
    std::vector<QWidget*> Windows() const;
    // The placed window with this window system id, if any.
    QWidget* PlacedWindow(quintptr window_id) const;

    QWidget* main_;
    std::function<SideWindows()> side_;
    std::vector<Placed> placed_;
    int replacements_left_ = 0;
    // Gathers the notices of one framing into one recheck, made once Qt has taken them in.
    QTimer recheck_;
};

}  // namespace ambrel::ui
