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
    PlaceFrame(main_, placement.main);
    if (placement.file_viewer) PlaceFrame(windows.file_viewer, *placement.file_viewer);
    if (placement.action_panel) PlaceFrame(windows.action_panel, *placement.action_panel);
    placed_.clear();
    for (QWidget* window : Windows()) placed_.push_back({window, FrameMargins(window)});
}

bool SideBySidePlacement::eventFilter(QObject* watched, QEvent* event) {
    // On X11 the frame's notices come through the native filter; elsewhere a frame shows as
    // a move or resize of the window.
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!x11 && replacements_left_ > 0 &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        recheck_.start();
    return QObject::eventFilter(watched, event);
}

bool SideBySidePlacement::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
#if AMBREL_HAS_XCB
    if (replacements_left_ > 0 && type == "xcb_generic_event_t") {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::optional<xcb_window_t> id = WindowOfNotice(event);
        if (id && PlacedWindow(*id)) recheck_.start();
    }
#else
    (void)type;
    (void)message;
#endif
    // The notice goes on to Qt, which takes it in before the recheck runs.
    return false;
}

QWidget* SideBySidePlacement::PlacedWindow(quintptr window_id) const {
    for (QWidget* window : Windows())
        if (window->internalWinId() == window_id) return window;
    return nullptr;
}

void SideBySidePlacement::Recheck() {
    if (!main_->isVisible() || replacements_left_ <= 0) return;
    const std::vector<QWidget*> windows = Windows();
    bool again = windows.size() != placed_.size();
    for (std::size_t i = 0; !again && i < windows.size(); ++i) {
        // A window the user has maximised, minimised or made full screen keeps that state.
        if (windows[i]->windowState() != Qt::WindowNoState) return;
        again = windows[i] != placed_[i].window || FrameMargins(windows[i]) != placed_[i].frame;
    }
    if (!again) return;
    --replacements_left_;
    PlaceOnce();
}

}  // namespace ambrel::ui
