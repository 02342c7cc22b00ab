// ambrel-cli set and remove on real files.
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "platform/paths.h"
#include "support/deep_tree.h"
#include "support/faults.h"

namespace ambrel::test {
namespace {

using namespace std::string_literals;

constexpr std::size_t kAudio = 1000;

timespec ModificationTime(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mtim;
}

bool operator==(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Puts the file's modification time a day back, so that any write shows.
void Backdate(const std::string& path) {
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 86400;
    times[1] = times[0];
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::vector<uint8_t> Audio() { return MakeMp3Bytes(kAudio, std::nullopt); }

// The fields of the one record list prints for a file, given these options.
std::vector<std::string> Listed(const std::string& path, std::vector<std::string> options = {}) {
    options.insert(options.begin(), "list");
    options.push_back(path);
    const CliResult result = RunCli(options);
    EXPECT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    return lines.size() == 2 ? TabFields(lines[1]) : std::vector<std::string>{};
}

class SetTest : public ::testing::Test {
protected:
    std::string Tagged(const std::string& name) {
        TagFields fields;
        fields.title = "Old title";
        fields.artist = "Old artist";
        fields.genre = 1;
        return WriteMp3(dir / name, kAudio, MakeBlock(fields));
    }
    TempDir dir;
};

TEST_F(SetTest, SetThenListGivesTheTextsCutToTheirFields) {
    const std::string song = Tagged("song.mp3");
    const std::string title31 = "A title of thirty-one letters!!";
    ASSERT_EQ(title31.size(), 31u);
    const CliResult result =
        RunCli({"set", "--artist", "Björk", "--title", title31, "--album", "Über 日", "--year",
                "19999", "--comment", "ok", "--track", "7", "--genre", "hard ROCK", song});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(Listed(song), (std::vector<std::string>{paths::FileNameOf(dir.path()), "song", "7",
                                                      "Björk", title31.substr(0, 30), "Über ?",
                                                      "ok", "Hard Rock", "1999", song, "present"}));
    // In the file the texts are Latin-1, and the audio before the tag is as it was.
    std::vector<uint8_t> bytes = ReadBytes(song);
    ASSERT_EQ(bytes.size(), kAudio + 128);
    const std::vector<uint8_t> audio(bytes.begin(), bytes.begin() + kAudio);
    EXPECT_EQ(audio, Audio());
    EXPECT_EQ(std::string(bytes.begin() + kAudio + 33, bytes.begin() + kAudio + 39), "Bj\xF6rk\0"s);

    ASSERT_EQ(RunCli({"set", "--genre", "", "--track", "0", song}).status, 0);
    const std::vector<std::string> cleared = Listed(song);
    ASSERT_EQ(cleared.size(), 11u);
    EXPECT_EQ(cleared[2], "0");
    EXPECT_EQ(cleared[7], "") << "genre 254 has no name";
    EXPECT_EQ(ReadTail(song)[127], 254);
    ASSERT_EQ(RunCli({"set", "--genre", "17", song}).status, 0);
    EXPECT_EQ(Listed(song)[7], "Rock");
}

// --encoding names the code page the tag text is read and written in; the bytes here are
// what iconv gives for the texts.
TEST_F(SetTest, TheEncodingIsTheCodePageTheTextIsReadAndWrittenIn) {
    TagFields fields;
    fields.artist = "\xCA\xE8\xED\xEE";  // Кино in Windows-1251
    const std::string song = WriteMp3(dir / "song.mp3", kAudio, MakeBlock(fields));
    EXPECT_EQ(Listed(song, {"--encoding", "windows-1251"}).at(3), "Кино");
    EXPECT_EQ(Listed(song).at(3), "\xC3\x8A\xC3\xA8\xC3\xAD\xC3\xAE") << "Latin-1 by default";

    const CliResult set = RunCli({"set", "--encoding", "KOI8-R", "--title", "Кино €", song});
    ASSERT_EQ(set.status, 0) << set.err;
    const std::vector<uint8_t> tail = ReadTail(song);
    EXPECT_EQ(std::string(tail.begin() + 3, tail.begin() + 10), "\xEB\xC9\xCE\xCF ?\0"s)
        << "a character KOI8-R lacks is written as ?";
    EXPECT_EQ(Listed(song, {"--encoding=cp1251"}).at(3), "Кино") << "the artist kept its bytes";

    const CliResult unknown = RunCli({"list", "--encoding", "EBCDIC", song});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown encoding 'EBCDIC'"), std::string::npos) << unknown.err;
}

TEST_F(SetTest, ATagThatWouldNotChangeIsNotWritten) {
    const std::string song = Tagged("song.mp3");
    Backdate(song);
    const timespec before = ModificationTime(song);
    const CliResult same = RunCli({"set", "--title", "Old title", "--genre", "Classic rock", song});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_TRUE(ModificationTime(song) == before) << "the tag held these values already";
    EXPECT_EQ(RunCli({"remove", dir / "untagged.mp3"}).status, 1) << "no such file yet";

    const std::string untagged = WriteMp3(dir / "untagged.mp3", kAudio, std::nullopt);
    Backdate(untagged);
    const timespec untouched = ModificationTime(untagged);
    EXPECT_EQ(RunCli({"remove", untagged}).status, 0) << "nothing to cut is no failure";
    EXPECT_TRUE(ModificationTime(untagged) == untouched);

    EXPECT_EQ(RunCli({"set", "--title", "New", song}).status, 0);
    EXPECT_FALSE(ModificationTime(song) == before) << "a real change is written";
}

TEST_F(SetTest, AFileWithoutATagGetsOneOnlyWithCreate) {
    const std::string song = WriteMp3(dir / "bare.mp3", kAudio, std::nullopt);
    const CliResult refused = RunCli({"set", "--title", "T", song});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "ambrel-cli: " + song + ": The file has no ID3v1 tag. --create adds one.\n");
    EXPECT_EQ(ReadBytes(song), Audio());

    const CliResult created = RunCli({"set", "--create", "--title", "T", song});
    EXPECT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(FileSize(song), static_cast<long long>(kAudio + 128));
    EXPECT_EQ(Listed(song)[4], "T");
    EXPECT_EQ(Listed(song)[7], "") << "a new tag has no genre";
}

TEST_F(SetTest, EachFailedFileIsNamedAndTheOthersAreDone) {
    const std::string a = Tagged("a.mp3"), b = Tagged("b.mp3");
    const std::string missing = dir / "gone.mp3";
    const std::string text = WriteText(dir / "notes.txt", "not audio");
    const CliResult result = RunCli({"set", "--album", "X", a, missing, text, b});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(Lines(result.err),
              (std::vector<std::string>{
                  "ambrel-cli: " + missing + ": The source file does not exist any more.",
                  "ambrel-cli: " + text +
                      ": The path is not an MP3 file (a file whose extension begins with "
                      "\".mp3\")."}));
    EXPECT_EQ(Listed(a)[5], "X");
    EXPECT_EQ(Listed(b)[5], "X");
    EXPECT_EQ(ReadText(text), "not audio");
}

TEST_F(SetTest, AWriteThatFailsKeepsTheFileAsItWas) {
    const std::string bare = WriteMp3(dir / "bare.mp3", kAudio, std::nullopt);
    CliResult result;
    {
        // The new tag would take the file past the size limit: the append fails (EFBIG).
        FileSizeLimit limit(kAudio + 64);
        result = RunCli({"set", "--create", "--title", "T", bare});
    }
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "ambrel-cli: " + bare +
                              ": The tag could not be written; the file keeps its old tag.\n");
    EXPECT_EQ(ReadBytes(bare), Audio());
}

TEST_F(SetTest, RemoveCutsTheTagAndKeepsTheAudioBytes) {
    const std::string song = Tagged("song.mp3");
    const CliResult result = RunCli({"remove", song});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(song), Audio());
    EXPECT_EQ(Listed(song)[10], "none");
}

TEST_F(SetTest, PathsTooLongAndFilesThatAreNotRegularAreRefusedForWhatTheyAre) {
    const DeepTree deep(dir.path(), "deep", PATH_MAX - 4);
    deep.AddFile("song.mp3");
    const std::string too_long = deep.path() + "/song.mp3";
    const std::string fifo = dir / "pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const struct Case {
        std::string path;
        std::string message;
    } cases[] = {
        {too_long, "Files whose paths are longer than the system allows could not be read."},
        {fifo, "The path is not a regular file (a pipe, a device or a socket); it was not opened."},
        {"/dev/null.mp3", "The source file does not exist any more."},
    };
    for (const Case& c : cases) {
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"remove"}, {"set", "--create", "--title", "T"}, {"list"}}) {
            std::vector<std::string> args = command;
            args.push_back(c.path);
            const CliResult result = RunCli(args);
            EXPECT_EQ(result.status, 1) << command[0] << " " << c.path;
            EXPECT_EQ(Lines(result.err).at(0), "ambrel-cli: " + c.path + ": " + c.message)
                << command[0];
        }
    }
    struct stat st;
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO is still a FIFO";
}

}  // namespace
}  // namespace ambrel::test
