#include "platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

TEST(PathsTest, SplitsAndJoinsPaths) {
    struct Case {
        const char* path;
        const char* directory;
        const char* file_name;
        const char* extension;
    } cases[] = {
        {"/Music/Band/song.mp3", "/Music/Band", "song.mp3", ".mp3"},
        {"/song.mp3", "/", "song.mp3", ".mp3"},
        {"song", "", "song", ""},
        {"/Mu.sic/song", "/Mu.sic", "song", ""},
        {"/a/b.tar.gz", "/a", "b.tar.gz", ".gz"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(paths::DirectoryOf(c.path), c.directory) << c.path;
        EXPECT_EQ(paths::FileNameOf(c.path), c.file_name) << c.path;
        EXPECT_EQ(paths::ExtensionOf(c.path), c.extension) << c.path;
    }
    EXPECT_EQ(paths::Join("/", "x"), "/x");
    EXPECT_EQ(paths::Join("/a", "x"), "/a/x");
    EXPECT_EQ(paths::Join("/a/", "x"), "/a/x");
    EXPECT_EQ(paths::WithoutTrailingSeparator("/a/"), "/a");
    EXPECT_EQ(paths::WithoutTrailingSeparator("/"), "/");
    EXPECT_TRUE(paths::IsRoot(paths::Root()));
    EXPECT_FALSE(paths::IsRoot("/a"));
}

TEST(PathsTest, AbsolutePathsAreTakenApartByTheirTextOnly) {
    const std::string cwd = paths::WorkingDirectory();
    struct Case {
        std::string path, absolute;
    } cases[] = {
        {"/a/./b//c/", "/a/b/c"},
        {"/a/b/../c", "/a/c"},
        {"/../..", "/"},
        {"/", "/"},
        {"song.mp3", cwd + "/song.mp3"},
        {"./x/../caf\xe9.mp3", cwd + "/caf\xe9.mp3"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(paths::Absolute(c.path), c.absolute) << c.path;
}

TEST(PathsTest, PlainFileNames) {
    for (const char* name : {"song.mp3", "a b", ".hidden", "..."}) {
        EXPECT_TRUE(paths::IsPlainFileName(name)) << name;
    }
    for (const std::string& name : {std::string(), std::string("."), std::string(".."),
                                    std::string("a/b"), std::string("/"), std::string("a\0b", 3)}) {
        EXPECT_FALSE(paths::IsPlainFileName(name)) << name;
    }
}

class RenameTest : public ::testing::Test {
protected:
    std::string File(const std::string& name, std::size_t size) {
        return WriteMp3(dir / name, size, std::nullopt);
    }
    TempDir dir;
};

TEST_F(RenameTest, RenamesAFileOrDirectory) {
    const std::string from = File("a.mp3", 10);
    EXPECT_EQ(paths::RenameNoReplace(from, dir / "b.mp3"), 0);
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(FileSize(dir / "b.mp3"), 10);

    fs::create_directory(dir / "d1");
    File("d1/inside", 3);
    EXPECT_EQ(paths::RenameNoReplace(dir / "d1", dir / "d2"), 0);
    EXPECT_EQ(FileSize(dir / "d2/inside"), 3);
}

TEST_F(RenameTest, NeverReplacesAnExistingTarget) {
    const std::string a = File("a.mp3", 10), b = File("b.mp3", 20);
    fs::create_directory(dir / "empty1");
    fs::create_directory(dir / "empty2");
    fs::create_hard_link(a, dir / "link.mp3");

    struct Case {
        const char* what;
        std::string from, to;
    } cases[] = {
        {"file onto file", a, b},
        {"directory onto empty directory", dir / "empty1", dir / "empty2"},
        {"file onto its own hard link", a, dir / "link.mp3"},
        {"file onto itself", a, a},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(paths::RenameNoReplace(c.from, c.to), EEXIST) << c.what;
        EXPECT_TRUE(fs::exists(c.from)) << c.what;
        EXPECT_TRUE(fs::exists(c.to)) << c.what;
    }
    EXPECT_EQ(FileSize(a), 10);
    EXPECT_EQ(FileSize(b), 20);
    EXPECT_EQ(FileSize(dir / "link.mp3"), 10);
    EXPECT_EQ(paths::RenameNoReplace(dir / "missing", dir / "c"), ENOENT);
    EXPECT_FALSE(fs::exists(dir / "c"));
}

// A name that reaches the same file by another spelling (as a letter-case change does
// on a case-insensitive volume) goes through a temporary name instead of being refused.
TEST_F(RenameTest, AnotherSpellingOfTheSameFileIsNotATakenTarget) {
    const std::string a = File("a.mp3", 10);
    fs::create_directory(dir / "sub");
    const std::string other_spelling = dir / "sub/../a.mp3";
    ASSERT_TRUE(paths::SameFile(a, other_spelling));
    EXPECT_EQ(paths::RenameNoReplace(a, other_spelling), 0);
    EXPECT_EQ(FileSize(a), 10);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace ambrel::test
