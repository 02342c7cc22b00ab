// ambrel-cli from-v2 on files whose ID3v2 tags mutagen wrote.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "support/faults.h"
#include "support/id3v2_fixture.h"

namespace ambrel::test {
namespace {

using namespace std::string_literals;

const std::string kTitle = "Caf\xC3\xA9 \xC3\xBF";  // "Café ÿ": the ÿ is unsynchronised
const std::string kArtist = "Bj\xC3\xB6rk";         // "Björk"

std::vector<Id3v2Frame> AllFrames(int version) {
    return {
        {"TIT2", {kTitle}, ""},        {"TPE1", {kArtist}, ""},
        {"TALB", {"Album"}, ""},       {version == 3 ? "TYER" : "TDRC", {"1994"}, ""},
        {"TRCK", {"3/12"}, ""},        {"TCON", {"(17)"}, ""},
        {"COMM", {"The comment"}, ""},
    };
}

// The block the frames above give, in Latin-1.
Block CopiedBlock() {
    TagFields fields;
    fields.title = "Caf\xE9 \xFF";
    fields.artist = "Bj\xF6rk";
    fields.album = "Album";
    fields.year = "1994";
    fields.comment = "The comment";
    fields.track = 3;
    fields.genre = 17;
    return MakeBlock(fields);
}

Block OldBlock() {
    TagFields fields;
    fields.title = "Old title";
    fields.album = "Album";
    fields.genre = 0;
    return MakeBlock(fields);
}

std::vector<uint8_t> Head(const std::vector<uint8_t>& bytes, std::size_t size) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)};
}

std::vector<uint8_t> Tail(const std::vector<uint8_t>& bytes) {
    return {bytes.end() - 128, bytes.end()};
}

std::vector<uint8_t> BlockBytes(const Block& block) { return {block.begin(), block.end()}; }

class FromV2Test : public ::testing::Test {
protected:
    std::string Song(const std::string& name, const std::vector<Id3v2Frame>& frames,
                     const std::optional<Block>& id3v1, int version = 4, int encoding = 3) {
        Id3v2Spec spec;
        spec.version = version;
        spec.encoding = encoding;
        spec.frames = frames;
        return WriteMp3WithId3v2(dir / name, MakeId3v2Tag(spec), id3v1);
    }
    TempDir dir;
};

// Every byte before the ID3v1 block stays, whatever the form of the ID3v2 tag before the
// audio or an APE tag after it; the block holds the mapped values.
TEST_F(FromV2Test, TheValuesLandInTheId3v1BlockAndNothingBeforeItChanges) {
    struct Case {
        const char* name;
        int version, encoding;
        Id3v2Form form;
        bool ape;
    } cases[] = {
        {"2.3 UTF-16", 3, 1, Id3v2Form::kPlain, false},
        {"2.3 UTF-16 unsynchronised", 3, 1, Id3v2Form::kUnsynchronised, false},
        {"2.4 UTF-8", 4, 3, Id3v2Form::kPlain, false},
        {"2.4 UTF-16 with an APE tag", 4, 1, Id3v2Form::kPlain, true},
        {"2.4 UTF-8 compressed", 4, 3, Id3v2Form::kCompressed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Id3v2Spec spec{c.version, c.encoding, AllFrames(c.version), c.form};
        const std::string song =
            WriteMp3WithId3v2(dir / "song.mp3", MakeId3v2Tag(spec), OldBlock(), c.ape);
        const std::vector<uint8_t> before = ReadBytes(song);

        const CliResult result = RunCli({"from-v2", song});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, song + ": title, artist, year, track, genre, comment\n");
        const std::vector<uint8_t> after = ReadBytes(song);
        ASSERT_EQ(after.size(), before.size());
        EXPECT_TRUE(Head(after, after.size() - 128) == Head(before, before.size() - 128));
        EXPECT_EQ(Tail(after), BlockBytes(CopiedBlock()));

        const CliResult again = RunCli({"from-v2", song});
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.out, "") << "nothing is left to change";
    }
}

TEST_F(FromV2Test, AFileWithoutId3v1GetsOneAppendedAndADryRunChangesNoByte) {
    const std::string bare = Song("bare.mp3", AllFrames(4), std::nullopt);
    const std::string tagged = Song("tagged.mp3", AllFrames(3), OldBlock(), 3, 1);
    const std::vector<uint8_t> bare_bytes = ReadBytes(bare), tagged_bytes = ReadBytes(tagged);

    const CliResult dry = RunCli({"from-v2", "--dry-run", bare, tagged});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(ReadBytes(bare), bare_bytes);
    EXPECT_EQ(ReadBytes(tagged), tagged_bytes);

    const CliResult real = RunCli({"from-v2", bare, tagged});
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_EQ(real.out, bare + ": new tag; title, artist, album, year, track, genre, comment\n" +
                            tagged + ": title, artist, year, track, genre, comment\n");
    EXPECT_EQ(dry.out, real.out) << "a dry run prints what the run does";
    const std::vector<uint8_t> grown = ReadBytes(bare);
    ASSERT_EQ(grown.size(), bare_bytes.size() + 128);
    EXPECT_TRUE(Head(grown, bare_bytes.size()) == bare_bytes);
    EXPECT_EQ(Tail(grown), BlockBytes(CopiedBlock()));
}

// A file without a usable ID3v2 tag is skipped, which is no failure; one that cannot be
// loaded is, and the others are done all the same. -r searches the subfolders, and ".mp3"
// is found in any letter case.
TEST_F(FromV2Test, FilesWithoutAUsableId3v2TagAreSkippedAndLeftAsTheyAre) {
    const std::string plain = WriteMp3(dir / "plain.mp3", 1000, OldBlock());
    // A header that claims more bytes than the file holds.
    std::vector<uint8_t> damaged_bytes = {'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    damaged_bytes.resize(1000, 'x');
    const Block old = OldBlock();
    damaged_bytes.insert(damaged_bytes.end(), old.begin(), old.end());
    WriteBytes(dir / "damaged.mp3", damaged_bytes);
    const std::string damaged = dir / "damaged.mp3";
    const std::string nested = Song("sub/Nested.MP3", AllFrames(4), std::nullopt);
    const std::vector<uint8_t> plain_bytes = ReadBytes(plain), nested_bytes = ReadBytes(nested);

    const CliResult flat = RunCli({"from-v2", dir.path()});
    EXPECT_EQ(flat.status, 0) << flat.err;
    EXPECT_EQ(flat.out, "");
    EXPECT_EQ(
        Lines(flat.err),
        (std::vector<std::string>{"ambrel-cli: " + damaged + ": skipped (the ID3v2 tag is damaged)",
                                  "ambrel-cli: " + plain + ": skipped (no ID3v2 tag)"}));
    EXPECT_EQ(ReadBytes(damaged), damaged_bytes);
    EXPECT_EQ(ReadBytes(plain), plain_bytes);
    EXPECT_EQ(ReadBytes(nested), nested_bytes) << "a subfolder only with -r";

    const std::string missing = dir / "gone.mp3";
    const CliResult deep = RunCli({"from-v2", "-r", dir.path(), missing});
    EXPECT_EQ(deep.status, 1);
    EXPECT_EQ(deep.out, nested + ": new tag; title, artist, album, year, track, genre, comment\n");
    EXPECT_EQ(Lines(deep.err).back(),
              "ambrel-cli: " + missing + ": The source file does not exist any more.");
    EXPECT_EQ(Tail(ReadBytes(nested)), BlockBytes(CopiedBlock()));
    EXPECT_EQ(ReadBytes(damaged), damaged_bytes);
}

TEST_F(FromV2Test, ACutTitleAndAnUnknownGenreAreWarnedOf) {
    const std::string long_title(40, 'T');
    const std::string song =
        Song("song.mp3", {{"TIT2", {long_title}, ""}, {"TCON", {"Stuff"}, ""}}, OldBlock());
    const CliResult result = RunCli({"from-v2", song});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, song + ": title\n");
    EXPECT_EQ(Lines(result.err),
              (std::vector<std::string>{
                  "ambrel-cli: " + song + ": Title: cut to the field's width",
                  "ambrel-cli: " + song + ": Genre: 'Stuff' names no genre; the genre stays"}));
    const std::vector<uint8_t> tail = ReadTail(song);
    EXPECT_EQ(std::string(tail.begin() + 3, tail.begin() + 33), long_title.substr(0, 30));
    EXPECT_EQ(tail[127], 0) << "the genre byte stays";
}

// In CP932 日 is the two bytes 93 FA: "a" and 15 of them are 31 bytes, so the last does not
// fit the title's 30 and is left out whole.
TEST_F(FromV2Test, TheEncodingIsTheCodePageAndACutEndsBetweenCharacters) {
    std::string title = "a";
    for (int i = 0; i < 15; ++i) title += "\xE6\x97\xA5";
    const std::string song = Song("song.mp3", {{"TIT2", {title}, ""}}, std::nullopt, 3, 1);
    const CliResult result = RunCli({"from-v2", "--encoding", "cp932", song});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "ambrel-cli: " + song + ": Title: cut to the field's width\n");
    const std::vector<uint8_t> tail = ReadTail(song);
    std::string expected = "a";
    for (int i = 0; i < 14; ++i) expected += "\x93\xFA";
    EXPECT_EQ(std::string(tail.begin() + 3, tail.begin() + 33), expected + "\0"s);

    const CliResult latin = RunCli({"from-v2", "--dry-run", song});
    EXPECT_EQ(latin.out, song + ": title\n") << "Latin-1 by default: every 日 is a '?'";
    EXPECT_EQ(latin.err,
              "ambrel-cli: " + song + ": Title: characters the code page lacks were replaced\n");
}

TEST_F(FromV2Test, AWriteThatFailsIsNamedAndTheFileKeepsItsBytes) {
    const std::string bare = Song("bare.mp3", AllFrames(4), std::nullopt);
    const std::vector<uint8_t> bytes = ReadBytes(bare);
    CliResult result;
    {
        // The appended tag would take the file past the size limit (EFBIG).
        FileSizeLimit limit(bytes.size() + 64);
        result = RunCli({"from-v2", bare});
    }
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "") << "only a file written is listed as changed";
    EXPECT_EQ(result.err, "ambrel-cli: " + bare +
                              ": The tag could not be written; the file keeps its old tag.\n");
    EXPECT_EQ(ReadBytes(bare), bytes);
}

}  // namespace
}  // namespace ambrel::test
