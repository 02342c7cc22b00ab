// The undo history beside the file viewer's commands: copies, moves and deletes are not
// undone, and a batch recorded before them must neither rename nor write a file that is not
// the one it changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "actions/tag_processor.h"
#include "errors/error_log.h"
#include "files/file_commands.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "history/batch_history.h"
#include "history_fixture.h"
#include "support/memory_browser_controls.h"
#include "support/memory_process_view.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

// The table holds files of music/; the file viewer walks between music/ and music/to/ and
// deletes without asking.
class FileCommandsHistoryTest : public HistoryTest {
protected:
    FileCommandsHistoryTest() {
        fs::create_directories(to);
        controls.Attach(viewer.Browser());
        viewer.SetAskBeforeDeleting(false);
    }

    void Browse(const std::string& folder) { ASSERT_EQ(viewer.Browser().ListDirectory(folder), 1); }
    // Moves (or copies) the files of these table rows into the folder.
    void MoveRows(std::vector<int> rows, const std::string& folder, bool copy = false) {
        Browse(folder);
        table.ReplaceSelection(rows);
        ASSERT_EQ(commands.CopyMoveSelected(copy, {}), 1);
    }
    // Deletes the file of that name from the folder through the file list.
    void DeleteFile(const std::string& folder, const std::string& name) {
        Browse(folder);
        ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls.files, name));
        ASSERT_EQ(commands.DeleteSelectedFiles(), 1);
    }

    const std::string music = dir / "music";
    const std::string to = dir / "music/to";
    MemoryBrowserControls controls;
    TFileViewer viewer{music, &prompter};
    MemoryProcessView view;
    TFileCommands commands{viewer, Tags(), *library.ErrorLog(), view, prompter, &History()};
};

TEST_F(FileCommandsHistoryTest, ARenameUndoLeavesFilesThatWereMovedDeletedOrReplaced) {
    Load({{"music/a.mp3", Song("Abba", "Waterloo")},
          {"music/b.mp3", Song("Blur", "Song 2")},
          {"music/c.mp3", Song("Cher", "Believe")}});
    RunFileRename(Tags(), *library.TagProcessor(), Page(0), 2);
    ASSERT_EQ(Disk(), (Texts{"Abba - Waterloo.mp3", "Blur - Song 2.mp3", "Cher - Believe.mp3"}));

    // Abba moves away and a copy of it comes back under the renamed name; Blur is deleted and
    // a new file made under its name at once, where a file system often hands out the inode
    // number just freed.
    MoveRows({0}, to);
    MoveRows({0}, music, true);
    DeleteFile(music, "Blur - Song 2.mp3");
    WriteMp3(music + "/Blur - Song 2.mp3", 50, std::nullopt);
    EXPECT_EQ(History().UndoText(), "Undo rename of 3 files") << "copy, move, delete not undone";

    library.Undo();
    EXPECT_EQ(Disk(), (Texts{"Abba - Waterloo.mp3", "Blur - Song 2.mp3", "c.mp3",
                             "to/Abba - Waterloo.mp3"}));
    EXPECT_EQ(FileSize(music + "/Blur - Song 2.mp3"), 50);
    EXPECT_EQ(List().Get(0)->GetPath(), to + "/Abba - Waterloo.mp3");
    EXPECT_EQ(List().Get(1)->GetPath(), music + "/c.mp3");
    const Texts warnings = Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "2 files kept their names:\n" + music +
                               "/Blur - Song 2.mp3 -> \"b.mp3\": another file has taken its "
                               "place\n" +
                               music +
                               "/Abba - Waterloo.mp3 -> \"a.mp3\": another file has taken its "
                               "place");
}

TEST_F(FileCommandsHistoryTest, ASaveUndoFollowsItsEntryThroughAMoveAndLeavesCopiesAlone) {
    const Texts paths = Load({{"music/a.mp3", Song("Old", "Tag")}});
    const Bytes original = ReadBytes(paths[0]);
    List().Get(0)->SetArtist("New");
    library.SaveAll();
    const Bytes saved = ReadBytes(paths[0]);
    MoveRows({0}, to);
    MoveRows({0}, music, true);  // a copy of the saved file where the save wrote
    const std::string moved = to + "/a.mp3";

    const BatchOutcome undone = library.Undo();
    EXPECT_EQ(ReadBytes(moved), original) << "the entry's file takes its old tag back";
    EXPECT_EQ(ReadBytes(paths[0]), saved) << "the copy is not the saved file";
    EXPECT_EQ(undone.written, Texts{moved});
    EXPECT_TRUE(List().Get(0)->IsModified()) << "the edit is unsaved again";
    EXPECT_TRUE(Warnings().empty());
    library.Redo();
    EXPECT_EQ(ReadBytes(moved), saved);
    EXPECT_FALSE(List().Get(0)->IsModified());

    // Once the file is deleted its entry is gone, and a file put under its name is left.
    DeleteFile(to, "a.mp3");
    ASSERT_EQ(List().Count(), 0);
    WriteBytes(moved, saved);
    library.Undo();
    EXPECT_EQ(ReadBytes(moved), saved);
    EXPECT_EQ(ReadBytes(paths[0]), saved);
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_EQ(Warnings()[0],
              "1 file has changed or gone since the save and was left as it is:\n" + paths[0]);
}

TEST_F(FileCommandsHistoryTest, AFolderDeletedAndMadeAgainIsNotTheRenamedOne) {
    Load({{"music/Rock/a.mp3", Song("Abba", "Waterloo")}});
    Browse(music);
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls.directories, "Rock"));
    ASSERT_EQ(commands.RenameDirectoryTo("Pop"), kDone);
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls.directories, "Pop"));
    ASSERT_EQ(commands.DeleteSelectedDirectory({}), 1);
    ASSERT_FALSE(fs::exists(music + "/Pop"));
    fs::create_directories(music + "/Pop");

    library.Undo();
    EXPECT_TRUE(fs::is_directory(music + "/Pop"));
    EXPECT_FALSE(fs::exists(music + "/Rock"));
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_NE(Warnings()[0].find("\"Rock\": another file has taken its place"), std::string::npos)
        << Warnings()[0];
}

}  // namespace
}  // namespace ambrel::test
