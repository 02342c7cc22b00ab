#pragma once

#include <QCheckBox>

namespace ambrel::ui {

// A check box whose caption breaks into lines at spaces when the box is narrower than the
// caption, so a long caption stays whole in a narrow window. The caption is the check
// box's own text, and a click anywhere on the box toggles it.
class WrappedCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit WrappedCheckBox(const QString& caption, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    // Where the caption stands in a box of this width: right of the indicator.
    QRect TextRect(int width, int height) const;
    int IndicatorWidth() const;
    int TextHeight(int text_width) const;
};

}  // namespace ambrel::ui
