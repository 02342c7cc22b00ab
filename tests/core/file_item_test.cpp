#include "tag/file_item.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/mp3_fixture.h"
#include "tag/tag_file.h"
#include "tag_file_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

TEST(TagBaseTest, KeepsTheStateAndAnyKindItIsGiven) {
    TTagFile tag(std::nullopt);
    tag.SetState(tsAppend);
    EXPECT_EQ(tag.GetState(), tsAppend);
    tag.SetKind(static_cast<TagKind>(42));
    EXPECT_EQ(static_cast<int32_t>(tag.GetKind()), 42);
    EXPECT_EQ(tag.GetIndex(), -1);
    EXPECT_EQ(tag.SetPicture(), 1);
    EXPECT_EQ(tag.HasPicture(), 0);
}

TEST(FileItemTest, DerivesNamesFromThePath) {
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
        const char* file_name;
    } cases[] = {
        {"/Music/Band/song.mp3", "song", "Band", "song.mp3"},
        {"/song.mp3", "song", "", "song.mp3"},
        {"song.mp3", "", "", "song.mp3"},
        {"/Music/Band/song", "", "Band", "song"},
        {"/Mu.sic/song", "", "Mu.sic", "song"},
        {"/a/b.c.mp3", "b.c", "a", "b.c.mp3"},
        {"/a/.hidden", "", "a", ".hidden"},
    };
    for (const Case& c : cases) {
        TTagFile tag(std::string(c.path));
        EXPECT_EQ(tag.GetName(), c.name) << c.path;
        EXPECT_EQ(tag.GetFolderName(), c.folder) << c.path;
        EXPECT_EQ(tag.GetFileName(), c.file_name) << c.path;
    }
    TTagFile tag(std::string("/x/y.mp3"));
    tag.SetPath(std::nullopt);
    EXPECT_EQ(tag.GetPath(), "/x/y.mp3");
}

TEST_F(TagFileTest, RenameMovesTheFileWithinItsDirectory) {
    const std::string path = WriteMp3(dir / "Band/old.mp3", 10, std::nullopt);
    TTagFile tag(path);
    EXPECT_EQ(tag.Rename("new name.mp3"), 1);
    EXPECT_EQ(tag.GetPath(), dir / "Band/new name.mp3");
    EXPECT_EQ(tag.GetName(), "new name");
    EXPECT_EQ(tag.GetFolderName(), "Band");
    EXPECT_TRUE(fs::exists(dir / "Band/new name.mp3"));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(TagFileTest, RefusedOrFailedRenameChangesNothing) {
    const std::string path = WriteMp3(dir / "old.mp3", 10, std::nullopt);
    const std::string other = WriteMp3(dir / "taken.mp3", 20, std::nullopt);
    TTagFile tag(path);
    for (const char* name : {"taken.mp3", "", ".", "..", "sub/x.mp3", "old.mp3"}) {
        EXPECT_EQ(tag.Rename(std::string(name)), 0) << name;
        EXPECT_EQ(tag.GetPath(), path) << name;
        EXPECT_EQ(tag.GetName(), "old");
    }
    EXPECT_EQ(tag.Rename(std::nullopt), 0);
    EXPECT_EQ(FileSize(path), 10);
    EXPECT_EQ(FileSize(other), 20);  // never replaced

    TTagFile gone(dir / "gone.mp3");
    EXPECT_EQ(gone.Rename("back.mp3"), 0);
    EXPECT_EQ(gone.GetPath(), dir / "gone.mp3");
}

}  // namespace
}  // namespace ambrel::test
