#include "viewer/tag_viewer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "platform/file_io.h"
#include "platform/report_view.h"
#include "tag/genres.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

constexpr int kGenreUnset = 255;  // the genre byte of "no genre" for the selection tests

// The captions of the columns; the window's initial layout names the sixth column
// differently ("Song name") from the rebuilt one.
constexpr const char* kCaptions[TTagViewer::kColumnCount] = {
    "Index", "Directory", "Filename", "Track", "Artist", "Song title",
    "Album", "Comment",   "Genre",    "Year",  "Picture"};
constexpr const char* kInitialSongCaption = "Song name";
constexpr int kInitialWidths[TTagViewer::kColumnCount] = {64,  110, 170, 45, 140, 160,
                                                          140, 120, 90,  45, 50};

// Byte order with ASCII letters folded to lower case; a prefix sorts first.
bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b, CaseFold::kToLower) < 0;
}

// A whole cell read as a decimal number; nullopt when it is not one.
std::optional<long long> ParseNumber(std::string_view cell) {
    long long value = 0;
    const char* end = cell.data() + cell.size();
    auto [ptr, ec] = std::from_chars(cell.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

int Sign(long long difference) { return (difference > 0) - (difference < 0); }

// Unsigned byte order, a prefix before the longer text.
int CompareBytes(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
    if (c != 0) return Sign(c);
    return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

// Whether the field is filled, decided on the stored bytes: a text is what precedes the
// first zero of its field, so a field of spaces is filled; the genre is filled unless 255.
bool FieldFilled(const TagBlock& block, SelectField field) {
    switch (field) {
        case SelectField::kArtist:
            return block[id3v1::kArtistOffset] != 0;
        case SelectField::kTitle:
            return block[id3v1::kTitleOffset] != 0;
        case SelectField::kAlbum:
            return block[id3v1::kAlbumOffset] != 0;
        case SelectField::kComment:
            return block[id3v1::kCommentOffset] != 0;
        case SelectField::kTrack:
            return block[id3v1::kTrackOffset] != 0;
        case SelectField::kGenre:
            return block[id3v1::kGenreOffset] != kGenreUnset;
        case SelectField::kYear:
            return block[id3v1::kYearOffset] != 0;
    }
    return false;
}

bool MeetsCriterion(const TTagFile& file, const SelectionCriterion& criterion) {
    switch (criterion.test) {
        case SelectTest::kNoTag:
            return file.GetState() == tsNone;
        case SelectTest::kWithTag:
            return file.GetState() != tsNone;
        case SelectTest::kFilled:
            return FieldFilled(file.Block(), criterion.field);
        case SelectTest::kEmpty:
            return !FieldFilled(file.Block(), criterion.field);
    }
    return false;
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
}

const char* TTagViewer::CaptionOf(int column) {
    return column >= 0 && column < kColumnCount ? kCaptions[column] : "";
}

const char* TTagViewer::LayoutCaptionOf(int column) {
    return column == kSongTitle ? kInitialSongCaption : CaptionOf(column);
}

void TTagViewer::LayoutColumns() {
    for (int c = 0; c < kColumnCount; ++c) table_->AddColumn(LayoutCaptionOf(c), column_width_[c]);
    table_->SetColumnImage(0, kImageAscending);
}

int TTagViewer::BuildRow(const TTagFile* file) {
    if (file == nullptr) return 0;
    char digits[24];
    auto put_number = [&](std::string& cell, long long value) {
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        cell.assign(digits, result.ptr);
    };
    put_number(row_texts_[kIndex], static_cast<long long>(file->GetIndex()) + 1);
    row_texts_[kDirectory] = file->GetFolderName();
    row_texts_[kFilename] = file->GetName();
    if (file->GetState() == tsNone) {
        for (int c = kTrack; c < kColumnCount; ++c) row_texts_[c].clear();
        return 1;
    }
    put_number(row_texts_[kTrack], file->GetTrack());
    row_texts_[kArtist] = file->GetArtist();
    row_texts_[kSongTitle] = file->GetTitle();
    row_texts_[kAlbum] = file->GetAlbum();
    row_texts_[kComment] = file->GetComment();
    const int genre = file->GetGenre();
    if (genre >= 0 && genre < genres::kNamedCount && genre < static_cast<int>(genres_.size()))
        row_texts_[kGenre] = genres_[genre];
    else
        row_texts_[kGenre].clear();
    row_texts_[kYear] = file->GetYear();
    row_texts_[kPicture] = file->HasPicture() ? "Yes" : "No";
    return 1;
}

bool TTagViewer::ConditionHolds(FilterCondition condition) const {
    const auto& text = FilterText(condition);
    if (!text) return true;
    const int column = FilterColumn(condition);
    if (column < 0) {
        return std::any_of(row_texts_.begin(), row_texts_.end(), [&](const std::string& cell) {
            return EqualsIgnoringCase(cell, *text);
        });
    }
    return row_texts_[column].find(*text) != std::string::npos;
}

bool TTagViewer::MatchesFilter() const {
    return ConditionHolds(FilterCondition::kFirst) && ConditionHolds(FilterCondition::kSecond);
}

std::vector<std::string> TTagViewer::VisibleCells() const {
    // Visible columns hold consecutive positions in column order, so column order is
    // position order.
    std::vector<std::string> cells;
    cells.reserve(kColumnCount);
    for (int c = 0; c < kColumnCount; ++c)
        if (column_pos_[c] > 0) cells.push_back(row_texts_[c]);
    return cells;
}

int TTagViewer::AddRow(const TTagFile* file) {
    if (BuildRow(file) == 0) return 0;
    if (MatchesFilter()) table_->AddRow(VisibleCells());
    return 1;
}

int TTagViewer::SetRow(int row, const TTagFile* file) {
    if (row < 0 || row >= table_->RowCount()) return 0;
    if (BuildRow(file) == 0) return 0;
    if (MatchesFilter()) table_->SetRow(row, VisibleCells());
    return 1;
}

int TTagViewer::RebuildRows() {
    table_->BeginUpdate();
    table_->ClearSelection();
    table_->ClearRows();
    int counted = 0;
    const int count = list_->Count();
    for (int i = 0; i < count; ++i) {
        const TTagFile* file = list_->Get(i);
        const TagKind kind = file->GetKind();
        if (kind == TagKind::kId3v1) AddRow(file);
        if (kind == TagKind::kId3v1 || kind == TagKind::kOtherMp3 || kind == TagKind::kOgg)
            ++counted;
    }
    table_->EndUpdate();
    return counted;
}

TTagFile* TTagViewer::EntryAt(int row) const {
    if (row < 0 || row >= table_->RowCount()) return nullptr;
    const auto number = ParseNumber(table_->Cell(row, 0));
    if (!number || *number < 1 || *number > list_->Count()) return nullptr;
    return list_->Get(static_cast<int>(*number - 1));
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

std::vector<int> TTagViewer::SelectedRows() const { return table_->SelectedRows(); }

void TTagViewer::SelectAll() { table_->SelectAll(); }

int TTagViewer::DeleteSelected() {
    const std::vector<int> rows = table_->SelectedRows();
    if (rows.empty()) return -1;
    std::vector<int> positions;
    positions.reserve(rows.size());
    for (int row : rows) {
        const auto number = ParseNumber(table_->Cell(row, 0));
        if (number && *number >= 1 && *number <= list_->Count())
            positions.push_back(static_cast<int>(*number - 1));
    }
    const int removed = list_->DeletePositions(std::move(positions));
    list_->Renumber();
    RebuildRows();
    return removed;
}

int TTagViewer::DeleteAll() {
    list_->Clear();
    return RebuildRows();
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
    // The Index column is each row's own text and the row's link to its entry: it stays.
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
    const int pos = column_pos_[column] - 1;
    if (pos < 0) return 1;
    const int rows = table_->RowCount();
    values->reserve(values->size() + rows);
    for (int row = 0; row < rows; ++row) values->emplace_back(table_->Cell(row, pos));
    return 1;
}

std::optional<FilterCondition> FilterConditionFromInt(int value) {
    if (value != 0 && value != 1) return std::nullopt;
    return static_cast<FilterCondition>(value);
}

int TTagViewer::SetFilterCondition(int condition, std::string_view text, int column) {
    const std::optional<FilterCondition> known = FilterConditionFromInt(condition);
    return known ? SetFilterCondition(*known, text, column) : 0;
}

int TTagViewer::SetFilterCondition(FilterCondition condition, std::string_view text, int column) {
    // Any other column number would index past the row's cells.
    if (column < -1 || column >= kColumnCount) return 0;
    filter_text_[static_cast<int>(condition)] = std::string(text);
    filter_column_[static_cast<int>(condition)] = column;
    return 1;
}

int TTagViewer::ClearFilterCondition(int condition) {
    const std::optional<FilterCondition> known = FilterConditionFromInt(condition);
    if (!known) return 0;
    ClearFilterCondition(*known);
    return 1;
}

void TTagViewer::ClearFilterCondition(FilterCondition condition) {
    filter_text_[static_cast<int>(condition)].reset();
    filter_column_[static_cast<int>(condition)] = -1;
}

std::optional<SelectionCriterion> CriterionFromCode(unsigned code) {
    if (code == 0) return SelectionCriterion{SelectTest::kNoTag};
    if (code == 1) return SelectionCriterion{SelectTest::kWithTag};
    const unsigned field = code % 10;
    if (field > static_cast<unsigned>(SelectField::kYear)) return std::nullopt;
    if (code / 10 == 1)
        return SelectionCriterion{SelectTest::kFilled, static_cast<SelectField>(field)};
    if (code / 10 == 2)
        return SelectionCriterion{SelectTest::kEmpty, static_cast<SelectField>(field)};
    return std::nullopt;
}

int TTagViewer::SelectRowsBy(unsigned code) { return SelectMatching(CriterionFromCode(code)); }

int TTagViewer::SelectRowsBy(const SelectionCriterion& criterion) {
    return SelectMatching(criterion);
}

int TTagViewer::SelectMatching(const std::optional<SelectionCriterion>& criterion) {
    std::vector<int> passing;
    if (criterion) {
        const int rows = table_->RowCount();
        for (int row = 0; row < rows; ++row) {
            const TTagFile* file = EntryAt(row);
            if (file != nullptr && MeetsCriterion(*file, *criterion)) passing.push_back(row);
        }
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
    table_->Sort([this](int a, int b) { return CompareRows(a, b); });
}

int TTagViewer::CompareRows(int row_a, int row_b) const {
    int pos = sort_column_;
    // A sort position that no longer names a shown column sorts by Index.
    const int column = ColumnAtPosition(pos);
    if (column < 0) pos = 0;
    int result;
    if (pos == 0 || column == kTrack) {
        // Index cells always hold numbers; an empty track cell counts as 0.
        const long long a = ParseNumber(table_->Cell(row_a, pos)).value_or(0);
        const long long b = ParseNumber(table_->Cell(row_b, pos)).value_or(0);
        result = Sign(a - b);
    } else {
        result = CompareBytes(table_->Cell(row_a, pos), table_->Cell(row_b, pos));
    }
    return result * sort_direction_;
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
