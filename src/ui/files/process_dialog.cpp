#include "ui/files/process_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <climits>

#include "ui/common/bold_label.h"
#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

constexpr int kClientWidth = 490;
constexpr int kClientHeight = 383;
// How often a run paints the dialog while it holds the event loop.
constexpr int kPaintIntervalMs = 50;
// How long a run waits at most for the window system to show the dialog.
constexpr int kExposeWaitMs = 1000;

int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, 0, INT_MAX));
}

QProgressBar* NewBar(const char* name, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, 1);
    bar->setValue(0);
    return bar;
}

}  // namespace

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::SetFullText(const QString& text) {
    full_text_ = text;
    setToolTip(text);
    Elide();
}

QSize ElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

QSize ElidedLabel::sizeHint() const { return {0, QLabel::sizeHint().height()}; }

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void ElidedLabel::Elide() {
    setText(fontMetrics().elidedText(full_text_, Qt::ElideMiddle, std::max(0, width())));
}

ProcessBar::ProcessBar(QProgressBar* bar, std::function<void()> after_change)
    : bar_(bar), after_change_(std::move(after_change)) {}

// A QProgressBar whose range is empty shows a busy animation instead of an empty bar, so a
// maximum of 0 (files under 1 KiB) is shown over a range of one.
void ProcessBar::SetMaximum(long long maximum) {
    maximum_ = ClampToInt(maximum);
    bar_->setRange(0, std::max(1, maximum_));
    after_change_();
}

void ProcessBar::SetPosition(long long position) {
    position_ = ClampToInt(position);
    bar_->setValue(std::min(position_, bar_->maximum()));
    after_change_();
}

TForm4::TForm4(QWidget* parent)
    : QDialog(parent),
      progress_bar_current_file_(NewBar("ProgressBarCurrentFile", this)),
      progress_bar_all_files_(NewBar("ProgressBarAllFiles", this)),
      current_file_bar_(progress_bar_current_file_, [this] { PaintNowAndThen(); }),
      all_files_bar_(progress_bar_all_files_, [this] { PaintNowAndThen(); }) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Copy/Move files"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // A fixed single border: a title with its close button, never resized.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    BuildControls();
    setFixedSize(kClientWidth, kClientHeight);
}

TForm4::~TForm4() = default;

void TForm4::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);

    auto* paths = new QGridLayout;
    paths->setHorizontalSpacing(6);
    label_from_ = BoldLabel("LabelFrom", QStringLiteral("Copying/Moving:"), this);
    label_source_ = new ElidedLabel(this);
    label_source_->setObjectName(QStringLiteral("LabelSource"));
    label_destination_ = new ElidedLabel(this);
    label_destination_->setObjectName(QStringLiteral("LabelDestination"));
    paths->addWidget(label_from_, 0, 0);
    paths->addWidget(label_source_, 0, 1);
    paths->addWidget(BoldLabel("LabelTo", QStringLiteral("Destination:"), this), 1, 0);
    paths->addWidget(label_destination_, 1, 1);
    paths->setColumnStretch(1, 1);
    layout->addLayout(paths);
    layout->addSpacing(6);

    layout->addWidget(BoldLabel("Label1", QStringLiteral("Current file"), this));
    layout->addWidget(progress_bar_current_file_);
    layout->addWidget(BoldLabel("Label2", QStringLiteral("Overall process"), this));
    layout->addWidget(progress_bar_all_files_);
    layout->addSpacing(6);

    layout->addWidget(BoldLabel("Label6", QStringLiteral("Errors"), this));
    rich_edit_errors_ = new QTextEdit(this);
    rich_edit_errors_->setObjectName(QStringLiteral("RichEditErrors"));
    rich_edit_errors_->setReadOnly(true);
    rich_edit_errors_->setLineWrapMode(QTextEdit::NoWrap);
    rich_edit_errors_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rich_edit_errors_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(rich_edit_errors_, 1);

    button1_ = new QPushButton(QStringLiteral("Close window"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setAutoDefault(false);
    connect(button1_, &QPushButton::clicked, this, &TForm4::Button1Click);
    layout->addWidget(button1_, 0, Qt::AlignRight);
}

void TForm4::ShowModal(const std::function<int()>& run) {
    pending_run_ = run;
    activation_pending_ = true;
    Centre();
    exec();
    activation_pending_ = false;
    pending_run_ = nullptr;
}

// QDialog::exec shows the dialog and then enters its loop: a run started here, once the
// window is up, ends before the loop begins.
void TForm4::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible) {
        may_close_ = false;
    } else if (activation_pending_) {
        activation_pending_ = false;
        FormActivate();
    }
}

// An empty run runs nothing: the dialog then closes or stays as the previous run decided.
void TForm4::FormActivate() {
    if (pending_run_) {
        running_ = true;
        struct EndRun {
            bool& running;
            ~EndRun() { running = false; }
        } end_run{running_};
        since_paint_.invalidate();
        close_when_done_ = pending_run_() != 0;
    }
    may_close_ = true;
    update();
}

void TForm4::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!close_when_done_ || !may_close_) return;
    // Closed from the event loop, not from inside the paint.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && may_close_ && close_when_done_) accept();
    });
}

void TForm4::reject() {
    if (running_) return;
    QDialog::reject();
}

void TForm4::Button1Click() { close(); }

void TForm4::Centre() {
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (where == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(where->availableGeometry().center());
    move(frame.topLeft());
}

void TForm4::PaintNowAndThen() {
    if (!running_) return;
    if (since_paint_.isValid() && since_paint_.elapsed() < kPaintIntervalMs) return;
    repaint();
    since_paint_.start();
}

void TForm4::SetCaption(const std::string& caption) { setWindowTitle(ToQ(caption)); }

void TForm4::SetFromLabel(const std::string& text) { label_from_->setText(ToQ(text)); }

void TForm4::SetSource(const std::string& path) {
    label_source_->SetFullText(ToQ(path));
    PaintNowAndThen();
}

void TForm4::SetDestination(const std::string& path) { label_destination_->SetFullText(ToQ(path)); }

void TForm4::ClearErrors() { rich_edit_errors_->clear(); }

// The path in the text colour, then its message in red; the caret ends after the message
// with nothing selected.
void TForm4::AppendError(const std::string& path, const std::string& message) {
    QTextCursor cursor(rich_edit_errors_->document());
    cursor.movePosition(QTextCursor::End);
    const QTextCharFormat plain;
    if (!rich_edit_errors_->document()->isEmpty()) cursor.insertBlock(QTextBlockFormat(), plain);
    cursor.insertText(ToQ(path), plain);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    cursor.insertBlock(QTextBlockFormat(), red);
    cursor.insertText(ToQ(message), red);
    rich_edit_errors_->setTextCursor(cursor);
    rich_edit_errors_->ensureCursorVisible();
}

void TForm4::SetCloseEnabled(bool enabled) { button1_->setEnabled(enabled); }

// A window system that maps a window a moment after it is shown (X11) may not have shown the
// dialog yet after that one pass; until it has, nothing the run paints reaches the screen.
// So the pass goes on a little while the dialog is not yet on screen, still without input.
void TForm4::ProcessEventsOnce() {
    QCoreApplication::processEvents();
    QElapsedTimer waited;
    waited.start();
    while (isVisible() && windowHandle() && !windowHandle()->isExposed() &&
           waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    if (running_) repaint();
}

}  // namespace ambrel::ui
