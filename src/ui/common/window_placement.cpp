#include "ui/common/window_placement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <utility>

// On X11 a frame comes as notices about the window, which Qt turns into no widget event
// when the window itself stays where it is.
#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define AMBREL_HAS_XCB 1
#else
#define AMBREL_HAS_XCB 0
#endif

namespace ambrel::ui {

namespace {

int OuterWidth(const QWidget* window) {
    if (!window) return 0;
    const QMargins frame = FrameMargins(window);
    return window->width() + frame.left() + frame.right();
}

#if AMBREL_HAS_XCB
// The window an X11 notice is about, for the notices that come with a new frame.
std::optional<xcb_window_t> WindowOfNotice(const xcb_generic_event_t* event) {
    switch (event->response_type & ~0x80) {
        case XCB_CONFIGURE_NOTIFY:
            return reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window;
        case XCB_REPARENT_NOTIFY:
            return reinterpret_cast<const xcb_reparent_notify_event_t*>(event)->window;
        case XCB_PROPERTY_NOTIFY:
            return reinterpret_cast<const xcb_property_notify_event_t*>(event)->window;
        default:
            return std::nullopt;
    }
}
#endif

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

QMargins FrameMargins(const QWidget* window) {
    if (const QWindow* handle = window->windowHandle()) return handle->frameMargins();
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void PlaceFrame(QWidget* window, const QRect& outer) {
    const QMargins frame = FrameMargins(window);
    // The inner rectangle is given, so no frame the widget may have measured earlier counts.
    // A work area too narrow for the side windows still leaves the main window a sliver.
    const QRect inner = outer - frame;
    window->setGeometry(inner.left(), inner.top(), std::max(1, inner.width()),
                        std::max(1, inner.height()));
}

SideBySidePlacement::SideBySidePlacement(QWidget* main, std::function<SideWindows()> side)
    : QObject(main), main_(main), side_(std::move(side)) {
    recheck_.setSingleShot(true);
    recheck_.setInterval(0);
    connect(&recheck_, &QTimer::timeout, this, &SideBySidePlacement::Recheck);
    main_->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void SideBySidePlacement::Place() {
    replacements_left_ = kMaxReplacements;
    PlaceOnce();
}

std::vector<QWidget*> SideBySidePlacement::Windows() const {
    const SideWindows side = side_();
    std::vector<QWidget*> windows{main_};
    for (QWidget* window : {side.file_viewer, side.action_panel})
        if (window) windows.push_back(window);
    return windows;
}

void SideBySidePlacement::PlaceOnce() {
    const SideWindows windows = side_();
    const QRect work = WorkArea();
    for (QWidget* window : {windows.file_viewer, windows.action_panel}) {
        if (!window) continue;
        window->installEventFilter(this);
        window->show();
    }
    const WindowPlacement placement =
        ComputePlacement(work.x() + work.width(), work.y() + work.height(),
                         OuterWidth(windows.file_viewer), windows.file_viewer != nullptr,
                         OuterWidth(windows.action_panel), windows.action_panel != nullptr);
    std::vector<Placed> before = std::exchange(placed_, {});
    for (QWidget* window : Windows()) before.push_back({window, {}, window->geometry(), true});
    PlaceFrame(main_, placement.main);
    if (placement.file_viewer) PlaceFrame(windows.file_viewer, *placement.file_viewer);
    if (placement.action_panel) PlaceFrame(windows.action_panel, *placement.action_panel);
    for (QWidget* window : Windows()) {
        // A window already where it is asked gets no request, and so no report: it stays as
        // reported for the request that put it there (in place, when none of ours did).
        const auto earlier = std::find_if(before.begin(), before.end(), [&](const Placed& p) {
            return p.window == window && p.asked == window->geometry();
        });
        placed_.push_back({window, FrameMargins(window), window->geometry(),
                           earlier != before.end() && earlier->reported_in_place});
    }
    reported_.clear();
}

bool SideBySidePlacement::eventFilter(QObject* watched, QEvent* event) {
    // On X11 the configure notices are the window system's reports; Qt's own moves and
    // resizes may only echo a request.
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!x11 && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        Reported(static_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}

bool SideBySidePlacement::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
#if AMBREL_HAS_XCB
    if (replacements_left_ > 0 && type == "xcb_generic_event_t") {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::optional<xcb_window_t> id = WindowOfNotice(event);
        if (QWidget* window = id ? PlacedWindow(*id) : nullptr) {
            // Only a configure notice tells where the window is; the others may bring a frame.
            if ((event->response_type & ~0x80) == XCB_CONFIGURE_NOTIFY) reported_.push_back(window);
            recheck_.start();
        }
    }
#else
    (void)type;
    (void)message;
#endif
    // The notice goes on to Qt, which takes it in before the recheck runs.
    return false;
}

void SideBySidePlacement::Reported(const QWidget* window) {
    if (replacements_left_ <= 0) return;
    reported_.push_back(window);
    recheck_.start();
}

QWidget* SideBySidePlacement::PlacedWindow(quintptr window_id) const {
    for (QWidget* window : Windows())
        if (window->internalWinId() == window_id) return window;
    return nullptr;
}

void SideBySidePlacement::Recheck() {
    const std::vector<const QWidget*> reported = std::exchange(reported_, {});
    if (!main_->isVisible() || replacements_left_ <= 0) return;
    const std::vector<QWidget*> windows = Windows();
    bool again = windows.size() != placed_.size();
    for (std::size_t i = 0; !again && i < windows.size(); ++i) {
        Placed& placed = placed_[i];
        // A window the user has maximised, minimised or made full screen keeps that state.
        if (windows[i]->windowState() != Qt::WindowNoState) return;
        again = windows[i] != placed.window || FrameMargins(windows[i]) != placed.frame;
        if (again || placed.reported_in_place ||
            std::find(reported.begin(), reported.end(), windows[i]) == reported.end())
            continue;
        const QWindow* handle = windows[i]->windowHandle();
        placed.reported_in_place =
            (handle ? handle->geometry() : windows[i]->geometry()) == placed.asked;
        again = !placed.reported_in_place;
    }
    if (!again) return;
    --replacements_left_;
    PlaceOnce();
}

}  // namespace ambrel::ui
