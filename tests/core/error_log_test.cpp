#include "errors/error_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

using Shown = FakePrompter::Shown;

TEST(ErrorLogTest, WithoutAFileEveryCodeIsUnknown) {
    TempDir dir;
    fs::create_directory(dir / "error.cfg");
    ASSERT_EQ(::mkfifo((dir / "fifo.cfg").c_str(), 0644), 0);  // must not block the read
    for (const std::optional<std::string>& path :
         {std::optional<std::string>(), std::optional<std::string>(dir / "missing.cfg"),
          std::optional<std::string>(dir / "error.cfg"),
          std::optional<std::string>(dir / "fifo.cfg"), std::optional<std::string>("")}) {
        FakePrompter prompter;
        TErrorLog log(path, &prompter);
        ASSERT_EQ(log.Messages().size(), 100u);
        EXPECT_EQ(log.Messages()[0], "Error occuried in last operation");
        EXPECT_EQ(log.Messages()[1], "No error occuried");
        EXPECT_EQ(log.Messages()[99], "Unknown error (error file not present)");

        EXPECT_EQ(log.TakeMessage(54), "[54] Unknown error occuried");
        EXPECT_EQ(log.CurrentMessage(), std::nullopt);  // handed over, not kept
        log.Report(54);
        log.Report(1);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].kind, Shown::kWarning);
        EXPECT_EQ(prompter.shown[0].caption, "Error occuried");
        EXPECT_EQ(prompter.shown[0].text, "Unknown error occuried");
    }
}

TEST(ErrorLogTest, LooksUpTheFirstLineHoldingTheCode) {
    TempDir dir;
    const std::string path = WriteText(dir / "error.cfg",
                                       "E010 Bad argument\r\n"
                                       "E050 Gone, see also 054\r\n"  // the text counts too
                                       "E054 Cannot delete\r\n"
                                       "E0-1 Minus one\r\n"
                                       "abc\r\n"
                                       "E060 Last line without an end");
    FakePrompter prompter;
    TErrorLog log(path, &prompter);
    ASSERT_EQ(log.Messages().size(), 6u);
    struct Case {
        int code;
        const char* line;
    } cases[] = {
        {10, "E010 Bad argument"},
        {54, "E050 Gone, see also 054"},
        {60, "E060 Last line without an end"},
        {-1, "E0-1 Minus one"},
        {-2, "[-2] Unknown error occuried"},
        {70, "[70] Unknown error occuried"},
        {1000, "[1000] Unknown error occuried"},
    };
    for (const Case& c : cases) {
        log.Lookup(c.code);
        EXPECT_EQ(log.CurrentMessage(), c.line) << c.code;
        EXPECT_EQ(log.TakeMessage(c.code), c.line) << c.code;
    }

    log.Report(10);
    log.Report(-2);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "Bad argument");
    EXPECT_EQ(prompter.shown[1].text, "Unknown error occuried");
}

TEST(ErrorLogTest, ALatin1MessageFileShowsItsTextsAsUtf8) {
    TempDir dir;
    const std::string path = WriteText(dir / "error.cfg", "E054 Fichier non supprim\xE9\n");
    FakePrompter prompter;
    TErrorLog log(path, &prompter);
    EXPECT_EQ(log.TakeMessage(54), "E054 Fichier non supprim\xC3\xA9");
    log.Report(54);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Fichier non supprim\xC3\xA9");
}

TEST(ErrorLogTest, LongLinesAreCutTo1024BytesOfWholeCharacters) {
    TempDir dir;
    // 1,023 bytes, then a UTF-8 é across the cut, then a megabyte more.
    const std::string text = std::string(1018, 'x') + "\xC3\xA9" + std::string(1 << 20, 'y');
    FakePrompter prompter;
    TErrorLog log(WriteText(dir / "error.cfg", "E054 " + text + "\nE055 Next\n"), &prompter);
    ASSERT_EQ(log.Messages().size(), 2u);
    EXPECT_EQ(log.TakeMessage(54), "E054 " + std::string(1018, 'x'));
    EXPECT_EQ(log.TakeMessage(55), "E055 Next");
    log.Report(54);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, std::string(1018, 'x'));
}

TEST(ErrorLogTest, AShortLineShowsAsAnEmptyText) {
    TempDir dir;
    FakePrompter prompter;
    TErrorLog log(WriteText(dir / "error.cfg", "054\nE055 \n"), &prompter);
    log.Report(54);
    log.Report(55);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "");
    EXPECT_EQ(prompter.shown[1].text, "");
    TErrorLog silent(std::nullopt);
    silent.Report(54);  // no prompter: nothing to show, nothing breaks
}

// The shipped message file answers every result code with its own line.
TEST(ErrorLogTest, ShippedFileHasALineForEveryCode) {
    const fs::path path = fs::path(__FILE__).parent_path() / "../../Data/error.cfg";
    ASSERT_TRUE(fs::exists(path)) << path;
    TErrorLog log(path.string());
    const char* keys[] = {"000", "010", "050", "051", "052", "053", "054", "055", "056", "057",
                          "058", "059", "060", "061", "065", "070", "080", "081", "082", "083"};
    for (const char* key : keys) {
        const std::string line = log.TakeMessage(std::stoi(key));
        ASSERT_GT(line.size(), 5u) << key;
        // Found by its own prefix, not by another line's text that happens to hold the key.
        EXPECT_NE(line.substr(0, 5).find(key), std::string::npos) << key << ": " << line;
        EXPECT_EQ(line.find('\r'), std::string::npos);
    }
}

}  // namespace
}  // namespace ambrel::test
