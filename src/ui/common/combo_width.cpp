#include "ui/common/combo_width.h"

#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace ambrel::ui {

namespace {

// The width of the field where the chosen item is drawn, for a box of the given width.
int FieldWidth(const QComboBox& box, int width) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.rect.setWidth(width);
    option.editable = box.isEditable();
    option.frame = box.hasFrame();
    return box.style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box)
        .width();
}

}  // namespace

int WidthShowingEveryItem(const QComboBox& box) {
    const QFontMetrics metrics = box.fontMetrics();
    int widest = 0;
    for (int i = 0; i < box.count(); ++i) {
        const int icon = box.itemIcon(i).isNull() ? 0 : box.iconSize().width() + 4;
        widest = qMax(widest, metrics.horizontalAdvance(box.itemText(i)) + icon);
    }
    const int width = box.sizeHint().width();
    return width + qMax(0, widest - FieldWidth(box, width));
}

}  // namespace ambrel::ui
