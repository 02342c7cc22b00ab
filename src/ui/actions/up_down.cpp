#include "ui/actions/up_down.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace ambrel::ui {

namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setFixedWidth(16);
    return button;
}

}  // namespace

UpDown::UpDown(QLineEdit* associate, int minimum, int maximum, QWidget* parent)
    : QWidget(parent),
      associate_(associate),
      minimum_(minimum),
      maximum_(maximum),
      position_(std::clamp(associate->text().toInt(), minimum, maximum)),
      up_(MakeArrow(Qt::UpArrow, this)),
      down_(MakeArrow(Qt::DownArrow, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFixedHeight(associate->sizeHint().height());
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void UpDown::Step(int delta) {
    bool number = false;
    const int typed = associate_->text().trimmed().toInt(&number);
    if (number) position_ = typed;
    position_ = std::clamp(position_ + delta, minimum_, maximum_);
    associate_->setText(QString::number(position_));
    emit clicked();
}

}  // namespace ambrel::ui
