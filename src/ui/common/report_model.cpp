#include "ui/common/report_model.h"

#include <QTimer>
#include <algorithm>
#include <cstring>

#include "ui/common/qt_text.h"

namespace ambrel::ui {

PackedCells::PackedCells(const std::vector<std::string>& cells) {
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

std::string_view PackedCells::At(int i) const {
    if (i < 0 || i >= Count()) return {};
    const uint32_t begin = i == 0 ? 0 : Read(i);
    const uint32_t end = Read(i + 1);
    const char* text = data_.get() + sizeof(uint32_t) * (1 + Read(0));
    return {text + begin, end - begin};
}

uint32_t PackedCells::Read(int slot) const {
    uint32_t value;
    std::memcpy(&value, data_.get() + sizeof(uint32_t) * slot, sizeof value);
    return value;
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
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

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return ToQ(columns[section].caption);
    if (role == Qt::DecorationRole) return Image(columns[section].image);
    return {};
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (caption_editable && index.column() == 0) flags |= Qt::ItemIsEditable;
    return flags;
}

bool ReportModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::EditRole) return false;
    if (on_caption_edited) on_caption_edited(index.row(), value.toString());
    return false;
}

QVariant ReportModel::Image(int image) const {
    if (image < 0 || image >= images.size()) return {};
    return images[image];
}

void ReportModel::Flush() {
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

void ReportModel::MarkDirty(int row) {
    if (row >= published_) return;  // the insertion will announce it
    dirty_first_ = std::min(dirty_first_, row);
    dirty_last_ = std::max(dirty_last_, row);
    ScheduleFlush();
}

void ReportModel::ScheduleFlush() {
    if (flush_scheduled_) return;
    flush_scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        flush_scheduled_ = false;
        Flush();
    });
}

void ReportModel::RemoveAllRows() {
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

void ReportModel::InsertColumn(const std::string& caption) {
    const int pos = columnCount();
    beginInsertColumns({}, pos, pos);
    columns.push_back({caption, -1});
    endInsertColumns();
}

void ReportModel::RemoveColumn(int pos) {
    beginRemoveColumns({}, pos, pos);
    columns.erase(columns.begin() + pos);
    endRemoveColumns();
}

void ReportModel::Permute(const std::vector<int>& order) {
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

}  // namespace ambrel::ui
