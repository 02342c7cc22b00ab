#pragma once

// What the tests of the process dialog share: a watch that keeps the modal dialog from
// blocking a test. It looks at the dialog from the event loop; once a run has ended and the
// dialog stands open because a file failed, it calls the test's check and presses
// "Close window". A dialog that ought to close by itself but is still open after a few
// seconds is closed too, and counted as stuck.
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "ui/files/process_dialog.h"

namespace ambrel::test {

class ProcessDialogWatch {
public:
    explicit ProcessDialogWatch(
        ambrel::ui::TForm4* dialog, std::function<void()> while_open = [] {})
        : dialog_(dialog), while_open_(std::move(while_open)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(5);
        since_.start();
    }

    // How often the dialog stood open after a run and was closed with its button.
    int closed_by_button = 0;
    // Whether a dialog that was to close by itself had to be closed.
    bool stuck = false;

private:
    // A run never returns to the event loop, so a dialog seen visible and not running has
    // finished its activation and is in its modal loop.
    void Look() {
        if (!dialog_->isVisible() || dialog_->Running()) {
            since_.restart();
            return;
        }
        if (!dialog_->CloseWhenDone()) {
            while_open_();
            ++closed_by_button;
            dialog_->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        } else if (since_.elapsed() > 5000) {
            stuck = true;
            dialog_->done(0);
        }
    }

    ambrel::ui::TForm4* dialog_;
    std::function<void()> while_open_;
    QTimer timer_;
    QElapsedTimer since_;
};

}  // namespace ambrel::test
