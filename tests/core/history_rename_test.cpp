// The undo history itself, and the undo and redo of renames: a rename run of the action
// panel and a folder rename of the file viewer.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "actions/field_fill.h"
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
using Texts = std::vector<std::string>;

// A batch that only counts, with the number it was recorded under.
class CountingBatch : public Batch {
public:
    CountingBatch(int number, std::vector<std::string>* log) : number_(number), log_(log) {}
    std::string Describe() const override { return "batch " + std::to_string(number_); }
    void Undo(TTagList&, BatchOutcome&) override { log_->push_back("undo " + Describe()); }
    void Redo(TTagList&, BatchOutcome&) override { log_->push_back("redo " + Describe()); }

private:
    int number_;
    std::vector<std::string>* log_;
};

TEST(BatchHistoryTest, KeepsTheLastTwentyBatchesAndDropsTheRedoBranch) {
    TTagList list;
    TBatchHistory history;
    Texts log;
    int changes = 0;
    history.SetOnChange([&] { ++changes; });
    EXPECT_EQ(history.UndoText(), "Undo");
    EXPECT_EQ(history.RedoText(), "Redo");
    EXPECT_FALSE(history.CanUndo());
    history.Undo(list);  // nothing to undo: nothing happens
    EXPECT_TRUE(log.empty());

    for (int n = 1; n <= 25; ++n) history.Record(std::make_unique<CountingBatch>(n, &log));
    history.Record(nullptr);
    EXPECT_EQ(history.Size(), TBatchHistory::kLimit);
    EXPECT_EQ(changes, 25);
    EXPECT_EQ(history.UndoText(), "Undo batch 25");
    for (int n = 0; n < 25; ++n) history.Undo(list);
    EXPECT_EQ(log.size(), 20u) << "batches 1 to 5 are gone";
    EXPECT_EQ(log.back(), "undo batch 6");
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.RedoText(), "Redo batch 6");

    history.Redo(list);
    history.Redo(list);
    EXPECT_EQ(log.back(), "redo batch 7");
    history.Record(std::make_unique<CountingBatch>(99, &log));
    EXPECT_FALSE(history.CanRedo()) << "a new batch drops the batches undone";
    EXPECT_EQ(history.Size(), 3u);
    EXPECT_EQ(history.UndoText(), "Undo batch 99");

    history.Clear();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(HistoryTest, UndoOfARenameRunGivesEveryFileItsNameBackAndRedoTheNewOne) {
    Load({{"music/a.mp3", Song("Abba", "Waterloo")},
          {"music/b.mp3", Song("Blur", "Song 2")},
          {"music/c.mp3", Song("Cher", "Believe")}});
    RunFileRename(Tags(), *library.TagProcessor(), Page(0), 2);
    const Texts renamed = {"Abba - Waterloo.mp3", "Blur - Song 2.mp3", "Cher - Believe.mp3"};
    ASSERT_EQ(Disk(), renamed);
    EXPECT_EQ(History().UndoText(), "Undo rename of 3 files");

    library.Undo();
    EXPECT_EQ(Disk(), (Texts{"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(List().Get(1)->GetPath(), dir / "music/b.mp3");
    EXPECT_EQ(List().Get(1)->GetName(), "b");
    EXPECT_EQ(Cell(1, TTagViewer::kFilename), "b") << "the row shows the old name";
    EXPECT_EQ(History().RedoText(), "Redo rename of 3 files");
    EXPECT_FALSE(History().CanUndo());

    library.Redo();
    EXPECT_EQ(Disk(), renamed);
    EXPECT_EQ(Cell(2, TTagViewer::kFilename), "Cher - Believe");
    EXPECT_TRUE(Warnings().empty());

    // The letter-case-only variant is a rename run too.
    RenamePageState upper = Page(kTemplateCaseOnly);
    upper.case_mode = 1;
    RunFileRename(Tags(), *library.TagProcessor(), upper, 2);
    EXPECT_EQ(Disk()[0], "ABBA - WATERLOO.mp3");
    library.Undo();
    EXPECT_EQ(Disk(), renamed);
}

TEST_F(HistoryTest, AFileWhoseOldNameWasTakenMeanwhileStaysAndIsNamedInOneWarning) {
    Load({{"music/a.mp3", Song("Abba", "Waterloo")},
          {"music/b.mp3", Song("Blur", "Song 2")},
          {"music/c.mp3", Song("Cher", "Believe")}});
    RunFileRename(Tags(), *library.TagProcessor(), Page(0), 2);
    WriteMp3(dir / "music/a.mp3", 7, std::nullopt);  // someone else's file
    WriteMp3(dir / "music/c.mp3", 7, std::nullopt);

    library.Undo();
    EXPECT_EQ(Disk(),
              (Texts{"Abba - Waterloo.mp3", "Cher - Believe.mp3", "a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(FileSize(dir / "music/a.mp3"), 7) << "the file of the old name is not replaced";
    EXPECT_EQ(List().Get(0)->GetFileName(), "Abba - Waterloo.mp3") << "its entry stays too";
    EXPECT_EQ(List().Get(1)->GetFileName(), "b.mp3");
    const Texts warnings = Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("2 files kept their names"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("Abba - Waterloo.mp3 -> \"a.mp3\": a file of that name exists"),
              std::string::npos)
        << warnings[0];

    // Redo renames only what undo took back.
    library.Redo();
    EXPECT_EQ(List().Get(1)->GetFileName(), "Blur - Song 2.mp3");
    EXPECT_EQ(Warnings().size(), 1u);
}

TEST_F(HistoryTest, ARunWhoseEntriesLeftTheListStillPutsTheFilesBack) {
    const Texts paths =
        Load({{"music/a.mp3", Song("Abba", "Waterloo")}, {"music/b.mp3", Song("Blur", "Song 2")}});
    RunFileRename(Tags(), *library.TagProcessor(), Page(0), 2);
    List().Get(1)->SetTitle("Edited");
    FieldFill fill;
    fill.artist = "Fill";
    WriteFieldsToRows(Tags(), fill, false, &History());
    // A delete of the file viewer drops the entry without a batch.
    Tags().RemovePaths({List().Get(0)->GetPath()});
    ASSERT_EQ(List().Count(), 1);

    library.Undo();  // the fill: only the entry still there takes its tag back
    EXPECT_EQ(List().Get(0)->GetArtist(), "Blur");
    library.Undo();  // the renames
    EXPECT_EQ(Disk(), (Texts{"a.mp3", "b.mp3"}));
    EXPECT_EQ(List().Get(0)->GetPath(), paths[1]);
    library.Redo();
    library.Redo();
    EXPECT_EQ(List().Get(0)->GetArtist(), "Fill");
}

// The file viewer browses the music folder; the table holds a file of one of its folders.
class FolderRenameTest : public HistoryTest {
protected:
    FolderRenameTest() {
        Load({{"music/Rock/a.mp3", Song("Abba", "Waterloo")}});
        controls.Attach(viewer.Browser());
    }

    MemoryBrowserControls controls;
    TFileViewer viewer{dir / "music", &prompter};
    MemoryProcessView view;
    TFileCommands commands{viewer, Tags(), *library.ErrorLog(), view, prompter, &History()};
};

TEST_F(FolderRenameTest, UndoNamesTheFolderBackAndTheEntriesUnderItFollow) {
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls.directories, "Rock"));
    ASSERT_EQ(commands.RenameDirectoryTo("Pop"), kDone);
    EXPECT_EQ(History().UndoText(), "Undo rename of folder Rock to Pop");
    EXPECT_EQ(List().Get(0)->GetPath(), dir / "music/Pop/a.mp3") << "the rename itself follows";
    EXPECT_EQ(Cell(0, TTagViewer::kDirectory), "Pop");
    // The same file loaded again under the folder's new name.
    library.AddFiles({dir / "music/Pop/a.mp3"});
    // A file made and deleted in the folder changes its modification time, never which
    // folder it is; the time is set back besides, whatever the clock's resolution.
    const std::string pop = dir / "music/Pop";
    WriteText(pop + "/note.txt", "x");
    fs::remove(pop + "/note.txt");
    fs::last_write_time(pop, fs::last_write_time(pop) - std::chrono::hours(1));

    library.Undo();
    EXPECT_EQ(Disk(), Texts{"Rock/a.mp3"});
    EXPECT_EQ(List().Get(0)->GetPath(), dir / "music/Rock/a.mp3");
    EXPECT_EQ(List().Get(1)->GetPath(), dir / "music/Rock/a.mp3");
    EXPECT_EQ(List().Get(1)->GetFolderName(), "Rock");
    library.Redo();
    EXPECT_EQ(Disk(), Texts{"Pop/a.mp3"});
    EXPECT_EQ(List().Get(0)->GetPath(), dir / "music/Pop/a.mp3");
    EXPECT_EQ(Cell(0, TTagViewer::kDirectory), "Pop");

    // A folder of the old name made meanwhile is not replaced.
    fs::create_directories(dir / "music/Rock");
    library.Undo();
    EXPECT_TRUE(fs::exists(dir / "music/Pop/a.mp3"));
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_NE(Warnings()[0].find("a file of that name exists"), std::string::npos);

    // A refused rename records nothing.
    const std::size_t batches = History().Size();
    viewer.Browser().Refresh();
    ASSERT_TRUE(MemoryBrowserControls::SelectRow(controls.directories, "Rock"));
    commands.RenameDirectoryTo("Rock");
    EXPECT_EQ(History().Size(), batches);
}

}  // namespace
}  // namespace ambrel::test
