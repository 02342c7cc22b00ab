#pragma once

#include <QIcon>
#include <QString>
#include <QTreeView>
#include <QVector>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/report_view.h"

namespace ambrel::ui {

class ReportModel;

// The report-style list view the core drives: a virtual table over plain rows of
// UTF-8 cells. The view asks the model only for the rows it paints; rows added in
// a burst reach the view as one insertion (see Flush), and row rewrites as one
// change, so rebuilding a table of 100,000 rows costs one pass over the rows.
// Selection lives in the view's QItemSelectionModel; sorting moves it with its rows.
class QtReportView : public QTreeView, public ambrel::ReportView {
    Q_OBJECT

public:
    explicit QtReportView(QWidget* parent = nullptr);
    ~QtReportView() override;

    // ambrel::ReportView
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
    // The rows are packed as they are added to the batch, so replacing every row of a long
    // table is one move.
    std::unique_ptr<RowBatch> NewRowBatch() override;
    void ReplaceRows(std::unique_ptr<RowBatch> batch) override;
    void BeginUpdate() override;
    void EndUpdate() override;
    bool IsSelected(int row) const override;
    void SetSelected(int row, bool selected) override;
    void ReplaceSelection(const std::vector<int>& rows) override;
    void SelectAll() override;
    void ClearSelection() override;
    std::vector<int> SelectedRows() const override;
    int FirstSelected() const override;
    void FocusRow(int row) override;
    void ReorderRows(const std::vector<int>& order) override;

    // The image list that header images and row images index.
    void SetImages(const QVector<QIcon>& images);
    int AddImage(const QIcon& image);  // returns the new image's index
    void ClearImages();

    void SetMultiSelect(bool multi);
    // In-place editing of the caption cell (F2 or a click on a selected row). An edit
    // only raises captionEdited; the caption changes when the handler sets the row.
    void SetCaptionEditable(bool editable);
    bool CaptionEditable() const;
    void EditCaption(int row);
    void SetGridLines(bool on) {
        grid_lines_ = on;
        viewport()->update();
    }

    // Tells the view about rows added or rewritten since the last call. Runs by itself
    // from the event loop and at EndUpdate; selection and sorting run it first.
    void Flush();

signals:
    // The selection changed (once per command, however many rows it touched).
    void rowSelectionChanged();
    void headerClicked(int pos);
    // Double click or Enter on a row.
    void rowActivated(int row);
    // Every key pressed while the table has the focus, before the table handles it.
    void keyPressed(int key);
    void captionEdited(int row, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void OnSelectionChanged();
    // Selection as a flag per row, rebuilt from the selection ranges when stale.
    const std::vector<char>& SelectionFlags() const;
    bool ValidRow(int row) const;

    ReportModel* model_;
    bool grid_lines_ = true;
    int update_depth_ = 0;
    int quiet_selection_ = 0;  // > 0: selection signals are held back
    bool selection_pending_ = false;
    mutable bool flags_valid_ = false;
    mutable std::vector<char> selection_flags_;
};

}  // namespace ambrel::ui
