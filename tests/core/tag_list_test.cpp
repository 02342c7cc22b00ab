#include "tag/tag_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

class TagListTest : public ::testing::Test {
protected:
    std::string Tagged(const std::string& name, const std::string& artist = "Artist") {
        TagFields f;
        f.artist = artist;
        return WriteMp3(dir / name, 400, MakeBlock(f));
    }
    std::string Untagged(const std::string& name) {
        return WriteMp3(dir / name, 400, std::nullopt);
    }

    std::vector<std::string> Paths(const TTagList& list) {
        std::vector<std::string> paths;
        for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Get(i)->GetPath());
        return paths;
    }

    TempDir dir;
    TTagList list;
};

// The one audio-file test: the loads, the file viewer's tag status and the command line all
// use it; a drop takes only the extension ".mp3" itself. Letter case is ignored by both:
// SONG.MP3 is an MP3 file like song.mp3 (old rips, FAT media).
TEST(TagListPathTest, AdmitsAnExtensionBeginningWithMp3InAnyLetterCase) {
    struct Case {
        const char* path;
        bool mp3, dropped;
    } cases[] = {
        {"/m/a.mp3", true, true},
        {"/m/a.mp3x", true, false},
        {"/m/a.MP3X", true, false},
        {"/m/.mp3", true, true},
        {"/m/a.MP3", true, true},
        {"/m/a.Mp3", true, true},
        {"/m/a.ogg", false, false},
        {"/m/a.mp3.bak", false, false},
        {"/m/a.mp", false, false},
        {"/m/a", false, false},
        {"/m/amp3", false, false},
        {"/m/a.b.mp3", true, true},
        {"/m/\xc3\xa9t\xe9.mp3", true, true},
        {"/m.mp3/song", false, false},  // a dot in a directory name is no extension
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TTagList::IsMp3Path(c.path), c.mp3) << c.path;
        EXPECT_EQ(TTagList::HasMp3Extension(c.path), c.dropped) << c.path;
    }
}

TEST_F(TagListTest, AddListAddsMp3FilesTaggedOrNotAndCountsTheTagged) {
    const std::vector<std::string> paths = {Tagged("a.mp3"), Untagged("b.mp3"), Tagged("c.mp3"),
                                            Tagged("d.ogg"), Tagged("e.MP3")};
    EXPECT_EQ(list.AddList(paths), 3);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{paths[0], paths[1], paths[2], paths[4]}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.Get(i)->GetIndex(), i);
    EXPECT_EQ(list.Get(0)->GetState(), tsPresent);
    EXPECT_EQ(list.Get(1)->GetState(), tsNone);
    EXPECT_EQ(list.Get(3)->GetState(), tsPresent);
}

TEST_F(TagListTest, AddKeepsUnreadableAndRepeatedFiles) {
    EXPECT_EQ(list.Add(std::nullopt), 0);
    EXPECT_EQ(list.Add(dir / "missing.mp3"), 0);
    const std::string path = Tagged("a.mp3");
    EXPECT_EQ(list.Add(path), 1);
    EXPECT_EQ(list.Add(path), 1);  // the same path twice makes two entries
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0)->GetState(), tsNone);
    EXPECT_NE(list.Get(1), list.Get(2));
}

TEST_F(TagListTest, AddReadUsesTheGivenTailWithoutOpeningTheFile) {
    TagFields f;
    f.title = "From the tail";
    const Block tail = MakeBlock(f);
    EXPECT_EQ(list.AddRead(dir / "nowhere.mp3", tail), 1);
    EXPECT_EQ(list.AddRead(dir / "short.mp3", std::nullopt), 0);
    EXPECT_EQ(list.AddRead(dir / "x.ogg", tail), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0)->GetTitle(), "From the tail");
    EXPECT_EQ(list.Get(0)->GetState(), tsPresent);
    EXPECT_EQ(list.Get(1)->GetState(), tsNone);
    EXPECT_EQ(list.Get(1)->GetIndex(), 1);
}

TEST_F(TagListTest, DeleteKeepsIndexesUntilRenumber) {
    list.AddList({Tagged("a.mp3"), Tagged("b.mp3"), Tagged("c.mp3")});
    TTagFile* second = list.Get(1);
    EXPECT_EQ(list.Delete(0), 1);
    EXPECT_EQ(list.Get(0), second);
    EXPECT_EQ(second->GetIndex(), 1);
    EXPECT_EQ(list.Renumber(), 1);
    EXPECT_EQ(second->GetIndex(), 0);

    EXPECT_EQ(list.Delete(2), 0);
    EXPECT_EQ(list.Delete(-1), 0);
    EXPECT_EQ(list.Get(list.Count()), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_EQ(list.Count(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(TagListTest, DeletePositionsAndRemoveIfKeepTheOrderOfTheRest) {
    std::vector<std::string> paths;
    for (const char* name : {"0.mp3", "1.mp3", "2.mp3", "3.mp3", "4.mp3"})
        paths.push_back(Tagged(name));
    list.AddList(paths);
    // Duplicates and positions out of range are ignored.
    EXPECT_EQ(list.DeletePositions({3, 0, 3, 9, -1}), 2);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{paths[1], paths[2], paths[4]}));
    EXPECT_EQ(list.Get(2)->GetIndex(), 4);

    EXPECT_EQ(list.RemoveIf([](const TTagFile& t) { return t.GetIndex() % 2 == 0; }), 2);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{paths[1]}));
    EXPECT_EQ(list.DeletePositions({}), 0);
}

TEST_F(TagListTest, SaveModifiedRewritesLoadedTagsOnly) {
    const std::string a = Tagged("a.mp3"), b = Untagged("b.mp3"), c = Tagged("c.mp3");
    ASSERT_EQ(list.AddList({a, b, c}), 2);
    EXPECT_EQ(list.SaveModified().sum, 2);
    EXPECT_EQ(FileSize(a), 528);
    EXPECT_EQ(ReadBytes(b), MakeMp3Bytes(400, std::nullopt));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(list.Get(i)->IsModified());
    EXPECT_EQ(list.SaveModified().sum, 0);  // nothing left to save

    list.Get(2)->SetArtist("Changed");
    EXPECT_EQ(list.SaveModified().sum, 1);
    TTagFile reread(c);
    reread.Load();
    EXPECT_EQ(reread.GetArtist(), "Changed");
}

// A file loaded twice: the edit saved from one entry must survive the other, unedited
// entry, whichever of the two comes first in the list; an entry with no change of its own
// leaves the file alone, also when another program has changed the tag meanwhile.
TEST_F(TagListTest, AnUneditedEntryNeverPutsBackAnOldTag) {
    const std::string a = Tagged("a.mp3");
    for (int edited : {0, 1}) {
        list.Clear();
        Tagged("a.mp3");
        list.AddList({a, a});
        list.Get(edited)->SetArtist("Edited " + std::to_string(edited));
        EXPECT_EQ(list.SaveModified().sum, 2);
        TTagFile reread(a);
        reread.Load();
        EXPECT_EQ(reread.GetArtist(), "Edited " + std::to_string(edited));
    }

    list.Clear();
    Tagged("a.mp3");
    list.Add(a);
    TTagFile other_program(a);
    other_program.Load();
    other_program.SetTitle("Changed elsewhere");
    ASSERT_EQ(other_program.Save(), 1);
    const auto changed = ReadBytes(a);
    EXPECT_EQ(list.SaveModified().sum, 1);
    EXPECT_EQ(ReadBytes(a), changed);
}

TEST_F(TagListTest, SaveModifiedLeavesFailedEntriesForTheNextTry) {
    const std::string a = Tagged("a.mp3"), b = Tagged("b.mp3"), c = Tagged("c.mp3");
    list.AddList({a, b, c});
    list.Get(0)->SetArtist("A2");
    list.Get(1)->SetState(tsRemove);
    list.Get(2)->SetArtist("C2");
    fs::remove(b);  // removed between load and save
    fs::remove(c);
    fs::create_directory(c);  // and a directory put in its place
    const SaveReport first = list.SaveModified();
    EXPECT_EQ(first.sum, 0);  // 1 saved, -1 for the removal, 0 for the write
    EXPECT_EQ(first.saved, (std::vector<std::string>{a, b, c}));
    EXPECT_EQ(first.failed, (std::vector<std::string>{b, c}));
    EXPECT_FALSE(list.Get(0)->IsModified());
    EXPECT_TRUE(list.Get(1)->IsModified());
    EXPECT_EQ(list.Get(1)->GetState(), tsRemove);
    EXPECT_TRUE(list.Get(2)->IsModified());

    fs::remove(c);
    Tagged("b.mp3");
    Tagged("c.mp3");
    const SaveReport second = list.SaveModified();
    EXPECT_EQ(second.sum, 2);
    EXPECT_EQ(second.saved, (std::vector<std::string>{b, c}));
    EXPECT_TRUE(second.failed.empty());
    EXPECT_EQ(FileSize(b), 400);
    EXPECT_EQ(list.Get(1)->GetState(), tsNone);
}

}  // namespace
}  // namespace ambrel::test
