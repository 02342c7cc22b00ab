#include "ui/common/qt_report_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <climits>

#include "ui/common/report_model.h"

namespace ambrel::ui {

namespace {

// Rows in the model's own form, packed as they are added.
class PackedRowBatch : public ReportView::RowBatch {
public:
    void Add(std::vector<std::string> cells) override { rows.push_back({PackedCells(cells), -1}); }
    void Set(int index, std::vector<std::string> cells) override {
        rows[static_cast<std::size_t>(index)].cells = PackedCells(cells);
    }
    std::vector<ReportModel::Row> rows;
};

// Rows a little taller than the text, so grid lines do not touch it.
class PaddedDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 4);
    }
};

}  // namespace

QtReportView::QtReportView(QWidget* parent) : QTreeView(parent), model_(new ReportModel(this)) {
    setModel(model_);
    setItemDelegate(new PaddedDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    model_->on_caption_edited = [this](int row, const QString& text) {
        emit captionEdited(row, text);
    };
    connect(header(), &QHeaderView::sectionClicked, this, &QtReportView::headerClicked);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowActivated(index.row()); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QtReportView::OnSelectionChanged);
    // Any change of the rows or their order makes the per-row selection flags stale.
    const auto stale = [this] { flags_valid_ = false; };
    connect(model_, &QAbstractItemModel::rowsInserted, this, stale);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(model_, &QAbstractItemModel::layoutChanged, this, stale);
    connect(model_, &QAbstractItemModel::modelReset, this, stale);
    connect(model_, &QAbstractItemModel::columnsInserted, this, stale);
    connect(model_, &QAbstractItemModel::columnsRemoved, this, stale);
}

QtReportView::~QtReportView() = default;

bool QtReportView::ValidRow(int row) const {
    return row >= 0 && row < static_cast<int>(model_->rows.size());
}

int QtReportView::ColumnCount() const { return model_->columnCount(); }

void QtReportView::AddColumn(const std::string& caption, int width) {
    model_->InsertColumn(caption);
    const int pos = ColumnCount() - 1;
    header()->resizeSection(pos, width >= 0 ? width : header()->defaultSectionSize());
}

void QtReportView::DeleteColumn(int pos) {
    if (pos < 0 || pos >= ColumnCount()) return;
    model_->RemoveColumn(pos);
}

std::string QtReportView::ColumnCaption(int pos) const {
    if (pos < 0 || pos >= ColumnCount()) return {};
    return model_->columns[pos].caption;
}

void QtReportView::SetColumnCaption(int pos, const std::string& caption) {
    if (pos < 0 || pos >= ColumnCount()) return;
    model_->columns[pos].caption = caption;
    emit model_->headerDataChanged(Qt::Horizontal, pos, pos);
}

int QtReportView::ColumnWidth(int pos) const {
    if (pos < 0 || pos >= ColumnCount()) return 0;
    return header()->sectionSize(pos);
}

void QtReportView::SetColumnWidth(int pos, int width) {
    if (pos < 0 || pos >= ColumnCount() || width < 0) return;
    header()->resizeSection(pos, width);
}

int QtReportView::ColumnImage(int pos) const {
    if (pos < 0 || pos >= ColumnCount()) return -1;
    return model_->columns[pos].image;
}

void QtReportView::SetColumnImage(int pos, int image) {
    if (pos < 0 || pos >= ColumnCount()) return;
    model_->columns[pos].image = image;
    emit model_->headerDataChanged(Qt::Horizontal, pos, pos);
}

int QtReportView::RowCount() const { return static_cast<int>(model_->rows.size()); }

void QtReportView::ClearRows() {
    ++quiet_selection_;
    model_->RemoveAllRows();
    --quiet_selection_;
    flags_valid_ = false;
    if (selection_pending_ && quiet_selection_ == 0) {
        selection_pending_ = false;
        emit rowSelectionChanged();
    }
}

int QtReportView::AddRow(std::vector<std::string> cells, int image) {
    model_->rows.push_back({PackedCells(cells), image});
    model_->ScheduleFlush();
    return RowCount() - 1;
}

std::unique_ptr<ReportView::RowBatch> QtReportView::NewRowBatch() {
    return std::make_unique<PackedRowBatch>();
}

void QtReportView::ReplaceRows(std::unique_ptr<RowBatch> batch) {
    ClearRows();
    model_->rows = std::move(static_cast<PackedRowBatch&>(*batch).rows);
    model_->ScheduleFlush();
}

void QtReportView::SetRow(int row, std::vector<std::string> cells) {
    if (!ValidRow(row)) return;
    model_->rows[row].cells = PackedCells(cells);
    model_->MarkDirty(row);
}

std::string_view QtReportView::Cell(int row, int pos) const {
    if (!ValidRow(row)) return {};
    return model_->rows[row].cells.At(pos);
}

int QtReportView::CellCount(int row) const {
    return ValidRow(row) ? model_->rows[row].cells.Count() : 0;
}

int QtReportView::RowImage(int row) const { return ValidRow(row) ? model_->rows[row].image : -1; }

void QtReportView::SetRowImage(int row, int image) {
    if (!ValidRow(row)) return;
    model_->rows[row].image = image;
    model_->MarkDirty(row);
}

void QtReportView::BeginUpdate() { ++update_depth_; }

void QtReportView::EndUpdate() {
    if (update_depth_ > 0 && --update_depth_ == 0) Flush();
}

void QtReportView::Flush() { model_->Flush(); }

void QtReportView::OnSelectionChanged() {
    flags_valid_ = false;
    if (quiet_selection_ > 0) {
        selection_pending_ = true;
        return;
    }
    emit rowSelectionChanged();
}

const std::vector<char>& QtReportView::SelectionFlags() const {
    if (flags_valid_ && selection_flags_.size() == model_->rows.size()) return selection_flags_;
    selection_flags_.assign(model_->rows.size(), 0);
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid()) continue;
        const int last = std::min(range.bottom(), static_cast<int>(selection_flags_.size()) - 1);
        for (int row = std::max(range.top(), 0); row <= last; ++row) selection_flags_[row] = 1;
    }
    flags_valid_ = true;
    return selection_flags_;
}

bool QtReportView::IsSelected(int row) const {
    if (!ValidRow(row)) return false;
    return SelectionFlags()[row] != 0;
}

void QtReportView::SetSelected(int row, bool selected) {
    if (!ValidRow(row) || ColumnCount() == 0) return;
    Flush();
    const auto command = (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                         QItemSelectionModel::Rows;
    selectionModel()->select(model_->index(row, 0), command);
}

void QtReportView::ReplaceSelection(const std::vector<int>& rows) {
    Flush();
    std::vector<int> sorted(rows);
    if (!std::is_sorted(sorted.begin(), sorted.end())) std::sort(sorted.begin(), sorted.end());
    QItemSelection selection;
    const int last_column = ColumnCount() - 1;
    for (std::size_t i = 0; i < sorted.size() && last_column >= 0;) {
        if (!ValidRow(sorted[i])) {
            ++i;
            continue;
        }
        // One range per run of consecutive rows.
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] <= sorted[j] + 1 && ValidRow(sorted[j + 1]))
            ++j;
        selection.append(QItemSelectionRange(model_->index(sorted[i], 0),
                                             model_->index(sorted[j], last_column)));
        i = j + 1;
    }
    // Clearing first keeps Qt's old-against-new comparison of ranges from going
    // quadratic when both selections hold many ranges.
    ++quiet_selection_;
    selectionModel()->clearSelection();
    if (!selection.isEmpty()) selectionModel()->select(selection, QItemSelectionModel::Select);
    --quiet_selection_;
    if (selection_pending_ && quiet_selection_ == 0) {
        selection_pending_ = false;
        emit rowSelectionChanged();
    }
}

void QtReportView::SelectAll() {
    Flush();
    if (RowCount() == 0 || ColumnCount() == 0) return;
    const QItemSelection all(model_->index(0, 0), model_->index(RowCount() - 1, ColumnCount() - 1));
    selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void QtReportView::ClearSelection() { selectionModel()->clearSelection(); }

std::vector<int> QtReportView::SelectedRows() const {
    std::vector<int> rows;
    const std::vector<char>& flags = SelectionFlags();
    for (std::size_t row = 0; row < flags.size(); ++row)
        if (flags[row]) rows.push_back(static_cast<int>(row));
    return rows;
}

int QtReportView::FirstSelected() const {
    int first = INT_MAX;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        if (range.isValid()) first = std::min(first, range.top());
    return first == INT_MAX ? -1 : first;
}

void QtReportView::FocusRow(int row) {
    if (!ValidRow(row) || ColumnCount() == 0) return;
    Flush();
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
}

void QtReportView::ReorderRows(const std::vector<int>& order) {
    if (order.size() != model_->rows.size()) return;
    Flush();
    model_->Permute(order);
    flags_valid_ = false;
}

void QtReportView::SetImages(const QVector<QIcon>& images) {
    model_->images = images;
    viewport()->update();
    header()->viewport()->update();
}

int QtReportView::AddImage(const QIcon& image) {
    model_->images.append(image);
    return static_cast<int>(model_->images.size()) - 1;
}

void QtReportView::ClearImages() { SetImages({}); }

void QtReportView::SetMultiSelect(bool multi) {
    setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                           : QAbstractItemView::SingleSelection);
}

void QtReportView::SetCaptionEditable(bool editable) {
    model_->caption_editable = editable;
    setEditTriggers(editable
                        ? QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
                        : QAbstractItemView::NoEditTriggers);
}

bool QtReportView::CaptionEditable() const { return model_->caption_editable; }

void QtReportView::EditCaption(int row) {
    if (!model_->caption_editable || !ValidRow(row) || ColumnCount() == 0) return;
    Flush();
    const QModelIndex index = model_->index(row, 0);
    scrollTo(index);
    edit(index);
}

void QtReportView::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(event->key());
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != QAbstractItemView::EditingState && currentIndex().isValid()) {
        emit rowActivated(currentIndex().row());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void QtReportView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    if (!grid_lines_) return;
    painter->save();
    painter->setPen(palette().color(QPalette::Midlight));
    const QRect rect = option.rect;
    painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    for (int pos = 0; pos < header()->count(); ++pos) {
        const int x = header()->sectionViewportPosition(pos) + header()->sectionSize(pos) - 1;
        painter->drawLine(x, rect.top(), x, rect.bottom());
    }
    painter->restore();
}

}  // namespace ambrel::ui
