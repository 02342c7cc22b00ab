// A batch knows the files it changed by their identity: a stranger under the same name, or
// under the same inode, is left alone, while the program's own later writes of the file
// (another batch's save, an undo, a redo) do not make it a stranger.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/tag_processor.h"
#include "history/batch_history.h"
#include "history_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

// Writes bytes over the file through its own inode (truncate and write), and gives it a
// modification time an hour before the one it had, so that it differs from every time this
// run has seen whatever the clock's resolution. The file keeps its device, inode and birth
// time: what a file made under a freed inode number looks like where the file system keeps
// no birth time, except for its size and time.
void RewriteInPlace(const std::string& path, const Bytes& bytes) {
    struct stat before, after;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const fs::file_time_type time = fs::last_write_time(path);
    WriteBytes(path, bytes);
    fs::last_write_time(path, time - std::chrono::hours(1));
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_EQ(after.st_ino, before.st_ino) << "the same inode holds the new content";
    ASSERT_EQ(after.st_dev, before.st_dev);
}

// Puts a new file with these bytes under the path, as a program that saves through a
// temporary name does: another inode, whatever the bytes.
void ReplaceByRename(const std::string& path, const Bytes& bytes) {
    WriteBytes(path + ".new", bytes);
    fs::rename(path + ".new", path);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(HistoryTest, ARenameIsNotTakenBackOrDoneAgainOnAFileRewrittenUnderItsInode) {
    Load({{"music/a.mp3", Song("Abba", "Waterloo")},
          {"music/b.mp3", Song("Blur", "Song 2")},
          {"music/c.mp3", Song("Cher", "Believe")}});
    RunFileRename(Tags(), *library.TagProcessor(), Page(0), 2);
    const std::string music = dir / "music";
    // Another size, and the same size with other bytes.
    RewriteInPlace(music + "/Abba - Waterloo.mp3", Bytes(300, 'x'));
    RewriteInPlace(music + "/Blur - Song 2.mp3", Bytes(328, 'y'));

    library.Undo();
    EXPECT_EQ(Disk(), (Texts{"Abba - Waterloo.mp3", "Blur - Song 2.mp3", "c.mp3"}));
    EXPECT_EQ(ReadBytes(music + "/Blur - Song 2.mp3"), Bytes(328, 'y'));
    EXPECT_EQ(List().Get(0)->GetFileName(), "Abba - Waterloo.mp3") << "its entry stays too";
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_EQ(Warnings()[0], "2 files kept their names:\n" + music +
                                 "/Blur - Song 2.mp3 -> \"b.mp3\": the file has changed since\n" +
                                 music +
                                 "/Abba - Waterloo.mp3 -> \"a.mp3\": the file has changed since");

    // The file renamed back is rewritten too before the redo.
    RewriteInPlace(music + "/c.mp3", Bytes(328, 'z'));
    library.Redo();
    EXPECT_EQ(Disk(), (Texts{"Abba - Waterloo.mp3", "Blur - Song 2.mp3", "c.mp3"}));
    ASSERT_EQ(Warnings().size(), 2u);
    EXPECT_EQ(Warnings()[1], "1 file kept its name:\n" + music +
                                 "/c.mp3 -> \"Cher - Believe.mp3\": the file has changed since");
}

// Two files saved to the same tag: same size, same last 128 bytes.
class SameEndTest : public HistoryTest {
protected:
    SameEndTest() {
        paths = Load({{"a.mp3", Song("Abba", "Waterloo")}, {"b.mp3", Song("Blur", "Song 2")}});
        for (const std::string& path : paths) original.push_back(ReadBytes(path));
        for (int i = 0; i < 2; ++i) {
            List().Get(i)->SetArtist("Same");
            List().Get(i)->SetTitle("Same");
        }
        library.SaveAll();
        saved = ReadBytes(paths[0]);
        EXPECT_EQ(ReadTail(paths[1]), ReadTail(paths[0]));
        EXPECT_EQ(FileSize(paths[1]), FileSize(paths[0]));
    }

    std::vector<std::string> paths;
    std::vector<Bytes> original;
    Bytes saved;
};

TEST_F(SameEndTest, AnUndoLeavesACopyOfAnotherSavedFileMovedInPlace) {
    ReplaceByRename(paths[1], saved);  // a copy of a, which ends as b does
    library.Undo();
    EXPECT_EQ(ReadBytes(paths[0]), original[0]);
    EXPECT_EQ(ReadBytes(paths[1]), saved) << "b's old tag is not written into a's copy";
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_EQ(Warnings()[0],
              "1 file has changed or gone since the save and was left as it is:\n" + paths[1]);
}

TEST_F(SameEndTest, ARedoLeavesAStrangerThatEndsAsTheFileDidBeforeTheSave) {
    library.Undo();
    ReplaceByRename(paths[0], original[0]);
    library.Redo();
    EXPECT_EQ(ReadBytes(paths[0]), original[0]) << "the save is not written into the stranger";
    EXPECT_EQ(ReadBytes(paths[1]), saved);
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_EQ(Warnings()[0],
              "1 file has changed or gone since the save and was left as it is:\n" + paths[0]);
}

// A rename, then two saves of the renamed file: each write changes its time, the second its
// size too. Every batch follows the writes of the others and its own, so all of them go back
// and forth; a change from outside still stops them.
TEST_F(HistoryTest, BatchesFollowTheWritesOfTheHistoryItselfButNoOthers) {
    Load({{"music/a.mp3", Song("Abba", "Waterloo")}});
    const Bytes loaded = ReadBytes(dir / "music/a.mp3");
    RunFileRename(Tags(), *library.TagProcessor(), Page(0), 2);
    const std::string renamed = dir / "music/Abba - Waterloo.mp3";
    List().Get(0)->SetTitle("First");
    library.SaveAll();
    const Bytes first = ReadBytes(renamed);
    List().Get(0)->SetState(tsRemove);
    List().Get(0)->SetModified(true);
    library.SaveAll();
    const Bytes second = ReadBytes(renamed);
    ASSERT_EQ(History().UndoText(), "Undo save of 1 tag");

    for (int round = 0; round < 2; ++round) {
        library.Undo();
        EXPECT_EQ(ReadBytes(renamed), first);
        library.Undo();
        EXPECT_EQ(ReadBytes(renamed), loaded);
        library.Undo();
        EXPECT_EQ(Disk(), Texts{"a.mp3"});
        EXPECT_FALSE(History().CanUndo());
        library.Redo();
        EXPECT_EQ(ReadBytes(renamed), loaded);
        library.Redo();
        EXPECT_EQ(ReadBytes(renamed), first);
        library.Redo();
        EXPECT_EQ(ReadBytes(renamed), second);
        EXPECT_TRUE(Warnings().empty()) << Warnings()[0];
    }

    // The same bytes written again from outside.
    RewriteInPlace(renamed, second);
    library.Undo();
    EXPECT_EQ(ReadBytes(renamed), second);
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_TRUE(Contains(Warnings()[0], "left as it is:\n" + renamed)) << Warnings()[0];
}

}  // namespace
}  // namespace ambrel::test
