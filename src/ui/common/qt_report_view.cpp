#include "ui/common/qt_report_view.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

// A row's cells in one heap block: the cell count, the end offset of each cell,
// then the bytes of all cells. One allocation per row keeps 100,000 rows small.
class PackedCells {
public:
    PackedCells() = default;
    explicit PackedCells(const std::vector<std::string>& cells) {
        const auto count = static_cast<uint32_t>(cells.size());
        std::size_t bytes = 0;
        for (const std::string& cell : cells) bytes += cell.size();
        const std::size_t head = sizeof(uint32_t) * (1 + count);
        data_ = std::make_unique<char[]>(head + bytes);
        std::memcpy(data_.get(), &count, sizeof count);
        uint32_t end = 0;
        char* text = data_.get() + head;
        for (uint32_t i = 0; i < count; ++i) {
            std::memcpy(text + end, cells[i].data(), cells[i].size());
            end += static_cast<uint32_t>(cells[i].size());
            std::memcpy(data_.get() + sizeof(uint32_t) * (1 + i), &end, sizeof end);
        }
    }

    int Count() const { return data_ ? static_cast<int>(Read(0)) : 0; }

    std::string_view At(int i) const {
        if (i < 0 || i >= Count()) return {};
        const uint32_t begin = i == 0 ? 0 : Read(i);
        const uint32_t end = Read(i + 1);
        const char* text = data_.get() + sizeof(uint32_t) * (1 + Read(0));
        return {text + begin, end - begin};
    }

private:
    uint32_t Read(int slot) const {
        uint32_t value;
        std::memcpy(&value, data_.get() + sizeof(uint32_t) * slot, sizeof value);
        return value;
    }

    std::unique_ptr<char[]> data_;
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

// The table model: columns and rows held as plain data. Rows past `published_` are
// held but not yet announced to the view; Flush announces them in one insertion.
class ReportModel : public QAbstractTableModel {
public:
    struct Column {
        std::string caption;
        int image = -1;
    };
    struct Row {
        PackedCells cells;
        int image = -1;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : published_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= published_) return {};
        const Row& row = rows[index.row()];
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return ToQ(row.cells.At(index.column()));
            case Qt::DecorationRole:
                if (index.column() == 0) return Image(row.image);
                return {};
            default:
                return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
        if (role == Qt::DisplayRole) return ToQ(columns[section].caption);
        if (role == Qt::DecorationRole) return Image(columns[section].image);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (caption_editable && index.column() == 0) flags |= Qt::ItemIsEditable;
        return flags;
    }

    // An edit of the caption is handed to the owner; the model keeps its text.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || index.column() != 0 || role != Qt::EditRole) return false;
        if (on_caption_edited) on_caption_edited(index.row(), value.toString());
        return false;
    }

    QVariant Image(int image) const {
        if (image < 0 || image >= images.size()) return {};
        return images[image];
    }

    void Flush() {
        const int total = static_cast<int>(rows.size());
        if (published_ < total) {
            beginInsertRows({}, published_, total - 1);
            published_ = total;
            endInsertRows();
        }
        if (dirty_first_ <= dirty_last_ && !columns.empty()) {
            const int last = std::min(dirty_last_, published_ - 1);
            if (dirty_first_ <= last)
                emit dataChanged(index(dirty_first_, 0),
                                 index(last, static_cast<int>(columns.size()) - 1));
        }
        dirty_first_ = INT_MAX;
        dirty_last_ = -1;
    }

    void MarkDirty(int row) {
        if (row >= published_) return;  // the insertion will announce it
        dirty_first_ = std::min(dirty_first_, row);
        dirty_last_ = std::max(dirty_last_, row);
        ScheduleFlush();
    }

    void ScheduleFlush() {
        if (flush_scheduled_) return;
        flush_scheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            flush_scheduled_ = false;
            Flush();
        });
    }

    void RemoveAllRows() {
        if (published_ > 0) {
            beginRemoveRows({}, 0, published_ - 1);
            rows.clear();
            published_ = 0;
            endRemoveRows();
        }
        rows.clear();
        dirty_first_ = INT_MAX;
        dirty_last_ = -1;
    }

    void InsertColumn(const std::string& caption) {
        const int pos = columnCount();
        beginInsertColumns({}, pos, pos);
        columns.push_back({caption, -1});
        endInsertColumns();
    }

    void RemoveColumn(int pos) {
        beginRemoveColumns({}, pos, pos);
        columns.erase(columns.begin() + pos);
        endRemoveColumns();
    }

    // Reorders the rows so that new position i holds old row order[i]; persistent
    // indexes (and so the selection and the current row) follow their rows.
    void Permute(const std::vector<int>& order) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<Row> sorted;
        sorted.reserve(rows.size());
        std::vector<int> new_pos(rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            sorted.push_back(std::move(rows[order[i]]));
            new_pos[order[i]] = static_cast<int>(i);
        }
        rows = std::move(sorted);
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& index : from)
            to.append(this->index(new_pos[index.row()], index.column()));
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    std::vector<Column> columns;
    std::vector<Row> rows;
    QVector<QIcon> images;
    bool caption_editable = false;
    std::function<void(int, const QString&)> on_caption_edited;

private:
    int published_ = 0;
    int dirty_first_ = INT_MAX;
    int dirty_last_ = -1;
    bool flush_scheduled_ = false;
};

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
