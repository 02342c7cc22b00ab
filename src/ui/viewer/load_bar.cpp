#include "ui/viewer/load_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "library/library.h"

namespace ambrel::ui {

namespace {

int Clamped(std::size_t count) { return static_cast<int>(std::min<std::size_t>(count, INT_MAX)); }

}  // namespace

LoadBar::LoadBar(ambrel::Library& library, QWidget* parent) : QWidget(parent), library_(library) {
    setObjectName(QStringLiteral("PanelLoad"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    label_ = new QLabel(QStringLiteral("Reading tags: files read / files found"), this);
    label_->setObjectName(QStringLiteral("LabelLoad"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBarLoad"));
    bar_->setTextVisible(true);
    bar_->setMaximumHeight(label_->sizeHint().height() + 4);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("ButtonCancelLoad"));
    connect(cancel_, &QPushButton::clicked, this, [this] {
        library_.CancelLoad();
        // The load stops within a read or two; the bar goes when its end is applied.
        cancel_->setEnabled(false);
    });
    layout->addWidget(label_);
    layout->addWidget(bar_, 1);
    layout->addWidget(cancel_);

    timer_ = new QTimer(this);
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &LoadBar::Tick);
    listener_ = library_.AddBusyListener([this](bool busy) { BusyChanged(busy); });
    hide();
}

LoadBar::~LoadBar() { library_.RemoveBusyListener(listener_); }

void LoadBar::BusyChanged(bool busy) {
    if (busy) {
        since_start_.start();
        cancel_->setEnabled(true);
        timer_->start();
        return;
    }
    timer_->stop();
    hide();
}

void LoadBar::Tick() {
    if (since_start_.elapsed() < kShowAfterMs) return;
    const ambrel::LoadProgress progress = library_.Progress();
    const int found = Clamped(progress.files_found);
    bar_->setRange(0, std::max(found, 1));
    bar_->setValue(std::min(Clamped(progress.files_read), std::max(found, 1)));
    bar_->setFormat(QStringLiteral("%1 / %2").arg(progress.files_read).arg(progress.files_found));
    show();
}

}  // namespace ambrel::ui
