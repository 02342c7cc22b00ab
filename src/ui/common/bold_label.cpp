#include "ui/common/bold_label.h"

#include <QFont>
#include <QLabel>

namespace ambrel::ui {

QLabel* BoldLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

}  // namespace ambrel::ui
