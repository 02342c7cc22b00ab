#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/report_view.h"

namespace ambrel::test {

// A ReportView held in plain memory, for tests and benchmarks: columns, rows of cells
// with an image, and a selection flag per row. Counters record how often the rows were
// rebuilt, so a test can tell whether an operation redrew the table.
class MemoryReportView : public ReportView {
public:
    struct ColumnData {
        std::string caption;
        int width = 0;
        int image = -1;
    };
    struct RowData {
        std::vector<std::string> cells;
        int image = -1;
        bool selected = false;
    };

    int ColumnCount() const override;
    void AddColumn(const std::string& caption, int width) override;
    void DeleteColumn(int pos) override;
    std::string ColumnCaption(int pos) const override;
    void SetColumnCaption(int pos, const std::string& caption) override;
    int ColumnWidth(int pos) const override;
    void SetColumnWidth(int pos, int width) override;
    int ColumnImage(int pos) const override;
    void SetColumnImage(int pos, int image) override;

    int RowCount() const override;
    void ClearRows() override;
    int AddRow(std::vector<std::string> cells, int image = -1) override;
    void SetRow(int row, std::vector<std::string> cells) override;
    std::string_view Cell(int row, int pos) const override;
    int CellCount(int row) const override;
    int RowImage(int row) const override;
    void SetRowImage(int row, int image) override;

    void BeginUpdate() override { ++update_depth; }
    void EndUpdate() override { --update_depth; }

    bool IsSelected(int row) const override;
    void SetSelected(int row, bool selected) override;
    void ReplaceSelection(const std::vector<int>& rows) override;
    void SelectAll() override;
    void ClearSelection() override;
    std::vector<int> SelectedRows() const override;
    int FirstSelected() const override;
    void FocusRow(int row) override { focused_row = row; }

    void ReorderRows(const std::vector<int>& order) override;

    // The cells of a row as a copy (empty for a row that does not exist).
    std::vector<std::string> RowCells(int row) const;
    // The captions of all columns in position order.
    std::vector<std::string> Captions() const;

    std::vector<ColumnData> columns;
    std::vector<RowData> rows;
    int clears = 0;              // ClearRows calls
    int adds = 0;                // AddRow calls
    int selection_replaces = 0;  // ReplaceSelection calls
    int sorts = 0;               // ReorderRows calls
    int update_depth = 0;        // BeginUpdate minus EndUpdate
    int focused_row = -1;

private:
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows.size()); }
    bool ValidColumn(int pos) const { return pos >= 0 && pos < static_cast<int>(columns.size()); }
};

}  // namespace ambrel::test
