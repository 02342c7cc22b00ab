#include "library/library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "actions/tag_processor.h"
#include "errors/error_log.h"
#include "support/fake_prompter.h"
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

TEST_F(LibraryTest, LoadPathsLoadsFilesAndFoldersAndRebuildsTheRowsOnce) {
    library.CreateModel(dir.path(), &table);
    const std::string single = Song("single.mp3");
    Song("folder/b.mp3");
    Song("folder/sub/a.mp3");
    const int clears = table.clears;
    const std::vector<PathFailure> failures =
        library.LoadPaths({dir / "folder", dir / "gone.mp3", single});
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].path, dir / "gone.mp3");
    EXPECT_EQ(failures[0].code, 50);
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.RowCells(0)[2], "b");
    EXPECT_EQ(table.RowCells(1)[2], "a") << "subfolders are searched by default";
    EXPECT_EQ(table.RowCells(2)[2], "single");
    EXPECT_EQ(table.clears, clears + 1);

    // Without a table the list is loaded all the same, and no row is built.
    Library headless(&prompter);
    headless.CreateModel(dir.path(), nullptr);
    EXPECT_TRUE(headless.LoadPaths({single}).empty());
    EXPECT_EQ(headless.TagList()->Count(), 1);
}

TEST_F(LibraryTest, AddFilesTakesTheMp3FilesAndRebuildsTheRowsOnce) {
    library.CreateModel(dir.path(), &table);
    const std::string a = Song("a.mp3"), upper = Song("b.MP3"), c = Song("c.mp3");
    fs::create_directories(dir / "folder.mp3");
    const int clears = table.clears;

    EXPECT_EQ(library.AddFiles({c, upper, dir / "folder.mp3", dir / "notes.txt", a}), 2);
    EXPECT_EQ(table.RowCells(0)[2], "c");
    EXPECT_EQ(table.RowCells(1)[2], "a");
    EXPECT_EQ(table.clears, clears + 1);
    EXPECT_EQ(library.AddFiles({upper}), 0);
    EXPECT_EQ(table.clears, clears + 1) << "nothing taken, nothing rebuilt";

    library.DestroyModel();
    EXPECT_EQ(library.AddFiles({a}), 0);
    EXPECT_TRUE(library.SaveAll().saved.empty());
}

}  // namespace
}  // namespace ambrel::test
