#include "ui/files/form2.h"

#include <QCloseEvent>

namespace ambrel::ui {

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("File viewer"));
    // Closing a side window never ends the program; only the main window does.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(257, 623);
}

void TForm2::AfterTagsSaved() {}

void TForm2::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

}  // namespace ambrel::ui
