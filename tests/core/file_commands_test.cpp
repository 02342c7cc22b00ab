#include "files/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "support/fake_prompter.h"
#include "support/faults.h"
#include "support/memory_browser_controls.h"
#include "support/memory_process_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using Shown = FakePrompter::Shown;

// The tag viewer over files of a source folder; the file viewer browsing the destination
// folder "to"; a dialog, a prompter and an error log in memory.
class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest() {
        fs::create_directories(to_);
        table_.BeginUpdate();
        tags_.LayoutColumns();
        table_.EndUpdate();
        controls_.Attach(viewer_.Browser());
    }
    // Writes the files under the source folder and loads them into the tag viewer.
    Texts Load(const Texts& relatives) {
        Texts paths;
        for (const std::string& relative : relatives) {
            TagFields fields;
            fields.artist = "Artist " + relative;
            paths.push_back(WriteMp3(dir_ / relative, 300, MakeBlock(fields)));
        }
        list_.AddList(paths);
        tags_.RebuildRows();
        return paths;
    }
    Texts DirectoryRows() const {
        Texts rows;
        for (int row = 0; row < controls_.directories.RowCount(); ++row) {
            rows.emplace_back(controls_.directories.Cell(row, 0));
        }
        return rows;
    }
    std::string Directory(int row) const {
        return std::string(table_.Cell(row, tags_.ColumnPos(TTagViewer::kDirectory) - 1));
    }
    Texts FileRows() const {
        Texts rows;
        for (int row = 0; row < controls_.files.RowCount(); ++row) {
            rows.emplace_back(controls_.files.Cell(row, 0));
        }
        return rows;
    }

    TempDir dir_;
    const std::string to_ = dir_ / "to";
    TTagList list_;
    MemoryReportView table_;
    TTagViewer tags_{&table_, &list_, std::nullopt};
    MemoryBrowserControls controls_;
    FakePrompter prompter_;
    TFileViewer viewer_{to_, &prompter_};
    TErrorLog errors_{
        WriteText(dir_ / "error.cfg",
                  "E010 invalid\nE051 not overwritten\nE057 not created\nE061 not emptied\n"
                  "E065 same name\n"),
        &prompter_};
    MemoryProcessView view_;
    TFileCommands commands_{viewer_, tags_, errors_, view_, prompter_};
};

TEST_F(FileCommandsTest, AMoveTakesTheRowsOfTheFilesThatWentToTheirNewFolder) {
    const Texts paths = Load({"a/one.mp3", "a/two.mp3", "b/three.mp3"});
    WriteBytes(to_ + "/three.mp3", {1});
    TTagFile* edited = list_.Get(0);
    edited->SetTitle("Edited, not saved");
    edited->SetModified(true);
    table_.ReplaceSelection({0, 2});

    EXPECT_EQ(commands_.CopyMoveSelected(false, {false, false}), 0);
    EXPECT_EQ(view_.runs, 1);
    EXPECT_FALSE(view_.closes_by_itself) << "one file failed";
    EXPECT_EQ(view_.sources, (Texts{paths[0], paths[2]}));
    EXPECT_EQ(edited->GetPath(), to_ + "/one.mp3");
    EXPECT_EQ(edited->GetTitle(), "Edited, not saved");
    EXPECT_TRUE(edited->IsModified());
    EXPECT_EQ(Directory(0), "to");
    EXPECT_EQ(list_.Get(1)->GetPath(), paths[1]) << "not selected";
    EXPECT_EQ(list_.Get(2)->GetPath(), paths[2]) << "its file failed with 51";
    EXPECT_EQ(Directory(2), "b");
    EXPECT_EQ(FileRows(), (Texts{"one.mp3", "three.mp3"})) << "the browser was refreshed";
}

// A table filtered on the Directory column never shows a moved file in its old folder: the
// moved rows leave it, and rows moved into the folder a filter looks for join it.
TEST_F(FileCommandsTest, AMoveUnderAFolderFilterTakesTheRowsOutOfTheTable) {
    const Texts paths = Load({"a/one.mp3", "a/two.mp3"});
    tags_.SetFilterCondition(FilterCondition::kFirst, "a", TTagViewer::kDirectory);
    tags_.RebuildRows();
    ASSERT_EQ(table_.RowCount(), 2);
    table_.ReplaceSelection({0});

    EXPECT_EQ(commands_.CopyMoveSelected(false, {}), 1);
    EXPECT_EQ(list_.Get(0)->GetPath(), to_ + "/one.mp3");
    ASSERT_EQ(table_.RowCount(), 1) << "\"to\" does not pass the filter";
    EXPECT_EQ(Directory(0), "a");
    EXPECT_EQ(tags_.EntryAt(0)->GetPath(), paths[1]);
}

// Rows of files a folder delete removed go from the table, as after a file delete; those of
// files it left stay.
TEST_F(FileCommandsTest, AFolderDeleteDropsTheRowsOfTheFilesItRemoved) {
    const std::string album = to_ + "/album";
    const std::string gone = WriteMp3(album + "/gone.mp3", 300, MakeBlock({}));
    const std::string kept = WriteMp3(album + "/kept.mp3", 300, MakeBlock({}));
    const std::string outside = WriteMp3(to_ + "/albumother.mp3", 300, MakeBlock({}));
    list_.AddList({gone, kept, outside});
    tags_.RebuildRows();
    viewer_.Browser().Refresh();
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls_.directories, "album"));
    viewer_.SetAskBeforeDeleting(false);
    ScopedImmutable immutable(kept);  // the delete cannot remove it
    if (!immutable.active()) GTEST_SKIP() << "no immutable attribute here";

    EXPECT_EQ(commands_.DeleteSelectedDirectory({}), 0);
    ASSERT_EQ(list_.Count(), 2);
    EXPECT_EQ(list_.Get(0)->GetPath(), kept);
    EXPECT_EQ(list_.Get(1)->GetPath(), outside);
    EXPECT_EQ(table_.RowCount(), 2);
}

TEST_F(FileCommandsTest, AMoveWhoseSourceWasSavedAnewMeanwhileKeepsTheRowOnTheSource) {
    const std::string source = WriteMp3(dir_ / "a/song.mp3", 100000, MakeBlock({}));
    const std::vector<uint8_t> copied = ReadBytes(source);
    list_.AddList({source});
    tags_.RebuildRows();
    tags_.SelectAll();
    const std::vector<uint8_t> saved = MakeMp3Bytes(500, MakeBlock({}));
    ActingProcessView view([&] {
        WriteBytes(source + ".new", saved);
        fs::rename(source + ".new", source);
    });
    TFileCommands commands(viewer_, tags_, errors_, view, prompter_);

    EXPECT_EQ(commands.CopyMoveSelected(false, {}), 0);
    EXPECT_TRUE(view.bar.acted());
    EXPECT_EQ(list_.Get(0)->GetPath(), source);
    EXPECT_EQ(Directory(0), "a");
    EXPECT_EQ(ReadBytes(source), saved) << "the new version stays";
    EXPECT_EQ(ReadBytes(to_ + "/song.mp3"), copied) << "and the copy of the old one";
}

TEST_F(FileCommandsTest, ACopyKeepsTheRowsAndWithoutASelectionNothingOpens) {
    const Texts paths = Load({"a/one.mp3", "a/two.mp3"});
    EXPECT_EQ(commands_.CopyMoveSelected(true, {}), 0);
    EXPECT_EQ(view_.shows, 0);

    tags_.SelectAll();
    EXPECT_EQ(commands_.CopyMoveSelected(true, {}), 1);
    EXPECT_TRUE(view_.closes_by_itself);
    EXPECT_EQ(list_.Get(0)->GetPath(), paths[0]);
    EXPECT_EQ(Directory(0), "a");
    EXPECT_EQ(FileRows(), (Texts{"one.mp3", "two.mp3"}));
    EXPECT_TRUE(fs::exists(paths[0]));
}

TEST_F(FileCommandsTest, DeletingFilesAsksOnceAndDropsTheRowsOfTheFilesThatWent) {
    const Texts paths = Load({"to/one.mp3", "to/two.mp3", "to/three.mp3"});
    list_.AddList({paths[0]});  // the same file loaded twice
    tags_.RebuildRows();
    viewer_.Browser().Refresh();
    controls_.files.ReplaceSelection({0, 2});  // one.mp3 and two.mp3, sorted by name

    prompter_.answers = {false};
    EXPECT_EQ(commands_.DeleteSelectedFiles(), 0);
    ASSERT_EQ(prompter_.Count(Shown::kQuestion), 1);
    EXPECT_EQ(prompter_.shown[0].caption, "Delete files");
    EXPECT_NE(prompter_.shown[0].text.find("2 selected files"), std::string::npos);
    EXPECT_EQ(view_.shows, 0) << "No deletes nothing";
    EXPECT_EQ(list_.Count(), 4);

    prompter_.answers = {true};
    EXPECT_EQ(commands_.DeleteSelectedFiles(), 1);
    EXPECT_EQ(view_.runs, 1);
    EXPECT_FALSE(fs::exists(paths[0]));
    EXPECT_FALSE(fs::exists(paths[1]));
    ASSERT_EQ(list_.Count(), 1);
    EXPECT_EQ(list_.Get(0)->GetPath(), paths[2]);
    EXPECT_EQ(table_.RowCount(), 1);
    EXPECT_EQ(FileRows(), Texts{"three.mp3"});

    // Without the question; and with nothing selected the dialog opens and runs nothing.
    viewer_.SetAskBeforeDeleting(false);
    prompter_.shown.clear();
    controls_.files.SelectAll();
    EXPECT_EQ(commands_.DeleteSelectedFiles(), 1);
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_EQ(list_.Count(), 0);
    controls_.files.ClearSelection();
    commands_.DeleteSelectedFiles();
    EXPECT_EQ(view_.shows, 3);
    EXPECT_EQ(view_.runs, 2);
}

TEST_F(FileCommandsTest, DeletingADirectoryAsksOnceAndTakesTheFilterWhenAsked) {
    WriteBytes(to_ + "/album/a.mp3", {1});
    WriteBytes(to_ + "/album/cover.jpg", {2});
    WriteBytes(to_ + "/album/cd2/b.mp3", {3});
    viewer_.Browser().Refresh();
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls_.directories, "album"));
    viewer_.SetRecurse(false);  // as a load without subdirectories leaves it
    DirectoryDeleteSettings filtered;
    filtered.only_filtered = true;

    prompter_.answers = {false, true};
    EXPECT_EQ(commands_.DeleteSelectedDirectory(filtered), 0);
    EXPECT_TRUE(fs::exists(to_ + "/album/a.mp3"));
    ASSERT_EQ(prompter_.Count(Shown::kQuestion), 1);
    EXPECT_EQ(prompter_.shown[0].caption, "Delete directory");
    EXPECT_NE(prompter_.shown[0].text.find(to_ + "/album"), std::string::npos);

    EXPECT_EQ(commands_.DeleteSelectedDirectory(filtered), 1);
    EXPECT_FALSE(fs::exists(to_ + "/album/a.mp3")) << "the filter's mask is *.mp3";
    EXPECT_FALSE(fs::exists(to_ + "/album/cd2")) << "the delete's own subdirectory setting";
    EXPECT_TRUE(fs::exists(to_ + "/album/cover.jpg"));

    viewer_.SetAskBeforeDeleting(false);
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls_.directories, "album"));
    EXPECT_EQ(commands_.DeleteSelectedDirectory({}), 1);
    EXPECT_FALSE(fs::exists(to_ + "/album"));

    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls_.directories, " .."));
    EXPECT_EQ(commands_.DeleteSelectedDirectory({}), 0);
    EXPECT_TRUE(fs::exists(to_));
}

// What the delete could not remove is named in one warning, the first ten paths and a count
// of the rest; the folder list is relisted all the same.
TEST_F(FileCommandsTest, ADirectoryDeleteThatLeftEntriesReportsThemAndFails) {
    const std::string locked = to_ + "/album/locked";
    Texts stuck;
    for (int i = 0; i < 12; ++i) {
        stuck.push_back(locked + "/f" + std::to_string(10 + i) + ".mp3");
        WriteBytes(stuck.back(), {1});
    }
    WriteBytes(to_ + "/album/a.mp3", {2});
    viewer_.Browser().Refresh();
    fs::create_directories(to_ + "/later");
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls_.directories, "album"));
    viewer_.SetAskBeforeDeleting(false);
    ScopedImmutable immutable(locked);
    if (!immutable.active()) GTEST_SKIP() << "no immutable attribute here";

    EXPECT_EQ(commands_.DeleteSelectedDirectory({}), 0);
    std::string expected = "not emptied";
    for (int i = 0; i < 10; ++i) expected += "\n" + stuck[i] + ": could not be removed";
    expected += "\n... and 2 more";
    ASSERT_EQ(prompter_.Count(Shown::kWarning), 1);
    EXPECT_EQ(prompter_.shown.back().text, expected);
    EXPECT_FALSE(fs::exists(to_ + "/album/a.mp3"));
    EXPECT_EQ(DirectoryRows(), (Texts{" ..", "album", "later"})) << "the list is relisted";
}

TEST_F(FileCommandsTest, CreateAndRenameReportWhatFailed) {
    prompter_.query_answers = {std::string("a/b"), std::nullopt, std::string("a/b")};
    EXPECT_EQ(commands_.CreateDirectory(), kDone);
    EXPECT_TRUE(fs::is_directory(to_ + "/a/b"));
    EXPECT_EQ(commands_.CreateDirectory(), 0) << "cancelled";
    EXPECT_EQ(commands_.CreateDirectory(), kDirectoryCreateFailed);
    EXPECT_EQ(prompter_.shown.front().caption, "Create new directory");
    EXPECT_EQ(prompter_.shown.front().text, "Directory name");
    EXPECT_EQ(prompter_.shown.back().kind, Shown::kWarning);
    EXPECT_EQ(prompter_.shown.back().text, "not created");

    fs::create_directories(to_ + "/old");
    viewer_.Browser().Refresh();
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls_.directories, "old"));
    prompter_.shown.clear();
    prompter_.query_answers = {std::string("old"), std::nullopt, std::string("new")};
    EXPECT_EQ(commands_.RenameDirectory(), 0) << "the name stayed";
    EXPECT_EQ(commands_.RenameDirectory(), 0) << "cancelled";
    EXPECT_EQ(prompter_.last_query_initial, "old");
    EXPECT_EQ(commands_.RenameDirectory(), kDone);
    EXPECT_TRUE(fs::is_directory(to_ + "/new"));
    EXPECT_EQ(prompter_.Count(Shown::kWarning), 0);

    // The in-place edit: the same name, and the parent entry, are reported.
    EXPECT_EQ(commands_.RenameDirectoryTo("new"), kSameDirectoryName);
    EXPECT_EQ(prompter_.shown.back().text, "same name");
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls_.directories, " .."));
    EXPECT_EQ(commands_.RenameDirectoryTo("up"), kInvalidArgument);
    EXPECT_EQ(prompter_.shown.back().text, "invalid");
    EXPECT_EQ(commands_.RenameDirectoryTo(""), 0);
    EXPECT_EQ(prompter_.Count(Shown::kWarning), 2);
}

}  // namespace
}  // namespace ambrel::test
