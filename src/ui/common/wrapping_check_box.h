#pragma once

#include <QCheckBox>

namespace ambrel::ui {

// A check box whose caption wraps onto more lines when the box is narrower than the
// caption, so a long caption in a narrow window is never cut. Its text stays the caption
// as given; a click anywhere on the box toggles it.
class WrappingCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    // The width the indicator and its spacing take before the caption.
    int IndicatorWidth() const;
};

}  // namespace ambrel::ui
