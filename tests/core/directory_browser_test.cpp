#include "files/directory_browser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/result_codes.h"
#include "support/fake_prompter.h"
#include "support/memory_report_view.h"
#include "support/memory_selectors.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// A browser over a real temporary tree, bound to in-memory controls in the window's
// order of attachment. Tests run in the C locale, where collation is byte order.
class DirectoryBrowserTest : public ::testing::Test {
protected:
    DirectoryBrowserTest() {
        directories_.AddColumn("Directories", 200);
        files_.AddColumn("Files", 200);
        files_.AddColumn("Tag", 60);
        AddFilterEntries(filter_, kFileViewerFilterText);
        filter_.SelectEntry(0);
        drives_.roots = {"/", dir_.path()};
    }

    void Attach(TDirectoryBrowser& browser) {
        browser.AttachDriveSelector(&drives_);
        browser.AttachFilterSelector(&filter_);
        browser.AttachDirectoryList(&directories_);
        browser.AttachFileList(&files_);
        browser.AttachIconList(&icons_);
    }
    void Start() {
        Attach(browser_);
        ASSERT_EQ(browser_.Refresh(), kDone);
    }
    std::string Tagged(const std::string& relative) {
        TagFields fields;
        fields.artist = "Artist";
        return WriteMp3(dir_ / relative, 300, MakeBlock(fields));
    }
    std::string Untagged(const std::string& relative) {
        return WriteMp3(dir_ / relative, 300, std::nullopt);
    }
    static Texts Column(const MemoryReportView& view, int pos) {
        Texts texts;
        for (int row = 0; row < view.RowCount(); ++row) texts.emplace_back(view.Cell(row, pos));
        return texts;
    }
    void SelectDirectory(const std::string& caption) {
        for (int row = 0; row < directories_.RowCount(); ++row) {
            if (directories_.Cell(row, 0) == caption) directories_.ReplaceSelection({row});
        }
    }

    TempDir dir_;
    MemoryReportView directories_;
    MemoryReportView files_;
    MemoryFilterSelector filter_;
    MemoryDriveSelector drives_;
    MemoryIconSource icons_;
    FakePrompter prompter_;
    TDirectoryBrowser browser_{dir_.path(), &prompter_};
};

TEST_F(DirectoryBrowserTest, ListsSortedRowsWithTagStatusUnderTheMp3Filter) {
    Tagged("b.mp3");
    Untagged("a.mp3");
    Tagged("SONG.MP3");  // an MP3 file in any letter case, its tag read like the others
    Tagged(".hidden.mp3");
    Untagged("notes.txt");
    Untagged("tiny.mp3.bak");
    fs::create_directories(dir_ / "b_dir");
    fs::create_directories(dir_ / "a_dir");
    fs::create_directories(dir_ / ".hidden_dir");
    fs::create_directory_symlink(dir_ / "a_dir", dir_ / "link_dir");
    Start();

    EXPECT_EQ(directories_.ColumnCaption(0), dir_.path());
    EXPECT_EQ(Column(directories_, 0), (Texts{" ..", ".hidden_dir", "a_dir", "b_dir", "link_dir"}));
    EXPECT_EQ(Column(files_, 0), (Texts{".hidden.mp3", "SONG.MP3", "a.mp3", "b.mp3"}));
    EXPECT_EQ(Column(files_, 1), (Texts{"Mp3v1", "Mp3v1", "No", "Mp3v1"}));
    EXPECT_EQ(directories_.SelectedRows(), (std::vector<int>{0}));
    EXPECT_EQ(files_.SelectedRows(), (std::vector<int>{0}));

    // Without hidden entries the hidden file goes; the hidden directory stays.
    browser_.SetShowHidden(false);
    browser_.Refresh();
    EXPECT_EQ(Column(files_, 0), (Texts{"SONG.MP3", "a.mp3", "b.mp3"}));
    EXPECT_EQ(directories_.RowCount(), 5);

    // All files: every file, the others with "No".
    filter_.SelectEntry(1);
    ASSERT_EQ(browser_.ChangeFilter(), kDone);
    EXPECT_EQ(Column(files_, 0),
              (Texts{"SONG.MP3", "a.mp3", "b.mp3", "notes.txt", "tiny.mp3.bak"}));
    EXPECT_EQ(Column(files_, 1), (Texts{"Mp3v1", "No", "Mp3v1", "No", "No"}));
    EXPECT_EQ(directories_.RowCount(), 5) << "ChangeFilter relists files only";
}

TEST_F(DirectoryBrowserTest, AttachingListsNothingUntilReadyThenFilesOnly) {
    Tagged("a.mp3");
    fs::create_directories(dir_ / "sub");
    browser_.AttachDriveSelector(&drives_);
    browser_.AttachFilterSelector(&filter_);
    browser_.AttachDirectoryList(&directories_);
    EXPECT_FALSE(browser_.IsReady());
    EXPECT_EQ(drives_.selected, dir_.path()) << "the volume holding the start path";
    browser_.AttachFileList(&files_);
    EXPECT_TRUE(browser_.IsReady());
    EXPECT_EQ(directories_.RowCount(), 0);
    EXPECT_EQ(files_.RowCount(), 1);

    // A filter selector without entries gets "All files" and no active filter.
    MemoryFilterSelector empty;
    browser_.AttachFilterSelector(&empty);
    ASSERT_EQ(empty.entries.size(), 1u);
    EXPECT_EQ(empty.entries[0], (std::pair<std::string, std::string>{"All files", "*.*"}));
    EXPECT_EQ(empty.selected, 0);
    EXPECT_FALSE(browser_.IsFilterActive());
}

TEST_F(DirectoryBrowserTest, OperationsOfABrowserThatIsNotReadyReturn10) {
    TDirectoryBrowser browser(dir_.path(), &prompter_);
    std::vector<std::string> selected;
    EXPECT_EQ(browser.ListDirectory(dir_.path()), kInvalidArgument);
    EXPECT_EQ(browser.Refresh(), kInvalidArgument);
    EXPECT_EQ(browser.RefreshFiles(), kInvalidArgument);
    EXPECT_EQ(browser.RefreshDirectories(), kInvalidArgument);
    EXPECT_EQ(browser.ChangeFilter(), kInvalidArgument);
    EXPECT_EQ(browser.OpenSelected(), kInvalidArgument);
    EXPECT_EQ(browser.GoUp(), kInvalidArgument);
    EXPECT_EQ(browser.ChangeDrive("/"), kInvalidArgument);
    EXPECT_EQ(browser.AddDirectoryRow("x"), kInvalidArgument);
    EXPECT_EQ(browser.RenameDirectoryRow("x"), kInvalidArgument);
    EXPECT_EQ(browser.GetSelectedFiles(&selected), kInvalidArgument);
    EXPECT_EQ(browser.GetSelectedDirName(), std::nullopt);
    EXPECT_EQ(browser.BuildFilterExtensions(), kInvalidArgument);
    EXPECT_EQ(browser.CurrentPath(), dir_.path());
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(DirectoryBrowserTest, OpensADirectoryAndComesBackThroughTheParentEntry) {
    Tagged("Music/Rock/x.mp3");
    Start();
    EXPECT_EQ(browser_.OpenSelected(), kDone) << "row 0 is the parent entry";
    EXPECT_EQ(browser_.CurrentPath(), fs::path(dir_.path()).parent_path().string());

    browser_.ChangeDrive(dir_.path());
    SelectDirectory("Music");
    ASSERT_EQ(browser_.OpenSelected(), kDone);
    SelectDirectory("Rock");
    ASSERT_EQ(browser_.OpenSelected(), kDone);
    EXPECT_EQ(browser_.CurrentPath(), dir_ / "Music/Rock");
    EXPECT_EQ(Column(files_, 0), Texts{"x.mp3"});
    EXPECT_EQ(browser_.GetSelectedDirPath(), dir_ / "Music/Rock/ ..");

    ASSERT_EQ(browser_.OpenSelected(), kDone);
    EXPECT_EQ(browser_.CurrentPath(), dir_ / "Music");
    EXPECT_EQ(Column(directories_, 0), (Texts{" ..", "Rock"}));
    ASSERT_EQ(browser_.GoUp(), kDone);
    EXPECT_EQ(browser_.CurrentPath(), dir_.path());

    directories_.ClearSelection();
    EXPECT_EQ(browser_.OpenSelected(), kCannotEnumerate);
    EXPECT_EQ(browser_.CurrentPath(), dir_.path());
}

TEST_F(DirectoryBrowserTest, TheRootHasNoParentEntryAndGoUpStopsThere) {
    TDirectoryBrowser browser("/", &prompter_);
    Attach(browser);
    ASSERT_EQ(browser.Refresh(), kDone);
    ASSERT_GT(directories_.RowCount(), 0);
    EXPECT_NE(directories_.Cell(0, 0), TDirectoryBrowser::kParentEntry);
    EXPECT_EQ(browser.GoUp(), kCannotEnumerate);
    EXPECT_EQ(browser.CurrentPath(), "/");

    // One level down, the parent entry leads back to "/".
    ASSERT_EQ(browser.ChangeDrive("/tmp/"), kDone);
    EXPECT_EQ(browser.CurrentPath(), "/tmp");
    ASSERT_EQ(browser.GoUp(), kDone);
    EXPECT_EQ(browser.CurrentPath(), "/");
}

TEST_F(DirectoryBrowserTest, ADirectoryThatCannotBeListedLeavesTheListsEmpty) {
    Tagged("a.mp3");
    Start();
    const std::string missing = dir_ / "missing";
    directories_.ClearRows();
    files_.ClearRows();
    EXPECT_EQ(browser_.ListDirectory(missing + "/"), kCannotEnumerate);
    EXPECT_EQ(browser_.CurrentPath(), missing);
    EXPECT_EQ(directories_.RowCount(), 0);
    EXPECT_EQ(files_.RowCount(), 0);
    EXPECT_EQ(browser_.ListDirectory(""), kInvalidArgument);
    EXPECT_TRUE(prompter_.shown.empty()) << "browsing shows no message";
}

TEST_F(DirectoryBrowserTest, ChangeDriveToAMissingRootShowsTheMessageAndKeepsThePath) {
    Tagged("a.mp3");
    Start();
    EXPECT_EQ(browser_.ChangeDrive(dir_ / "no-such-volume"), kCannotOpenDrive);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].kind, FakePrompter::Shown::kMessage);
    EXPECT_EQ(prompter_.shown[0].text, "Error while reading from drive: Unable to open drive");
    EXPECT_EQ(browser_.CurrentPath(), dir_.path());
    EXPECT_EQ(Column(files_, 0), Texts{"a.mp3"});
    EXPECT_EQ(browser_.ChangeDrive(""), kInvalidArgument);
}

TEST_F(DirectoryBrowserTest, RefreshKeepsTheSelectedRowNumber) {
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3"}) Untagged(name);
    fs::create_directories(dir_ / "d1");
    fs::create_directories(dir_ / "d2");
    Start();
    files_.ReplaceSelection({1, 4});  // the first selected row is 1
    ASSERT_EQ(browser_.RefreshFiles(), kDone);
    EXPECT_EQ(files_.SelectedRows(), (std::vector<int>{1}));

    files_.ReplaceSelection({4});
    fs::remove(dir_ / "4.mp3");
    fs::remove(dir_ / "5.mp3");
    ASSERT_EQ(browser_.RefreshFiles(), kDone);
    EXPECT_EQ(Column(files_, 0), (Texts{"1.mp3", "2.mp3", "3.mp3"}));
    EXPECT_EQ(files_.SelectedRows(), (std::vector<int>{2})) << "the last row when the list shrank";

    files_.ClearSelection();
    ASSERT_EQ(browser_.RefreshFiles(), kDone);
    EXPECT_TRUE(files_.SelectedRows().empty());

    directories_.ReplaceSelection({2});
    ASSERT_EQ(browser_.RefreshDirectories(), kDone);
    EXPECT_EQ(directories_.SelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(files_.RowCount(), 3) << "the file list is left alone";
}

TEST_F(DirectoryBrowserTest, TheTagColumnComesAndGoesWithTheTagStatus) {
    Tagged("a.mp3");
    Start();
    browser_.SetShowTagStatus(false);
    browser_.RefreshFiles();
    EXPECT_FALSE(browser_.IsTagStatusShown());
    EXPECT_EQ(files_.Captions(), Texts{"Files"});
    EXPECT_EQ(files_.ColumnWidth(0), 260);
    EXPECT_EQ(files_.CellCount(0), 1);

    browser_.SetShowTagStatus(true);
    browser_.RefreshFiles();
    EXPECT_EQ(files_.Captions(), (Texts{"Files", "Tag"}));
    EXPECT_EQ(files_.ColumnWidth(0), 200);
    EXPECT_EQ(files_.ColumnWidth(1), TDirectoryBrowser::kTagColumnWidth);
    EXPECT_EQ(Column(files_, 1), Texts{"Mp3v1"});
    browser_.SetShowTagStatus(true);
    EXPECT_EQ(files_.ColumnCount(), 2) << "never a second Tag column";
}

TEST_F(DirectoryBrowserTest, FilterExtensionsFollowTheCurrentMask) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> entries;
        int selected;
        Texts extensions;
        bool active;
        int selected_after;
    };
    const Case cases[] = {
        {{{"Mp3", "*.mp3"}}, 0, {"mp3"}, true, 0},
        {{{"Two", "*.MP3;*.ogg"}}, 0, {"mp3", "ogg"}, true, 0},
        {{{"Long", "*.mpeg3"}}, 0, {"mpeg"}, true, 0},
        {{{"Odd", "*.mp3;noext"}}, 0, {"mp3"}, true, 0},
        {{{"All", "*.*"}}, 0, {}, false, 0},
        {{{"Mp3", "*.mp3"}, {"All", "*.*"}}, -1, {}, false, 1},  // none selected: the last
        {{}, -1, {}, false, -1},                                 // no entries: "*.*"
    };
    for (const Case& c : cases) {
        MemoryFilterSelector filter;
        filter.entries = c.entries;
        filter.selected = c.selected;
        TDirectoryBrowser browser(dir_.path());
        browser.AttachFilterSelector(&filter);
        filter.entries = c.entries;  // attaching an empty selector would add "All files"
        filter.selected = c.selected;
        ASSERT_EQ(browser.BuildFilterExtensions(), kDone);
        EXPECT_EQ(browser.Extensions(), c.extensions) << c.entries.size();
        EXPECT_EQ(browser.IsFilterActive(), c.active);
        EXPECT_EQ(filter.selected, c.selected_after);
    }
}

TEST_F(DirectoryBrowserTest, FilterTextSplitsIntoDescriptionsAndMasks) {
    MemoryFilterSelector filter;
    AddFilterEntries(filter, "Mp3 files (*.mp3)|*.mp3|All files (*.*)|*.*|Dangling");
    EXPECT_EQ(filter.entries, (std::vector<std::pair<std::string, std::string>>{
                                  {"Mp3 files (*.mp3)", "*.mp3"}, {"All files (*.*)", "*.*"}}));
}

TEST_F(DirectoryBrowserTest, TheParentEntryIsNeverRenamed) {
    fs::create_directories(dir_ / "b");
    Start();
    ASSERT_EQ(directories_.Cell(0, 0), TDirectoryBrowser::kParentEntry);
    EXPECT_EQ(browser_.RenameDirectoryRow("zzz"), kInvalidArgument);
    EXPECT_EQ(Column(directories_, 0), (Texts{" ..", "b"}));

    SelectDirectory("b");
    EXPECT_EQ(browser_.RenameDirectoryRow(""), kInvalidArgument);
    ASSERT_EQ(browser_.RenameDirectoryRow("a"), kDone);
    EXPECT_EQ(Column(directories_, 0), (Texts{" ..", "a"}));
    EXPECT_EQ(browser_.GetSelectedDirName(), "a") << "the renamed row stays selected";

    directories_.ClearSelection();
    EXPECT_EQ(browser_.RenameDirectoryRow("c"), kCannotEnumerate);
}

TEST_F(DirectoryBrowserTest, AddDirectoryRowTakesItsSortedPlaceSelectedAndFocused) {
    fs::create_directories(dir_ / "a");
    fs::create_directories(dir_ / "c");
    Start();
    ASSERT_EQ(browser_.AddDirectoryRow("b"), kDone);
    EXPECT_EQ(Column(directories_, 0), (Texts{" ..", "a", "b", "c"}));
    EXPECT_EQ(directories_.SelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(directories_.focused_row, 2);
    EXPECT_EQ(browser_.AddDirectoryRow(""), kInvalidArgument);
    EXPECT_EQ(directories_.RowCount(), 4);
}

TEST_F(DirectoryBrowserTest, GetSelectedFilesGivesFullPathsInRowOrder) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) Untagged(name);
    Start();
    files_.ReplaceSelection({0, 2});
    std::vector<std::string> paths{"kept"};
    ASSERT_EQ(browser_.GetSelectedFiles(&paths), kDone);
    EXPECT_EQ(paths, (Texts{"kept", dir_ / "a.mp3", dir_ / "c.mp3"}));

    browser_.SelectAllFiles();
    EXPECT_EQ(files_.SelectedRows().size(), 3u);
    browser_.DeselectAllFiles();
    EXPECT_TRUE(files_.SelectedRows().empty());
}

TEST_F(DirectoryBrowserTest, IconsAreAskedForOnlyWhenTheTypeChangesAndCachedByKey) {
    filter_.SelectEntry(1);
    for (const char* name : {"a.mp3", "b.mp3", "c.txt", "d.mp3", "e.mp3"}) Untagged(name);
    fs::create_directories(dir_ / "x");
    fs::create_directories(dir_ / "y");
    Start();
    // Rows: " ..", x, y | a.mp3 b.mp3 c.txt d.mp3 e.mp3: the key changes 4 times.
    EXPECT_EQ(icons_.key_requests, 4);
    EXPECT_EQ(icons_.images, (Texts{"dir", "file:.mp3", "file:.txt"}));
    EXPECT_EQ(browser_.IconKeys(), icons_.images);
    EXPECT_EQ(directories_.RowImage(2), 0);
    EXPECT_EQ(files_.RowImage(0), 1);
    EXPECT_EQ(files_.RowImage(2), 2);
    EXPECT_EQ(files_.RowImage(3), 1) << "the cached image of a key seen before";

    // Only a listing of both kinds empties the cache.
    const int clears = icons_.clears;
    browser_.RefreshFiles();
    EXPECT_EQ(icons_.clears, clears);
    browser_.Refresh();
    EXPECT_EQ(icons_.clears, clears + 1);

    browser_.SetShowIcons(false);
    browser_.Refresh();
    EXPECT_EQ(files_.RowImage(0), -1);
    EXPECT_EQ(directories_.RowImage(0), -1);
}

TEST(VolumeRootOfTest, PicksTheLongestRootHoldingThePath) {
    const Texts roots{"/", "/media/usb", "/media/usb2/"};
    struct Case {
        std::string path, root;
    };
    for (const Case& c :
         {Case{"/home/me", "/"}, Case{"/media/usb", "/media/usb"},
          Case{"/media/usb/Music", "/media/usb"}, Case{"/media/usb2/x", "/media/usb2/"},
          Case{"/media/usbx", "/"}, Case{"relative", ""}}) {
        EXPECT_EQ(TDirectoryBrowser::VolumeRootOf(roots, c.path), c.root) << c.path;
    }
}

}  // namespace
}  // namespace ambrel::test
