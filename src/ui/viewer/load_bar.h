#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ambrel {
class Library;
}

namespace ambrel::ui {

// The slim bar under the main window's tool bar for a load running in the background: the
// files read against the files found so far, and "Cancel", which keeps what was read. It
// appears once a load has run for kShowAfterMs, so a quick load never flashes it, and goes
// when the load ends.
class LoadBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShowAfterMs = 300;
    static constexpr int kTickMs = 100;

    // The library is not owned and must outlive the bar.
    LoadBar(ambrel::Library& library, QWidget* parent);
    ~LoadBar() override;

private:
    void BusyChanged(bool busy);
    void Tick();

    ambrel::Library& library_;
    int listener_ = 0;
    QElapsedTimer since_start_;
    QTimer* timer_ = nullptr;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace ambrel::ui
