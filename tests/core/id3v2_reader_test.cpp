#include "tag/id3v2_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/id3v2_fixture.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

// Texts beyond Latin-1 where the encoding can hold them.
const std::string kTitle = "Title \xC3\xA9t\xC3\xA9 \xE2\x98\x83";   // "Title été ☃"
const std::string kArtist = "Art\xC3\xAFst \xE4\xB8\x80";            // "Artïst 一"
const std::string kLatinTitle = "Title \xC3\xA9t\xC3\xA9 \xC3\xBF";  // "Title été ÿ"

std::vector<Id3v2Frame> AllFrames(int version, const std::string& title) {
    return {
        {"TIT2", {title}, ""},
        {"TPE1", {kArtist}, ""},
        {"TALB", {"Album"}, ""},
        {version == 3 ? "TYER" : "TDRC", {"1994"}, ""},
        {"TRCK", {"3/12"}, ""},
        {"TCON", {"(17)"}, ""},
        // The comment for people is the one without a description, wherever it stands.
        {"COMM", {"0000 1111"}, "iTunNORM"},
        {"COMM", {"The comment"}, ""},
    };
}

Block Id3v1Block(const std::string& title) {
    TagFields fields;
    fields.title = title;
    return MakeBlock(fields);
}

Id3v2Values Read(const std::string& path) {
    const Id3v2Reading reading = ReadId3v2(path);
    EXPECT_TRUE(reading.values.has_value()) << reading.problem;
    return reading.values.value_or(Id3v2Values{});
}

TEST(Id3v2ReaderTest, EveryFrameReadsAsMutagenWroteIt) {
    struct Case {
        const char* name;
        int version, encoding;
        Id3v2Form form;
        bool id3v1, ape;
    } cases[] = {
        {"2.3 UTF-16", 3, 1, Id3v2Form::kPlain, false, false},
        {"2.3 UTF-16 unsynchronised", 3, 1, Id3v2Form::kUnsynchronised, true, false},
        {"2.4 UTF-8 with ID3v1 and APE", 4, 3, Id3v2Form::kPlain, true, true},
        {"2.4 UTF-16", 4, 1, Id3v2Form::kPlain, false, true},
        {"2.4 UTF-8 compressed", 4, 3, Id3v2Form::kCompressed, true, false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> tag =
            MakeId3v2Tag({c.version, c.encoding, AllFrames(c.version, kTitle), c.form});
        const std::optional<Block> v1 =
            c.id3v1 ? std::optional<Block>(Id3v1Block("v1 title")) : std::nullopt;
        const std::string path = WriteMp3WithId3v2(dir / "song.mp3", tag, v1, c.ape);
        const std::vector<uint8_t> before = ReadBytes(path);
        const Id3v2Values values = Read(path);
        EXPECT_EQ(values.version, c.version == 3 ? "2.3" : "2.4");
        EXPECT_EQ(values.title, kTitle);
        EXPECT_EQ(values.artist, kArtist);
        EXPECT_EQ(values.album, "Album");
        EXPECT_EQ(values.year, "1994");
        EXPECT_EQ(values.track, "3/12");
        EXPECT_EQ(values.genre, "(17)");
        EXPECT_EQ(values.comment, "The comment");
        EXPECT_EQ(ReadBytes(path), before);  // reading never writes
    }
}

// Each form really is what it claims, or the cases above would prove nothing about it.
TEST(Id3v2ReaderTest, TheFixtureWritesUnsynchronisedTagsAndCompressedFrames) {
    const std::vector<uint8_t> unsync =
        MakeId3v2Tag({3, 1, AllFrames(3, kTitle), Id3v2Form::kUnsynchronised});
    ASSERT_GE(unsync.size(), 10u);
    EXPECT_EQ(unsync[5] & 0x80, 0x80);
    const uint8_t ff_zero[] = {0xFF, 0x00, 0xFE};  // a UTF-16 byte order mark, unsynchronised
    EXPECT_NE(std::search(unsync.begin(), unsync.end(), std::begin(ff_zero), std::end(ff_zero)),
              unsync.end());
    const std::vector<uint8_t> packed =
        MakeId3v2Tag({4, 3, {{"TIT2", {kTitle}, ""}}, Id3v2Form::kCompressed});
    ASSERT_GE(packed.size(), 20u);
    EXPECT_EQ(std::string(packed.begin() + 10, packed.begin() + 14), "TIT2");
    EXPECT_EQ(packed[19], 0x09);  // compressed, with a data length
}

TEST(Id3v2ReaderTest, Latin1TextReadsAsUtf8) {
    TempDir dir;
    const std::string path = WriteMp3WithId3v2(
        dir / "latin.mp3", MakeId3v2Tag({3, 0, {{"TIT2", {kLatinTitle}, ""}}, Id3v2Form::kPlain}));
    EXPECT_EQ(Read(path).title, kLatinTitle);
}

TEST(Id3v2ReaderTest, GenreAndTrackReachTheCallerAsWritten) {
    TempDir dir;
    for (int version : {3, 4}) {
        for (const char* genre : {"(17)", "(17)Rock", "Grunge", "Rock", "17", "(4)(17)"}) {
            SCOPED_TRACE(std::to_string(version) + " " + genre);
            const std::string path = WriteMp3WithId3v2(
                dir / "genre.mp3",
                MakeId3v2Tag({version, 1, {{"TCON", {genre}, ""}, {"TRCK", {"03"}, ""}}}));
            const Id3v2Values values = Read(path);
            EXPECT_EQ(values.genre, genre);
            EXPECT_EQ(values.track, "03");
        }
    }
}

TEST(Id3v2ReaderTest, MissingFramesGiveNone) {
    TempDir dir;
    for (int version : {3, 4}) {
        const std::string path =
            WriteMp3WithId3v2(dir / "title.mp3", MakeId3v2Tag({version, 1, {{"TIT2", {"T"}, ""}}}));
        const Id3v2Values values = Read(path);
        EXPECT_EQ(values.version, version == 3 ? "2.3" : "2.4");
        EXPECT_EQ(values.title, "T");
        EXPECT_FALSE(values.artist || values.album || values.year || values.track || values.genre ||
                     values.comment);
    }
}

TEST(Id3v2ReaderTest, SeveralValuesAndTheDayOfA23Year) {
    TempDir dir;
    // 2.4 separates values by a zero; the genre keeps its first, the one ID3v1 can hold.
    std::string path = WriteMp3WithId3v2(dir / "values.mp3",
                                         MakeId3v2Tag({4,
                                                       3,
                                                       {{"TPE1", {"One", "Two"}, ""},
                                                        {"TCON", {"Rock", "Pop"}, ""},
                                                        {"COMM", {"Only described"}, "note"}}}));
    Id3v2Values values = Read(path);
    EXPECT_EQ(values.artist, "One/Two");
    EXPECT_EQ(values.genre, "Rock");
    EXPECT_EQ(values.comment, "Only described");  // no comment without a description: the first
    // TYER keeps its own text although TDAT holds the day and month.
    path = WriteMp3WithId3v2(
        dir / "day.mp3", MakeId3v2Tag({3, 1, {{"TYER", {"1994"}, ""}, {"TDAT", {"0304"}, ""}}}));
    EXPECT_EQ(Read(path).year, "1994");
    // A 2.4 date stays whole.
    path =
        WriteMp3WithId3v2(dir / "date.mp3", MakeId3v2Tag({4, 3, {{"TDRC", {"1994-04-03"}, ""}}}));
    EXPECT_EQ(Read(path).year, "1994-04-03");
}

// mutagen writes no 2.2 tags: this one is written by hand, frames with 3-letter IDs and
// 3-byte sizes, Latin-1 text.
TEST(Id3v2ReaderTest, A22TagReadsWithItsOwnFrameNames) {
    const auto frame = [](const std::string& id, const std::string& body) {
        std::string out = id;
        out += static_cast<char>(0);
        out += static_cast<char>(0);
        out += static_cast<char>(body.size());
        return out + body;
    };
    const std::string frames = frame("TT2", std::string(1, '\0') + "Old title") +
                               frame("TCO", std::string(1, '\0') + "(17)") +
                               frame("TYE", std::string(1, '\0') + "1999") +
                               frame("COM", std::string(1, '\0') + "eng" + '\0' + "Old comment");
    std::string tag = std::string("ID3\x02\x00\x00\x00\x00\x00", 9);
    tag += static_cast<char>(frames.size());
    tag += frames;
    TempDir dir;
    const std::string path =
        WriteMp3WithId3v2(dir / "old.mp3", std::vector<uint8_t>(tag.begin(), tag.end()));
    const Id3v2Values values = Read(path);
    EXPECT_EQ(values.version, "2.2");
    EXPECT_EQ(values.title, "Old title");
    EXPECT_EQ(values.genre, "(17)");
    EXPECT_EQ(values.year, "1999");
    EXPECT_EQ(values.comment, "Old comment");
}

// TagLib inflates a compressed frame whole, whatever size its frame declares: these few
// kilobytes would take it seconds and hundreds of megabytes.
TEST(Id3v2ReaderTest, ACompressedFrameThatInflatesTooFarIsRefused) {
    TempDir dir;
    const std::vector<uint8_t> tag = MakeInflatingTag(std::size_t{48} << 20);
    ASSERT_LT(tag.size(), 100u * 1024);
    const Id3v2Reading reading = ReadId3v2(WriteMp3WithId3v2(dir / "bomb.mp3", tag));
    EXPECT_FALSE(reading.values);
    EXPECT_EQ(reading.problem, "the ID3v2 tag is damaged");
    // One of a reasonable size still reads.
    const Id3v2Reading small =
        ReadId3v2(WriteMp3WithId3v2(dir / "small.mp3", MakeInflatingTag(1000)));
    ASSERT_TRUE(small.values) << small.problem;
    EXPECT_EQ(small.values->title, std::string(1000, 'A'));
}

TEST(Id3v2ReaderTest, AFileWithoutAUsableTagSaysWhy) {
    TempDir dir;
    const std::vector<uint8_t> good = MakeId3v2Tag({4, 3, {{"TIT2", {"T"}, ""}}});
    std::vector<uint8_t> past_end = good;
    past_end[8] = 0x7F;  // the size now reaches far past the end of the file
    const std::string fifo = dir / "fifo.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ::mkdir((dir / "folder.mp3").c_str(), 0755);
    struct Case {
        std::string path;
        const char* problem;
    } cases[] = {
        {WriteMp3(dir / "plain.mp3", 4096, Id3v1Block("v1 only")), "no ID3v2 tag"},
        {WriteText(dir / "empty.mp3", ""), "no ID3v2 tag"},
        {WriteText(dir / "id3.mp3", "ID3"), "the ID3v2 tag is damaged"},
        {WriteText(dir / "garbage.mp3", std::string("ID3\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10)),
         "the ID3v2 tag is damaged"},
        {WriteText(dir / "version.mp3",
                   std::string("ID3\x05\x00\x00\x00\x00\x00\x00", 10) + std::string(100, 'x')),
         "the ID3v2 tag is damaged"},
        {WriteMp3WithId3v2(dir / "past_end.mp3", past_end), "the ID3v2 tag is damaged"},
        {dir / "missing.mp3", "the file could not be read"},
        {dir / "folder.mp3", "the file could not be read"},
        {fifo, "the file could not be read"},  // refused at once, never waited on
    };
    for (const Case& c : cases) {
        const Id3v2Reading reading = ReadId3v2(c.path);
        EXPECT_FALSE(reading.values) << c.path;
        EXPECT_EQ(reading.problem, c.problem) << c.path;
    }
}

}  // namespace
}  // namespace ambrel::test
