#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QVector>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel::ui {

// A row's cells in one heap block: the cell count, the end offset of each cell,
// then the bytes of all cells. One allocation per row keeps 100,000 rows small.
class PackedCells {
public:
    PackedCells() = default;
    explicit PackedCells(const std::vector<std::string>& cells);

    int Count() const { return data_ ? static_cast<int>(Read(0)) : 0; }
    std::string_view At(int i) const;

private:
    uint32_t Read(int slot) const;

    std::unique_ptr<char[]> data_;
};

// The table model of QtReportView: columns and rows held as plain data. Rows past
// `published_` are held but not yet announced to the view; Flush announces them in one
// insertion.
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
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of the caption is handed to the owner; the model keeps its text.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    QVariant Image(int image) const;
    // Announces the rows added and rewritten since the last call.
    void Flush();
    // A rewritten row, announced at the next Flush.
    void MarkDirty(int row);
    void ScheduleFlush();
    void RemoveAllRows();
    void InsertColumn(const std::string& caption);
    void RemoveColumn(int pos);
    // Reorders the rows so that new position i holds old row order[i]; persistent
    // indexes (and so the selection and the current row) follow their rows.
    void Permute(const std::vector<int>& order);

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

}  // namespace ambrel::ui
