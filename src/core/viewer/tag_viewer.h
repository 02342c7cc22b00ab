#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/report_view.h"
#include "tag/tag_list.h"
#include "viewer/row_filter.h"
#include "viewer/row_selection.h"
#include "viewer/tag_columns.h"

namespace ambrel {

// Binds the tag list to the main window's table: one row per loaded file, eleven
// columns, a two-condition row filter, column show and hide with remembered widths,
// the sort column and direction, and the genre names of tagviewer.cfg.
// The binding keeps the list position of each shown row's entry itself, through adding,
// filtering, sorting and removing rows; the Index cell shows that position + 1 but is never
// read back. The table's rows are changed only through this binding.
class TTagViewer : public TagColumns {
public:
    // Header images of the table's image list.
    enum HeaderImage { kImageAudio = 0, kImageAscending = 1, kImageDescending = 2 };

    // The caption of a column as the table's rebuilt columns show it ("" for no column),
    // and as the window's initial layout shows it: there the sixth reads "Song name".
    static const char* CaptionOf(int column);
    static const char* LayoutCaptionOf(int column);

    // Loads the genre names from cfg_path ("0".."148" when absent or missing).
    // Does not touch the table.
    TTagViewer(ReportView* table, TTagList* list, std::optional<std::string> cfg_path);

    // Adds the eleven columns of the window's initial layout to an empty table (the
    // sixth captioned "Song name"), with the Index header showing the ascending image.
    void LayoutColumns();

    int BuildRow(const TTagFile* file);
    bool MatchesFilter() const;
    // AddRow and SetRow take an entry of the list (0 for any other file).
    int AddRow(const TTagFile* file);
    int SetRow(int row, const TTagFile* file);
    int RebuildRows();
    // RebuildRows in steps, for a window's thread that must not stop long over 100,000
    // entries: BeginRebuild, then ContinueRebuild until it gives true, each call making the
    // rows of up to `entries` more entries aside, then FinishRebuild puts them in the table
    // at once (one rebuild) and gives what RebuildRows gives. The table keeps its rows until
    // then. An entry shown again in between (SetRow) is made again at the end; a change of
    // the columns, the filter or the code page, or a RebuildRows, starts the steps over.
    void BeginRebuild();
    bool ContinueRebuild(int entries);
    int FinishRebuild();
    // The entry shown in a table row; none for a row number outside the table.
    TTagFile* EntryAt(int row) const;
    // The list position of the entry shown in a table row; -1 for a row outside the table.
    int ListPositionAt(int row) const;
    int UpdateRow(int row);
    int UpdateAllRows();
    // Fills every shown row's cells again from its entry, in place: the rows, their order
    // and the selection stay (the filter is not applied again). For texts that read
    // differently now, as after a change of the code page.
    void RedrawRows();
    // Rewrites in place every row that shows one of the entries. The number of rows.
    int UpdateRowsOf(const std::unordered_set<const TTagFile*>& entries);
    // The entries changed behind the rows (a move, a folder rename, an undo): each row that
    // shows one is drawn again, and when one of them now passes the filter where it did not,
    // or no longer passes it, the rows are built again, so that no row shows what the entry
    // no longer holds. The number of rows drawn, or RebuildRows' count.
    int FollowEntries(const std::unordered_set<const TTagFile*>& entries);
    std::vector<int> SelectedRows() const;
    void SelectAll();
    int DeleteSelected();
    int DeleteAll();
    // As DeleteSelected and DeleteAll, but the entries are handed over with the positions
    // they had instead of being destroyed; none when there were no rows to remove.
    std::vector<TakenEntry> TakeSelected();
    std::vector<TakenEntry> TakeAll();
    int RemovePath(std::string_view path);
    // Removes the entries of every one of these paths (text compared exactly) in one pass,
    // renumbers the list and rebuilds the rows once. 1.
    int RemovePaths(const std::vector<std::string>& paths);
    int ShowColumn(int column, bool show);
    int SetSortColumn(int column);
    void ToggleSortDirection() { sort_direction_ = -sort_direction_; }
    int GetSortColumn() const { return sort_column_; }
    int GetSortDirection() const { return sort_direction_; }
    int ColumnValues(int column, std::vector<std::string>* values) const;
    // The condition's text and its column (-1 any column, else 0..10). 0 for another
    // column, else 1. A number from outside names its condition through
    // FilterConditionFromInt. The rows follow at the next rebuild.
    int SetFilterCondition(FilterCondition condition, std::string_view text, int column);
    void ClearFilterCondition(FilterCondition condition);

    // Selects exactly the rows whose file meets the criterion (a selection code names its
    // criterion through CriterionFromCode); returns their number.
    int SelectRowsBy(const SelectionCriterion& criterion);
    // A header click on the column at position pos among the shown columns: moves the
    // header image, sets or reverses the sort, and sorts the rows.
    void ColumnClick(int pos);
    // Sorts the rows, stably, by CompareRows and hands the order to the table (its
    // selection follows its rows).
    void SortRows();
    // The sort rule for two rows (row numbers of the table), honouring SortColumn and
    // SortDirection, taken from their entries: Index and Track as numbers, a tag field by the
    // unsigned bytes the block stores (in the Latin-1 page the order of its cell text), every
    // other column by the unsigned bytes of its cell text. Allocates nothing.
    int CompareRows(int row_a, int row_b) const;
    // The values of a column for its look-for box history: sorted without regard to
    // case, a text equal (ignoring case) to an earlier one dropped, first spelling kept.
    std::vector<std::string> FilterHistory(int column) const;

    const RowCells& RowTexts() const { return row_texts_; }
    const std::vector<std::string>& Genres() const { return genres_; }
    int ColumnPos(int column) const { return column_pos_[column]; }
    int ColumnWidth(int column) const { return column_width_[column]; }
    // The column number shown at a table position, -1 when none.
    int ColumnAtPosition(int pos) const;
    const std::optional<std::string>& FilterText(FilterCondition condition) const {
        return filter_.Text(condition);
    }
    int FilterColumn(FilterCondition condition) const { return filter_.Column(condition); }
    ReportView* Table() const { return table_; }
    TTagList* List() const { return list_; }

private:
    // Rows made aside for the table: each shown entry's list position and cells.
    struct MadeRows {
        std::vector<int> entries;
        std::unique_ptr<ReportView::RowBatch> cells;
        int next = 0;  // the list position made next
        int counted = 0;
        // Positions made already that SetRow showed again meanwhile.
        std::vector<int> shown_again;
    };
    // Makes the rows of up to `entries` more list entries; true when every entry is made.
    bool MakeRows(MadeRows* made, int entries);
    int PutRows(MadeRows made);
    void RestartRebuild();

    // The rows the table shows and this binding knows the entries of.
    int RowCount() const;
    // The list position of an entry; -1 when it is not in the list.
    int PositionOf(const TTagFile* file) const;
    void AddRowAt(int position, const TTagFile& file);
    void FillCells(const TTagFile& file, RowCells* cells) const;
    std::string_view GenreName(int genre) const;
    // The column the sort position names now.
    int SortColumnNumber() const;
    std::vector<std::string> VisibleCells() const;

    ReportView* table_;
    TTagList* list_;
    // For each table row, the list position of its entry.
    std::vector<int> row_entries_;
    std::vector<std::string> genres_;
    RowCells row_texts_;
    std::array<std::string, kColumnCount> captions_;
    std::array<int, kColumnCount> column_pos_{};
    std::array<int, kColumnCount> column_width_{};
    int sort_column_ = 0;
    int sort_direction_ = 1;
    RowFilter filter_;
    // The rebuild in steps under way, if any.
    std::optional<MadeRows> rebuild_;
};

}  // namespace ambrel
