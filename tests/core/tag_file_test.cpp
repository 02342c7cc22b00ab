#include "tag/tag_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/mp3_fixture.h"
#include "tag_file_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace ambrel::test
