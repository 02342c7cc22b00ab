#include "ui/update/version_dialog.h"

namespace ambrel::ui {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Checking new version"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(547, 331);
}

}  // namespace ambrel::ui
