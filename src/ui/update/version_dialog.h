#pragma once

#include <QDialog>

namespace ambrel::ui {

// The version check dialog.
class TForm5 : public QDialog {
    Q_OBJECT

public:
    explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace ambrel::ui
