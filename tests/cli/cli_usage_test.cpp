// ambrel-cli's command line: help, and what a usage error gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"

namespace ambrel::test {
namespace {

// The characters of a UTF-8 line: its bytes but the continuation bytes.
std::size_t Characters(const std::string& line) {
    std::size_t n = 0;
    for (const char c : line) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

TEST(CliUsageTest, EveryCommandHasItsHelp) {
    const CliResult program = RunCli({"--help"});
    EXPECT_EQ(program.status, 0);
    EXPECT_TRUE(StartsWith(program.out, "usage: ambrel-cli COMMAND")) << program.out;
    for (const std::string& line : Lines(program.out)) EXPECT_LE(Characters(line), 80u) << line;
    for (const char* command : {"list", "set", "remove", "rename", "fromname", "from-v2"}) {
        EXPECT_NE(program.out.find(std::string("\n  ") + command + " "), std::string::npos)
            << command;
        // The help wins over everything else on the line, errors included.
        const CliResult help = RunCli({command, "--no-such-option", "-h"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_TRUE(StartsWith(help.out, std::string("usage: ambrel-cli ") + command + " "))
            << help.out;
        EXPECT_NE(help.out.find("\nOptions:\n"), std::string::npos) << command;
        for (const std::string& line : Lines(help.out))
            EXPECT_LE(Characters(line), 80u) << command << ": " << line;
    }
}

TEST(CliUsageTest, ABadCommandLineGivesStatusTwoAndTheUsageLine) {
    TempDir dir;
    const std::string song = WriteMp3(dir / "song.mp3", 300, MakeBlock(Titled("Title")));
    const std::vector<uint8_t> before = ReadBytes(song);
    struct Case {
        std::vector<std::string> args;
        const char* message;
        const char* usage;
    } cases[] = {
        {{}, "no command given", "usage: ambrel-cli COMMAND"},
        {{"play", song}, "unknown command 'play'", "usage: ambrel-cli COMMAND"},
        {{"list"}, "no path given", "usage: ambrel-cli list"},
        {{"list", "--mode", "some", song},
         "invalid value 'some' for --mode",
         "usage: ambrel-cli list"},
        {{"list", "--format"}, "option '--format' needs a value", "usage: ambrel-cli list"},
        {{"list", "-r=yes", song}, "unknown option '-r=yes'", "usage: ambrel-cli list"},
        {{"list", "--recurse=yes", song},
         "option '--recurse' takes no value",
         "usage: ambrel-cli list"},
        {{"set", song}, "nothing to set", "usage: ambrel-cli set"},
        {{"set", "--track", "255", song},
         "invalid value '255' for --track",
         "usage: ambrel-cli set"},
        {{"set", "--track", "7x", song}, "invalid value '7x' for --track", "usage: ambrel-cli set"},
        {{"set", "--genre", "Polka Rock", song},
         "unknown genre 'Polka Rock'",
         "usage: ambrel-cli set"},
        {{"set", "--title", "T"}, "no file given", "usage: ambrel-cli set"},
        {{"remove", "--force", song}, "unknown option '--force'", "usage: ambrel-cli remove"},
        {{"rename", song}, "option '--mask' is required", "usage: ambrel-cli rename"},
        {{"rename", "--mask", ":a", "--in-word", "ab", song},
         "invalid value 'ab' for --in-word",
         "usage: ambrel-cli rename"},
        {{"rename", "--mask", ":a", "--case", "title", song},
         "invalid value 'title' for --case",
         "usage: ambrel-cli rename"},
        {{"rename", "--mask", std::string(256, 'x'), song},
         "the mask is longer than 255",
         "usage: ambrel-cli rename"},
        {{"fromname", "--mask", ":a", "--dry-run"}, "no file given", "usage: ambrel-cli fromname"},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(result.status, 2) << shown << ": " << result.err;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_TRUE(StartsWith(result.err, std::string("ambrel-cli: ") + c.message)) << result.err;
        EXPECT_NE(result.err.find(std::string("\n") + c.usage), std::string::npos) << result.err;
    }
    EXPECT_EQ(ReadBytes(song), before) << "no command that was refused wrote anything";
}

TEST(CliUsageTest, OptionsMayFollowTheFilesAndADoubleDashEndsThem) {
    TempDir dir;
    const std::string song = WriteMp3(dir / "-r.mp3", 300, MakeBlock(Titled("Title")));
    const CliResult result = RunCli({"list", "--", "-r.mp3"}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Lines(result.out).size(), 2u);
    const CliResult after = RunCli({"list", "-r.mp3", "--format", "csv"}, dir.path());
    EXPECT_EQ(after.status, 2) << "-r.mp3 is no option";
    const CliResult later = RunCli({"list", ".", "--format", "csv"}, dir.path());
    EXPECT_EQ(later.status, 0) << later.err;
    EXPECT_EQ(Lines(later.out)[0].substr(0, 10), "Directory,");
}

}  // namespace
}  // namespace ambrel::test
