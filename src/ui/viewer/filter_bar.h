#pragma once

#include <QWidget>

class QBoxLayout;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QToolButton;

namespace ambrel {
enum class FilterCondition;
class TTagViewer;
}  // namespace ambrel

namespace ambrel::ui {

// The row filter along the bottom of the tag viewer page: two pairs of a look-for box
// (editable, with the chosen column's values as history) and a column list. The
// conditions take effect only in ApplyFilter; choosing a column refills the history.
class FilterBar : public QWidget {
    Q_OBJECT

public:
    explicit FilterBar(QWidget* parent = nullptr);

    // The table binding the conditions go to; nullptr once the model is gone.
    void Bind(ambrel::TTagViewer* viewer);
    ambrel::TTagViewer* Viewer() const { return viewer_; }

    // Takes both conditions from the boxes, then rebuilds the table's rows.
    void ApplyFilter();
    // Reads the condition's pair of boxes into it: an empty look-for text clears it;
    // otherwise the text in column -1 ("All columns") or column 1..10.
    void TakeFilterCondition(ambrel::FilterCondition condition);
    // Empties the pair's look-for box (text and list); for a column entry 1..10, fills
    // the list with that column's values, sorted and deduplicated without regard to case.
    void FillFilterHistory(ambrel::FilterCondition condition, int entry);

    QSize minimumSizeHint() const override;

signals:
    // The apply button was clicked, or Enter pressed in a look-for box; the main window
    // applies the filter.
    void applyClicked();

protected:
    // Puts the second pair below the first when the two do not fit side by side.
    void resizeEvent(QResizeEvent* event) override;

private:
    // The width the two pairs need side by side.
    int OneLineWidth() const;
    void ComboBoxFilter1Change(int entry);
    void ComboBoxFilter2Change(int entry);
    QComboBox* LookForBox(ambrel::FilterCondition condition) const;
    QComboBox* ColumnList(ambrel::FilterCondition condition) const;
    QComboBox* MakeLookForBox(const QString& name);
    QComboBox* MakeColumnList(const QString& name);

    ambrel::TTagViewer* viewer_ = nullptr;

    QLabel* label_filter1_ = nullptr;
    QComboBox* combo_box_ex_filter1_ = nullptr;
    QLabel* label_filter2_ = nullptr;
    QComboBox* combo_box_filter1_ = nullptr;
    QLabel* label_filter3_ = nullptr;
    QComboBox* combo_box_ex_filter2_ = nullptr;
    QLabel* label_filter4_ = nullptr;
    QComboBox* combo_box_filter2_ = nullptr;
    QToolButton* speed_button_apply_filter_ = nullptr;
    QHBoxLayout* pair1_ = nullptr;
    QHBoxLayout* pair2_ = nullptr;
    QBoxLayout* lines_ = nullptr;
};

}  // namespace ambrel::ui
