#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel {

// A report-style list view as the core sees it: columns with captions, widths and
// header images; rows whose first cell is the row's caption and whose further cells
// are its sub-items in column order; a selection; sorting by a compare callback.
// The Qt layer implements it as a virtual model/view table; tests use an in-memory one.
// Row numbers are display positions, 0 = top row.
class ReportView {
public:
    virtual ~ReportView() = default;

    // Columns, addressed by their 0-based position among the shown columns.
    virtual int ColumnCount() const = 0;
    virtual void AddColumn(const std::string& caption, int width) = 0;
    virtual void DeleteColumn(int pos) = 0;
    virtual std::string ColumnCaption(int pos) const = 0;
    virtual void SetColumnCaption(int pos, const std::string& caption) = 0;
    virtual int ColumnWidth(int pos) const = 0;
    virtual void SetColumnWidth(int pos, int width) = 0;
    // Header image index into the view's image list; -1 for none.
    virtual int ColumnImage(int pos) const = 0;
    virtual void SetColumnImage(int pos, int image) = 0;

    // Rows. cells[0] is the caption; a row may hold fewer cells than there are columns.
    virtual int RowCount() const = 0;
    virtual void ClearRows() = 0;
    virtual int AddRow(std::vector<std::string> cells,
                       int image = -1) = 0;  // returns its row number
    virtual void SetRow(int row, std::vector<std::string> cells) = 0;
    // Empty for a row or cell that does not exist. Valid until the row changes.
    virtual std::string_view Cell(int row, int pos) const = 0;
    virtual int CellCount(int row) const = 0;
    virtual int RowImage(int row) const = 0;
    virtual void SetRowImage(int row, int image) = 0;

    // Rows made aside, one at a time, to take the place of all rows at once (ReplaceRows):
    // a long table can be made in steps while the view still shows its old rows, and a view
    // may bring each row into its own form as it is added.
    class RowBatch {
    public:
        virtual ~RowBatch() = default;
        virtual void Add(std::vector<std::string> cells) = 0;
        // Rewrites the row added index-th (0 = first).
        virtual void Set(int index, std::vector<std::string> cells) = 0;
    };
    virtual std::unique_ptr<RowBatch> NewRowBatch();
    // ClearRows, then the batch's rows in its order. The batch must come from this view's
    // NewRowBatch.
    virtual void ReplaceRows(std::unique_ptr<RowBatch> batch);

    // Many row changes at once: a view may defer repainting until EndUpdate.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}

    // Selection.
    virtual bool IsSelected(int row) const = 0;
    virtual void SetSelected(int row, bool selected) = 0;
    // Replaces the whole selection by exactly these rows (ascending row numbers), at once.
    virtual void ReplaceSelection(const std::vector<int>& rows) = 0;
    virtual void SelectAll() = 0;
    virtual void ClearSelection() = 0;
    // All selected rows in display order; empty when none.
    virtual std::vector<int> SelectedRows() const = 0;
    // The first selected row in display order, -1 when none.
    virtual int FirstSelected() const = 0;
    // Makes the row the current (focused) one and scrolls it into view.
    virtual void FocusRow(int row) { (void)row; }

    // Reorders the rows so that new row i is old row order[i]; order holds every row number
    // once. The selection follows its rows.
    virtual void ReorderRows(const std::vector<int>& order) = 0;

    // Sorts the rows, stably: compare(a, b) < 0 puts row a before row b; a and b are the row
    // numbers before the sort, and Cell() answers for those numbers until Sort returns.
    // The selection follows its rows.
    void Sort(const std::function<int(int a, int b)>& compare);
};

}  // namespace ambrel
