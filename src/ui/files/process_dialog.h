#pragma once

#include <QDialog>

namespace ambrel::ui {

// The process dialog that copies, moves and deletes files.
class TForm4 : public QDialog {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace ambrel::ui
