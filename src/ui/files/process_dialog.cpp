#include "ui/files/process_dialog.h"

namespace ambrel::ui {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Copy/Move files"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(490, 383);
}

}  // namespace ambrel::ui
