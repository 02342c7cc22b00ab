#include "ui/common/wrapping_check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace ambrel::ui {

namespace {

constexpr int kTextFlags =
    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

}  // namespace

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int WrappingCheckBox::IndicatorWidth() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    return style()->sizeFromContents(QStyle::CT_CheckBox, &option, QSize(0, 0), this).width();
}

// Narrow enough for the longest word, so the layout may wrap at every space. The height is
// one line's: the lines a width needs become the minimum height once the box has that width.
QSize WrappingCheckBox::minimumSizeHint() const {
    int widest = 0;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, fontMetrics().horizontalAdvance(word));
    return {IndicatorWidth() + widest, QCheckBox::sizeHint().height()};
}

int WrappingCheckBox::heightForWidth(int width) const {
    const int text_width = std::max(1, width - IndicatorWidth());
    const QRect text =
        fontMetrics().boundingRect(QRect(0, 0, text_width, 100000), kTextFlags, this->text());
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()
        ->sizeFromContents(QStyle::CT_CheckBox, &option, QSize(text_width, text.height()), this)
        .height();
}

// A layout that does not ask for the height for a width still gets the lines the caption
// needs at the width it gave.
void WrappingCheckBox::resizeEvent(QResizeEvent* event) {
    QCheckBox::resizeEvent(event);
    const int needed = heightForWidth(width());
    if (minimumHeight() != needed) setMinimumHeight(needed);
}

// The style draws the indicator and the focus frame; the caption is drawn wrapped beside it.
void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    const QRect text = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    painter.drawItemText(text, kTextFlags, option.palette, isEnabled(), caption,
                         QPalette::WindowText);
}

}  // namespace ambrel::ui
