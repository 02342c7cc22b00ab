#include "viewer/tag_viewer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

using Cells = std::vector<std::string>;

// A tag list of real files in a temporary directory, shown in an in-memory table.
class TagViewerTest : public ::testing::Test {
protected:
    // Writes dir/<folder>/<name>.mp3 (tagged when fields are given) and adds it to the list.
    TTagFile* AddFile(const std::string& folder, const std::string& name,
                      const std::optional<TagFields>& fields) {
        std::optional<Block> block;
        if (fields) block = MakeBlock(*fields);
        const std::string path = WriteMp3(dir_ / (folder + "/" + name + ".mp3"), 200, block);
        list_.Add(path);
        return list_.Get(list_.Count() - 1);
    }
    TTagFile* AddTagged(const std::string& name, const std::string& artist) {
        TagFields fields;
        fields.artist = artist;
        return AddFile("Band", name, fields);
    }
    // The Index cells of the table, top to bottom.
    Cells IndexColumn() const {
        Cells cells;
        for (int row = 0; row < table_.RowCount(); ++row) cells.emplace_back(table_.Cell(row, 0));
        return cells;
    }
    Cells Names() const {
        Cells names;
        for (int i = 0; i < list_.Count(); ++i) names.push_back(list_.Get(i)->GetName());
        return names;
    }

    TempDir dir_;
    TTagList list_;
    MemoryReportView table_;
    TTagViewer viewer_{&table_, &list_, std::nullopt};
};

TEST_F(TagViewerTest, BuildRowFillsEveryCellOfATaggedFile) {
    TagFields fields{"Song", "Art\xE9", "Album", "1999", "Note", 7, 17};
    AddFile("Band", "one", std::nullopt);
    const TTagFile* file = AddFile("Band", "two", fields);

    ASSERT_EQ(viewer_.BuildRow(file), 1);
    // The Latin-1 byte of the artist arrives as UTF-8; genre 17 shows its number
    // when there is no genre file.
    const Cells expected{"2",     "Band", "two", "7",    "Art\xC3\xA9", "Song",
                         "Album", "Note", "17",  "1999", "No",          ""};
    EXPECT_EQ(Cells(viewer_.RowTexts().begin(), viewer_.RowTexts().end()), expected);
    EXPECT_EQ(viewer_.BuildRow(nullptr), 0);
}

TEST_F(TagViewerTest, BuildRowOfAFileWithoutTagOrWithATagToAppend) {
    TTagFile* file = AddFile("Band", "bare", std::nullopt);
    viewer_.BuildRow(file);
    EXPECT_EQ(Cells(viewer_.RowTexts().begin(), viewer_.RowTexts().end()),
              (Cells{"1", "Band", "bare", "", "", "", "", "", "", "", "", ""}));

    // A tag to be appended: an empty block with no track and genre 254.
    file->SetState(tsAppend);
    viewer_.BuildRow(file);
    EXPECT_EQ(Cells(viewer_.RowTexts().begin(), viewer_.RowTexts().end()),
              (Cells{"1", "Band", "bare", "0", "", "", "", "", "", "", "No", ""}));
}

TEST_F(TagViewerTest, GenreNamesComeFromTheConfigFileLineByLine) {
    // 148 lines with Windows line ends and a final line end; a leading space is kept.
    std::string cfg;
    for (int i = 0; i < 147; ++i) cfg += "Genre" + std::to_string(i) + "\r\n";
    cfg += " Last\r\n";
    const std::string cfg_path = dir_ / "tagviewer.cfg";
    WriteBytes(cfg_path, std::vector<uint8_t>(cfg.begin(), cfg.end()));
    TTagViewer viewer(&table_, &list_, cfg_path);
    ASSERT_EQ(viewer.Genres().size(), 148u);
    EXPECT_EQ(viewer.Genres()[0], "Genre0");

    struct Case {
        int genre;
        std::string cell;
    };
    for (const Case& c : {Case{0, "Genre0"}, Case{147, " Last"}, Case{148, ""}, Case{254, ""}}) {
        TagFields fields;
        fields.genre = c.genre;
        viewer.BuildRow(AddFile("Band", "g" + std::to_string(c.genre), fields));
        EXPECT_EQ(viewer.RowTexts()[TTagViewer::kGenre], c.cell) << "genre " << c.genre;
    }
}

TEST_F(TagViewerTest, ALatin1GenreFileGivesUtf8NamesThatTheFilterFinds) {
    // A genre file saved in an 8-bit code page: its names reach the table as UTF-8, so a
    // name typed or picked from the history matches the cell.
    const std::string cfg = "M\xFAsica\nRock\n";
    const std::string cfg_path = dir_ / "tagviewer.cfg";
    WriteBytes(cfg_path, std::vector<uint8_t>(cfg.begin(), cfg.end()));
    TTagViewer viewer(&table_, &list_, cfg_path);
    ASSERT_EQ(viewer.Genres().size(), 2u);
    EXPECT_EQ(viewer.Genres()[0], "M\xC3\xBAsica");
    TagFields fields;
    fields.genre = 0;
    viewer.BuildRow(AddFile("Band", "g", fields));
    ASSERT_EQ(
        viewer.SetFilterCondition(FilterCondition::kFirst, "M\xC3\xBAsica", TTagViewer::kGenre), 1);
    EXPECT_TRUE(viewer.MatchesFilter());
}

TEST_F(TagViewerTest, LongGenreNamesAreCutTo255BytesOfWholeCharacters) {
    const std::string cfg = std::string(1 << 20, 'a') + "\r\n" +    // a megabyte
                            std::string(254, 'b') + "\xC3\xA9\n" +  // UTF-8 é across the cut
                            std::string(200, '\xE9') + "\n" +       // Latin-1: 400 bytes as UTF-8
                            "Rock\n";
    const std::string cfg_path = dir_ / "tagviewer.cfg";
    WriteBytes(cfg_path, std::vector<uint8_t>(cfg.begin(), cfg.end()));
    TTagViewer viewer(&table_, &list_, cfg_path);
    ASSERT_EQ(viewer.Genres().size(), 4u);
    EXPECT_EQ(viewer.Genres()[0], std::string(255, 'a'));
    EXPECT_EQ(viewer.Genres()[1], std::string(254, 'b'));
    std::string e_acute;
    for (int i = 0; i < 127; ++i) e_acute += "\xC3\xA9";
    EXPECT_EQ(viewer.Genres()[2], e_acute);
    EXPECT_EQ(viewer.Genres()[3], "Rock");

    TagFields fields;
    fields.genre = 0;
    ASSERT_EQ(viewer.BuildRow(AddFile("Band", "long", fields)), 1);
    EXPECT_EQ(viewer.RowTexts()[TTagViewer::kGenre].size(), 255u);
}

TEST_F(TagViewerTest, MissingConfigFileGivesNumberedGenres) {
    TTagViewer viewer(&table_, &list_, dir_ / "no-such.cfg");
    ASSERT_EQ(viewer.Genres().size(), 149u);
    EXPECT_EQ(viewer.Genres().front(), "0");
    EXPECT_EQ(viewer.Genres().back(), "148");
    TagFields fields;
    fields.genre = 148;  // a numbered list names 148, but no genre above 147 is shown
    viewer.BuildRow(AddFile("Band", "g", fields));
    EXPECT_EQ(viewer.RowTexts()[TTagViewer::kGenre], "");
}

TEST_F(TagViewerTest, AGenreFileThatIsNoRegularFileGivesNumberedGenres) {
    // A directory used to end the program with a read error; a FIFO used to block it.
    fs::create_directory(dir_ / "dir.cfg");
    ASSERT_EQ(::mkfifo((dir_ / "fifo.cfg").c_str(), 0644), 0);
    for (const char* name : {"dir.cfg", "fifo.cfg"}) {
        SCOPED_TRACE(name);
        TTagViewer viewer(&table_, &list_, dir_ / name);
        ASSERT_EQ(viewer.Genres().size(), 149u);
        EXPECT_EQ(viewer.Genres()[17], "17");
    }
}

TEST_F(TagViewerTest, FilterConditionsAreKeptAndClearedWithTheirColumns) {
    EXPECT_EQ(viewer_.SetFilterCondition(FilterCondition::kFirst, "x", TTagViewer::kColumnCount), 0);
    EXPECT_FALSE(viewer_.FilterText(FilterCondition::kFirst).has_value());

    ASSERT_EQ(viewer_.SetFilterCondition(FilterCondition::kSecond, "x", 4), 1);
    EXPECT_EQ(viewer_.FilterText(FilterCondition::kSecond), "x");
    EXPECT_EQ(viewer_.FilterColumn(FilterCondition::kSecond), 4);
    EXPECT_FALSE(viewer_.FilterText(FilterCondition::kFirst).has_value());
    viewer_.ClearFilterCondition(FilterCondition::kSecond);
    EXPECT_FALSE(viewer_.FilterText(FilterCondition::kSecond).has_value());
    EXPECT_EQ(viewer_.FilterColumn(FilterCondition::kSecond), -1);
}

TEST_F(TagViewerTest, LayoutColumnsGivesTheWindowsInitialHeaders) {
    viewer_.LayoutColumns();
    EXPECT_EQ(table_.Captions(),
              (Cells{"Index", "Directory", "Filename", "Track", "Artist", "Song name", "Album",
                     "Comment", "Genre", "Year", "Picture"}));
    EXPECT_EQ(table_.ColumnImage(0), TTagViewer::kImageAscending);
    for (int pos = 1; pos < 11; ++pos) EXPECT_EQ(table_.ColumnImage(pos), -1);
    for (int c = 0; c < 11; ++c) EXPECT_EQ(table_.ColumnWidth(c), viewer_.ColumnWidth(c));
}

TEST_F(TagViewerTest, RebuildRowsListsPassingFilesInListOrderAndCountsAll) {
    viewer_.LayoutColumns();
    AddTagged("a", "Keep");
    AddTagged("b", "Drop");
    AddFile("Band", "c", std::nullopt);
    AddTagged("d", "Keep");
    viewer_.RebuildRows();
    table_.SelectAll();

    viewer_.SetFilterCondition(FilterCondition::kFirst, "Keep", TTagViewer::kArtist);
    EXPECT_EQ(viewer_.RebuildRows(), 4);
    EXPECT_EQ(IndexColumn(), (Cells{"1", "4"}));
    EXPECT_EQ(table_.SelectedRows(), std::vector<int>{});
    EXPECT_EQ(table_.RowCells(1), (Cells{"4", "Band", "d", "0", "Keep", "", "", "", "", "", "No"}));
    EXPECT_EQ(table_.update_depth, 0);
}

TEST_F(TagViewerTest, ShowColumnRebuildsHeadersAndRowsAndKeepsWidths) {
    viewer_.LayoutColumns();
    AddTagged("a", "Art");
    viewer_.RebuildRows();
    table_.SetColumnWidth(TTagViewer::kPicture, 77);
    const int clears = table_.clears;

    ASSERT_EQ(viewer_.ShowColumn(TTagViewer::kYear, false), 1);
    ASSERT_EQ(viewer_.ShowColumn(TTagViewer::kPicture, false), 1);
    EXPECT_EQ(viewer_.ColumnPos(TTagViewer::kPicture), 0);
    ASSERT_EQ(viewer_.ShowColumn(TTagViewer::kPicture, true), 1);

    // Captions are the rebuilt ones ("Song title"); Picture keeps its width.
    EXPECT_EQ(table_.Captions(), (Cells{"Index", "Directory", "Filename", "Track", "Artist",
                                        "Song title", "Album", "Comment", "Genre", "Picture"}));
    EXPECT_EQ(table_.ColumnWidth(9), 77);
    EXPECT_EQ(viewer_.ColumnPos(TTagViewer::kPicture), 10);
    EXPECT_EQ(viewer_.ColumnPos(TTagViewer::kYear), 0);
    EXPECT_EQ(viewer_.ColumnAtPosition(9), TTagViewer::kPicture);
    EXPECT_EQ(viewer_.ColumnAtPosition(10), -1);
    EXPECT_EQ(table_.RowCells(0), (Cells{"1", "Band", "a", "0", "Art", "", "", "", "", "No"}));
    EXPECT_EQ(table_.clears, clears + 3);
    for (int pos = 0; pos < table_.ColumnCount(); ++pos) EXPECT_EQ(table_.ColumnImage(pos), -1);

    // Showing a shown column changes nothing but still redraws.
    ASSERT_EQ(viewer_.ShowColumn(TTagViewer::kArtist, true), 1);
    EXPECT_EQ(table_.ColumnCount(), 10);
}

TEST_F(TagViewerTest, ShowColumnRefusesUnknownColumnsAndHidingTheIndex) {
    viewer_.LayoutColumns();
    EXPECT_EQ(viewer_.ShowColumn(TTagViewer::kColumnCount, true), 10);
    EXPECT_EQ(viewer_.ShowColumn(-1, false), 10);
    // The Index column is each row's own text (its caption): the table never hides it.
    EXPECT_EQ(viewer_.ShowColumn(TTagViewer::kIndex, false), 10);
    EXPECT_EQ(viewer_.ColumnPos(TTagViewer::kIndex), 1);
    EXPECT_EQ(table_.ColumnCount(), 11) << "the ID3v2 column starts hidden";
    EXPECT_EQ(table_.clears, 0);
}

TEST_F(TagViewerTest, SetRowWithDirectoryHiddenPutsFilenameFirst) {
    viewer_.LayoutColumns();
    TTagFile* file = AddTagged("a", "Old");
    viewer_.ShowColumn(TTagViewer::kDirectory, false);
    file->SetArtist("New");

    ASSERT_EQ(viewer_.SetRow(0, file), 1);
    EXPECT_EQ(table_.RowCells(0), (Cells{"1", "a", "0", "New", "", "", "", "", "", "No"}));
    EXPECT_EQ(viewer_.SetRow(1, file), 0);
    EXPECT_EQ(viewer_.SetRow(0, nullptr), 0);
}

TEST_F(TagViewerTest, DeleteSelectedRemovesTheSelectedEntriesUnderAnySortOrder) {
    viewer_.LayoutColumns();
    const char* artists[] = {"C", "E", "A", "D", "B", "F"};
    for (int i = 0; i < 6; ++i) AddTagged("f" + std::to_string(i + 1), artists[i]);
    viewer_.RebuildRows();
    viewer_.ColumnClick(TTagViewer::kArtist);
    viewer_.ColumnClick(TTagViewer::kArtist);  // descending: F E D C B A
    ASSERT_EQ(IndexColumn(), (Cells{"6", "2", "4", "1", "5", "3"}));
    table_.SetSelected(1, true);  // Index 2
    table_.SetSelected(4, true);  // Index 5

    EXPECT_EQ(viewer_.DeleteSelected(), 2);
    EXPECT_EQ(Names(), (Cells{"f1", "f3", "f4", "f6"}));
    EXPECT_EQ(IndexColumn(), (Cells{"1", "2", "3", "4"}));
    for (int i = 0; i < list_.Count(); ++i) EXPECT_EQ(list_.Get(i)->GetIndex(), i);
}

TEST_F(TagViewerTest, DeleteSelectedWithNothingSelectedChangesNothing) {
    AddTagged("a", "A");
    AddTagged("b", "B");
    viewer_.RebuildRows();
    const int clears = table_.clears;
    EXPECT_EQ(viewer_.DeleteSelected(), -1);
    EXPECT_EQ(list_.Count(), 2);
    EXPECT_EQ(table_.clears, clears);
}

TEST_F(TagViewerTest, DeleteAllEmptiesListAndTable) {
    AddTagged("a", "A");
    viewer_.RebuildRows();
    EXPECT_EQ(viewer_.DeleteAll(), 0);
    EXPECT_EQ(list_.Count(), 0);
    EXPECT_EQ(table_.RowCount(), 0);
}

TEST_F(TagViewerTest, EntryAtFollowsTheIndexCellWithinTheTable) {
    AddTagged("a", "B");
    AddTagged("b", "A");
    viewer_.LayoutColumns();
    viewer_.RebuildRows();
    viewer_.ColumnClick(TTagViewer::kArtist);  // b first

    EXPECT_EQ(viewer_.EntryAt(0), list_.Get(1));
    EXPECT_EQ(viewer_.EntryAt(1), list_.Get(0));
    EXPECT_EQ(viewer_.EntryAt(-1), nullptr);
    EXPECT_EQ(viewer_.EntryAt(2), nullptr);
}

TEST_F(TagViewerTest, UpdateAllRowsRewritesRowsInPlace) {
    viewer_.LayoutColumns();
    TTagFile* a = AddTagged("a", "B");
    AddTagged("b", "A");
    viewer_.RebuildRows();
    viewer_.ColumnClick(TTagViewer::kArtist);
    table_.SetSelected(1, true);
    a->SetArtist("Z");

    EXPECT_EQ(viewer_.UpdateAllRows(), 2);
    EXPECT_EQ(IndexColumn(), (Cells{"2", "1"}));  // order kept
    EXPECT_EQ(table_.Cell(1, TTagViewer::kArtist), "Z");
    EXPECT_EQ(table_.SelectedRows(), std::vector<int>{1});
}

TEST_F(TagViewerTest, UpdateAllRowsFailsWhenTheFilterHidesRows) {
    AddTagged("a", "Keep");
    AddTagged("b", "Drop");
    viewer_.SetFilterCondition(FilterCondition::kFirst, "Keep", -1);
    viewer_.RebuildRows();
    EXPECT_EQ(viewer_.UpdateAllRows(), -1);
    EXPECT_EQ(table_.RowCount(), 1);
}

TEST_F(TagViewerTest, RemovePathRemovesEveryEntryOfThatPath) {
    TTagFile* twice = AddTagged("dup", "A");
    const std::string path = twice->GetPath();
    AddTagged("other", "B");
    list_.Add(path);
    list_.Add(path);
    AddTagged("last", "C");
    viewer_.RebuildRows();

    EXPECT_EQ(viewer_.RemovePath(path), 1);
    EXPECT_EQ(Names(), (Cells{"other", "last"}));
    EXPECT_EQ(IndexColumn(), (Cells{"1", "2"}));
    EXPECT_EQ(list_.Get(1)->GetIndex(), 1);
}

TEST_F(TagViewerTest, ColumnValuesGivesShownCellsOnly) {
    viewer_.LayoutColumns();
    AddTagged("a", "X");
    AddFile("Band", "b", std::nullopt);
    viewer_.RebuildRows();

    Cells values{"kept"};
    EXPECT_EQ(viewer_.ColumnValues(TTagViewer::kArtist, &values), 1);
    EXPECT_EQ(values, (Cells{"kept", "X", ""}));
    EXPECT_EQ(viewer_.ColumnValues(TTagViewer::kArtist, nullptr), 0);

    viewer_.ShowColumn(TTagViewer::kArtist, false);
    Cells hidden;
    EXPECT_EQ(viewer_.ColumnValues(TTagViewer::kArtist, &hidden), 1);
    EXPECT_TRUE(hidden.empty());
}

}  // namespace
}  // namespace ambrel::test
