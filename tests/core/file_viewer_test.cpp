#include "files/file_viewer.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/result_codes.h"
#include "support/faults.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

bool CanOpenDirectory(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir) ::closedir(dir);
    return dir != nullptr;
}

// Checks that a search result is a depth-first walk: every directory is followed at once
// by exactly the paths below it.
void ExpectDepthFirst(const Paths& found) {
    for (std::size_t i = 0; i < found.size(); ++i) {
        const std::string prefix = found[i] + "/";
        std::size_t end = i + 1;
        while (end < found.size() && found[end].rfind(prefix, 0) == 0) ++end;
        for (std::size_t j = end; j < found.size(); ++j) {
            EXPECT_NE(found[j].rfind(prefix, 0), 0u) << found[j] << " is apart from " << found[i];
        }
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(found[j].rfind(prefix, 0), 0u) << found[j] << " stands before " << found[i];
        }
    }
}

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

class FileViewerTest : public ::testing::Test {
protected:
    std::string Tagged(const std::string& relative) {
        TagFields fields;
        fields.artist = "Artist";
        return WriteMp3(dir_ / relative, 300, MakeBlock(fields));
    }
    std::string Untagged(const std::string& relative, std::size_t size = 300) {
        return WriteMp3(dir_ / relative, size, std::nullopt);
    }
    Paths Search(std::optional<std::string_view> mask, bool add_directories = false,
                 int* result = nullptr) {
        Paths found;
        const int r = viewer_.SearchFiles(&found, dir_.path(), mask, add_directories);
        if (result) *result = r;
        return found;
    }

    TempDir dir_;
    TFileViewer viewer_{dir_.path()};
};

TEST_F(FileViewerTest, SearchWalksDepthFirstWithDirectoriesBeforeTheirContents) {
    Tagged("a.mp3");
    Tagged("sub/c.mp3");
    Untagged("sub/deeper/d.mp3");
    fs::create_directories(dir_ / "sub/empty");
    Tagged("z/e.mp3");
    Untagged("b.mp3");

    int result = 0;
    const Paths with_dirs = Search("*.mp3", true, &result);
    EXPECT_EQ(result, kDone);
    ASSERT_FALSE(with_dirs.empty());
    EXPECT_EQ(with_dirs[0], dir_.path());
    EXPECT_EQ(Sorted(with_dirs),
              Sorted({dir_.path(), dir_ / "a.mp3", dir_ / "b.mp3", dir_ / "sub", dir_ / "sub/c.mp3",
                      dir_ / "sub/deeper", dir_ / "sub/deeper/d.mp3", dir_ / "sub/empty",
                      dir_ / "z", dir_ / "z/e.mp3"}));
    ExpectDepthFirst(with_dirs);

    // Without directory entries: the same files in the same order; a trailing separator
    // changes nothing.
    Paths files_only;
    std::copy_if(
        with_dirs.begin(), with_dirs.end(), std::back_inserter(files_only),
        [](const std::string& p) { return p.size() > 4 && p.substr(p.size() - 4) == ".mp3"; });
    EXPECT_EQ(Search("*.mp3"), files_only);
    Paths trailing;
    viewer_.SearchFiles(&trailing, dir_.path() + "/", "*.mp3", false);
    EXPECT_EQ(trailing, files_only);
}

// An album loads as 01, 02, 03 whatever order the file system keeps its entries in.
TEST_F(FileViewerTest, SearchTakesEachDirectoryInNameOrderWhateverTheCreationOrder) {
    // Forty numbered names, made in a scrambled order: no file system order (creation,
    // reverse creation, hash) can match the sorted one by chance.
    Paths numbered;
    for (int i = 1; i <= 40; ++i) numbered.push_back((i < 10 ? "0" : "") + std::to_string(i));
    for (int i = 0; i < 40; ++i) Untagged(numbered[(i * 17) % 40] + ".mp3");
    for (const char* name : {"b.mp3", "_x.mp3", "B/z.mp3", "a.mp3", "B/Y.mp3", "A.mp3"}) {
        Untagged(name);
    }

    Paths expected{dir_.path()};
    for (const std::string& n : numbered) expected.push_back(dir_ / (n + ".mp3"));
    // Letters compare without case, then by their bytes; a directory's contents stand where
    // the directory is met; '_' follows the letters, as upper-cased names order it.
    for (const char* name : {"A.mp3", "a.mp3", "B", "B/Y.mp3", "B/z.mp3", "b.mp3", "_x.mp3"}) {
        expected.push_back(dir_ / name);
    }
    EXPECT_EQ(Search("*.mp3", true), expected);
}

TEST_F(FileViewerTest, LoadModeTakesAllTaggedOrUntaggedFiles) {
    const std::string tagged = Tagged("tagged.mp3");
    const std::string plain = Untagged("plain.mp3");
    const std::string upper = Tagged("TRACK.MP3");      // an MP3 file in any letter case
    const std::string tiny = Untagged("tiny.mp3", 50);  // shorter than a tag block
    const std::string text = Tagged("notes.txt");       // never tested for a tag
    struct Case {
        int mode;
        Paths expected;
    };
    for (const Case& c : {Case{0, {tagged, plain, upper, tiny, text}}, Case{1, {tagged, upper}},
                          Case{2, {plain, tiny, text}}}) {
        viewer_.SetLoadMode(*LoadModeFromInt(c.mode));
        EXPECT_EQ(Sorted(Search("*.*")), Sorted(c.expected)) << "mode " << c.mode;
    }
    for (int other : {3, -1}) EXPECT_FALSE(LoadModeFromInt(other).has_value()) << other;
}

TEST_F(FileViewerTest, MaskTestLooksForTheLowerCasedExtensionInTheMask) {
    for (const char* name : {"a.mp3", "b.mp", "C.MP3", "d.ogg", "noext", "e.mp3.bak"}) {
        Untagged(name);
    }
    struct Case {
        std::optional<std::string_view> mask;
        Paths names;
    };
    const Case cases[] = {
        {"*.mp3", {"C.MP3", "a.mp3", "b.mp", "noext"}},  // ".mp" occurs in "*.mp3"
        {"*.MP3", {"C.MP3", "a.mp3", "b.mp", "noext"}},  // the mask's case counts no more
        {"*.mp3;*.ogg", {"C.MP3", "a.mp3", "b.mp", "d.ogg", "noext"}},
        {"*.*", {"C.MP3", "a.mp3", "b.mp", "d.ogg", "e.mp3.bak", "noext"}},
        {"", {"C.MP3", "a.mp3", "b.mp", "d.ogg", "e.mp3.bak", "noext"}},
        {std::nullopt, {"C.MP3", "a.mp3", "b.mp", "d.ogg", "e.mp3.bak", "noext"}},
    };
    for (const Case& c : cases) {
        Paths expected;
        for (const std::string& name : c.names) expected.push_back(dir_ / name);
        EXPECT_EQ(Sorted(Search(c.mask)), expected) << c.mask.value_or("(none)");
    }
}

TEST_F(FileViewerTest, HiddenFilesAreLeftOutButHiddenDirectoriesSearched) {
    const std::string shown = Untagged("a.mp3");
    const std::string hidden = Untagged(".b.mp3");
    const std::string inside = Untagged(".config/c.mp3");
    EXPECT_EQ(Sorted(Search("*.mp3")), Sorted({shown, hidden, inside}));
    viewer_.SetIncludeHidden(false);
    EXPECT_EQ(Sorted(Search("*.mp3")), Sorted({shown, inside}));
}

TEST_F(FileViewerTest, WithoutRecursionASubdirectoryIsTakenLikeAFile) {
    const std::string file = Tagged("a.mp3");
    Tagged("sub/b.mp3");
    fs::create_directories(dir_ / "album.mp3");
    viewer_.SetRecurse(false);
    EXPECT_EQ(Sorted(Search("*.mp3")), Sorted({file, dir_ / "album.mp3", dir_ / "sub"}));
    viewer_.SetLoadMode(LoadMode::kTagged);
    EXPECT_EQ(Search("*.mp3"), Paths{file}) << "a directory has no tag";
    viewer_.SetLoadMode(LoadMode::kUntagged);
    EXPECT_EQ(Sorted(Search("*.mp3")), Sorted({dir_ / "album.mp3", dir_ / "sub"}));
}

TEST_F(FileViewerTest, AMissingDirectoryGives60AndIsStillListedWithDirectories) {
    const std::string missing = dir_ / "missing";
    Paths found;
    EXPECT_EQ(viewer_.SearchFiles(&found, missing, "*.mp3", true), kCannotEnumerate);
    EXPECT_EQ(found, Paths{missing});
    found.clear();
    EXPECT_EQ(viewer_.SearchFiles(&found, missing, "*.mp3", false), kCannotEnumerate);
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(viewer_.SearchFiles(&found, "", "*.mp3", true), kInvalidArgument);
    EXPECT_TRUE(found.empty());
}

TEST_F(FileViewerTest, AnUnreadableSubdirectoryIsSkippedAndTheRestStillFound) {
    const std::string before = Untagged("a.mp3");
    const std::string locked = dir_ / "locked";
    Untagged("locked/hidden-away.mp3");
    const std::string after = Untagged("z/b.mp3");
    ::chmod(locked.c_str(), 0);
    {
        ScopedPermissionsEnforced enforced;
        if (CanOpenDirectory(locked)) {
            ::chmod(locked.c_str(), 0755);
            GTEST_SKIP() << "permissions cannot be enforced here, so no directory is unreadable";
        }
        int result = 0;
        const Paths found = Search("*.mp3", true, &result);
        EXPECT_EQ(result, kDone);
        EXPECT_EQ(Sorted(found), Sorted({dir_.path(), before, locked, dir_ / "z", after}));
        ExpectDepthFirst(found);
    }
    ::chmod(locked.c_str(), 0755);
}

TEST_F(FileViewerTest, SymbolicLinksAreTakenLikeFilesNeverDescended) {
    const std::string real = Tagged("music/a.mp3");
    fs::create_directory_symlink(dir_.path(), dir_ / "music/loop");
    fs::create_symlink(real, dir_ / "link.mp3");
    viewer_.SetLoadMode(LoadMode::kTagged);
    // The link to a tagged file is read through; the loop back to the top is not followed.
    EXPECT_EQ(Sorted(Search("*.mp3")), Sorted({real, dir_ / "link.mp3"}));
    viewer_.SetLoadMode(LoadMode::kAll);
    EXPECT_EQ(Sorted(Search("*.mp3")), Sorted({real, dir_ / "link.mp3", dir_ / "music/loop"}));
}

TEST_F(FileViewerTest, FilterFileListDropsMissingFilesAndThoseFailingTheLoadMode) {
    const std::string tagged = Tagged("b.mp3");
    const std::string plain = Untagged("a.mp3");
    const std::string upper = Tagged("C.MP3");
    fs::create_directories(dir_ / "dir.mp3");
    const Paths input{tagged, dir_ / "gone.mp3", plain, dir_ / "dir.mp3", upper};
    struct Case {
        int mode;
        Paths expected;
    };
    for (const Case& c :
         {Case{0, {tagged, plain, upper}}, Case{1, {tagged, upper}}, Case{2, {plain}}}) {
        viewer_.SetLoadMode(*LoadModeFromInt(c.mode));
        Paths list = input;
        EXPECT_EQ(viewer_.FilterFileList(&list), static_cast<int>(c.expected.size()));
        EXPECT_EQ(list, c.expected) << "mode " << c.mode;
    }
}

TEST_F(FileViewerTest, HasTagReadsOnlyMp3FilesInAnyLetterCase) {
    struct Case {
        std::string path;
        int expected;
    };
    for (const Case& c :
         {Case{Tagged("a.mp3"), 1}, Case{Untagged("b.mp3"), 0}, Case{Tagged("SONG.MP3"), 1},
          Case{Tagged("Mixed.Mp3"), 1}, Case{Tagged("notes.txt"), 0},
          Case{Untagged("tiny.mp3", 10), 0}, Case{dir_ / "missing.mp3", 0}, Case{"", 0}}) {
        EXPECT_EQ(TFileViewer::HasTag(c.path), c.expected) << c.path;
    }
}

TEST_F(FileViewerTest, DeleteOneFileReportsEachOutcomeAndKeepsIt) {
    const std::string file = Untagged("a.mp3");
    EXPECT_EQ(viewer_.DeleteOneFile(file), kDone);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(viewer_.DeleteOneFile(file), kSourceMissing);
    EXPECT_EQ(viewer_.LastResult(), kSourceMissing);
    EXPECT_EQ(viewer_.DeleteOneFile(""), kInvalidArgument);
    EXPECT_EQ(viewer_.LastResult(), kInvalidArgument);

    // A file in a directory that may not be changed stays, and the delete says so.
    const std::string kept = Untagged("ro/b.mp3");
    const std::string ro = dir_ / "ro";
    ::chmod(ro.c_str(), 0555);
    {
        ScopedPermissionsEnforced enforced;
        if (::mkdir((ro + "/probe").c_str(), 0755) == 0) {
            ::rmdir((ro + "/probe").c_str());
            ::chmod(ro.c_str(), 0755);
            GTEST_SKIP() << "permissions cannot be enforced here";
        }
        EXPECT_EQ(viewer_.DeleteOneFile(kept), kDeleteFailed);
        EXPECT_EQ(viewer_.LastResult(), kDeleteFailed);
    }
    ::chmod(ro.c_str(), 0755);
    EXPECT_TRUE(fs::exists(kept));
}

}  // namespace
}  // namespace ambrel::test
