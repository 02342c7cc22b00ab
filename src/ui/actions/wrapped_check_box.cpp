#include "ui/actions/wrapped_check_box.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace ambrel::ui {

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
// No line is laid out wider than this, so the caption alone never needs a second line.
constexpr int kUnbounded = 10000;

}  // namespace

WrappedCheckBox::WrappedCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int WrappedCheckBox::IndicatorWidth() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
           style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

int WrappedCheckBox::TextHeight(int text_width) const {
    return fontMetrics()
        .boundingRect(QRect(0, 0, std::max(1, text_width), kUnbounded), kTextFlags, text())
        .height();
}

QRect WrappedCheckBox::TextRect(int width, int height) const {
    return {IndicatorWidth(), 1, std::max(1, width - IndicatorWidth()), height - 1};
}

int WrappedCheckBox::heightForWidth(int width) const {
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    return std::max(indicator, TextHeight(width - IndicatorWidth())) + 2;
}

QSize WrappedCheckBox::sizeHint() const {
    const int width = IndicatorWidth() + fontMetrics().horizontalAdvance(text()) + 2;
    return {width, heightForWidth(width)};
}

QSize WrappedCheckBox::minimumSizeHint() const {
    // As narrow as the longest word allows.
    int widest = 0;
    for (const QString& word : text().split(QLatin1Char(' ')))
        widest = std::max(widest, fontMetrics().horizontalAdvance(word));
    const int width = IndicatorWidth() + widest + 2;
    return {width, heightForWidth(width)};
}

void WrappedCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const int indicator_height = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    const int indicator_width = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    // The indicator stands beside the caption's first line.
    const int first_line = fontMetrics().height() + 2;
    option.rect = QRect(0, std::max(0, (first_line - indicator_height) / 2), indicator_width,
                        indicator_height);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(TextRect(width(), height()), kTextFlags, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fontMetrics().boundingRect(TextRect(width(), height()), kTextFlags, text());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace ambrel::ui
