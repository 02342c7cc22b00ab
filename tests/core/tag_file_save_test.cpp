#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_io.h"
#include "support/faults.h"
#include "support/mp3_fixture.h"
#include "tag/tag_file.h"
#include "tag_file_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

int SaveWithFileSizeLimit(TTagFile& tag, rlim_t bytes) {
    FileSizeLimit limit(bytes);
    return tag.Save();
}

// A read-only view of a directory: a bind mount remounted read-only, which stops root too.
// The directory itself stays writable, so a test can still change the files behind the view.
class ReadOnlyMount {
public:
    ReadOnlyMount(const std::string& source, const std::string& target) : target_(target) {
        fs::create_directories(target);
        mounted_ = ::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
        read_only_ = mounted_ && ::mount(nullptr, target.c_str(), nullptr,
                                         MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyMount() {
        if (mounted_) ::umount2(target_.c_str(), MNT_DETACH);
    }
    bool ReadOnly() const { return read_only_; }

private:
    std::string target_;
    bool mounted_ = false;
    bool read_only_ = false;
};

TEST_F(TagFileTest, SaveAppendsThenOverwritesTheSameBlock) {
    const std::string path = Untagged();
    TTagFile tag(path);
    ASSERT_EQ(tag.Load(), 0);
    tag.SetState(tsAppend);
    ASSERT_EQ(tag.SetArtist("First"), 1);
    EXPECT_EQ(tag.Save(), 1);
    EXPECT_EQ(tag.GetState(), tsPresent);
    EXPECT_FALSE(tag.IsModified());
    EXPECT_EQ(FileSize(path), 1128);
    EXPECT_EQ(ReadTail(path), ToBytes(tag.Block()));

    ASSERT_EQ(tag.SetArtist("Second"), 1);
    EXPECT_EQ(tag.Save(), 1);
    EXPECT_EQ(FileSize(path), 1128);
    EXPECT_EQ(ReadTail(path), ToBytes(tag.Block()));
    TagFields second;
    second.artist = "Second";
    EXPECT_EQ(ReadBytes(path), MakeMp3Bytes(1000, MakeBlock(second)));
}

TEST_F(TagFileTest, AppendOverATagWrittenMeanwhileReplacesIt) {
    // Two entries for one untagged file, both given a tag: the second save must not stack
    // a second block after the first.
    const std::string path = Untagged();
    TTagFile first(path), second(path);
    first.Load();
    second.Load();
    first.SetState(tsAppend);
    second.SetState(tsAppend);
    first.SetArtist("First");
    second.SetArtist("Second");
    ASSERT_EQ(first.Save(), 1);
    EXPECT_EQ(second.Save(), 1);
    EXPECT_EQ(second.GetState(), tsPresent);
    EXPECT_EQ(FileSize(path), 1128);
    EXPECT_EQ(ReadTail(path), ToBytes(second.Block()));
}

TEST_F(TagFileTest, AnAppendWaitsForAnotherWriterAndReadsTheEndAgain) {
    // Another writer (here another open of the file, as another run of the program holds
    // it) appends a tag while the save is under way: the save must wait for it and then
    // overwrite that tag rather than glue a second one after it.
    const std::string path = Untagged();
    TTagFile entry(path);
    entry.Load();
    entry.SetState(tsAppend);
    entry.SetArtist("Waited");
    TagFields other;
    other.artist = "Other writer";
    const TagBlock other_block = MakeBlock(other);
    int saved = -1;
    std::thread save;
    {
        file_io::File writer(path, file_io::File::kReadWrite);
        ASSERT_TRUE(writer.IsOpen());
        save = std::thread([&] { saved = entry.Save(); });
        // Long enough for the save to reach the file; a save that ran past the lock would
        // have appended its block by now.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_TRUE(writer.Append(other_block.data(), other_block.size()));
    }
    // The writer is closed: its lock is gone and the save finishes.
    save.join();
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(FileSize(path), 1128);
    EXPECT_EQ(ReadTail(path), ToBytes(entry.Block()));
}

TEST_F(TagFileTest, SaveRemoveCutsTheTagInPlace) {
    const std::string path = Tagged();
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    TTagFile tag(path);
    ASSERT_EQ(tag.Load(), 1);
    tag.SetState(tsRemove);
    EXPECT_EQ(tag.Save(), 1);
    EXPECT_EQ(tag.GetState(), tsNone);
    EXPECT_FALSE(tag.IsModified());
    EXPECT_EQ(tag.GetArtist(), "");
    EXPECT_EQ(tag.GetGenre(), 254);
    EXPECT_EQ(ReadBytes(path), MakeMp3Bytes(1000, std::nullopt));
    struct stat after;
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);  // the same file, shortened, not a new one
}

TEST_F(TagFileTest, FailedRemovalKeepsTheRemovalPendingAndTheFileIntact) {
    std::vector<uint8_t> only_tag = ToBytes(MakeBlock(SampleFields()));
    WriteBytes(dir / "only.mp3", only_tag);
    const std::string untagged_now = Tagged("replaced.mp3");

    struct Case {
        const char* what;
        std::string path;
        std::function<void()> fault;
    } cases[] = {
        {"file of exactly 128 bytes", dir / "only.mp3", [] {}},
        {"file removed after load", Tagged("gone.mp3"), [&] { fs::remove(dir / "gone.mp3"); }},
        {"directory in place of the file", Tagged("dir.mp3"),
         [&] {
             fs::remove(dir / "dir.mp3");
             fs::create_directory(dir / "dir.mp3");
         }},
        {"tag no longer at the end", untagged_now,
         [&] { WriteMp3(untagged_now, 1128, std::nullopt); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTagFile tag(c.path);
        ASSERT_EQ(tag.Load(), 1);
        tag.SetState(tsRemove);
        c.fault();
        const bool is_file = fs::is_regular_file(c.path);
        const auto bytes = is_file ? ReadBytes(c.path) : std::vector<uint8_t>();
        EXPECT_EQ(tag.Save(), -1);
        EXPECT_EQ(tag.GetState(), tsRemove);
        EXPECT_TRUE(tag.IsModified());
        EXPECT_EQ(tag.GetArtist(), "Aurora Lane");
        if (is_file) {
            EXPECT_EQ(ReadBytes(c.path), bytes);
        }
    }
}

TEST_F(TagFileTest, SavePresentOverwritesOnlyATagBlock) {
    const std::string path = Tagged();
    TTagFile tag(path);
    ASSERT_EQ(tag.Load(), 1);
    ASSERT_EQ(tag.SetArtist("Changed"), 1);

    // The file was rewritten without a tag behind our back: its end is audio now.
    WriteMp3(path, 1128, std::nullopt);
    EXPECT_EQ(tag.Save(), 0);
    EXPECT_TRUE(tag.IsModified());
    EXPECT_EQ(ReadBytes(path), MakeMp3Bytes(1128, std::nullopt));

    Tagged();
    EXPECT_EQ(tag.Save(), 1);
    EXPECT_FALSE(tag.IsModified());
    EXPECT_EQ(ReadTail(path), ToBytes(tag.Block()));
    EXPECT_EQ(FileSize(path), 1128);
}

TEST_F(TagFileTest, SavingAnUnchangedTagDoesNotTouchTheFile) {
    const std::string path = Tagged();
    const timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old_times, 0), 0);
    TTagFile tag(path);
    ASSERT_EQ(tag.Load(), 1);
    ASSERT_TRUE(tag.IsModified());  // a loaded tag counts as modified
    EXPECT_EQ(tag.Save(), 1);
    EXPECT_FALSE(tag.IsModified());
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
}

TEST_F(TagFileTest, FailedSavesKeepTheChange) {
    struct Case {
        const char* what;
        TagState state;
        std::function<void(const std::string&)> fault;
    } cases[] = {
        {"present, file removed", tsPresent, [](const std::string& p) { fs::remove(p); }},
        {"present, directory in its place", tsPresent,
         [](const std::string& p) {
             fs::remove(p);
             fs::create_directory(p);
         }},
        {"append, file removed", tsAppend, [](const std::string& p) { fs::remove(p); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Tagged("f" + std::to_string(n++) + ".mp3");
        TTagFile tag(path);
        tag.Load();
        tag.SetState(c.state);
        tag.SetArtist("Changed");
        c.fault(path);
        EXPECT_EQ(tag.Save(), 0);
        EXPECT_EQ(tag.GetState(), c.state);
        EXPECT_TRUE(tag.IsModified());
    }
}

TEST_F(TagFileTest, AppendBeyondTheFileSizeLimitLeavesTheFileAsItWas) {
    const std::string path = Untagged();
    TTagFile tag(path);
    tag.Load();
    tag.SetState(tsAppend);
    tag.SetArtist("Too big");
    // Room for 50 of the 128 bytes: the part written must be taken back.
    EXPECT_EQ(SaveWithFileSizeLimit(tag, 1050), 0);
    EXPECT_EQ(tag.GetState(), tsAppend);
    EXPECT_TRUE(tag.IsModified());
    EXPECT_EQ(ReadBytes(path), MakeMp3Bytes(1000, std::nullopt));
    EXPECT_EQ(tag.Save(), 1);  // and a later save succeeds
    EXPECT_EQ(FileSize(path), 1128);
}

TEST_F(TagFileTest, AnOverwriteThatStopsPartWayPutsTheOldTagBack) {
    // tsAppend over a file that has a tag by now overwrites that tag, like tsPresent.
    for (TagState state : {tsPresent, tsAppend}) {
        SCOPED_TRACE(static_cast<int>(state));
        const std::string path = Tagged();
        TTagFile tag(path);
        ASSERT_EQ(tag.Load(), 1);
        tag.SetState(state);
        tag.SetTitle("A brand new title");
        tag.SetArtist("Brand new artist name long enough");
        // The limit falls inside the artist: the write puts the first 40 bytes of the block
        // (the whole title, part of the artist), then fails.
        EXPECT_EQ(SaveWithFileSizeLimit(tag, 1040), 0);
        EXPECT_EQ(tag.GetState(), state);
        EXPECT_TRUE(tag.IsModified());
        EXPECT_EQ(ReadBytes(path), MakeMp3Bytes(1000, MakeBlock(SampleFields())));
        EXPECT_EQ(tag.Save(), 1);
        EXPECT_EQ(ReadBytes(path), MakeMp3Bytes(1000, tag.Block()));
    }
}

TEST_F(TagFileTest, SavesThatNeedNoWriteSucceedOnReadOnlyMedia) {
    struct Case {
        const char* what;
        bool tagged;
        TagState state;
        bool edit;
        // The edited block reaches the file behind the read-only view (another entry saved it).
        bool saved_elsewhere;
        int result;
    } cases[] = {
        {"present, unchanged since load", true, tsPresent, false, false, 1},
        {"present, the file holds the edit already", true, tsPresent, true, true, 1},
        {"append, the file holds the tag already", false, tsAppend, true, true, 1},
        {"no tag", false, tsNone, false, false, 1},
        {"present, edited", true, tsPresent, true, false, 0},
        {"append", false, tsAppend, true, false, 0},
    };
    const auto name = [](std::size_t i) { return std::to_string(i) + ".mp3"; };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::optional<Block> block;
        if (cases[i].tagged) block = MakeBlock(SampleFields());
        WriteMp3(dir / ("files/" + name(i)), 1000, block);
    }
    ReadOnlyMount view(dir / "files", dir / "ro");
    if (!view.ReadOnly()) GTEST_SKIP() << "cannot make a read-only bind mount here";

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        TTagFile tag(dir / ("ro/" + name(i)));
        tag.Load();
        tag.SetState(c.state);
        if (c.edit) tag.SetArtist("Edited");
        if (c.saved_elsewhere) WriteMp3(dir / ("files/" + name(i)), 1000, tag.Block());
        const std::vector<uint8_t> before = ReadBytes(tag.GetPath());
        EXPECT_EQ(tag.Save(), c.result);
        EXPECT_EQ(tag.IsModified(), c.result != 1);
        EXPECT_EQ(ReadBytes(tag.GetPath()), before);
        if (c.result == 1 && c.state == tsAppend) {
            EXPECT_EQ(tag.GetState(), tsPresent);
        }
    }
}

TEST_F(TagFileTest, SaveOfAnotherKindOrNoTagWritesNothing) {
    const std::string path = Tagged();
    TTagFile tag(path);
    tag.Load();
    tag.SetArtist("Changed");
    tag.SetKind(TagKind::kOtherMp3);
    EXPECT_EQ(tag.Save(), 1);
    EXPECT_TRUE(tag.IsModified());
    EXPECT_EQ(ReadTail(path), ToBytes(MakeBlock(SampleFields())));

    TTagFile none(dir / "missing.mp3");
    EXPECT_EQ(none.Save(), 1);
    EXPECT_FALSE(fs::exists(dir / "missing.mp3"));
}

TEST_F(TagFileTest, CutFileEndShortensInPlaceOrFails) {
    WriteBytes(dir / "ten", std::vector<uint8_t>(10, 'x'));
    fs::create_directory(dir / "folder");
    struct Case {
        const char* what;
        std::string path;
        long long n;
        int result;
        long long size_after;
    } cases[] = {
        {"missing", dir / "missing", 1, -1, -1}, {"directory", dir / "folder", 1, -1, -1},
        {"whole file", dir / "ten", 10, -1, 10}, {"more than the file", dir / "ten", 11, -1, 10},
        {"negative", dir / "ten", -5, -1, 10},   {"nothing", dir / "ten", 0, 1, 10},
        {"part", dir / "ten", 3, 1, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CutFileEnd(c.path, c.n), c.result);
        if (c.size_after >= 0) {
            EXPECT_EQ(FileSize(c.path), c.size_after);
        }
    }
}

}  // namespace
}  // namespace ambrel::test
