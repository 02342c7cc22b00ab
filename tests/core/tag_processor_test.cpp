#include "actions/tag_processor.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tag_processor_fixture.h"

namespace ambrel::test {
namespace {

TEST_F(TagProcessorTest, StartsWithItsInitialOptionsAndKeepsOnlyValidOnes) {
    EXPECT_EQ(processor.TagList(), &list);
    EXPECT_EQ(processor.SeparatorChars(), ".-_");
    EXPECT_EQ(processor.InWordSeparator(), '\0');
    EXPECT_EQ(processor.TrackDigits(), 0);
    EXPECT_FALSE(processor.Mask());

    EXPECT_EQ(processor.SetCaseMode(3), 1);
    EXPECT_EQ(processor.SetCaseMode(4), 0);
    EXPECT_EQ(processor.SetCaseMode(-1), 0);
    EXPECT_EQ(processor.CaseMode(), 3);
    EXPECT_EQ(processor.SetTrackDigits(3), 1);
    EXPECT_EQ(processor.SetTrackDigits(0), 0);
    EXPECT_EQ(processor.TrackDigits(), 3);
    EXPECT_EQ(processor.SetMask(":a"), 1);
    EXPECT_EQ(processor.SetMask(std::nullopt), 0);
    EXPECT_FALSE(processor.Mask());
}

TEST_F(TagProcessorTest, TokenizeMaskCutsFieldCodesFromLiteralRuns) {
    const struct {
        const char* mask;
        std::vector<std::string> tokens;
    } cases[] = {
        {":t - :a - :s", {":t", " - ", ":a", " - ", ":s"}},
        {"abc", {"abc"}},
        {"a:", {"a", ":"}},    // a colon at the end is a code with no character
        {"::a", {"::", "a"}},  // a second colon is the code of the first
        {":é-", {":é", "-"}},  // the character after the colon is taken whole
        {":a:s", {":a", ":s"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        processor.SetMask(c.mask);
        EXPECT_EQ(processor.TokenizeMask(), 1);
        EXPECT_EQ(processor.MaskTokens(), c.tokens) << c.mask;
    }
    processor.SetMask(std::nullopt);
    EXPECT_EQ(processor.TokenizeMask(), 0);
    EXPECT_TRUE(processor.MaskTokens().empty());
}

// ---- File names from tags ----

struct RenameCase {
    const char* what;
    TagFields tag;
    RunOptions options;
    const char* expected;
};

TEST(TagProcessorRenameTest, BuildsTheNewNameFromTheTag) {
    const RenameCase cases[] = {
        {"punctuation in a value becomes the in-word character", Song("AC/DC", "Back In Black"),
         Template(0), "AC DC - Back In Black.mp3"},
        {"track padded to the digit count", Song("Queen", "Show must go on", "", 7),
         Template(1).Digits(3), "007 - Queen - Show must go on.mp3"},
        {"a longer track is never shortened", Song("Queen", "Innuendo", "", 120), Template(1),
         "120 - Queen - Innuendo.mp3"},
        {"no padding before a digit count is set", Song("Queen", "Innuendo", "", 7),
         Template(4).Digits(0), "7 - Innuendo.mp3"},
        {"an empty album adds nothing, its separator stays", Song("Queen", "Show must go on"),
         Template(3), " - Show must go on.mp3"},
        {"a value of spaces adds nothing", Song("   ", "Innuendo"), Template(0), " - Innuendo.mp3"},
        {"the apostrophe goes before the letter case", Song("queen", "don't stop"),
         Template(0).Case(3), "Queen - Don T Stop.mp3"},
        {"letter case reaches the mask's literal text", Song("Queen", "Show must go on"),
         UserMask(":a by :s").Case(1), "QUEEN BY SHOW MUST GO ON.mp3"},
        {"an unknown code gives nothing", Song("Queen", "x"), UserMask(":c :a"), " Queen.mp3"},
        {"a colon at the end gives nothing", Song("Queen", "x"), UserMask(":a:"), "Queen.mp3"},
        {"the year code", Song("Queen", "x", "", 0, "1991"), UserMask(":y :a"), "1991 Queen.mp3"},
        {"spaces stay, punctuation takes the in-word character", Song("Guns N' Roses", "Don't Cry"),
         Template(0).Separators(SeparatorChoice{2, 1, true, 3}), "Guns N_ Roses.-.Don_t Cry.mp3"},
        {"Latin-1 tag text gives a UTF-8 name", Song("Bj\xF6rk", "J\xF3ga"), Template(0).Case(1),
         "BJöRK - JóGA.mp3"},
        {"a value of Latin-1 letters only is used", Song("\xC9\xC9", "x"), UserMask(":a"),
         "ÉÉ.mp3"},
    };
    for (const RenameCase& c : cases) {
        SCOPED_TRACE(c.what);
        World w;
        w.list.Add(WriteMp3(w.dir / "old.mp3", 300, MakeBlock(c.tag)));
        c.options.StoreIn(w.processor);

        ASSERT_EQ(w.processor.BeginRun(), 1);
        EXPECT_EQ(w.processor.RenameFromTag(0), 1);
        EXPECT_EQ(w.processor.EndRun(), 0);
        EXPECT_EQ(Listing(w.dir.path()), std::vector<std::string>{c.expected});
        EXPECT_EQ(w.list.Get(0)->GetPath(), w.dir / c.expected);
        EXPECT_TRUE(w.prompter.shown.empty());
    }
}

TEST_F(TagProcessorTest, RenameChangingOnlyTheLetterCaseWorks) {
    AddFile("Queen - One.mp3", Song("queen", "one"));
    Template(0).Case(1).StoreIn(processor);
    EXPECT_EQ(processor.RenameFromTag(0), 1);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"QUEEN - ONE.mp3"});
    EXPECT_TRUE(processor.Skips().empty());
}

TEST_F(TagProcessorTest, UntaggedOrMissingEntriesAreLeftAlone) {
    AddFile("plain.mp3", std::nullopt);
    Template(0).StoreIn(processor);
    EXPECT_EQ(processor.RenameFromTag(0), 0);
    EXPECT_EQ(processor.RenameFromTag(1), 0);
    Template(kTemplateCaseOnly).Case(1).StoreIn(processor);
    EXPECT_EQ(processor.RenameFromTag(0), 0);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"plain.mp3"});
    EXPECT_TRUE(prompter.shown.empty());
    TTagProcessor without_list(nullptr, &prompter);
    EXPECT_EQ(without_list.RenameFromTag(0), 0);
}

TEST(TagProcessorRenameTest, LetterCaseOnlyVariantKeepsTheExtensionAndShowsTheNewName) {
    const struct {
        const char* name;
        int case_mode;
        const char* expected;
    } cases[] = {
        {"don't stop.mp3", 3, "Don'T Stop.mp3"},  // the apostrophe ends a word
        {"élan.mp3", 3, "éLan.mp3"},              // so do the bytes of a UTF-8 letter
        {"Björk - Jóga.mp3", 1, "BJöRK - JóGA.mp3"},
        {"My Song.mp3", 1, "MY SONG.mp3"},
        {"abc.mp3x", 1, "ABC.mp3x"},  // the extension stays as it is on disk
        {"My Song.mp3", 0, "My Song.mp3"},
    };
    // Item 6, no mask and an empty user mask all take this variant.
    const std::optional<std::string> masks[] = {std::nullopt, std::string()};
    for (const auto& mask : masks) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            World w;
            w.list.Add(WriteMp3(w.dir / c.name, 300, MakeBlock(Song("Tag Artist", "Tag Title"))));
            w.processor.SetCaseMode(c.case_mode);
            w.processor.SetMask(mask);
            w.processor.BeginRun();
            EXPECT_EQ(w.processor.RenameFromTag(0), 1);
            EXPECT_EQ(w.processor.EndRun(), 0);
            EXPECT_EQ(Listing(w.dir.path()), std::vector<std::string>{c.expected});
            ASSERT_EQ(w.prompter.shown.size(), 1u);
            EXPECT_EQ(w.prompter.shown[0].kind, FakePrompter::Shown::kMessage);
            EXPECT_EQ(w.prompter.shown[0].text, c.expected);
            EXPECT_EQ(w.prompter.shown[0].check_box, "Don't show this again for this run");
        }
    }
}

// ---- Renames that cannot go through ----

TEST_F(TagProcessorTest, RunListsTheFilesThatKeptTheirNamesInOneWarning) {
    AddFile("a.mp3", Song("Queen", "One"), 100);
    AddFile("b.mp3", Song("Queen", "One"), 200);       // the same new name as a.mp3
    AddFile("Queen - Two.mp3", Song("Queen", "Two"));  // already named so
    AddFile("c.mp3", Song("Queen", "Gone"));
    fs::remove(dir / "c.mp3");
    Template(0).StoreIn(processor);

    ASSERT_EQ(processor.BeginRun(), 1);
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(processor.RenameFromTag(i), 1) << i;
    EXPECT_EQ(processor.EndRun(), 2);

    EXPECT_EQ(Listing(dir.path()),
              (std::vector<std::string>{"Queen - One.mp3", "Queen - Two.mp3", "b.mp3"}));
    EXPECT_EQ(FileSize(dir / "Queen - One.mp3"), 100 + 128);  // never replaced by b.mp3
    EXPECT_EQ(list.Get(1)->GetPath(), dir / "b.mp3");
    ASSERT_EQ(processor.Skips().size(), 2u);
    EXPECT_EQ(processor.Skips()[0].reason, SkipReason::kNameExists);
    EXPECT_EQ(processor.Skips()[1].reason, SkipReason::kFileGone);

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, FakePrompter::Shown::kWarning);
    EXPECT_EQ(prompter.shown[0].caption, "Files not renamed");
    EXPECT_EQ(prompter.shown[0].text, "2 files kept their names:\n" + (dir / "b.mp3") +
                                          " -> \"Queen - One.mp3\": a file of that name exists\n" +
                                          (dir / "c.mp3") +
                                          " -> \"Queen - Gone.mp3\": the file is gone");

    // The next run starts with an empty list and, when all goes well, says nothing.
    fs::remove(dir / "Queen - One.mp3");
    ASSERT_EQ(processor.BeginRun(), 1);
    EXPECT_EQ(processor.RenameFromTag(1), 1);
    EXPECT_EQ(processor.EndRun(), 0);
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(TagProcessorTest, NamesThatAreNotPlainFileNamesAreRefused) {
    const std::string thirty(30, 'x');
    const struct {
        const char* what;
        TagFields tag;
        std::string mask;
        SkipReason reason;
    } cases[] = {
        {"a '/' of the mask would move the file", Song("Queen", "One"), ":a/:s",
         SkipReason::kNameNotAllowed},
        {"nothing before the extension", Song("Queen", "One"), ":b", SkipReason::kNameEmpty},
        {"longer than 255 bytes", Song(thirty, "One"), ":a:a:a:a:a:a:a:a:a",
         SkipReason::kNameTooLong},
    };
    fs::create_directory(dir / "Queen");  // where the "/" would have put the file
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTagList songs;
        TTagProcessor run(&songs, &prompter);
        songs.Add(WriteMp3(dir / "song.mp3", 300, MakeBlock(c.tag)));
        run.SetInWordSeparator(' ');
        run.SetMask(c.mask);
        EXPECT_EQ(run.PlanRename(0)->refused, c.reason) << "the plan tells the same refusal";
        run.BeginRun();
        EXPECT_EQ(run.RenameFromTag(0), 1);
        EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"Queen", "song.mp3"}));
        ASSERT_EQ(run.Skips().size(), 1u);
        EXPECT_EQ(run.Skips()[0].reason, c.reason);
        EXPECT_EQ(songs.Get(0)->GetName(), "song");
    }
}

TEST_F(TagProcessorTest, LetterCaseOnlyCollisionKeepsItsMessageAndIsListed) {
    AddFile("a.mp3", Song("x", "y"), 100);
    AddFile("A.mp3", Song("x", "y"), 200);
    processor.SetCaseMode(1);
    processor.SetMask(std::nullopt);
    processor.BeginRun();
    EXPECT_EQ(processor.RenameFromTag(0), 1);
    EXPECT_EQ(processor.EndRun(), 1);
    EXPECT_EQ(FileSize(dir / "A.mp3"), 200 + 128);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"A.mp3"});
    EXPECT_EQ(prompter.Count(FakePrompter::Shown::kWarning), 1);
}

TEST_F(TagProcessorTest, RenameRefusedByTheFileSystemIsListedWithItsError) {
    const std::string inner = dir / "ro";
    AddFile("ro/song.mp3", Song("Queen", "One"));
    if (::mount(inner.c_str(), inner.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "cannot bind-mount here: " << std::strerror(errno);
    }
    const bool read_only =
        ::mount(nullptr, inner.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    if (read_only) {
        Template(0).StoreIn(processor);
        processor.BeginRun();
        EXPECT_EQ(processor.RenameFromTag(0), 1);
        processor.EndRun();
    }
    ::umount2(inner.c_str(), MNT_DETACH);
    if (!read_only) GTEST_SKIP() << "cannot remount read-only here";

    EXPECT_TRUE(fs::exists(dir / "ro/song.mp3"));
    ASSERT_EQ(processor.Skips().size(), 1u);
    EXPECT_EQ(processor.Skips()[0].reason, SkipReason::kRenameFailed);
    EXPECT_EQ(processor.Skips()[0].error, EROFS);
    EXPECT_NE(prompter.shown.at(0).text.find("the rename failed: Read-only file system"),
              std::string::npos);
}

TEST_F(TagProcessorTest, NewNameIsCutInItsRoomBetweenCharacters) {
    // Each ":aé" adds 30 bytes of the artist and 2 of "é": 85 of them are 255 characters of
    // mask and 2720 bytes of name. The room of 1023 bytes ends inside the 32nd "é".
    std::string mask;
    for (int i = 0; i < 85; ++i) mask += ":aé";
    AddFile("song.mp3", Song(std::string(30, 'x'), "One"));
    processor.SetInWordSeparator(' ');
    ASSERT_EQ(processor.SetMask(mask), 1);
    const auto name = processor.NameFromTag(0);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->size(), 1022u + 4u);
    EXPECT_EQ(name->substr(1012), "xxxxxxxxxx.mp3");

    processor.BeginRun();
    processor.RenameFromTag(0);
    ASSERT_EQ(processor.Skips().size(), 1u);
    EXPECT_EQ(processor.Skips()[0].reason, SkipReason::kNameTooLong);
}

TEST_F(TagProcessorTest, MaskOverTwoHundredFiftyFiveCharactersIsRefused) {
    AddFile("my song.mp3", Song("Queen", "One"));
    // 255 characters pass, however many bytes they take.
    EXPECT_EQ(processor.SetMask(std::string(255, 'a')), 1);
    std::string accented;
    for (int i = 0; i < 255; ++i) accented += "é";
    EXPECT_EQ(processor.SetMask(accented), 1);

    processor.SetCaseMode(1);
    EXPECT_EQ(processor.SetMask(std::string(256, 'a')), 10);
    EXPECT_TRUE(processor.MaskRefused());
    EXPECT_EQ(processor.BeginRun(), 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, FakePrompter::Shown::kWarning);
    EXPECT_EQ(prompter.shown[0].text,
              "The user mask is longer than 255 characters. Nothing was changed.");
    // Even when called, the steps do nothing: no fall-back to the letter-case variant.
    EXPECT_EQ(processor.RenameFromTag(0), 0);
    EXPECT_EQ(processor.TagFromName(0), 0);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"my song.mp3"});
    EXPECT_EQ(list.Get(0)->GetArtist(), "Queen");

    EXPECT_EQ(processor.SetMask(":a"), 1);
    EXPECT_FALSE(processor.MaskRefused());
}

TEST_F(TagProcessorTest, ThePlanOfARenameIsTheNameTheRenameGivesAndChangesNothing) {
    AddFile("one.mp3", Song("AC/DC", "Back", "", 7));
    AddFile("two.mp3", std::nullopt);
    const struct {
        RunOptions options;
        std::string name;
    } cases[] = {
        {Template(1).Digits(3), "007 - AC DC - Back.mp3"},
        {Template(kTemplateCaseOnly).Case(1), "ONE.mp3"},
        {Template(0).Case(0), "AC DC - Back.mp3"},
    };
    for (const auto& c : cases) {
        c.options.StoreIn(processor);
        const auto plan = processor.PlanRename(0);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->new_name, c.name);
        EXPECT_FALSE(plan->refused);
        EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"one.mp3", "two.mp3"}));
    }
    EXPECT_TRUE(prompter.shown.empty()) << "a plan shows no message";
    EXPECT_FALSE(processor.PlanRename(1)) << "no tag, no rename";
    EXPECT_FALSE(processor.PlanRename(2));

    processor.RenameFromTag(0);
    EXPECT_EQ(list.Get(0)->GetFileName(), "AC DC - Back.mp3");
    const auto same = processor.PlanRename(0);
    ASSERT_TRUE(same);
    EXPECT_EQ(same->new_name, "AC DC - Back.mp3");
    EXPECT_FALSE(same->refused) << "the name it has already is no refusal";
}

}  // namespace
}  // namespace ambrel::test
