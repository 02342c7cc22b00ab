#include "ui/actions/action_panel.h"

#include <QCloseEvent>

namespace ambrel::ui {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Action panel"));
    // Closing a side window never ends the program; only the main window does.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(289, 593);
}

void TForm3::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

}  // namespace ambrel::ui
