#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

namespace ambrel {
class Library;
}

namespace ambrel::ui {

// A window's controls whose commands change the tag list or its files (load, drop, remove,
// save, rename, copy, move, delete): greyed while the library is busy with a load, and
// enabled again when it ends. The commands behind them also test Library::IsBusy, for the
// keys and calls that bypass a greyed control.
class BusyControls : public QObject {
    Q_OBJECT

public:
    // The library is not owned and must outlive this object.
    BusyControls(ambrel::Library& library, QObject* parent);
    ~BusyControls() override;

    void Add(QWidget* control);
    void Add(QAction* item);

private:
    void Apply(bool busy);

    ambrel::Library& library_;
    int listener_ = 0;
    QList<QPointer<QWidget>> controls_;
    QList<QPointer<QAction>> items_;
};

}  // namespace ambrel::ui
