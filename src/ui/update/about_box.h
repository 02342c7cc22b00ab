#pragma once

#include <QDialog>

class QLabel;

namespace ambrel::ui {

// The About box: the product's name and version.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* Version() const { return version_; }

private:
    QLabel* version_ = nullptr;
};

}  // namespace ambrel::ui
