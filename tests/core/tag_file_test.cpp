#include "tag/tag_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/faults.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ToBytes(const TagBlock& block) { return {block.begin(), block.end()}; }

TagFields SampleFields() {
    TagFields f;
    f.title = "Night Drive";
    f.artist = "Aurora Lane";
    f.album = "First Light";
    f.year = "1999";
    f.comment = "ripped";
    f.track = 7;
    f.genre = 17;
    return f;
}

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

class TagFileTest : public ::testing::Test {
protected:
    // A file of 1000 audio bytes followed by the sample tag.
    std::string Tagged(const std::string& name = "song.mp3") {
        return WriteMp3(dir / name, 1000, MakeBlock(SampleFields()));
    }
    std::string Untagged(const std::string& name = "bare.mp3") {
        return WriteMp3(dir / name, 1000, std::nullopt);
    }

    TempDir dir;
};

TEST_F(TagFileTest, LoadsATaggedFileAsPresentAndModified) {
    TTagFile tag(Tagged());
    EXPECT_EQ(tag.Load(), 1);
    EXPECT_EQ(tag.GetState(), tsPresent);
    EXPECT_TRUE(tag.IsModified());
    EXPECT_EQ(tag.GetKind(), TagKind::kId3v1);
    EXPECT_EQ(tag.GetTitle(), "Night Drive");
    EXPECT_EQ(tag.GetArtist(), "Aurora Lane");
    EXPECT_EQ(tag.GetAlbum(), "First Light");
    EXPECT_EQ(tag.GetYear(), "1999");
    EXPECT_EQ(tag.GetComment(), "ripped");
    EXPECT_EQ(tag.GetTrack(), 7);
    EXPECT_EQ(tag.GetGenre(), 17);
    EXPECT_EQ(ToBytes(tag.Block()), ReadTail(tag.GetPath()));
}

TEST_F(TagFileTest, GettersReadAFullFieldWholeAndKeepTrailingSpaces) {
    TagFields f;
    f.artist = std::string(30, 'a');  // no terminating zero
    f.album = "Padded   ";
    f.comment = std::string(29, 'c');
    f.genre = 255;
    TTagFile tag(WriteMp3(dir / "full.mp3", 10, MakeBlock(f)));
    ASSERT_EQ(tag.Load(), 1);
    EXPECT_EQ(tag.GetArtist(), std::string(30, 'a'));
    EXPECT_EQ(tag.GetAlbum(), "Padded   ");
    EXPECT_EQ(tag.GetComment(), std::string(29, 'c'));
    EXPECT_EQ(tag.GetGenre(), 255);
}

TEST_F(TagFileTest, FilesWithoutATagLoadAsNone) {
    Block lower = MakeBlock(SampleFields());
    std::memcpy(lower.data(), "tag", 3);
    std::vector<uint8_t> bytes127(127, 'x');
    std::memcpy(bytes127.data(), "TAG", 3);
    fs::create_directories(dir / "folder.mp3");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0644), 0);  // must not block the read

    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"lower-case magic", WriteMp3(dir / "lower.mp3", 500, lower)},
        {"no tag", Untagged()},
        {"127 bytes", (WriteBytes(dir / "short.mp3", bytes127), dir / "short.mp3")},
        {"empty file", (WriteBytes(dir / "empty.mp3", {}), dir / "empty.mp3")},
        {"missing file", dir / "missing.mp3"},
        {"directory", dir / "folder.mp3"},
        {"FIFO", dir / "pipe.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTagFile tag(c.path);
        EXPECT_EQ(tag.Load(), 0);
        EXPECT_EQ(tag.GetState(), tsNone);
        EXPECT_FALSE(tag.IsModified());
        EXPECT_EQ(tag.GetGenre(), 254);
        EXPECT_EQ(tag.GetTrack(), 0);
        EXPECT_EQ(tag.GetArtist(), "");
        EXPECT_EQ(tag.GetTitle(), "");
        EXPECT_EQ(tag.GetComment(), "");
    }
}

TEST_F(TagFileTest, ReloadDiscardsUnsavedChanges) {
    TTagFile tag(Tagged());
    ASSERT_EQ(tag.Load(), 1);
    tag.SetArtist("Someone Else");
    tag.SetState(tsRemove);
    EXPECT_EQ(tag.Load(), 1);
    EXPECT_EQ(tag.GetArtist(), "Aurora Lane");
    EXPECT_EQ(tag.GetState(), tsPresent);
}

TEST_F(TagFileTest, TextFieldsAreCutToTheirWidthWithoutTerminator) {
    TTagFile tag(Tagged());
    ASSERT_EQ(tag.Load(), 1);
    const std::string forty = "0123456789abcdefghijKLMNOPQRSTuvwxyz!@#$";
    ASSERT_EQ(tag.SetArtist(forty), 1);
    EXPECT_EQ(tag.GetArtist(), forty.substr(0, 30));
    EXPECT_EQ(tag.Block()[id3v1::kAlbumOffset], 'F');  // the next field is untouched

    ASSERT_EQ(tag.SetComment(std::string(29, 'z')), 1);
    EXPECT_EQ(tag.Block()[125], 'z');
    EXPECT_EQ(tag.GetTrack(), 7);

    ASSERT_EQ(tag.SetYear("20245"), 1);
    EXPECT_EQ(tag.GetYear(), "2024");

    // A shorter text zeroes the rest of the field.
    ASSERT_EQ(tag.SetTitle("Hi"), 1);
    EXPECT_EQ(tag.GetTitle(), "Hi");
    for (std::size_t i = id3v1::kTitleOffset + 2; i < id3v1::kArtistOffset; ++i) {
        EXPECT_EQ(tag.Block()[i], 0) << i;
    }
}

TEST_F(TagFileTest, SettersNeedATagAndAText) {
    TTagFile tag(Untagged());
    ASSERT_EQ(tag.Load(), 0);
    EXPECT_EQ(tag.SetArtist("x"), 0);
    EXPECT_EQ(tag.SetTitle("x"), 0);
    EXPECT_EQ(tag.SetAlbum("x"), 0);
    EXPECT_EQ(tag.SetYear("x"), 0);
    EXPECT_EQ(tag.SetComment("x"), 0);
    EXPECT_EQ(tag.SetTrack(1), 0);
    EXPECT_EQ(tag.SetGenre(1), 0);
    EXPECT_FALSE(tag.IsModified());

    for (TagState state : {tsAppend, tsRemove, tsPresent}) {
        tag.SetState(state);
        EXPECT_EQ(tag.SetArtist("x"), 1) << static_cast<int>(state);
        EXPECT_EQ(tag.SetArtist(std::nullopt), 0) << static_cast<int>(state);
    }
    EXPECT_TRUE(tag.IsModified());
    EXPECT_EQ(tag.GetArtist(), "x");
}

TEST_F(TagFileTest, TrackAndGenreAcceptZeroTo254) {
    struct Case {
        int value;
        int result;
    } cases[] = {{-1, 0}, {0, 1}, {128, 1}, {254, 1}, {255, 0}, {1000, 0}};
    for (const Case& c : cases) {
        TTagFile tag(Tagged());
        ASSERT_EQ(tag.Load(), 1);
        tag.SetModified(false);
        EXPECT_EQ(tag.SetTrack(c.value), c.result) << c.value;
        EXPECT_EQ(tag.SetGenre(c.value), c.result) << c.value;
        EXPECT_EQ(tag.GetTrack(), c.result ? c.value : 7);
        EXPECT_EQ(tag.GetGenre(), c.result ? c.value : 17);
        EXPECT_EQ(tag.IsModified(), c.result == 1);
    }
}

TEST_F(TagFileTest, FieldTextIsLatin1InTheBlockAndUtf8Outside) {
    TTagFile tag(Tagged());
    ASSERT_EQ(tag.Load(), 1);
    ASSERT_EQ(tag.SetArtist("Caf\xC3\xA9 \xE2\x82\xAC"), 1);  // "Café €"
    EXPECT_EQ(std::memcmp(tag.Block().data() + id3v1::kArtistOffset, "Caf\xE9 ?", 7), 0);
    EXPECT_EQ(tag.GetArtist(), "Caf\xC3\xA9 ?");

    // The width counts Latin-1 bytes: 30 two-byte UTF-8 characters fill the field exactly.
    std::string thirty_e;
    for (int i = 0; i < 31; ++i) thirty_e += "\xC3\xA9";
    ASSERT_EQ(tag.SetTitle(thirty_e), 1);
    EXPECT_EQ(tag.GetTitle(), thirty_e.substr(0, 60));
    EXPECT_EQ(tag.Block()[id3v1::kArtistOffset], 'C');

    // A byte that is not UTF-8 is taken as the Latin-1 character it is.
    ASSERT_EQ(tag.SetAlbum("Bj\xF6rk"), 1);
    EXPECT_EQ(tag.Block()[id3v1::kAlbumOffset + 2], 0xF6);
}

TEST_F(TagFileTest, HighBytesFromAFileSurviveEditsAndRoundTrips) {
    TagFields f = SampleFields();
    f.artist = "M\xF6tley \xA9\xFF\x80";
    f.album = "\x81\x9F\xC3\xA9";  // C1 controls, and bytes that look like UTF-8
    const std::string path = WriteMp3(dir / "latin.mp3", 300, MakeBlock(f));
    {
        TTagFile tag(path);
        ASSERT_EQ(tag.Load(), 1);
        ASSERT_EQ(tag.SetTitle("New title"), 1);
        ASSERT_EQ(tag.SetArtist(tag.GetArtist()), 1);
        ASSERT_EQ(tag.SetAlbum(tag.GetAlbum()), 1);
        ASSERT_EQ(tag.Save(), 1);
    }
    f.title = "New title";
    EXPECT_EQ(ReadTail(path), ToBytes(MakeBlock(f)));
}

TEST_F(TagFileTest, ChangeCaseWorksOnEachFieldWithinItsWidth) {
    TagFields f;
    f.title = "hello WORLD 2nd";
    f.artist = std::string(29, 'a') + "b";  // fills the field: the album must start a new word
    f.album = "o'neil \xE9t\xE9";
    f.year = "abcd";
    f.comment = "keep me";
    TTagFile tag(WriteMp3(dir / "case.mp3", 10, MakeBlock(f)));
    ASSERT_EQ(tag.Load(), 1);
    tag.SetModified(false);

    tag.ChangeCase(3);
    EXPECT_EQ(tag.GetTitle(), "Hello World 2nd");
    EXPECT_EQ(tag.GetArtist(), "A" + std::string(28, 'a') + "b");
    EXPECT_EQ(tag.GetAlbum(), "O'Neil \xC3\xA9T\xC3\xA9");  // é ends a word and stays as it is
    EXPECT_EQ(tag.GetYear(), "abcd");
    EXPECT_EQ(tag.GetComment(), "keep me");
    EXPECT_FALSE(tag.IsModified());
    EXPECT_EQ(tag.GetState(), tsPresent);

    tag.ChangeCase(1);
    EXPECT_EQ(tag.GetTitle(), "HELLO WORLD 2ND");
    tag.ChangeCase(2);
    EXPECT_EQ(tag.GetTitle(), "hello world 2nd");
    tag.ChangeCase(7);
    EXPECT_EQ(tag.GetTitle(), "hello world 2nd");
}

TEST_F(TagFileTest, ChangeCaseStopsAtAFieldsTerminatingZero) {
    TagFields f;
    f.title = std::string("abc\0xYz", 7);
    f.artist = std::string("dE\0fG", 5);
    f.album = std::string("\0hIj", 4);
    const std::string path = WriteMp3(dir / "hidden.mp3", 10, MakeBlock(f));
    struct Case {
        int mode;
        const char* title;
        const char* artist;
    } cases[] = {{1, "ABC", "DE"}, {2, "abc", "de"}, {3, "Abc", "De"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        TTagFile tag(path);
        ASSERT_EQ(tag.Load(), 1);
        tag.ChangeCase(c.mode);
        ASSERT_EQ(tag.Save(), 1);
        TagFields changed = f;
        changed.title.replace(0, 3, c.title);
        changed.artist.replace(0, 2, c.artist);
        // The bytes after each zero are not the field's text and reach the file unchanged.
        EXPECT_EQ(ReadTail(path), ToBytes(MakeBlock(changed)));
        EXPECT_EQ(tag.GetTitle(), c.title);
        WriteMp3(path, 10, MakeBlock(f));
    }
}

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
    tag.SetKind(1);
    EXPECT_EQ(tag.Save(), 1);
    EXPECT_TRUE(tag.IsModified());
    EXPECT_EQ(ReadTail(path), ToBytes(MakeBlock(SampleFields())));

    TTagFile none(dir / "missing.mp3");
    EXPECT_EQ(none.Save(), 1);
    EXPECT_FALSE(fs::exists(dir / "missing.mp3"));
}

TEST(TagBaseTest, SetStateAcceptsOnlyTheFourStates) {
    TTagFile tag(std::nullopt);
    EXPECT_EQ(tag.SetState(3), 3);
    EXPECT_EQ(tag.SetState(4), -1);
    EXPECT_EQ(tag.SetState(-1), -1);
    EXPECT_EQ(tag.GetState(), tsAppend);
    EXPECT_EQ(tag.SetKind(42), 1);
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
