#include "ui/common/busy_controls.h"

#include <QAction>
#include <QWidget>

#include "library/library.h"

namespace ambrel::ui {

BusyControls::BusyControls(ambrel::Library& library, QObject* parent)
    : QObject(parent), library_(library) {
    listener_ = library_.AddBusyListener([this](bool busy) { Apply(busy); });
}

BusyControls::~BusyControls() { library_.RemoveBusyListener(listener_); }

void BusyControls::Add(QWidget* control) {
    controls_.append(control);
    control->setEnabled(!library_.IsBusy());
}

void BusyControls::Add(QAction* item) {
    items_.append(item);
    item->setEnabled(!library_.IsBusy());
}

void BusyControls::Apply(bool busy) {
    for (QWidget* control : controls_)
        if (control) control->setEnabled(!busy);
    for (QAction* item : items_)
        if (item) item->setEnabled(!busy);
}

}  // namespace ambrel::ui
