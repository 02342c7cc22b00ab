#pragma once

#include <QWidget>

namespace ambrel::ui {

// The file viewer: the left one of the three side-by-side windows.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

public slots:
    // The main window saved tags: a file list that shows tag status lists its files again.
    void AfterTagsSaved();

signals:
    // The user closed the window; the main window clears its flag and places the windows.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace ambrel::ui
