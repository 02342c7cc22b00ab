// ambrel-cli rename and fromname: the action panel's engines on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kAudio = 700;
const std::string kArrow = " → ";

class RenameTest : public ::testing::Test {
protected:
    std::string Song(const std::string& name, const std::string& artist, const std::string& title,
                     int track) {
        TagFields fields;
        fields.artist = artist;
        fields.title = title;
        fields.track = track;
        return WriteMp3(dir / name, kAudio, MakeBlock(fields));
    }
    // The names in the folder and their bytes.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> Contents() const {
        std::vector<std::pair<std::string, std::vector<uint8_t>>> contents;
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.insert(entry.path().filename().string());
        for (const std::string& name : names) contents.emplace_back(name, ReadBytes(dir / name));
        return contents;
    }
    TempDir dir;
};

TEST_F(RenameTest, RenamesFromTheTagsWithThePanelsOptions) {
    const std::string a = Song("a.mp3", "AC/DC", "Back in black", 7);
    const std::string b = Song("b.mp3", "Queen", "Innuendo", 12);
    const std::vector<uint8_t> a_bytes = ReadBytes(a);
    const CliResult result = RunCli({"rename", "--mask", ":t :a - :s", "--track-digits", "3",
                                     "--case", "upper", "--in-word", "_", a, b});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string a_new = dir / "007 AC_DC - BACK IN BLACK.mp3";
    const std::string b_new = dir / "012 QUEEN - INNUENDO.mp3";
    EXPECT_EQ(Lines(result.out),
              (std::vector<std::string>{a + kArrow + a_new, b + kArrow + b_new}));
    EXPECT_EQ(ReadBytes(a_new), a_bytes);
    EXPECT_FALSE(fs::exists(a));

    // The panel's defaults: two track digits, a space for punctuation, the case as it is;
    // an empty mask changes only the letter case of the names.
    const CliResult defaults = RunCli({"rename", "--mask", ":t - :s", a_new});
    EXPECT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_TRUE(fs::exists(dir / "07 - Back in black.mp3")) << defaults.out;
    const CliResult case_only = RunCli({"rename", "--mask", "", "--case", "words", b_new});
    EXPECT_EQ(case_only.status, 0) << case_only.err;
    EXPECT_TRUE(fs::exists(dir / "012 Queen - Innuendo.mp3")) << case_only.out;
}

TEST_F(RenameTest, ADryRunPrintsTheRenamesAndChangesNothing) {
    const std::string a = Song("a.mp3", "Queen", "Innuendo", 1);
    const std::string b = Song("b.mp3", "Queen", "Mustapha", 2);
    const std::string c = Song("Queen - Mustapha.mp3", "Queen", "Mustapha", 2);  // has it already
    const auto before = Contents();
    const CliResult result = RunCli({"rename", "--dry-run", "--mask", ":a - :s", a, b, c});
    EXPECT_EQ(result.status, 1) << "b would collide with c";
    EXPECT_EQ(Lines(result.out),
              (std::vector<std::string>{a + kArrow + (dir / "Queen - Innuendo.mp3")}));
    EXPECT_EQ(result.err,
              "ambrel-cli: " + b +
                  ": not renamed to \"Queen - Mustapha.mp3\": The destination file already "
                  "exists and was not overwritten.\n");
    EXPECT_EQ(Contents(), before);
}

TEST_F(RenameTest, ADryRunKnowsTheNamesItsEarlierFilesTakeAndFree) {
    const std::string a = Song("a.mp3", "Same", "Name", 1);
    const std::string b = Song("b.mp3", "Same", "Name", 1);
    const std::string c = Song("c.mp3", "a", "", 1);  // takes the name a gives up
    const auto before = Contents();
    const CliResult result = RunCli({"rename", "--dry-run", "--mask", ":a:s", a, b, c});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(Lines(result.out),
              (std::vector<std::string>{a + kArrow + (dir / "SameName.mp3"), c + kArrow + a}));
    EXPECT_NE(result.err.find(b + ": not renamed to \"SameName.mp3\""), std::string::npos);
    EXPECT_EQ(Contents(), before);

    // The real run does what the dry run told.
    const CliResult real = RunCli({"rename", "--mask", ":a:s", a, b, c});
    EXPECT_EQ(real.status, 1);
    EXPECT_EQ(real.out, result.out);
    EXPECT_EQ(real.err, result.err);
}

TEST_F(RenameTest, ACollisionIsRefusedAndBothFilesStay) {
    const std::string a = Song("a.mp3", "Queen", "Innuendo", 1);
    const std::string taken = WriteMp3(dir / "Queen - Innuendo.mp3", 300, std::nullopt);
    const auto before = Contents();
    const CliResult result = RunCli({"rename", "--mask", ":a - :s", a});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "ambrel-cli: " + a +
                              ": not renamed to \"Queen - Innuendo.mp3\": The destination file "
                              "already exists and was not overwritten.\n");
    EXPECT_EQ(Contents(), before);
}

TEST_F(RenameTest, FilesItCannotRenameAreNamedWithTheReason) {
    const std::string blank = Song("blank.mp3", "", "", 1);
    const std::string bare = WriteMp3(dir / "bare.mp3", kAudio, std::nullopt);
    const CliResult result = RunCli({"rename", "--mask", ":a", blank, bare, dir / "gone.mp3"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        Lines(result.err),
        (std::vector<std::string>{
            "ambrel-cli: " + blank +
                ": not renamed to \".mp3\": the name is not allowed: it is empty",
            "ambrel-cli: " + bare + ": The file has no ID3v1 tag.",
            "ambrel-cli: " + (dir / "gone.mp3") + ": The source file does not exist any more."}));
    EXPECT_TRUE(fs::exists(blank));
}

TEST_F(RenameTest, FromNameFillsTheTagsAndWritesOnlyWhatChanged) {
    const std::string tagged = Song("07 - Queen - Innuendo.mp3", "Old", "", 1);
    const std::string bare = WriteMp3(dir / "Queen_-_Show_must_go_on.mp3", kAudio, std::nullopt);
    const auto before = Contents();

    const CliResult dry = RunCli({"fromname", "--dry-run", "--mask", ":t - :a - :s", tagged});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, tagged + ": artist \"Old\"" + kArrow + "\"Queen\"; title \"\"" + kArrow +
                           "\"Innuendo\"; track \"1\"" + kArrow + "\"7\"\n");
    EXPECT_EQ(Contents(), before);

    const CliResult real = RunCli({"fromname", "--mask", ":t - :a - :s", tagged});
    EXPECT_EQ(real.out, dry.out);
    const CliResult listed = RunCli({"list", tagged});
    EXPECT_NE(listed.out.find("\t7\tQueen\tInnuendo\t"), std::string::npos) << listed.out;

    // A file without a tag gets one; "_" and "-" inside a piece become spaces.
    const CliResult added = RunCli({"fromname", "--mask", ":a-:s", bare});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, bare + ": new tag; artist \"\"" + kArrow + "\"Queen \"; title \"\"" +
                             kArrow + "\" Show must go on\"\n");
    EXPECT_EQ(FileSize(bare), static_cast<long long>(kAudio + 128));

    // Run again, nothing changes: nothing is printed and nothing written.
    const std::vector<uint8_t> tag = ReadBytes(tagged);
    const auto stamp = fs::last_write_time(tagged);
    const CliResult again = RunCli({"fromname", "--mask", ":t - :a - :s", tagged});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(fs::last_write_time(tagged), stamp);
    EXPECT_EQ(ReadBytes(tagged), tag);
}

}  // namespace
}  // namespace ambrel::test
