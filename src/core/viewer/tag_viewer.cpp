#include "viewer/tag_viewer.h"

#include <algorithm>
#include <charconv>
#include <numeric>
#include <unordered_set>
#include <utility>

#include "platform/report_view.h"
#include "tag/genres.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"
#include "tag/text_helpers.h"
#include "viewer/row_sort.h"

namespace ambrel {

namespace {

// The captions of the columns; the window's initial layout names the sixth column
// differently ("Song name") from the rebuilt one.
constexpr const char* kCaptions[TTagViewer::kColumnCount] = {
    "Index", "Directory", "Filename", "Track", "Artist", "Song title",
    "Album", "Comment",   "Genre",    "Year",  "Picture", "ID3v2"};
constexpr const char* kInitialSongCaption = "Song name";
constexpr int kInitialWidths[TTagViewer::kColumnCount] = {64,  110, 170, 45, 140, 160,
                                                          140, 120, 90,  45, 50,  50};

// Byte order with ASCII letters folded to lower case; a prefix sorts first.
bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b, CaseFold::kToLower) < 0;
}

}  // namespace

TTagViewer::TTagViewer(ReportView* table, TTagList* list, std::optional<std::string> cfg_path)
    : table_(table), list_(list) {
    std::optional<std::vector<std::string>> genres;
    if (cfg_path) genres = genres::ReadGenreFile(*cfg_path);
    genres_ = genres ? std::move(*genres) : genres::NumberedGenres();
    for (int c = 0; c < kColumnCount; ++c) {
        captions_[c] = kCaptions[c];
        column_pos_[c] = c + 1;
        column_width_[c] = kInitialWidths[c];
    }
    column_pos_[kId3v2] = 0;
}

const char* TTagViewer::CaptionOf(int column) {
    return column >= 0 && column < kColumnCount ? kCaptions[column] : "";
}

const char* TTagViewer::LayoutCaptionOf(int column) {
    return column == kSongTitle ? kInitialSongCaption : CaptionOf(column);
}

void TTagViewer::LayoutColumns() {
    for (int c = 0; c < kColumnCount; ++c)
        if (column_pos_[c] > 0) table_->AddColumn(LayoutCaptionOf(c), column_width_[c]);
    table_->SetColumnImage(0, kImageAscending);
}

int TTagViewer::BuildRow(const TTagFile* file) {
    if (file == nullptr) return 0;
    FillCells(*file, &row_texts_);
    return 1;
}

// The cells are assigned in place, so a rebuild reuses each cell's buffer from row to row.
void TTagViewer::FillCells(const TTagFile& file, RowCells* cells) const {
    auto& cell = *cells;
    char digits[24];
    auto put_number = [&](std::string& text, long long value) {
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        text.assign(digits, result.ptr);
    };
    put_number(cell[kIndex], static_cast<long long>(file.GetIndex()) + 1);
    cell[kDirectory] = file.GetFolderName();
    cell[kFilename] = file.GetName();
    // A file without an ID3v1 tag may well carry an ID3v2 tag.
    cell[kId3v2] = file.Id3v2Version();
    if (file.GetState() == tsNone) {
        for (int c = kTrack; c < kId3v2; ++c) cell[c].clear();
        return;
    }
    put_number(cell[kTrack], file.GetTrack());
    cell[kArtist] = file.GetArtist();
    cell[kSongTitle] = file.GetTitle();
    cell[kAlbum] = file.GetAlbum();
    cell[kComment] = file.GetComment();
    cell[kGenre] = GenreName(file.GetGenre());
    cell[kYear] = file.GetYear();
    cell[kPicture] = PictureCellText(file.HasPicture() != 0);
}

std::string_view TTagViewer::GenreName(int genre) const {
    if (genre < 0 || genre >= genres::kNamedCount || genre >= static_cast<int>(genres_.size()))
        return {};
    return genres_[genre];
}

bool TTagViewer::MatchesFilter() const { return filter_.Matches(row_texts_); }

std::vector<std::string> TTagViewer::VisibleCells() const {
    // Visible columns hold consecutive positions in column order, so column order is
    // position order.
    std::vector<std::string> cells;
    cells.reserve(kColumnCount);
    for (int c = 0; c < kColumnCount; ++c)
        if (column_pos_[c] > 0) cells.push_back(row_texts_[c]);
    return cells;
}

int TTagViewer::PositionOf(const TTagFile* file) const {
    if (file == nullptr) return -1;
    // An entry's Index is its position whenever the list is renumbered, which every
    // removal is followed by; the search is for an entry whose Index is behind.
    if (list_->Get(file->GetIndex()) == file) return file->GetIndex();
    for (int i = 0; i < list_->Count(); ++i)
        if (list_->Get(i) == file) return i;
    return -1;
}

int TTagViewer::AddRow(const TTagFile* file) {
    const int position = PositionOf(file);
    if (position < 0) return 0;
    AddRowAt(position, *file);
    return 1;
}

void TTagViewer::AddRowAt(int position, const TTagFile& file) {
    FillCells(file, &row_texts_);
    if (!MatchesFilter()) return;
    table_->AddRow(VisibleCells());
    row_entries_.push_back(position);
}

int TTagViewer::SetRow(int row, const TTagFile* file) {
    if (row < 0 || row >= RowCount()) return 0;
    const int position = PositionOf(file);
    if (position < 0) return 0;
    if (rebuild_ && position < rebuild_->next) rebuild_->shown_again.push_back(position);
    FillCells(*file, &row_texts_);
    if (!MatchesFilter()) return 1;
    table_->SetRow(row, VisibleCells());
    row_entries_[row] = position;
    return 1;
}

int TTagViewer::RebuildRows() {
    MadeRows made{{}, table_->NewRowBatch(), 0, 0, {}};
    MakeRows(&made, list_->Count());
    const int counted = PutRows(std::move(made));
    // A rebuild in steps under way made its rows from what may have changed since.
    RestartRebuild();
    return counted;
}

void TTagViewer::BeginRebuild() { rebuild_ = MadeRows{{}, table_->NewRowBatch(), 0, 0, {}}; }

bool TTagViewer::ContinueRebuild(int entries) {
    if (!rebuild_) BeginRebuild();
    return MakeRows(&*rebuild_, entries);
}

int TTagViewer::FinishRebuild() {
    if (!rebuild_) return RebuildRows();
    MakeRows(&*rebuild_, list_->Count());
    MadeRows made = std::move(*rebuild_);
    rebuild_.reset();
    return PutRows(std::move(made));
}

void TTagViewer::RestartRebuild() {
    if (rebuild_) BeginRebuild();
}

bool TTagViewer::MakeRows(MadeRows* made, int entries) {
    const int count = list_->Count();
    const int end = made->next + std::max(0, std::min(entries, count - made->next));
    for (; made->next < end; ++made->next) {
        const TTagFile* file = list_->Get(made->next);
        const TagKind kind = file->GetKind();
        if (kind == TagKind::kId3v1) {
            FillCells(*file, &row_texts_);
            if (MatchesFilter()) {
                made->entries.push_back(made->next);
                made->cells->Add(VisibleCells());
            }
        }
        if (kind == TagKind::kId3v1 || kind == TagKind::kOtherMp3 || kind == TagKind::kOgg)
            ++made->counted;
    }
    return made->next >= count;
}

int TTagViewer::PutRows(MadeRows made) {
    for (const int position : made.shown_again) {
        const auto at = std::lower_bound(made.entries.begin(), made.entries.end(), position);
        if (at == made.entries.end() || *at != position) continue;
        FillCells(*list_->Get(position), &row_texts_);
        if (MatchesFilter())
            made.cells->Set(static_cast<int>(at - made.entries.begin()), VisibleCells());
    }
    table_->BeginUpdate();
    table_->ClearSelection();
    table_->ReplaceRows(std::move(made.cells));
    row_entries_ = std::move(made.entries);
    table_->EndUpdate();
    return made.counted;
}

int TTagViewer::RowCount() const {
    return std::min(table_->RowCount(), static_cast<int>(row_entries_.size()));
}

TTagFile* TTagViewer::EntryAt(int row) const {
    if (row < 0 || row >= RowCount()) return nullptr;
    return list_->Get(row_entries_[row]);
}

int TTagViewer::ListPositionAt(int row) const {
    return row >= 0 && row < RowCount() ? row_entries_[row] : -1;
}

int TTagViewer::UpdateRow(int row) {
    TTagFile* file = EntryAt(row);
    if (file == nullptr) return 0;
    if (file->GetKind() == TagKind::kId3v1) SetRow(row, file);
    return 1;
}

int TTagViewer::UpdateAllRows() {
    const int count = list_->Count();
    bool all = true;
    table_->BeginUpdate();
    for (int row = 0; row < count; ++row)
        if (UpdateRow(row) != 1) all = false;
    table_->EndUpdate();
    return all ? count : -1;
}

void TTagViewer::RedrawRows() {
    RestartRebuild();
    const int rows = RowCount();
    table_->BeginUpdate();
    for (int row = 0; row < rows; ++row) {
        FillCells(*EntryAt(row), &row_texts_);
        table_->SetRow(row, VisibleCells());
    }
    table_->EndUpdate();
}

std::vector<int> TTagViewer::SelectedRows() const { return table_->SelectedRows(); }

void TTagViewer::SelectAll() { table_->SelectAll(); }

int TTagViewer::DeleteSelected() {
    if (table_->SelectedRows().empty()) return -1;
    return static_cast<int>(TakeSelected().size());
}

int TTagViewer::DeleteAll() {
    list_->Clear();
    return RebuildRows();
}

std::vector<TakenEntry> TTagViewer::TakeSelected() {
    const std::vector<int> rows = table_->SelectedRows();
    if (rows.empty()) return {};
    std::vector<int> positions;
    positions.reserve(rows.size());
    for (int row : rows)
        if (row < RowCount()) positions.push_back(row_entries_[row]);
    std::vector<TakenEntry> taken = list_->TakePositions(std::move(positions));
    list_->Renumber();
    RebuildRows();
    return taken;
}

std::vector<TakenEntry> TTagViewer::TakeAll() {
    std::vector<int> positions(static_cast<std::size_t>(list_->Count()));
    std::iota(positions.begin(), positions.end(), 0);
    std::vector<TakenEntry> taken = list_->TakePositions(std::move(positions));
    RebuildRows();
    return taken;
}

int TTagViewer::UpdateRowsOf(const std::unordered_set<const TTagFile*>& entries) {
    int updated = 0;
    table_->BeginUpdate();
    for (int row = 0; row < RowCount(); ++row) {
        if (entries.count(list_->Get(row_entries_[row])) == 0) continue;
        UpdateRow(row);
        ++updated;
    }
    table_->EndUpdate();
    return updated;
}

int TTagViewer::FollowEntries(const std::unordered_set<const TTagFile*>& entries) {
    std::unordered_set<const TTagFile*> shown;
    for (int row = 0; row < RowCount(); ++row) {
        const TTagFile* entry = list_->Get(row_entries_[row]);
        if (entries.count(entry) != 0) shown.insert(entry);
    }
    for (const TTagFile* entry : entries) {
        if (entry == nullptr || PositionOf(entry) < 0) continue;
        FillCells(*entry, &row_texts_);
        if (MatchesFilter() != (shown.count(entry) != 0)) return RebuildRows();
    }
    return UpdateRowsOf(entries);
}

int TTagViewer::RemovePath(std::string_view path) { return RemovePaths({std::string(path)}); }

int TTagViewer::RemovePaths(const std::vector<std::string>& paths) {
    const std::unordered_set<std::string_view> gone(paths.begin(), paths.end());
    list_->RemoveIf([&gone](const TTagFile& file) { return gone.count(file.GetPath()) != 0; });
    list_->Renumber();
    RebuildRows();
    return 1;
}

int TTagViewer::ShowColumn(int column, bool show) {
    if (column < 0 || column >= kColumnCount) return 10;
    // The Index column is each row's own text (its caption): it stays.
    if (column == kIndex && !show) return 10;

    for (int c = kColumnCount - 1; c >= 0; --c) {
        const int pos = column_pos_[c] - 1;
        if (pos < 0 || pos >= table_->ColumnCount()) continue;
        column_width_[c] = table_->ColumnWidth(pos);
        table_->DeleteColumn(pos);
    }
    while (table_->ColumnCount() > 0) table_->DeleteColumn(table_->ColumnCount() - 1);

    const bool shown = column_pos_[column] > 0;
    if (show && !shown) {
        int before = 0;
        for (int c = 0; c < column; ++c)
            if (column_pos_[c] > 0) ++before;
        column_pos_[column] = before + 1;
        for (int c = column + 1; c < kColumnCount; ++c)
            if (column_pos_[c] > 0) ++column_pos_[c];
    } else if (!show && shown) {
        column_pos_[column] = 0;
        for (int c = column + 1; c < kColumnCount; ++c)
            if (column_pos_[c] > 0) --column_pos_[c];
    }

    for (int c = 0; c < kColumnCount; ++c)
        if (column_pos_[c] > 0) table_->AddColumn(captions_[c], column_width_[c]);
    RebuildRows();
    return 1;
}

int TTagViewer::SetSortColumn(int column) {
    if (column < 0 || column >= kColumnCount) return 0;
    sort_column_ = column;
    sort_direction_ = 1;
    return 1;
}

int TTagViewer::ColumnValues(int column, std::vector<std::string>* values) const {
    if (values == nullptr || column < 0 || column >= kColumnCount) return 0;
    if (column_pos_[column] == 0) return 1;
    const int rows = RowCount();
    values->reserve(values->size() + rows);
    RowCells cells;
    for (int row = 0; row < rows; ++row) {
        FillCells(*EntryAt(row), &cells);
        values->push_back(cells[column]);
    }
    return 1;
}

int TTagViewer::SetFilterCondition(FilterCondition condition, std::string_view text, int column) {
    if (filter_.Set(condition, text, column) == 0) return 0;
    RestartRebuild();
    return 1;
}

void TTagViewer::ClearFilterCondition(FilterCondition condition) {
    filter_.Clear(condition);
    RestartRebuild();
}

int TTagViewer::SelectRowsBy(const SelectionCriterion& criterion) {
    std::vector<int> passing;
    const int rows = RowCount();
    for (int row = 0; row < rows; ++row) {
        const TTagFile* file = EntryAt(row);
        if (file != nullptr && MeetsCriterion(*file, criterion)) passing.push_back(row);
    }
    table_->ReplaceSelection(passing);
    return static_cast<int>(passing.size());
}

int TTagViewer::ColumnAtPosition(int pos) const {
    if (pos < 0) return -1;
    for (int c = 0; c < kColumnCount; ++c)
        if (column_pos_[c] == pos + 1) return c;
    return -1;
}

void TTagViewer::ColumnClick(int pos) {
    if (pos < 0 || pos >= table_->ColumnCount()) return;
    // The recorded sort position may be gone since columns were hidden.
    if (sort_column_ < table_->ColumnCount()) table_->SetColumnImage(sort_column_, -1);
    if (pos == sort_column_)
        ToggleSortDirection();
    else
        SetSortColumn(pos);
    table_->SetColumnImage(pos, sort_direction_ > 0 ? kImageAscending : kImageDescending);
    SortRows();
}

void TTagViewer::SortRows() {
    const int rows = RowCount();
    if (rows != table_->RowCount()) return;  // the table was changed behind this binding
    // Each row's key is taken once, so a comparison reads two keys and nothing else.
    const int column = SortColumnNumber();
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const TTagFile& file = *EntryAt(row);
        keys.push_back(SortKeyOf(file, column, GenreName(file.GetGenre())));
    }
    const std::vector<int> order = SortedOrder(keys, sort_direction_);
    std::vector<int> entries(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) entries[i] = row_entries_[order[i]];
    row_entries_ = std::move(entries);
    table_->ReorderRows(order);
}

int TTagViewer::CompareRows(int row_a, int row_b) const {
    const TTagFile* a = EntryAt(row_a);
    const TTagFile* b = EntryAt(row_b);
    if (a == nullptr || b == nullptr) return 0;
    const int column = SortColumnNumber();
    return CompareSortKeys(SortKeyOf(*a, column, GenreName(a->GetGenre())),
                           SortKeyOf(*b, column, GenreName(b->GetGenre()))) *
           sort_direction_;
}

int TTagViewer::SortColumnNumber() const {
    // A sort position that no longer names a shown column sorts by Index.
    return std::max(ColumnAtPosition(sort_column_), 0);
}

std::vector<std::string> TTagViewer::FilterHistory(int column) const {
    std::vector<std::string> values;
    ColumnValues(column, &values);
    // Stable, so the first spelling met from the top row down leads its run of equals.
    std::stable_sort(values.begin(), values.end(), LessIgnoringCase);
    values.erase(std::unique(values.begin(), values.end(), EqualsIgnoringCase), values.end());
    return values;
}

}  // namespace ambrel
