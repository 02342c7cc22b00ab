#include "ui/viewer/filter_bar.h"

#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QToolButton>
#include <algorithm>

#include "ui/common/icons.h"
#include "ui/common/qt_text.h"
#include "viewer/tag_viewer.h"

namespace ambrel::ui {
namespace {

// Entry k (1..10) of a column list names column k of the table under its caption of the
// initial layout; entry 0 all columns.
const QStringList& ColumnEntries() {
    static const QStringList entries = [] {
        QStringList list{QStringLiteral("All columns")};
        for (int c = TTagViewer::kDirectory; c < TTagViewer::kColumnCount; ++c)
            list.append(QLatin1String(TTagViewer::LayoutCaptionOf(c)));
        return list;
    }();
    return entries;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

}  // namespace

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FilterBar"));
    label_filter1_ = MakeLabel(this, "LabelFilter1", tr("Look for"));
    combo_box_ex_filter1_ = MakeLookForBox(QStringLiteral("ComboBoxExFilter1"));
    label_filter2_ = MakeLabel(this, "LabelFilter2", tr("in column"));
    combo_box_filter1_ = MakeColumnList(QStringLiteral("ComboBoxFilter1"));
    label_filter3_ = MakeLabel(this, "LabelFilter3", tr("AND look for"));
    combo_box_ex_filter2_ = MakeLookForBox(QStringLiteral("ComboBoxExFilter2"));
    label_filter4_ = MakeLabel(this, "LabelFilter4", tr("in column"));
    combo_box_filter2_ = MakeColumnList(QStringLiteral("ComboBoxFilter2"));
    label_filter1_->setBuddy(combo_box_ex_filter1_);
    label_filter3_->setBuddy(combo_box_ex_filter2_);

    speed_button_apply_filter_ = new QToolButton(this);
    speed_button_apply_filter_->setObjectName(QStringLiteral("SpeedButtonApplyFilter"));
    speed_button_apply_filter_->setToolTip(tr("Show only filtered lines"));
    speed_button_apply_filter_->setIcon(MenuPicture(Picture::kFilter));
    speed_button_apply_filter_->setAutoRaise(true);
    connect(speed_button_apply_filter_, &QToolButton::clicked, this, &FilterBar::applyClicked);

    connect(combo_box_filter1_, &QComboBox::currentIndexChanged, this,
            &FilterBar::ComboBoxFilter1Change);
    connect(combo_box_filter2_, &QComboBox::currentIndexChanged, this,
            &FilterBar::ComboBoxFilter2Change);

    // Each pair on a line of its own; the two lines stand side by side when the bar is
    // wide enough and one above the other in a narrow window (see resizeEvent).
    pair1_ = new QHBoxLayout;
    pair1_->addWidget(label_filter1_);
    pair1_->addWidget(combo_box_ex_filter1_, 1);
    pair1_->addWidget(label_filter2_);
    pair1_->addWidget(combo_box_filter1_);
    pair2_ = new QHBoxLayout;
    pair2_->addWidget(label_filter3_);
    pair2_->addWidget(combo_box_ex_filter2_, 1);
    pair2_->addWidget(label_filter4_);
    pair2_->addWidget(combo_box_filter2_);
    pair2_->addWidget(speed_button_apply_filter_);
    lines_ = new QBoxLayout(QBoxLayout::LeftToRight, this);
    lines_->setContentsMargins(0, 0, 0, 0);
    lines_->addLayout(pair1_, 1);
    lines_->addLayout(pair2_, 1);
}

QComboBox* FilterBar::MakeLookForBox(const QString& name) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setEditable(true);
    // The history holds the column's values only: typed texts are not added on Enter.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(4);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMaxVisibleItems(20);
    // The history is offered in a pop-up and never typed into the box: inline completion
    // would turn the typed "beat" into "Beatles", and the filter would look for that.
    box->completer()->setCompletionMode(QCompleter::PopupCompletion);
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    connect(box->lineEdit(), &QLineEdit::returnPressed, this, &FilterBar::applyClicked);
    return box;
}

QComboBox* FilterBar::MakeColumnList(const QString& name) {
    auto* list = new QComboBox(this);
    list->setObjectName(name);
    list->setEditable(false);
    list->addItems(ColumnEntries());
    list->setCurrentIndex(0);
    list->setMaxVisibleItems(ColumnEntries().size());
    return list;
}

int FilterBar::OneLineWidth() const {
    return pair1_->minimumSize().width() + lines_->spacing() + pair2_->minimumSize().width();
}

QSize FilterBar::minimumSizeHint() const {
    // The narrowest bar is the two-line one.
    const int width = std::max(pair1_->minimumSize().width(), pair2_->minimumSize().width());
    return {width, lines_->minimumSize().height()};
}

void FilterBar::resizeEvent(QResizeEvent* event) {
    const auto direction =
        width() >= OneLineWidth() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (lines_->direction() != direction) {
        lines_->setDirection(direction);
        updateGeometry();
    }
    QWidget::resizeEvent(event);
}

void FilterBar::Bind(ambrel::TTagViewer* viewer) { viewer_ = viewer; }

QComboBox* FilterBar::LookForBox(FilterCondition condition) const {
    return condition == FilterCondition::kFirst ? combo_box_ex_filter1_ : combo_box_ex_filter2_;
}

QComboBox* FilterBar::ColumnList(FilterCondition condition) const {
    return condition == FilterCondition::kFirst ? combo_box_filter1_ : combo_box_filter2_;
}

void FilterBar::ApplyFilter() {
    if (viewer_ == nullptr) return;
    TakeFilterCondition(FilterCondition::kFirst);
    TakeFilterCondition(FilterCondition::kSecond);
    viewer_->RebuildRows();
}

void FilterBar::TakeFilterCondition(FilterCondition condition) {
    if (viewer_ == nullptr) return;
    const QString text = LookForBox(condition)->currentText();
    const int entry = ColumnList(condition)->currentIndex();
    if (text.isEmpty()) {
        viewer_->ClearFilterCondition(condition);
    } else {
        viewer_->SetFilterCondition(condition, FromQ(text), entry >= 1 ? entry : -1);
    }
}

void FilterBar::FillFilterHistory(FilterCondition condition, int entry) {
    QComboBox* box = LookForBox(condition);
    box->clear();
    box->clearEditText();
    if (entry < 1 || entry >= TTagViewer::kColumnCount || viewer_ == nullptr) return;

    QStringList history;
    for (const std::string& value : viewer_->FilterHistory(entry)) history.append(ToQ(value));
    box->addItems(history);
    // Adding to an empty list selects its first entry; the look-for text stays empty.
    box->setCurrentIndex(-1);
    box->clearEditText();
}

void FilterBar::ComboBoxFilter1Change(int entry) {
    FillFilterHistory(FilterCondition::kFirst, entry);
}

void FilterBar::ComboBoxFilter2Change(int entry) {
    FillFilterHistory(FilterCondition::kSecond, entry);
}

}  // namespace ambrel::ui
