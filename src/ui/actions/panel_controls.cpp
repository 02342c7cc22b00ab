#include "ui/actions/panel_controls.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include "ui/common/icons.h"

namespace ambrel::ui {

QLabel* MakeLabel(const char* name, const QString& caption, QWidget* parent, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    if (buddy != nullptr) label->setBuddy(buddy);
    return label;
}

QComboBox* MakeListBox(const char* name, const QStringList& items, int selected, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(false);
    box->addItems(items);
    box->setCurrentIndex(selected);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(4);
    return box;
}

QToolButton* MakeButton(const char* name, const QString& caption, Picture picture,
                        QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setIcon(MenuPicture(picture));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

}  // namespace ambrel::ui
