// Loading files and folders named from outside the windows (the command line).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/file_loader.h"
#include "files/result_codes.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

TagFields Titled(std::string title) {
    TagFields fields;
    fields.title = std::move(title);
    return fields;
}

std::vector<std::string> PathsOf(const TTagList& list) {
    std::vector<std::string> paths;
    for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Get(i)->GetPath());
    return paths;
}

class PathLoaderTest : public ::testing::Test {
protected:
    PathLoaderTest() {
        WriteMp3(dir / "f/b.mp3", 300, MakeBlock(Titled("B")));
        WriteMp3(dir / "f/A.mp3", 300, std::nullopt);
        WriteMp3(dir / "f/sub/c.mp3", 300, MakeBlock(Titled("C")));
        WriteMp3(dir / "f/.h.mp3", 300, MakeBlock(Titled("H")));
        WriteMp3(dir / "loose.mp3", 300, std::nullopt);
        WriteMp3(dir / "LOUD.MP3", 300, MakeBlock({}));
    }
    TempDir dir;
};

TEST_F(PathLoaderTest, FoldersAreSearchedWhereTheyStandAndFilesTakenAsDropped) {
    TTagList list;
    const std::vector<PathFailure> failures =
        LoadPaths(list, {dir / "loose.mp3", dir / "f", dir / "loose.mp3"});
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(PathsOf(list),
              (std::vector<std::string>{dir / "loose.mp3", dir / "f/.h.mp3", dir / "f/A.mp3",
                                        dir / "f/b.mp3", dir / "f/sub/c.mp3", dir / "loose.mp3"}));
}

TEST_F(PathLoaderTest, TheOptionsReachFilesAndFoldersAlike) {
    struct Case {
        LoadMode mode;
        bool recurse, hidden;
        std::vector<std::string> loaded;
    } cases[] = {
        {LoadMode::kTagged, true, true, {dir / "f/.h.mp3", dir / "f/b.mp3", dir / "f/sub/c.mp3"}},
        {LoadMode::kUntagged, true, true, {dir / "f/A.mp3", dir / "loose.mp3"}},
        {LoadMode::kAll, false, false, {dir / "f/A.mp3", dir / "f/b.mp3", dir / "loose.mp3"}},
    };
    for (const Case& c : cases) {
        TTagList list;
        PathLoadOptions options;
        options.mode = c.mode;
        options.recurse = c.recurse;
        options.include_hidden = c.hidden;
        EXPECT_TRUE(LoadPaths(list, {dir / "f", dir / "loose.mp3"}, options).empty());
        EXPECT_EQ(PathsOf(list), c.loaded) << static_cast<int>(c.mode);
    }
}

TEST_F(PathLoaderTest, PathsThatCannotBeTakenAreToldWithTheirCodes) {
    WriteText(dir / "notes.txt", "not audio");
    TTagList list;
    const std::vector<PathFailure> failures =
        LoadPaths(list, {dir / "notes.txt", dir / "gone", dir / "LOUD.MP3", dir / "f/b.mp3"});
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].path, dir / "notes.txt");
    EXPECT_EQ(failures[0].code, kNotMp3File);
    EXPECT_EQ(failures[1].code, kSourceMissing);
    EXPECT_EQ(PathsOf(list), (std::vector<std::string>{dir / "LOUD.MP3", dir / "f/b.mp3"}));

    TErrorLog log(WriteText(dir / "error.cfg", "E050 Gone.\nE080 Not MP3.\n"));
    EXPECT_EQ(PathFailuresText(failures, log),
              dir / "notes.txt" + ": Not MP3.\n" + dir / "gone" + ": Gone.");
    EXPECT_EQ(PathFailuresText(failures, log, 1), dir / "notes.txt" + ": Not MP3.\n... and 1 more");
}

TEST_F(PathLoaderTest, ADrainedLoadHandsOnEveryEntryInOrderAChunkAtATime) {
    // More entries than a chunk holds: two files named over and over, then a folder.
    std::vector<std::string> named;
    for (int i = 0; i <= kLoadDrainChunk; ++i)
        named.push_back(i % 3 ? dir / "loose.mp3" : dir / "f/b.mp3");
    named.push_back(dir / "f");
    for (const LoadMode mode : {LoadMode::kAll, LoadMode::kTagged}) {
        TTagList undrained, list;
        PathLoadOptions options;
        options.mode = mode;
        LoadPaths(undrained, named, options);
        std::vector<std::string> handed;
        std::vector<int> sizes;
        LoadPaths(list, named, options, [&](const TTagList& chunk) {
            sizes.push_back(chunk.Count());
            for (const std::string& path : PathsOf(chunk)) handed.push_back(path);
        });
        EXPECT_EQ(handed, PathsOf(undrained));
        EXPECT_EQ(list.Count(), 0) << "the list is emptied after each hand-over";
        for (const int size : sizes) EXPECT_LE(size, kLoadDrainChunk);
        EXPECT_EQ(sizes.size(), mode == LoadMode::kAll ? 2u : 1u);
    }
}

TEST_F(PathLoaderTest, TheFirstFolderIsTheFirstGivenOrTheFolderOfTheFirstFile) {
    EXPECT_EQ(FirstFolder({dir / "gone", dir / "f/b.mp3", dir / "f/sub"}), dir / "f");
    EXPECT_EQ(FirstFolder({dir / "f/sub/", dir / "loose.mp3"}), dir / "f/sub");
    EXPECT_EQ(FirstFolder({dir / "gone"}), "");
    EXPECT_EQ(FirstFolder({}), "");
}

}  // namespace
}  // namespace ambrel::test
