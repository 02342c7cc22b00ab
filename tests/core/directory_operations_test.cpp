#include "files/directory_operations.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "files/tree_delete.h"
#include "support/deep_tree.h"
#include "support/faults.h"
#include "support/memory_browser_controls.h"
#include "support/mp3_fixture.h"

namespace ambrel {

void PrintTo(const LeftEntry& entry, std::ostream* out) {
    *out << entry.path << (entry.reason == LeftEntry::kNotRead ? " (not read)" : " (not removed)");
}

namespace test {
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
        viewer_.SetLoadMode(*LoadModeFromInt(c.load_mode));

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

// A folder swapped for a link to a folder outside just before the delete opens it: the link
// goes as a link (or stays, as the selected folder while only files go); the link's target and
// the folder moved away keep everything.
TEST_F(DirectoryOperationsTest, AFolderSwappedForALinkDuringTheDeleteLeadsNowhereOutside) {
    struct Case {
        const char* swapped;  // below dir_
        bool keep_directories;
        Texts moved;  // what the folder moved away held
        bool link_left;
    };
    const Texts whole = {"a.mp3", "sub", "sub/b.mp3", "sub/deeper", "sub/deeper/c.mp3", "z.txt"};
    const Texts sub = {"b.mp3", "deeper", "deeper/c.mp3"};
    const Case cases[] = {{"album/sub", false, sub, false},
                          {"album/sub", true, sub, false},
                          {"album", false, whole, false},
                          {"album", true, whole, true}};
    const std::string outside = dir_ / "outside";
    const Texts kept = {"keep1.mp3", "keep2.mp3", "keep3.txt", "keep4", "keep4/keep5.mp3"};
    const std::string top = dir_ / "album";
    const std::string moved = dir_ / "moved";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.swapped);
        SCOPED_TRACE(c.keep_directories);
        for (const char* name : {"keep1.mp3", "keep2.mp3", "keep3.txt", "keep4/keep5.mp3"}) {
            WriteBytes(outside + "/" + name, {7});
        }
        for (const Texts::value_type& relative : whole) {
            if (relative.find('.') != std::string::npos) WriteBytes(top + "/" + relative, {1});
        }
        const std::string swapped = dir_ / c.swapped;
        viewer_.SetBeforeOpeningDirectory([&](const std::string& directory) {
            if (directory != swapped || fs::exists(moved)) return;
            fs::rename(swapped, moved);
            fs::create_directory_symlink(outside, swapped);
        });
        viewer_.SetKeepDirectories(c.keep_directories);

        EXPECT_EQ(viewer_.DeleteDirectoryTree(top, "*.*"), kDone);
        EXPECT_EQ(Tree(outside), kept);
        EXPECT_EQ(Tree(moved), c.moved);
        EXPECT_EQ(fs::is_symlink(swapped), c.link_left);
        if (c.keep_directories && !c.link_left) {
            EXPECT_EQ(Tree(top), Texts{}) << "the files went, and the link in the tree with them";
        } else if (!c.link_left) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(top)));
        }
        fs::remove_all(top);
        fs::remove_all(moved);
    }
}

bool CanOpenDirectory(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir) ::closedir(dir);
    return dir != nullptr;
}

// An entry the rules took that could not be removed, and a folder that could not be read, are
// returned in walk order with 61; what the rules leave out is no failure. The next delete
// forgets them.
TEST_F(DirectoryOperationsTest, ADirectoryDeleteSaysWhatItCouldNotRemoveOrRead) {
    const std::string top = dir_ / "album";
    WriteBytes(top + "/a.mp3", {1});
    WriteBytes(top + "/kept/.hidden.mp3", {2});
    const std::string stuck = top + "/locked/b.mp3";
    WriteBytes(stuck, {3});
    const std::string unreadable = top + "/unreadable";
    WriteBytes(unreadable + "/c.mp3", {4});
    fs::create_directories(top + "/unreadable-empty");
    WriteBytes(top + "/z.txt", {5});
    viewer_.SetIncludeHidden(false);
    {
        ScopedImmutable immutable(top + "/locked");
        if (!immutable.active()) GTEST_SKIP() << "no immutable attribute here";
        for (const std::string& path : {unreadable, top + "/unreadable-empty"}) {
            ::chmod(path.c_str(), 0);
        }
        int result = 0;
        {
            ScopedPermissionsEnforced enforced;
            if (!CanOpenDirectory(unreadable)) result = viewer_.DeleteDirectoryTree(top, "*.*");
        }
        ::chmod(unreadable.c_str(), 0755);
        if (result == 0) GTEST_SKIP() << "permissions cannot be enforced here";
        EXPECT_EQ(result, kDirectoryNotEmptied);
        EXPECT_EQ(viewer_.LeftBehind(), (std::vector<LeftEntry>{{stuck, LeftEntry::kNotRemoved},
                                                                {unreadable, LeftEntry::kNotRead}}))
            << "an empty folder that cannot be read is still removed";
        EXPECT_EQ(Tree(top), (Texts{"kept", "kept/.hidden.mp3", "locked", "locked/b.mp3",
                                    "unreadable", "unreadable/c.mp3"}));
    }
    EXPECT_EQ(viewer_.DeleteDirectoryTree(top, "*.*"), kDone);
    EXPECT_TRUE(viewer_.LeftBehind().empty());
    EXPECT_EQ(Tree(top), (Texts{"kept", "kept/.hidden.mp3"}));
}

// No path is named whole: a tree deeper than a path can name goes with everything in it. Only
// what lies more than kMaxTreeDeleteDepth levels down stays, named as not read.
TEST_F(DirectoryOperationsTest, ADeepTreeGoesWholeDownToTheDepthTheDeleteWalks) {
    {
        const DeepTree deep(dir_.path(), "deep", PATH_MAX - 100);
        deep.AddFile(std::string(150, 'f') + ".mp3");
        deep.AddDirectory(std::string(150, 'g'));
        EXPECT_EQ(viewer_.DeleteDirectoryTree(dir_ / "deep", "*.*"), kDone);
        EXPECT_FALSE(fs::exists(dir_ / "deep"));
    }
    // On a disk each of the thousands of folder removals below waits for the journal.
    fs::create_directories(dir_ / "memory");
    const ScopedTmpfs memory(dir_ / "memory", 64 << 20);
    if (!memory.active()) GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string top = dir_ / "memory";
    std::string deepest = top + "/chain";
    std::string middle;
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level <= kMaxTreeDeleteDepth + 1; ++level) {
        const char* name = level == 0 ? "chain" : "d";
        ::mkdirat(fd, name, 0755);
        const int next = ::openat(fd, name, O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        if (level > 0) deepest += "/d";
        if (level == kMaxTreeDeleteDepth / 2) middle = deepest;
    }
    ::close(::openat(fd, "too-deep.mp3", O_WRONLY | O_CREAT, 0644));
    ::close(fd);

    EXPECT_EQ(viewer_.DeleteDirectoryTree(top + "/chain", "*.*"), kDirectoryNotEmptied);
    EXPECT_EQ(viewer_.LeftBehind(), (std::vector<LeftEntry>{{deepest, LeftEntry::kNotRead}}));
    EXPECT_EQ(viewer_.DeleteDirectoryTree(middle, "*.*"), kDone);
    EXPECT_EQ(viewer_.DeleteDirectoryTree(top + "/chain", "*.*"), kDone);
    EXPECT_FALSE(fs::exists(top + "/chain"));
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
}  // namespace test
}  // namespace ambrel
