#include "files/file_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "support/deep_tree.h"
#include "support/fake_prompter.h"
#include "support/memory_report_view.h"
#include "support/memory_selectors.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// The file viewer's model over a real tree, loading into a tag list shown in an in-memory
// table, with errors reported through a scripted prompter.
class FileLoaderTest : public ::testing::Test {
protected:
    FileLoaderTest() {
        log_.SetPrompter(&prompter_);
        tag_viewer_.LayoutColumns();
        tree_ = dir_ / "tree";
        Tagged("tree/t1.mp3", "One");
        Untagged("tree/u1.mp3");
        Untagged("tree/notes.txt");
        Tagged("tree/sub/t2.mp3", "Two");
        Untagged("tree/sub/u2.mp3");
    }

    void Tagged(const std::string& relative, const std::string& artist) {
        TagFields fields;
        fields.artist = artist;
        WriteMp3(dir_ / relative, 300, MakeBlock(fields));
    }
    void Untagged(const std::string& relative) { WriteMp3(dir_ / relative, 300, std::nullopt); }

    int LoadDirectory(TFileViewer& viewer, bool recurse = true, std::string_view mask = "*.*") {
        return ambrel::LoadDirectory(viewer, list_, tag_viewer_, log_, mask, true, recurse);
    }
    // The Filename cells of the table, sorted, so a case need not spell out the walk order.
    Texts Rows() const {
        Texts names;
        for (int row = 0; row < table_.RowCount(); ++row) {
            names.emplace_back(table_.Cell(row, TTagViewer::kFilename));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string ArtistOf(const std::string& name) const {
        for (int row = 0; row < table_.RowCount(); ++row) {
            if (table_.Cell(row, TTagViewer::kFilename) == name) {
                return std::string(table_.Cell(row, TTagViewer::kArtist));
            }
        }
        return "(no row)";
    }

    TempDir dir_;
    std::string tree_;
    FakePrompter prompter_;
    TErrorLog log_{
        WriteText(dir_ / "error.cfg",
                  "E010 bad argument\nE058 paths too long\nE060 cannot read the directory\n")};
    TTagList list_;
    MemoryReportView table_;
    TTagViewer tag_viewer_{&table_, &list_, std::nullopt};
};

TEST_F(FileLoaderTest, LoadDirectoryTakesAllTaggedOrUntaggedFilesIntoTheTable) {
    struct Case {
        int mode;
        Texts rows;
    };
    for (const Case& c :
         {Case{0, {"t1", "t2", "u1", "u2"}}, Case{1, {"t1", "t2"}}, Case{2, {"u1", "u2"}}}) {
        list_.Clear();
        TFileViewer viewer(tree_);
        viewer.SetLoadMode(*LoadModeFromInt(c.mode));
        EXPECT_EQ(LoadDirectory(viewer), kDone);
        EXPECT_EQ(Rows(), c.rows) << "mode " << c.mode;
        // The tag read by the search reaches the table.
        if (c.mode != 2) {
            EXPECT_EQ(ArtistOf("t1"), "One");
            EXPECT_EQ(ArtistOf("t2"), "Two");
        }
    }
    EXPECT_TRUE(prompter_.shown.empty()) << "success is not reported";
}

TEST_F(FileLoaderTest, LoadingTwiceGivesDuplicatesAndTheModeStaysInForce) {
    TFileViewer viewer(tree_);
    viewer.SetLoadMode(LoadMode::kTagged);
    LoadDirectory(viewer);
    // "Load files from current directory" leaves the mode as it was.
    LoadDirectory(viewer);
    EXPECT_EQ(Rows(), (Texts{"t1", "t1", "t2", "t2"}));
    EXPECT_EQ(list_.Count(), 4);
}

TEST_F(FileLoaderTest, WithoutSubdirectoriesOnlyTheDirectoryItselfIsLoaded) {
    TFileViewer viewer(tree_);
    EXPECT_EQ(LoadDirectory(viewer, false), kDone);
    EXPECT_EQ(Rows(), (Texts{"t1", "u1"}));
    EXPECT_FALSE(viewer.Recurse());
}

TEST_F(FileLoaderTest, AMissingCurrentDirectoryIsReportedAndNothingAdded) {
    TFileViewer viewer(dir_ / "missing");
    EXPECT_EQ(LoadDirectory(viewer), kCannotEnumerate);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].kind, FakePrompter::Shown::kWarning);
    EXPECT_EQ(prompter_.shown[0].caption, "Error occuried");
    EXPECT_EQ(prompter_.shown[0].text, "cannot read the directory");
    EXPECT_EQ(list_.Count(), 0);
    EXPECT_EQ(table_.RowCount(), 0);
}

// Entries whose paths pass the system's limit cannot be read; the load says so once and
// takes everything else, the deep files that can still be named included.
TEST_F(FileLoaderTest, PathsTooLongAreReportedOnceAndTheRestIsLoaded) {
    const DeepTree deep(tree_, "deep", PATH_MAX - 100);
    deep.AddFile("short.mp3");
    deep.AddFile(std::string(150, 'f') + ".mp3");
    deep.AddDirectory(std::string(150, 'g'));
    ASSERT_GE(deep.path().size() + 1 + 150, static_cast<std::size_t>(PATH_MAX));

    TFileViewer viewer(tree_);
    EXPECT_EQ(LoadDirectory(viewer), kPathsTooLong);
    EXPECT_EQ(RunLoad(DirectoryLoad(viewer, "*.*", true, true)).paths_too_long, 2)
        << "the long-named file and the directory";
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].kind, FakePrompter::Shown::kWarning);
    EXPECT_EQ(prompter_.shown[0].text, "paths too long");
    EXPECT_EQ(Rows(), (Texts{"short", "t1", "t2", "u1", "u2"}));

    // The count is the last search's: a later search within the limit is plainly done.
    Texts found;
    EXPECT_EQ(viewer.SearchFiles(&found, tree_ + "/sub", "*.*", false), kDone);
    EXPECT_EQ(viewer.PathsTooLong(), 0);
}

TEST_F(FileLoaderTest, LoadSelectedFilesTakesTheSelectedRowsThatStillPass) {
    TFileViewer viewer(tree_);
    MemoryReportView directories, files;
    MemoryFilterSelector filter;
    MemoryDriveSelector drives;
    directories.AddColumn("Directories", 200);
    files.AddColumn("Files", 200);
    files.AddColumn("Tag", 60);
    AddFilterEntries(filter, "All files|*.*");
    TDirectoryBrowser& browser = viewer.Browser();
    browser.AttachDriveSelector(&drives);
    browser.AttachFilterSelector(&filter);
    browser.AttachDirectoryList(&directories);
    browser.AttachFileList(&files);
    ASSERT_EQ(browser.Refresh(), kDone);
    // Rows: notes.txt, t1.mp3, u1.mp3.
    ASSERT_EQ(files.RowCount(), 3);

    files.SelectAll();
    viewer.SetLoadMode(LoadMode::kAll);
    EXPECT_EQ(LoadSelectedFiles(viewer, list_, tag_viewer_, true, true), 3);
    EXPECT_EQ(Rows(), (Texts{"t1", "u1"})) << "the tag list keeps the .mp3 files";

    // Tagged only; a selected file deleted since the listing drops out silently.
    list_.Clear();
    fs::remove(tree_ + "/u1.mp3");
    viewer.SetLoadMode(LoadMode::kTagged);
    EXPECT_EQ(LoadSelectedFiles(viewer, list_, tag_viewer_, true, true), 1);
    EXPECT_EQ(Rows(), Texts{"t1"});
    EXPECT_EQ(ArtistOf("t1"), "One");

    list_.Clear();
    viewer.SetLoadMode(LoadMode::kUntagged);
    files.ReplaceSelection({0, 1});
    EXPECT_EQ(LoadSelectedFiles(viewer, list_, tag_viewer_, true, true), 1);
    EXPECT_EQ(list_.Count(), 0) << "notes.txt passes the mode but is no .mp3 file";
    EXPECT_TRUE(prompter_.shown.empty());
}

// A load applied in small steps, as a window applies it: the table keeps its rows until the
// last step puts every row in at once; an entry shown again and a filter set meanwhile are
// honoured in the end.
TEST_F(FileLoaderTest, ALoadAppliedInStepsRebuildsTheTableOnceAtTheEnd) {
    TFileViewer viewer(tree_);
    list_.AddList({tree_ + "/t1.mp3"});
    tag_viewer_.RebuildRows();
    const int clears = table_.clears;
    LoadApplier applier(LoadKind::kDirectory, RunLoad(DirectoryLoad(viewer, "*.*", true, true)),
                        list_, tag_viewer_);
    int steps = 0;
    while (!applier.Step(2)) {
        ++steps;
        EXPECT_EQ(table_.clears, clears);
        EXPECT_EQ(table_.RowCount(), 1);
        // The first two rows are made by now.
        if (steps == 3) {
            list_.Get(0)->SetArtist("Shown again");
            tag_viewer_.UpdateRow(0);
        }
    }
    EXPECT_EQ(steps, 2 + 2) << "four files in two steps, five rows in three";
    EXPECT_EQ(table_.clears, clears + 1);
    EXPECT_EQ(Rows(), (Texts{"t1", "t1", "t2", "u1", "u2"}));
    EXPECT_EQ(table_.Cell(0, TTagViewer::kArtist), "Shown again");
    EXPECT_TRUE(applier.Step(2));
    EXPECT_EQ(table_.clears, clears + 1) << "applied once";

    list_.Clear();
    LoadApplier filtered(LoadKind::kDirectory, RunLoad(DirectoryLoad(viewer, "*.*", true, true)),
                         list_, tag_viewer_);
    filtered.Step(5);
    tag_viewer_.SetFilterCondition(FilterCondition::kFirst, "Two", TTagViewer::kArtist);
    while (!filtered.Step(1)) {
    }
    EXPECT_EQ(Rows(), Texts{"t2"});
}

}  // namespace
}  // namespace ambrel::test
