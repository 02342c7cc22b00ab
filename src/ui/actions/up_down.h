#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace ambrel::ui {

// The up and down arrows beside an edit box that holds a number. A click takes the box's
// number (or, when its text is none, the number the arrows wrote last), steps it by one
// within the range, writes it into the box and then reports clicked().
class UpDown : public QWidget {
    Q_OBJECT

public:
    UpDown(QLineEdit* associate, int minimum, int maximum, QWidget* parent = nullptr);

    int Position() const { return position_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void clicked();

private:
    void Step(int delta);

    QLineEdit* associate_;
    int minimum_;
    int maximum_;
    int position_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace ambrel::ui
