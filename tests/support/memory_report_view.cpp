#include "support/memory_report_view.h"

#include <algorithm>
#include <utility>

namespace ambrel::test {

int MemoryReportView::ColumnCount() const { return static_cast<int>(columns.size()); }

void MemoryReportView::AddColumn(const std::string& caption, int width) {
    columns.push_back({caption, width, -1});
}

void MemoryReportView::DeleteColumn(int pos) {
    if (ValidColumn(pos)) columns.erase(columns.begin() + pos);
}

std::string MemoryReportView::ColumnCaption(int pos) const {
    return ValidColumn(pos) ? columns[pos].caption : std::string();
}

void MemoryReportView::SetColumnCaption(int pos, const std::string& caption) {
    if (ValidColumn(pos)) columns[pos].caption = caption;
}

int MemoryReportView::ColumnWidth(int pos) const {
    return ValidColumn(pos) ? columns[pos].width : 0;
}

void MemoryReportView::SetColumnWidth(int pos, int width) {
    if (ValidColumn(pos)) columns[pos].width = width;
}

int MemoryReportView::ColumnImage(int pos) const {
    return ValidColumn(pos) ? columns[pos].image : -1;
}

void MemoryReportView::SetColumnImage(int pos, int image) {
    if (ValidColumn(pos)) columns[pos].image = image;
}

int MemoryReportView::RowCount() const { return static_cast<int>(rows.size()); }

void MemoryReportView::ClearRows() {
    rows.clear();
    ++clears;
}

int MemoryReportView::AddRow(std::vector<std::string> cells, int image) {
    rows.push_back({std::move(cells), image, false});
    ++adds;
    return static_cast<int>(rows.size()) - 1;
}

void MemoryReportView::SetRow(int row, std::vector<std::string> cells) {
    if (ValidRow(row)) rows[row].cells = std::move(cells);
}

std::string_view MemoryReportView::Cell(int row, int pos) const {
    if (!ValidRow(row) || pos < 0) return {};
    const auto& cells = rows[row].cells;
    return pos < static_cast<int>(cells.size()) ? std::string_view(cells[pos]) : std::string_view();
}

int MemoryReportView::CellCount(int row) const {
    return ValidRow(row) ? static_cast<int>(rows[row].cells.size()) : 0;
}

int MemoryReportView::RowImage(int row) const { return ValidRow(row) ? rows[row].image : -1; }

void MemoryReportView::SetRowImage(int row, int image) {
    if (ValidRow(row)) rows[row].image = image;
}

bool MemoryReportView::IsSelected(int row) const { return ValidRow(row) && rows[row].selected; }

void MemoryReportView::SetSelected(int row, bool selected) {
    if (ValidRow(row)) rows[row].selected = selected;
}

void MemoryReportView::ReplaceSelection(const std::vector<int>& selected_rows) {
    ++selection_replaces;
    for (auto& row : rows) row.selected = false;
    for (int row : selected_rows) SetSelected(row, true);
}

void MemoryReportView::SelectAll() {
    for (auto& row : rows) row.selected = true;
}

void MemoryReportView::ClearSelection() {
    for (auto& row : rows) row.selected = false;
}

std::vector<int> MemoryReportView::SelectedRows() const {
    std::vector<int> selected;
    for (int i = 0; i < RowCount(); ++i)
        if (rows[i].selected) selected.push_back(i);
    return selected;
}

int MemoryReportView::FirstSelected() const {
    for (int i = 0; i < RowCount(); ++i)
        if (rows[i].selected) return i;
    return -1;
}

void MemoryReportView::ReorderRows(const std::vector<int>& order) {
    ++sorts;
    std::vector<RowData> sorted;
    sorted.reserve(rows.size());
    for (int i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

std::vector<std::string> MemoryReportView::RowCells(int row) const {
    return ValidRow(row) ? rows[row].cells : std::vector<std::string>();
}

std::vector<std::string> MemoryReportView::Captions() const {
    std::vector<std::string> captions;
    for (const auto& column : columns) captions.push_back(column.caption);
    return captions;
}

}  // namespace ambrel::test
