#include "export/tag_import.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/paths.h"
#include "tag/code_page.h"
#include "tag/genres.h"
#include "tag/tag_file.h"
#include "tag/text_helpers.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

using Column = TTagViewer::Column;

// An editable column: the field it fills and the viewer's column that shows it.
struct EditableColumn {
    Id3v1Field field;
    Column column;
    std::size_t width;  // the text field's width in bytes; 0 for the track and genre
};

constexpr EditableColumn kEditable[] = {
    {Id3v1Field::kTrack, Column::kTrack, 0},
    {Id3v1Field::kArtist, Column::kArtist, id3v1::kArtistWidth},
    {Id3v1Field::kTitle, Column::kSongTitle, id3v1::kTitleWidth},
    {Id3v1Field::kAlbum, Column::kAlbum, id3v1::kAlbumWidth},
    {Id3v1Field::kComment, Column::kComment, id3v1::kCommentWidth},
    {Id3v1Field::kGenre, Column::kGenre, 0},
    {Id3v1Field::kYear, Column::kYear, id3v1::kYearWidth},
};

// Columns the exports write that no import changes, besides the table's own read-only ones.
constexpr const char* kReadOnlyCaptions[] = {"Path", "Tag", "ID3v2"};
constexpr const char* kPathCaption = "Path";
constexpr int kHighestTrack = 254;

bool SameCaption(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b, CaseFold::kToLower) == 0;
}

// Where each column of a table goes.
struct ColumnMap {
    int path = -1;
    std::vector<std::pair<int, const EditableColumn*>> editable;  // record position, column
    std::string refused;
};

const EditableColumn* EditableNamed(std::string_view caption) {
    for (const EditableColumn& editable : kEditable) {
        // The window's first layout captions the title column "Song name".
        if (SameCaption(caption, TTagViewer::CaptionOf(editable.column)) ||
            SameCaption(caption, TTagViewer::LayoutCaptionOf(editable.column)))
            return &editable;
    }
    return nullptr;
}

bool ReadOnly(std::string_view caption) {
    for (const int column :
         {Column::kIndex, Column::kDirectory, Column::kFilename, Column::kPicture})
        if (SameCaption(caption, TTagViewer::CaptionOf(column))) return true;
    for (const char* read_only : kReadOnlyCaptions)
        if (SameCaption(caption, read_only)) return true;
    return false;
}

ColumnMap MapColumns(const std::vector<std::string>& header) {
    ColumnMap map;
    for (std::size_t i = 0; i < header.size() && map.refused.empty(); ++i) {
        const std::string& caption = header[i];
        const EditableColumn* editable = EditableNamed(caption);
        const bool path = SameCaption(caption, kPathCaption);
        bool twice = path && map.path >= 0;
        for (const auto& [pos, seen] : map.editable) twice = twice || seen == editable;
        if (twice) {
            map.refused = "the column '" + caption + "' appears twice";
        } else if (path) {
            map.path = static_cast<int>(i);
        } else if (editable != nullptr) {
            map.editable.emplace_back(static_cast<int>(i), editable);
        } else if (!ReadOnly(caption)) {
            map.refused = "the column '" + caption + "' is not one the import knows";
        }
    }
    if (map.refused.empty() && map.path < 0) map.refused = "there is no Path column";
    return map;
}

// The track a cell names: empty for none (0), else a decimal number 0..254.
std::optional<int> TrackOf(std::string_view text) {
    int value = 0;
    for (const char c : text) {
        if (!IsAsciiDigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > kHighestTrack) return std::nullopt;
    }
    return value;
}

bool IsYear(std::string_view text) {
    if (text.size() > id3v1::kYearWidth) return false;
    for (const char c : text)
        if (!IsAsciiDigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string GenreText(int genre, const std::vector<std::string>& names) {
    if (genre < genres::kNamedCount && static_cast<std::size_t>(genre) < names.size())
        return names[genre];
    return std::to_string(genre);
}

// The block of a tag made for a file without one.
const TagBlock& NewTagBlock() {
    static const TagBlock block = TTagFile(std::nullopt).Block();
    return block;
}

// Plans the fields of one record against the cells its entry shows now.
class RowPlanner {
public:
    RowPlanner(const TTagFile& entry, const RowCells& shown, const std::vector<std::string>& genres,
               const CodePageConverter& converter, ImportRow* row)
        : entry_(entry), shown_(shown), genres_(genres), converter_(converter), row_(row) {}

    void Field(const EditableColumn& editable, const std::string& cell) {
        const std::string& old_text = shown_[editable.column];
        if (cell == old_text) return;
        FieldChange change;
        change.field = editable.field;
        change.old_text = old_text;
        if (editable.field == Id3v1Field::kTrack || editable.field == Id3v1Field::kGenre) {
            if (!Number(editable.field, cell, &change)) return;
        } else if (!Text(editable, cell, &change)) {
            return;
        }
        row_->changes.push_back(std::move(change));
    }

private:
    // The field's text as the cell will leave it; false when the cell is no year, or the
    // text stays as it is.
    bool Text(const EditableColumn& editable, const std::string& cell, FieldChange* change) {
        if (editable.field == Id3v1Field::kYear && !IsYear(cell)) {
            Problem("Year '" + cell + "' is not a year of up to four digits");
            return false;
        }
        EncodedField encoded = converter_.EncodeForField(cell, editable.width);
        // A zero byte ends the field's text.
        encoded.bytes.resize(std::strlen(encoded.bytes.c_str()));
        change->new_text = converter_.Decode(encoded.bytes);
        change->cut = encoded.cut;
        change->lossy = encoded.lossy;
        return change->new_text != change->old_text || change->cut || change->lossy;
    }

    // The track or genre byte a cell names; false when it names none, or the one the entry
    // holds.
    bool Number(Id3v1Field field, const std::string& cell, FieldChange* change) {
        const bool track = field == Id3v1Field::kTrack;
        const std::optional<int> value = track ? TrackOf(cell) : genres::NumberOf(genres_, cell);
        if (!value) {
            Problem(track ? "Track '" + cell + "' is not a number from 0 to 254"
                          : "Genre '" + cell + "' names no genre");
            return false;
        }
        // A file without a tag gets the fields of a new one.
        const TagBlock& block = entry_.GetState() == tsNone ? NewTagBlock() : entry_.Block();
        if (*value == block[track ? id3v1::kTrackOffset : id3v1::kGenreOffset]) return false;
        change->new_number = *value;
        change->new_text = track ? std::to_string(*value) : GenreText(*value, genres_);
        return true;
    }

    void Problem(const std::string& problem) {
        if (!row_->skipped.empty()) row_->skipped += "; ";
        row_->skipped += problem;
    }

    const TTagFile& entry_;
    const RowCells& shown_;
    const std::vector<std::string>& genres_;
    const CodePageConverter& converter_;
    ImportRow* row_;
};

// The entries of each loaded file, in list order, and how many records have taken one.
class EntryIndex {
public:
    explicit EntryIndex(const TTagList& list) : list_(list) {
        for (int i = 0; i < list.Count(); ++i)
            files_[list.Get(i)->GetPath()].positions.push_back(i);
    }

    bool Loaded(std::string_view path) const { return files_.count(path) != 0; }

    // The next entry of the file no record has taken yet.
    TTagFile* Take(std::string_view path) {
        const auto found = files_.find(path);
        if (found == files_.end()) return nullptr;
        File& file = found->second;
        if (file.taken == file.positions.size()) return nullptr;
        return list_.Get(file.positions[file.taken++]);
    }

private:
    struct File {
        std::vector<int> positions;
        std::size_t taken = 0;
    };
    const TTagList& list_;
    // Keyed by views of the entries' own paths, which stay while the plan is made.
    std::unordered_map<std::string_view, File> files_;
};

}  // namespace

bool ImportPlan::Changes() const {
    for (const ImportRow& row : rows)
        if (!row.changes.empty()) return true;
    return false;
}

ImportPlan PlanImport(const RecordTable& table, TTagViewer& viewer) {
    ImportPlan plan;
    const ColumnMap columns = MapColumns(table.header);
    if (!columns.refused.empty()) {
        plan.refused = columns.refused;
        return plan;
    }
    const CodePageConverter converter = CodePageConverter::Current();
    EntryIndex index(*viewer.List());
    for (std::size_t r = 0; r < table.records.size(); ++r) {
        const std::vector<std::string>& record = table.records[r];
        ImportRow row;
        row.line = r < table.lines.size() ? table.lines[r] : 0;
        row.path = record[columns.path];
        row.entry = index.Take(row.path);
        if (row.entry == nullptr) {
            row.skipped = index.Loaded(row.path) ? "an earlier record took the file's entry"
                                                 : "the file is not loaded";
        } else if (!paths::FileExists(row.path)) {
            row.skipped = "the file is gone";
        } else {
            viewer.BuildRow(row.entry);
            RowPlanner planner(*row.entry, viewer.RowTexts(), viewer.Genres(), converter, &row);
            for (const auto& [pos, editable] : columns.editable)
                planner.Field(*editable, record[pos]);
        }
        // A record with a value the field cannot take changes nothing at all.
        if (!row.skipped.empty()) row.changes.clear();
        const TagState state = row.entry != nullptr ? row.entry->GetState() : tsNone;
        row.makes_tag = !row.changes.empty() && (state == tsNone || state == tsRemove);
        if (row.changes.empty() && row.skipped.empty()) {
            ++plan.unchanged;
            continue;
        }
        plan.rows.push_back(std::move(row));
    }
    return plan;
}

int ApplyImport(const ImportPlan& plan) {
    int changed = 0;
    for (const ImportRow& row : plan.rows) {
        if (row.entry == nullptr || row.changes.empty()) continue;
        Id3v2CopyPlan fields;
        fields.changes = row.changes;
        changed += ApplyId3v2Copy(*row.entry, fields) ? 1 : 0;
    }
    return changed;
}

}  // namespace ambrel
