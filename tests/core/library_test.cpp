#include "library/library.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "actions/tag_processor.h"
#include "errors/error_log.h"
#include "files/file_loader.h"
#include "files/result_codes.h"
#include "support/fake_prompter.h"
#include "support/gate.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

class LibraryTest : public ::testing::Test {
protected:
    std::string Song(const std::string& name) {
        TagFields fields;
        fields.artist = name;
        return WriteMp3(dir / name, 300, MakeBlock(fields));
    }

    TempDir dir;
    FakePrompter prompter;
    MemoryReportView table;
    Library library{&prompter};
};

TEST_F(LibraryTest, CreateModelReadsTheDataFilesBesideTheExecutable) {
    WriteText(dir / "bin/Data/tagviewer.cfg", "Marker genre\n");
    WriteText(dir / "bin/Data/error.cfg", "E050 Marker message\n");
    EXPECT_EQ(library.TagList(), nullptr);

    ASSERT_EQ(library.CreateModel(dir / "bin/", &table), 1);
    EXPECT_EQ(library.ExeDir(), dir / "bin");
    EXPECT_EQ(library.ErrorCfgPath(), dir / "bin/Data/error.cfg");
    EXPECT_EQ(library.TagViewerCfgPath(), dir / "bin/Data/tagviewer.cfg");
    ASSERT_NE(library.TagList(), nullptr);
    EXPECT_EQ(library.TagViewer()->Table(), &table);
    EXPECT_EQ(library.TagViewer()->List(), library.TagList());
    EXPECT_EQ(library.TagViewer()->Genres(), std::vector<std::string>{"Marker genre"});
    EXPECT_EQ(library.TagProcessor()->TagList(), library.TagList());
    library.ErrorLog()->Report(50);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Marker message");

    EXPECT_EQ(library.DestroyModel(), 1);
    EXPECT_EQ(library.TagList(), nullptr);
    EXPECT_EQ(library.TagViewer(), nullptr);
    EXPECT_EQ(library.TagProcessor(), nullptr);
    EXPECT_EQ(library.ErrorLog(), nullptr);
    EXPECT_EQ(library.ExeDir(), dir / "bin");
}

TEST_F(LibraryTest, TheDataFilesAreBesideTheExecutableOrInstalledUnderShare) {
    fs::create_directories(dir / "prefix/bin");
    EXPECT_EQ(Library::DataDirectory(dir / "prefix/bin"), dir / "prefix/bin/Data")
        << "with neither, the folder beside the executable (the built-in lists)";
    WriteText(dir / "prefix/share/ambrel/Data/tagviewer.cfg", "Installed genre\n");
    EXPECT_EQ(Library::DataDirectory(dir / "prefix/bin/"), dir / "prefix/share/ambrel/Data");
    library.CreateModel(dir / "prefix/bin", &table);
    EXPECT_EQ(library.TagViewerCfgPath(), dir / "prefix/share/ambrel/Data/tagviewer.cfg");
    EXPECT_EQ(library.TagViewer()->Genres(), std::vector<std::string>{"Installed genre"});
    // A build tree keeps its Data beside the executable, and that comes first.
    fs::create_directories(dir / "prefix/bin/Data");
    EXPECT_EQ(Library::DataDirectory(dir / "prefix/bin"), dir / "prefix/bin/Data");
}

// The command line's model: the list is loaded all the same, and no row is built.
TEST_F(LibraryTest, WithoutATableTheFilesAreAddedAndNoRowIsBuilt) {
    const std::string single = Song("single.mp3");
    Library headless(&prompter);
    headless.CreateModel(dir.path(), nullptr);
    EXPECT_EQ(headless.AddFiles({single}), 1);
    EXPECT_EQ(headless.TagList()->Count(), 1);
}

TEST_F(LibraryTest, AddFilesTakesTheMp3FilesAndRebuildsTheRowsOnce) {
    library.CreateModel(dir.path(), &table);
    const std::string a = Song("a.mp3"), upper = Song("b.MP3"), c = Song("c.mp3");
    fs::create_directories(dir / "folder.mp3");
    const std::string text = dir / "notes.txt";
    const int clears = table.clears;

    EXPECT_EQ(library.AddFiles({c, upper, dir / "folder.mp3", text, a}), 3);
    EXPECT_EQ(table.RowCells(0)[2], "c");
    EXPECT_EQ(table.RowCells(1)[2], "b");
    EXPECT_EQ(table.RowCells(2)[2], "a");
    EXPECT_EQ(table.clears, clears + 1);
    EXPECT_EQ(library.AddFiles({text}), 0);
    EXPECT_EQ(table.clears, clears + 1) << "nothing taken, nothing rebuilt";

    library.DestroyModel();
    EXPECT_EQ(library.AddFiles({a}), 0);
    EXPECT_TRUE(library.SaveAll().saved.empty());
}

// A load in the background: the library is busy from its start until FinishLoad applies it
// once, and refuses the commands that change the list in between.
class LibraryLoadTest : public LibraryTest {
protected:
    LibraryLoadTest() {
        WriteText(dir / "bin/Data/error.cfg", "E060 cannot read the directory\n");
        library.CreateModel(dir / "bin", &table);
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) songs.push_back(Song(name));
        LoadOptions options;
        options.before_read = [this](const std::string& path) { gate.At(path); };
        library.SetLoadOptions(options);
        library.SetLoadNotifier([this] { ++notices; });
        listener = library.AddBusyListener([this](bool busy) { busy_changes.push_back(busy); });
    }
    ~LibraryLoadTest() override {
        gate.Release();
        library.RemoveBusyListener(listener);
    }

    LoadRequest Songs() const { return DroppedFilesLoad(songs); }
    void AwaitEnd() { ASSERT_TRUE(library.WaitForLoad(std::chrono::seconds(30))); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < table.RowCount(); ++row) names.push_back(table.RowCells(row)[2]);
        return names;
    }

    std::vector<std::string> songs;
    Gate gate{dir / "c.mp3"};
    std::atomic<int> notices{0};
    std::vector<bool> busy_changes;
    int listener = 0;
};

TEST_F(LibraryLoadTest, ALoadIsAppliedOnceWhenItHasEndedAndTheListWaitsForIt) {
    ASSERT_TRUE(library.StartLoad(LoadKind::kDrop, Songs()));
    gate.AwaitReached();
    EXPECT_TRUE(library.IsBusy());
    EXPECT_EQ(busy_changes, std::vector<bool>{true});
    EXPECT_FALSE(library.StartLoad(LoadKind::kDrop, Songs())) << "one load at a time";
    EXPECT_EQ(library.AddFiles(songs), 0);
    library.TagList()->AddList({songs[0]});
    library.TagList()->Get(0)->SetArtist("changed");
    EXPECT_TRUE(library.SaveAll().saved.empty()) << "no save while busy";
    EXPECT_EQ(library.FinishLoad(), Library::LoadStage::kRunning);
    EXPECT_EQ(library.Progress().files_found, 4u);
    EXPECT_EQ(notices.load(), 0);

    gate.Release();
    AwaitEnd();
    EXPECT_EQ(notices.load(), 1);
    const int clears = table.clears;
    EXPECT_EQ(library.FinishLoad(), Library::LoadStage::kIdle) << "a small load in one step";
    EXPECT_FALSE(library.IsBusy());
    EXPECT_EQ(busy_changes, (std::vector<bool>{true, false}));
    EXPECT_EQ(table.clears, clears + 1) << "one rebuild";
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "a", "b", "c", "d"}));
    EXPECT_EQ(library.FinishLoad(), Library::LoadStage::kIdle);
    EXPECT_EQ(table.clears, clears + 1) << "applied once";
    EXPECT_FALSE(library.SaveAll().saved.empty());
}

TEST_F(LibraryLoadTest, ACancelledLoadKeepsTheFilesReadBeforeIt) {
    LoadOptions one_reader;
    one_reader.readers = 1;
    one_reader.before_read = [this](const std::string& path) { gate.At(path); };
    library.SetLoadOptions(one_reader);
    ASSERT_TRUE(library.StartLoad(LoadKind::kDrop, Songs()));
    gate.AwaitReached();
    library.CancelLoad();
    gate.Release();
    AwaitEnd();
    ASSERT_EQ(library.FinishLoad(), Library::LoadStage::kIdle);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(LibraryLoadTest, ADirectoryLoadReportsItsResultAfterTheBusyStateEnds) {
    prompter.shown.clear();
    ASSERT_TRUE(library.StartLoad(
        LoadKind::kDirectory,
        LoadRequest::Directory(dir / "missing", std::nullopt, true, true, LoadMode::kAll)));
    AwaitEnd();
    ASSERT_EQ(library.FinishLoad(), Library::LoadStage::kIdle);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "cannot read the directory");
}

// The paths the program starts with: folders searched where they stand, and one warning
// names what could not be taken once the rows are there; none when all were.
TEST_F(LibraryLoadTest, ALoadOfNamedPathsWarnsOnceOfThePathsItCouldNotTake) {
    const std::string single = Song("single.mp3");
    Song("folder/b.mp3");
    Song("folder/sub/a.mp3");
    prompter.shown.clear();
    ASSERT_TRUE(library.StartLoad(LoadKind::kNamedPaths,
                                  NamedPathsLoad({dir / "folder", dir / "gone.mp3", single})));
    AwaitEnd();
    ASSERT_EQ(library.FinishLoad(), Library::LoadStage::kIdle);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a", "single"}))
        << "subfolders are searched by default";
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].caption, "Error occuried");
    EXPECT_EQ(prompter.shown[0].text,
              dir / "gone.mp3" + ": " + library.ErrorLog()->MessageText(kSourceMissing));

    ASSERT_TRUE(library.StartLoad(LoadKind::kNamedPaths, NamedPathsLoad({single})));
    AwaitEnd();
    ASSERT_EQ(library.FinishLoad(), Library::LoadStage::kIdle);
    EXPECT_EQ(Names().size(), 4u);
    EXPECT_EQ(prompter.shown.size(), 1u);
}

// The main window closed while a read hangs: the model goes within a moment, the load is
// left to end by itself, and its end reaches nobody.
TEST_F(LibraryLoadTest, DestroyingTheModelLetsGoOfAHungLoad) {
    ASSERT_TRUE(library.StartLoad(LoadKind::kDrop, Songs()));
    gate.AwaitReached();
    const auto before = std::chrono::steady_clock::now();
    library.DestroyModel();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(20));
    EXPECT_FALSE(library.IsBusy());
    EXPECT_EQ(busy_changes, (std::vector<bool>{true, false}));
    EXPECT_FALSE(library.StartLoad(LoadKind::kDrop, Songs())) << "no model";
    gate.Release();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(notices.load(), 0);

    // A new model loads again.
    library.CreateModel(dir / "bin", &table);
    ASSERT_TRUE(library.StartLoad(LoadKind::kDrop, Songs()));
    AwaitEnd();
    EXPECT_EQ(library.FinishLoad(), Library::LoadStage::kIdle);
    EXPECT_EQ(Names().size(), 4u);
}

}  // namespace
}  // namespace ambrel::test
