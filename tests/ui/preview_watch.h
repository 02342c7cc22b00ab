#pragma once

// What the tests of the preview dialog share: a watch that answers the dialog once it is
// open (its exec() would otherwise hold the test), and the dialog's table read as texts.
#include <QAbstractItemModel>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "ui/actions/preview_dialog.h"

namespace ambrel::test {

using ambrel::ui::PreviewDialog;

// Runs check on the preview dialog once it is open, then presses the button it names
// ("Apply" or "Close"). The watch ends with that; a test that expects no dialog deletes it.
inline QPointer<QTimer> WhenPreviewOpens(std::function<void(PreviewDialog*)> check,
                                         const char* press) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, check, press] {
        auto* dialog = qobject_cast<PreviewDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        timer->stop();
        timer->deleteLater();
        check(dialog);
        (QByteArray(press) == "Apply" ? dialog->ApplyButton() : dialog->CloseButton())->click();
    });
    timer->start(5);
    return timer;
}

inline QStringList Row(const QAbstractItemModel* model, int row) {
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column)
        cells.append(model->index(row, column).data().toString());
    return cells;
}

inline QStringList Header(const QAbstractItemModel* model) {
    QStringList captions;
    for (int column = 0; column < model->columnCount(); ++column)
        captions.append(model->headerData(column, Qt::Horizontal).toString());
    return captions;
}

}  // namespace ambrel::test
