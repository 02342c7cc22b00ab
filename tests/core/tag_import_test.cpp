#include "export/tag_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "export/record_writer.h"
#include "export/table_csv.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/code_page.h"
#include "tag/genres.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

using Column = TTagViewer::Column;

// The genre names the program ships, in a tagviewer.cfg of the test's own.
std::string GenreFile(const TempDir& dir) {
    std::string lines;
    for (const char* name : genres::BuiltInNames()) lines += std::string(name) + "\n";
    return WriteText(dir / "tagviewer.cfg", lines);
}

std::string StateName(TagState state) {
    return state == tsPresent ? "present" : state == tsRemove ? "remove" : "none";
}

class TagImportTest : public ::testing::Test {
protected:
    ~TagImportTest() override { CodePageConverter::SetCurrent(CodePage::kLatin1); }

    // The records as the command line's list writes them: nine table cells, the path, the
    // tag state, and in csv the ID3v2 version.
    std::string Listed(RecordFormat format) {
        static constexpr Column kColumns[] = {
            Column::kDirectory, Column::kFilename,  Column::kTrack,
            Column::kArtist,    Column::kSongTitle, Column::kAlbum,
            Column::kComment,   Column::kGenre,     Column::kYear};
        const bool id3v2 = format == RecordFormat::kCsv;
        std::vector<RecordField> fields;
        for (const Column column : kColumns) fields.push_back({TTagViewer::CaptionOf(column), ""});
        fields.push_back({"Path", ""});
        fields.push_back({"Tag", ""});
        if (id3v2) fields.push_back({"ID3v2", ""});
        std::string out;
        {
            RecordWriter writer(format, fields, [&out](std::string_view block) { out += block; });
            for (int i = 0; i < list.Count(); ++i) {
                const TTagFile* entry = list.Get(i);
                viewer.BuildRow(entry);
                std::vector<std::string> values;
                for (const Column column : kColumns) values.push_back(viewer.RowTexts()[column]);
                values.push_back(entry->GetPath());
                values.push_back(StateName(entry->GetState()));
                if (id3v2) values.emplace_back(entry->Id3v2Version());
                writer.Write({values.begin(), values.end()});
            }
        }
        return out;
    }

    RecordTable ListedTable(RecordFormat format = RecordFormat::kTsv) {
        return ReadRecords(Listed(format), format).table.value();
    }

    static std::size_t At(const RecordTable& table, std::string_view caption) {
        for (std::size_t i = 0; i < table.header.size(); ++i)
            if (table.header[i] == caption) return i;
        ADD_FAILURE() << "no column " << caption;
        return 0;
    }

    // Edits one cell of the record of a file.
    static void Edit(RecordTable& table, const std::string& path, std::string_view caption,
                     std::string value) {
        for (auto& record : table.records)
            if (record[At(table, "Path")] == path) record[At(table, caption)] = std::move(value);
    }

    TempDir dir;
    TTagList list;
    MemoryReportView view;
    TTagViewer viewer{&view, &list, GenreFile(dir)};
};

// A tag with every awkward thing a field holds: Latin-1, quotes, separators, a field of full
// width, bytes after a zero byte, a year that is no number.
TagFields Awkward() {
    TagFields fields;
    fields.title = "Caf\xE9 \"quoted\", tab\there\nline \\ end";
    fields.artist = std::string(30, 'A');
    fields.album = std::string("abc\0xyz", 7);
    fields.comment = std::string(29, 'c');
    fields.year = "199?";
    fields.track = 0;
    fields.genre = 17;
    return fields;
}

// The bytes of the block a field takes, from the first to one past the last.
std::pair<std::size_t, std::size_t> BytesOf(Id3v1Field field) {
    switch (field) {
        case Id3v1Field::kTitle:
            return {id3v1::kTitleOffset, id3v1::kTitleOffset + id3v1::kTitleWidth};
        case Id3v1Field::kArtist:
            return {id3v1::kArtistOffset, id3v1::kArtistOffset + id3v1::kArtistWidth};
        case Id3v1Field::kAlbum:
            return {id3v1::kAlbumOffset, id3v1::kAlbumOffset + id3v1::kAlbumWidth};
        case Id3v1Field::kYear:
            return {id3v1::kYearOffset, id3v1::kYearOffset + id3v1::kYearWidth};
        case Id3v1Field::kComment:
            return {id3v1::kCommentOffset, id3v1::kCommentOffset + id3v1::kCommentWidth};
        case Id3v1Field::kTrack:
            return {id3v1::kTrackOffset, id3v1::kTrackOffset + 1};
        case Id3v1Field::kGenre:
            return {id3v1::kGenreOffset, id3v1::kGenreOffset + 1};
    }
    return {0, 0};
}

TEST_F(TagImportTest, AnUneditedExportChangesNothing) {
    TagFields odd_numbers;
    odd_numbers.track = 255;  // shown as it is, though no edit could set it
    odd_numbers.genre = 200;  // shown as no genre
    const std::string awkward = WriteMp3(dir / "caf\xE9.mp3", 300, MakeBlock(Awkward()));
    const std::string removed = WriteMp3(dir / "removed.mp3", 300, MakeBlock(Awkward()));
    list.AddList({awkward, WriteMp3(dir / "none.mp3", 300, std::nullopt), removed,
                  WriteMp3(dir / "odd.mp3", 300, MakeBlock(odd_numbers)), awkward});
    list.Get(2)->SetState(tsRemove);
    for (const CodePage page : {CodePage::kLatin1, CodePage::kWindows1251, CodePage::kShiftJis}) {
        CodePageConverter::SetCurrent(page);
        for (const RecordFormat format : {RecordFormat::kCsv, RecordFormat::kTsv}) {
            const ImportPlan plan = PlanImport(ListedTable(format), viewer);
            EXPECT_EQ(plan.refused, "");
            EXPECT_TRUE(plan.rows.empty()) << plan.rows.front().path;
            EXPECT_EQ(plan.unchanged, 5);
        }
    }
    // The window's table export, in its first layout (the title column "Song name").
    viewer.LayoutColumns();
    viewer.RebuildRows();
    const std::string window = TableAsCsv(view, viewer);
    RecordTable table = ReadRecords(window, RecordFormat::kCsv).table.value();
    EXPECT_EQ(PlanImport(table, viewer).unchanged, 5) << window;
    Edit(table, removed, "Song name", "Back");
    const ImportPlan plan = PlanImport(table, viewer);
    ASSERT_EQ(plan.rows.size(), 1u);
    EXPECT_TRUE(plan.rows[0].makes_tag);
    ASSERT_EQ(ApplyImport(plan), 1);
    EXPECT_EQ(list.Get(2)->GetState(), tsPresent);
    EXPECT_EQ(list.Get(2)->GetTitle(), "Back");
}

TEST_F(TagImportTest, AnEditedCellChangesExactlyItsField) {
    const std::string path = WriteMp3(dir / "a.mp3", 300, MakeBlock(Awkward()));
    list.AddList({path});
    struct Case {
        std::string caption, cell;
        Id3v1Field field;
        std::string new_text;  // as the field will show it
        int new_number = 0;
        bool cut = false, lossy = false;
    } cases[] = {
        {"Artist", "Someone", Id3v1Field::kArtist, "Someone"},
        {"Song title", std::string(35, 'x'), Id3v1Field::kTitle, std::string(30, 'x'), 0, true},
        {"Album", "", Id3v1Field::kAlbum, ""},
        {"Comment", "Fran\xC3\xA7ois", Id3v1Field::kComment, "Fran\xC3\xA7ois"},
        {"Comment", "\xE2\x98\x83", Id3v1Field::kComment, "?", 0, false, true},  // a snowman
        {"Year", "2004", Id3v1Field::kYear, "2004"},
        {"Year", "", Id3v1Field::kYear, ""},
        {"Track", "7", Id3v1Field::kTrack, "7", 7},
        {"Genre", "classic rock", Id3v1Field::kGenre, "Classic Rock", 1},
        {"Genre", "(80)", Id3v1Field::kGenre, "Folk", 80},
        {"Genre", "", Id3v1Field::kGenre, "254", 254},
        {"artist", "Any case", Id3v1Field::kArtist, "Any case"},
    };
    for (const Case& c : cases) {
        list.Get(0)->Load();
        RecordTable table = ListedTable();
        if (c.caption == "artist") table.header[At(table, "Artist")] = "artist";
        Edit(table, path, c.caption, c.cell);
        const ImportPlan plan = PlanImport(table, viewer);
        ASSERT_EQ(plan.rows.size(), 1u) << c.cell;
        const ImportRow& row = plan.rows[0];
        EXPECT_EQ(row.skipped, "");
        EXPECT_EQ(row.line, 2);
        ASSERT_EQ(row.changes.size(), 1u) << c.cell;
        const FieldChange& change = row.changes[0];
        EXPECT_EQ(change.field, c.field) << c.cell;
        EXPECT_EQ(change.new_text, c.new_text) << c.cell;
        EXPECT_EQ(change.cut, c.cut) << c.cell;
        EXPECT_EQ(change.lossy, c.lossy) << c.cell;
        EXPECT_FALSE(row.makes_tag);

        const TagBlock before = list.Get(0)->Block();
        ASSERT_EQ(ApplyImport(plan), 1);
        const TagBlock after = list.Get(0)->Block();
        const TTagFile& entry = *list.Get(0);
        if (c.field == Id3v1Field::kTrack) EXPECT_EQ(entry.GetTrack(), c.new_number);
        if (c.field == Id3v1Field::kGenre) EXPECT_EQ(entry.GetGenre(), c.new_number);
        viewer.BuildRow(&entry);
        if (c.new_number == 0) EXPECT_EQ(viewer.RowTexts()[At(table, c.caption) + 1], c.new_text);
        // Nothing but the field's bytes moved.
        const auto [first, end] = BytesOf(c.field);
        for (std::size_t i = 0; i < before.size(); ++i)
            if (i < first || i >= end) EXPECT_EQ(before[i], after[i]) << c.cell << " byte " << i;
    }
}

TEST_F(TagImportTest, ACellThatReadsAsTheFieldAlreadyIsChangesNothing) {
    const std::string path = WriteMp3(dir / "a.mp3", 300, MakeBlock(Awkward()));
    list.AddList({path});
    for (const auto& [caption, cell] : std::vector<std::pair<std::string, std::string>>{
             {"Track", ""}, {"Track", "00"}, {"Genre", "ROCK."}, {"Genre", "17"}}) {
        RecordTable table = ListedTable();
        Edit(table, path, caption, cell);
        EXPECT_EQ(PlanImport(table, viewer).unchanged, 1) << caption << " " << cell;
    }
}

TEST_F(TagImportTest, ARecordWithAnInvalidValueChangesNothingAndSaysWhy) {
    const std::string path = WriteMp3(dir / "a.mp3", 300, MakeBlock(Awkward()));
    list.AddList({path});
    struct Case {
        std::string caption, cell, reason;
    } cases[] = {
        {"Track", "300", "Track '300' is not a number from 0 to 254"},
        {"Track", "x", "Track 'x' is not a number from 0 to 254"},
        {"Track", "-1", "Track '-1' is not a number from 0 to 254"},
        {"Track", "99999999999999999999",
         "Track '99999999999999999999' is not a number from 0 to 254"},
        {"Year", "20x4", "Year '20x4' is not a year of up to four digits"},
        {"Year", "19999", "Year '19999' is not a year of up to four digits"},
        {"Genre", "Stuff", "Genre 'Stuff' names no genre"},
        {"Genre", "255", "Genre '255' names no genre"},
    };
    for (const Case& c : cases) {
        RecordTable table = ListedTable();
        Edit(table, path, "Artist", "Edited too");
        Edit(table, path, c.caption, c.cell);
        const ImportPlan plan = PlanImport(table, viewer);
        ASSERT_EQ(plan.rows.size(), 1u);
        EXPECT_EQ(plan.rows[0].skipped, c.reason);
        EXPECT_TRUE(plan.rows[0].changes.empty()) << c.cell;
        EXPECT_FALSE(plan.Changes());
        const TagBlock before = list.Get(0)->Block();
        EXPECT_EQ(ApplyImport(plan), 0);
        EXPECT_EQ(list.Get(0)->Block(), before);
    }
    RecordTable table = ListedTable();
    Edit(table, path, "Track", "x");
    Edit(table, path, "Year", "y");
    EXPECT_EQ(PlanImport(table, viewer).rows.at(0).skipped,
              "Track 'x' is not a number from 0 to 254; Year 'y' is not a year of up to four "
              "digits");
}

TEST_F(TagImportTest, AColumnItDoesNotKnowRefusesTheTableAndReadOnlyOnesAreIgnored) {
    const std::string path = WriteMp3(dir / "a.mp3", 300, MakeBlock(Awkward()));
    list.AddList({path});
    struct Case {
        std::size_t column;  // the header caption replaced
        std::string caption, refused;
    } cases[] = {
        {3, "Rating", "the column 'Rating' is not one the import knows"},
        {9, "Index", "there is no Path column"},
        {4, "Artist", "the column 'Artist' appears twice"},
        {5, "Song name", "the column 'Song name' appears twice"},
        {10, "path", "the column 'path' appears twice"},
    };
    for (const Case& c : cases) {
        RecordTable table = ListedTable();
        table.header[c.column] = c.caption;
        const ImportPlan plan = PlanImport(table, viewer);
        EXPECT_EQ(plan.refused, c.refused);
        EXPECT_TRUE(plan.rows.empty());
        EXPECT_EQ(plan.unchanged, 0);
    }
    RecordTable table = ListedTable(RecordFormat::kCsv);
    for (const char* caption : {"Directory", "Filename", "Tag", "ID3v2"})
        Edit(table, path, caption, "edited");
    table.header.push_back("Index");
    table.header.push_back("Picture");
    table.records[0].push_back("99");
    table.records[0].push_back("Yes");
    EXPECT_EQ(PlanImport(table, viewer).unchanged, 1);
}

TEST_F(TagImportTest, ARecordOfAFileNotLoadedOrGoneIsLeftOut) {
    const std::string kept = WriteMp3(dir / "kept.mp3", 300, MakeBlock(Awkward()));
    const std::string gone = WriteMp3(dir / "gone.mp3", 300, MakeBlock(Awkward()));
    const std::string other = WriteMp3(dir / "other.mp3", 300, MakeBlock(Awkward()));
    list.AddList({kept, gone, other});
    RecordTable table = ListedTable();
    list.Delete(2);
    std::remove(gone.c_str());
    table.records.push_back(table.records[0]);  // a second record of a file loaded once
    for (const std::string& path : {kept, gone, other}) Edit(table, path, "Artist", "New");
    const ImportPlan plan = PlanImport(table, viewer);
    ASSERT_EQ(plan.rows.size(), 4u);
    EXPECT_EQ(plan.rows[0].skipped, "");
    EXPECT_EQ(plan.rows[1].skipped, "the file is gone");
    EXPECT_EQ(plan.rows[2].skipped, "the file is not loaded");
    EXPECT_EQ(plan.rows[2].entry, nullptr);
    EXPECT_EQ(plan.rows[3].skipped, "an earlier record took the file's entry");
    EXPECT_EQ(ApplyImport(plan), 1);
    EXPECT_EQ(list.Get(0)->GetArtist(), "New");
    EXPECT_EQ(list.Get(1)->GetArtist(), std::string(30, 'A'));
}

TEST_F(TagImportTest, AFileWithoutATagGetsOneAsOtherEditsMakeIt) {
    const std::string path = WriteMp3(dir / "none.mp3", 300, std::nullopt);
    list.AddList({path});
    RecordTable table = ListedTable();
    Edit(table, path, "Song title", "New song");
    Edit(table, path, "Track", "0");  // a new tag's own track
    const ImportPlan plan = PlanImport(table, viewer);
    ASSERT_EQ(plan.rows.size(), 1u);
    EXPECT_TRUE(plan.rows[0].makes_tag);
    ASSERT_EQ(plan.rows[0].changes.size(), 1u);
    ASSERT_EQ(ApplyImport(plan), 1);
    EXPECT_EQ(list.Get(0)->GetState(), tsAppend);
    EXPECT_EQ(list.SaveModified().failed.size(), 0u);
    TagFields made;
    made.title = "New song";
    EXPECT_EQ(ReadBytes(path), MakeMp3Bytes(300, MakeBlock(made)));
}

TEST_F(TagImportTest, AThousandFilesTakeExactlyTheirEditedFields) {
    constexpr int kFiles = 1000;
    std::vector<std::string> paths;
    std::vector<std::optional<TagFields>> tags;
    for (int i = 0; i < kFiles; ++i) {
        std::optional<TagFields> fields;
        if (i % 50 != 0) {
            fields.emplace();
            fields->title = "Song " + std::to_string(i);
            fields->artist = "Artist \xE9" + std::to_string(i % 17);
            fields->album = "Album, \"" + std::to_string(i % 5) + "\"";
            fields->year = std::to_string(1950 + i % 70);
            fields->comment = "line\nbreak\t" + std::to_string(i);
            fields->track = i % 30;
            fields->genre = i % genres::kNamedCount;
        }
        tags.push_back(fields);
        const std::optional<Block> block =
            fields ? std::optional<Block>(MakeBlock(*fields)) : std::nullopt;
        paths.push_back(WriteMp3(dir / ("many/" + std::to_string(i) + ".mp3"), 200 + i, block));
    }
    list.AddList(paths);
    ASSERT_EQ(list.Count(), kFiles);

    RecordTable table = ListedTable(RecordFormat::kCsv);
    int edited_rows = 0;
    for (int i = 0; i < kFiles; ++i) {
        const bool title = i % 7 == 0, genre = i % 11 == 0, track = i % 13 == 0 && i % 30 != 7;
        if (!title && !genre && !track) continue;
        ++edited_rows;
        std::optional<TagFields>& fields = tags[i];
        if (!fields) fields.emplace();
        if (title)
            Edit(table, paths[i], "Song title", fields->title = "Edited " + std::to_string(i));
        if (genre) {
            fields->genre = (i + 1) % genres::kNamedCount;
            Edit(table, paths[i], "Genre", genres::BuiltInNames()[fields->genre]);
        }
        if (track) Edit(table, paths[i], "Track", std::to_string(fields->track = 7));
    }
    const ImportPlan plan = PlanImport(table, viewer);
    EXPECT_EQ(plan.refused, "");
    ASSERT_EQ(static_cast<int>(plan.rows.size()), edited_rows);
    EXPECT_EQ(plan.unchanged, kFiles - edited_rows);
    for (const ImportRow& row : plan.rows) {
        const int i = std::stoi(row.path.substr(row.path.rfind('/') + 1));
        const std::size_t fields = (i % 7 == 0) + (i % 11 == 0) + (i % 13 == 0 && i % 30 != 7);
        EXPECT_EQ(row.changes.size(), fields) << row.path;
        EXPECT_EQ(row.makes_tag, i % 50 == 0) << row.path;
    }
    EXPECT_EQ(ApplyImport(plan), edited_rows);
    const SaveReport saved = list.SaveModified();
    EXPECT_TRUE(saved.failed.empty());
    for (int i = 0; i < kFiles; ++i) {
        const std::optional<Block> block =
            tags[i] ? std::optional<Block>(MakeBlock(*tags[i])) : std::nullopt;
        ASSERT_EQ(ReadBytes(paths[i]), MakeMp3Bytes(200 + i, block)) << paths[i];
    }
}

}  // namespace
}  // namespace ambrel::test
