#pragma once

#include <QWidget>

namespace ambrel::ui {

// The action panel: the right one of the three side-by-side windows.
class TForm3 : public QWidget {
    Q_OBJECT

public:
    explicit TForm3(QWidget* parent = nullptr);

signals:
    // The user closed the window; the main window clears its flag and places the windows.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace ambrel::ui
