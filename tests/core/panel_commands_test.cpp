#include "actions/panel_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "actions/field_fill.h"
#include "actions/tag_processor.h"
#include "platform/conversion.h"
#include "support/fake_prompter.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using Shown = FakePrompter::Shown;

TagFields Fields(std::string artist, std::string title, int track = 0) {
    TagFields f;
    f.artist = std::move(artist);
    f.title = std::move(title);
    f.track = track;
    return f;
}

RenamePageState Template(int item, const std::string& user_mask = "") {
    RenamePageState page;
    page.mask = BuildMask(item, page.separators.WordSeparator(), user_mask);
    return page;
}

// Files of a folder in a table sorted by artist, descending, so display order is not list
// order; the processor speaks through a scripted prompter.
class PanelCommandsTest : public ::testing::Test {
protected:
    PanelCommandsTest() {
        table_.BeginUpdate();
        tags_.LayoutColumns();
        table_.EndUpdate();
    }
    // Adds the files (relative path, tag or none) and sorts the rows.
    void Load(const std::vector<std::pair<std::string, std::optional<TagFields>>>& files) {
        for (const auto& [relative, fields] : files) {
            const std::optional<Block> block =
                fields ? std::optional<Block>(MakeBlock(*fields)) : std::nullopt;
            list_.Add(WriteMp3(dir_ / relative, 300, block));
        }
        tags_.RebuildRows();
        tags_.SetSortColumn(TTagViewer::kArtist);
        tags_.ToggleSortDirection();
        tags_.SortRows();
    }
    std::string Cell(int row, int column) const {
        return std::string(table_.Cell(row, tags_.ColumnPos(column) - 1));
    }
    Texts Files(const std::string& folder = "") const {
        Texts names;
        for (const auto& e : fs::directory_iterator(dir_ / folder))
            if (e.is_regular_file()) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir_;
    TTagList list_;
    MemoryReportView table_;
    TTagViewer tags_{&table_, &list_, std::nullopt};
    FakePrompter prompter_;
    TTagProcessor processor_{&list_, &prompter_};
};

TEST_F(PanelCommandsTest, FileRenameRenamesTheSelectedRowsAndRedrawsThem) {
    Load({{"a.mp3", Fields("Abba", "Waterloo", 1)},
          {"b.mp3", Fields("Queen", "Innuendo", 2)},
          {"c.mp3", Fields("Muse", "Uprising", 3)},
          {"taken.mp3", std::nullopt},
          {"01 - Abba - Waterloo.mp3", std::nullopt}});
    // Rows by artist, descending: Queen, Muse, Abba, then the two untagged files.
    ASSERT_EQ(Cell(2, TTagViewer::kArtist), "Abba");
    table_.ReplaceSelection({0, 2});

    EXPECT_EQ(RunFileRename(tags_, processor_, Template(1), 2), 0);

    EXPECT_EQ(Files(), (Texts{"01 - Abba - Waterloo.mp3", "02 - Queen - Innuendo.mp3", "a.mp3",
                              "c.mp3", "taken.mp3"}));
    EXPECT_EQ(Cell(0, TTagViewer::kFilename), "02 - Queen - Innuendo");
    EXPECT_EQ(Cell(1, TTagViewer::kFilename), "c");
    EXPECT_EQ(Cell(2, TTagViewer::kFilename), "a");
    // The one file that kept its name is named in the one warning.
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].kind, Shown::kWarning);
    EXPECT_NE(prompter_.shown[0].text.find(dir_ / "a.mp3"), std::string::npos);
}

TEST_F(PanelCommandsTest, WithoutASelectionOnlyTheOptionsAreStored) {
    Load({{"a.mp3", Fields("Abba", "Waterloo", 1)}});
    RenamePageState page = Template(0);
    page.case_mode = 1;
    page.separators.in_word = 2;
    EXPECT_EQ(RunFileRename(tags_, processor_, page, 3), -1);
    EXPECT_EQ(processor_.CaseMode(), 1);
    EXPECT_EQ(processor_.InWordSeparator(), '_');
    EXPECT_EQ(processor_.TrackDigits(), 3);
    EXPECT_EQ(processor_.Mask(), std::optional<std::string>(":a - :s"));
    // A digit count of 0 is refused: the count set before stays in force.
    EXPECT_EQ(RunFileRename(tags_, processor_, page, 0), -1);
    EXPECT_EQ(processor_.TrackDigits(), 3);
    EXPECT_EQ(Files(), Texts{"a.mp3"});
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(PanelCommandsTest, ATooLongUserMaskStopsBothRunsWithOneWarning) {
    Load({{"Abba - Waterloo.mp3", Fields("Abba", "Waterloo")}});
    table_.ReplaceSelection({0});
    const RenamePageState page = Template(kTemplateUserMask, ":a" + std::string(254, 'x'));
    EXPECT_EQ(RunFileRename(tags_, processor_, page, 2), -1);
    EXPECT_EQ(RunTagRename(tags_, processor_, page), -1);
    EXPECT_EQ(Files(), Texts{"Abba - Waterloo.mp3"});
    EXPECT_EQ(prompter_.Count(Shown::kWarning), 2);
    EXPECT_EQ(prompter_.Count(Shown::kMessage), 0);
    EXPECT_EQ(list_.Get(0)->GetArtist(), "Abba");
}

TEST_F(PanelCommandsTest, TagRenameFillsTheSelectedRowsTagsAndRedrawsThem) {
    Load({{"Queen - Innuendo.mp3", Fields("Old", "Old")},
          {"Muse - Uprising.mp3", std::nullopt},
          {"Abba - Waterloo.mp3", Fields("Zz", "Zz")}});
    // Rows: Zz (Abba's file), Old (Queen's file), then the untagged one.
    table_.ReplaceSelection({1, 2});
    prompter_.check_box_ticks = {true};  // the first box stops the others

    EXPECT_EQ(RunTagRename(tags_, processor_, Template(0)), 1);

    EXPECT_EQ(Cell(1, TTagViewer::kArtist), "Queen");
    EXPECT_EQ(Cell(1, TTagViewer::kSongTitle), "Innuendo");
    const TTagFile* untagged = list_.Get(1);
    EXPECT_EQ(untagged->GetState(), tsAppend);
    EXPECT_EQ(untagged->GetArtist(), "Muse");
    EXPECT_EQ(Cell(2, TTagViewer::kArtist), "Muse");
    EXPECT_EQ(Cell(0, TTagViewer::kArtist), "Zz");
    EXPECT_EQ(prompter_.Count(Shown::kMessage), 1);
}

TEST_F(PanelCommandsTest, WritingNumbersTracksPerDirectoryInDisplayOrder) {
    Load({{"x/a.mp3", Fields("D", "")},
          {"y/b.mp3", Fields("C", "")},
          {"x/c.mp3", Fields("B", "")},
          {"x/d.mp3", std::nullopt},
          {"y/e.mp3", Fields("A", "")}});
    table_.SelectAll();  // rows: a, b, c, e, then the untagged d
    FieldFill fill;
    fill.album = "Best of";
    fill.track = "not a number";  // not read while the tracks are numbered
    EXPECT_EQ(WriteFieldsToRows(tags_, fill, true), 0);
    Texts tracks, albums;
    for (int row = 0; row < table_.RowCount(); ++row) {
        tracks.push_back(Cell(row, TTagViewer::kTrack));
        albums.push_back(Cell(row, TTagViewer::kAlbum));
    }
    EXPECT_EQ(tracks, (Texts{"1", "1", "2", "2", ""}));
    EXPECT_EQ(albums, (Texts{"Best of", "Best of", "Best of", "Best of", ""}));
    EXPECT_EQ(list_.Get(3)->GetState(), tsNone);
}

TEST_F(PanelCommandsTest, ABadTrackTextStopsTheWriteAtTheFirstRow) {
    Load({{"a.mp3", Fields("B", "")}, {"b.mp3", Fields("A", "")}});
    table_.SelectAll();
    FieldFill fill;
    fill.artist = "New";
    fill.track = "x1";
    fill.year = "2001";
    EXPECT_THROW(WriteFieldsToRows(tags_, fill, false), ConversionError);
    EXPECT_EQ(list_.Get(0)->GetArtist(), "New");  // written before the track
    EXPECT_EQ(list_.Get(0)->GetYear(), "");
    EXPECT_EQ(list_.Get(1)->GetArtist(), "A");
    // The row that stopped the command is not redrawn.
    EXPECT_EQ(Cell(0, TTagViewer::kArtist), "B");
}

}  // namespace
}  // namespace ambrel::test
