#include "files/directory_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "support/memory_browser_controls.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// A viewer whose browser is ready and lists a real temporary directory.
class DirectoryOperationsTest : public ::testing::Test {
protected:
    DirectoryOperationsTest() { controls_.Attach(viewer_.Browser()); }

    // Everything below the directory, as relative paths, sorted; links are not followed.
    Texts Tree(const std::string& top) const {
        Texts found;
        for (auto it = fs::recursive_directory_iterator(top);
             it != fs::recursive_directory_iterator(); ++it) {
            found.push_back(fs::relative(it->path(), top).string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }
    Texts DirectoryRows() const {
        Texts rows;
        for (int row = 0; row < controls_.directories.RowCount(); ++row) {
            rows.emplace_back(controls_.directories.Cell(row, 0));
        }
        return rows;
    }
    bool Select(const std::string& caption) {
        return MemoryBrowserControls::SelectRow(controls_.directories, caption);
    }

    TempDir dir_;
    MemoryBrowserControls controls_;
    TFileViewer viewer_{dir_.path()};
};

TEST_F(DirectoryOperationsTest, ADirectoryDeleteTakesWhatTheSearchFinds) {
    struct Case {
        const char* what;
        bool keep_directories, recurse, include_hidden;
        int load_mode;
        const char* mask;
        Texts left;  // below the top directory; empty with the top directory gone
        bool top_left;
    };
    const Case cases[] = {
        {"everything", false, true, true, 0, "*.*", {}, false},
        {"keep directories", true, true, true, 0, "*.*", {"empty", "sub"}, true},
        {"no subdirectories",
         false,
         false,
         true,
         0,
         "*.*",
         {"sub", "sub/c.mp3", "sub/d.txt"},
         true},
        {"mask", false, true, true, 0, "*.mp3", {"b.txt", "sub", "sub/d.txt"}, true},
        {"hidden files kept", false, true, false, 0, "*.*", {".hidden.mp3"}, true},
        {"tagged only",
         false,
         true,
         true,
         1,
         "*.*",
         {".hidden.mp3", "b.txt", "sub", "sub/c.mp3", "sub/d.txt"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string top = dir_ / "album";
        TagFields fields;
        fields.title = "Tagged";
        WriteMp3(top + "/a.mp3", 200, MakeBlock(fields));
        WriteMp3(top + "/.hidden.mp3", 200, std::nullopt);
        WriteBytes(top + "/b.txt", {1, 2, 3});
        WriteMp3(top + "/sub/c.mp3", 200, std::nullopt);
        WriteBytes(top + "/sub/d.txt", {4});
        fs::create_directories(top + "/empty");
        viewer_.SetKeepDirectories(c.keep_directories);
        viewer_.SetRecurse(c.recurse);
        viewer_.SetIncludeHidden(c.include_hidden);
        viewer_.SetLoadMode(c.load_mode);

        EXPECT_EQ(viewer_.DeleteDirectoryTree(top, c.mask), kDone);
        EXPECT_EQ(fs::exists(top), c.top_left);
        if (fs::exists(top)) {
            EXPECT_EQ(Tree(top), c.left);
        }
        fs::remove_all(top);
    }
}

TEST_F(DirectoryOperationsTest, LinksInATreeGoAsLinksAndTheirTargetsStay) {
    const std::string outside = WriteMp3(dir_ / "outside/keep.mp3", 300, std::nullopt);
    const std::string top = dir_ / "album";
    WriteMp3(top + "/a.mp3", 200, std::nullopt);
    fs::create_directory_symlink(dir_ / "outside", top + "/to-folder");
    fs::create_symlink(outside, top + "/to-file.mp3");
    // A link listed among the directories and deleted as the selected one.
    fs::create_directory_symlink(dir_ / "outside", dir_ / "linked");
    viewer_.Browser().Refresh();
    ASSERT_TRUE(Select("linked"));

    viewer_.SetKeepDirectories(true);
    EXPECT_EQ(viewer_.DeleteDirectoryTree(dir_ / "linked", "*.*"), kDone);
    EXPECT_TRUE(fs::is_symlink(dir_ / "linked")) << "a link is no file of the tree";
    viewer_.SetKeepDirectories(false);
    EXPECT_EQ(viewer_.DeleteDirectoryTree(dir_ / "linked/", "*.*"), kDone);
    EXPECT_EQ(viewer_.DeleteDirectoryTree(top, "*.*"), kDone);

    EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "linked")));
    EXPECT_FALSE(fs::exists(top));
    EXPECT_EQ(Tree(dir_ / "outside"), Texts{"keep.mp3"});
    EXPECT_EQ(DirectoryRows(), (Texts{" ..", "outside"})) << "the list is relisted";
    EXPECT_EQ(viewer_.DeleteDirectoryTree("", "*.*"), kInvalidArgument);
}

TEST_F(DirectoryOperationsTest, MakeDirectoryCreatesEveryLevelAndAddsOneRow) {
    EXPECT_EQ(viewer_.MakeDirectory("a/b"), kDone);
    EXPECT_TRUE(fs::is_directory(dir_ / "a/b"));
    EXPECT_EQ(DirectoryRows(), (Texts{" ..", "a/b"}));
    EXPECT_EQ(controls_.directories.FirstSelected(), 1);

    // Refused or failed: no row is added.
    WriteBytes(dir_ / "file", {1});
    struct Case {
        std::string name;
        int expected;
    };
    for (const Case& c :
         {Case{"a/b", kDirectoryCreateFailed}, Case{"file/x", kDirectoryCreateFailed},
          Case{"file", kDirectoryCreateFailed}, Case{"", kInvalidArgument}}) {
        EXPECT_EQ(viewer_.MakeDirectory(c.name), c.expected) << c.name;
        EXPECT_EQ(DirectoryRows(), (Texts{" ..", "a/b"})) << c.name;
    }
    EXPECT_EQ(viewer_.LastResult(), kInvalidArgument);
}

TEST_F(DirectoryOperationsTest, RenameDirectoryNeverReplacesAndRefusesOddNames) {
    WriteBytes(dir_ / "old/song.mp3", {1});
    WriteBytes(dir_ / "other/keep.mp3", {2});
    WriteBytes(dir_ / "file", {3});
    viewer_.Browser().Refresh();
    ASSERT_TRUE(Select("old"));

    struct Case {
        std::string name;
        int expected;
    };
    for (const Case& c : {Case{"old", kSameDirectoryName}, Case{"other", kDirectoryRenameFailed},
                          Case{"file", kDirectoryRenameFailed}, Case{"", kInvalidArgument},
                          Case{".", kInvalidArgument}, Case{"..", kInvalidArgument},
                          Case{"x/y", kInvalidArgument}}) {
        EXPECT_EQ(viewer_.RenameDirectory(c.name), c.expected) << c.name;
        EXPECT_EQ(viewer_.LastResult(), c.expected) << c.name;
    }
    EXPECT_EQ(Tree(dir_.path()), (Texts{"file", "old", "old/song.mp3", "other", "other/keep.mp3"}));
    EXPECT_EQ(DirectoryRows(), (Texts{" ..", "old", "other"}));

    EXPECT_EQ(viewer_.RenameDirectory("new"), kDone);
    EXPECT_EQ(Tree(dir_.path()), (Texts{"file", "new", "new/song.mp3", "other", "other/keep.mp3"}));
    EXPECT_EQ(DirectoryRows(), (Texts{" ..", "new", "other"}));

    ASSERT_TRUE(Select(" .."));
    EXPECT_EQ(viewer_.RenameDirectory("up"), kInvalidArgument);
    controls_.directories.ClearSelection();
    EXPECT_EQ(viewer_.RenameDirectory("up"), kDirectoryRenameFailed);
    EXPECT_FALSE(fs::exists(dir_ / "up"));
}

}  // namespace
}  // namespace ambrel::test
