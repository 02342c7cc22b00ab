#include "actions/tag_processor.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/templates.h"
#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

TagFields Song(std::string artist, std::string title, std::string album = "", int track = 0,
               std::string year = "") {
    TagFields f;
    f.artist = std::move(artist);
    f.title = std::move(title);
    f.album = std::move(album);
    f.track = track;
    f.year = std::move(year);
    return f;
}

// The names in a directory, sorted; a file moved into a subdirectory would show there too.
std::vector<std::string> Listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        names.push_back(fs::relative(e.path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The options a page's run stores: the template item (5 takes the user mask), the
// separator boxes, the letter case and the track digit count (0: none set).
struct RunOptions {
    int item;
    std::string user_mask;
    SeparatorChoice choice;
    int case_mode = 0;
    int digits = 2;

    RunOptions Case(int mode) const { return With(&RunOptions::case_mode, mode); }
    RunOptions Digits(int n) const { return With(&RunOptions::digits, n); }
    RunOptions Separators(SeparatorChoice c) const { return With(&RunOptions::choice, c); }

    void StoreIn(TTagProcessor& processor) const {
        processor.SetInWordSeparator(choice.InWordChar());
        processor.SetCaseMode(case_mode);
        processor.SetMask(BuildMask(item, choice.WordSeparator(), user_mask));
        if (digits > 0) processor.SetTrackDigits(digits);
    }

private:
    template <typename T>
    RunOptions With(T RunOptions::*field, T value) const {
        RunOptions copy = *this;
        copy.*field = value;
        return copy;
    }
};

RunOptions Template(int item) { return {item, "", SeparatorChoice{}}; }
RunOptions UserMask(std::string mask) {
    return {kTemplateUserMask, std::move(mask), SeparatorChoice{}};
}

// A directory, a tag list and a processor of their own, for one case of a table.
struct World {
    TempDir dir;
    TTagList list;
    FakePrompter prompter;
    TTagProcessor processor{&list, &prompter};
};

class TagProcessorTest : public ::testing::Test {
protected:
    // Writes a file into the directory, adds it to the list and returns its list index.
    int AddFile(const std::string& name, const std::optional<TagFields>& tag,
                std::size_t audio = 400) {
        const std::optional<Block> block =
            tag ? std::optional<Block>(MakeBlock(*tag)) : std::nullopt;
        list.Add(WriteMp3(dir / name, audio, block));
        return list.Count() - 1;
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& s : prompter.shown) {
            if (s.kind == FakePrompter::Shown::kMessage) texts.push_back(s.text);
        }
        return texts;
    }

    TempDir dir;
    TTagList list;
    FakePrompter prompter;
    TTagProcessor processor{&list, &prompter};
};

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

// ---- Tag fields from file names ----

// The fields a fill leaves; the tag held artist "a", title "t", album "b", year "y" and
// track 5.
struct Fields {
    std::string artist, title, album, year;
    int track;
    bool operator==(const Fields& o) const {
        return artist == o.artist && title == o.title && album == o.album && year == o.year &&
               track == o.track;
    }
};

std::ostream& operator<<(std::ostream& out, const Fields& f) {
    return out << '"' << f.artist << "\" \"" << f.title << "\" \"" << f.album << "\" \"" << f.year
               << "\" " << f.track;
}

struct FillCase {
    const char* name;  // the file name without extension
    RunOptions options;
    Fields after;
    const char* boxes;  // the texts of the message boxes, joined by '|'
};

TEST(TagProcessorFillTest, FillsTheFieldsFromTheNameAlongTheMask) {
    const SeparatorChoice unspaced{0, 1, false, 0};
    const SeparatorChoice dash_in_word{1, 1, true, 0};
    const FillCase cases[] = {
        {"Queen - Show must go on", Template(0), Fields{"Queen", "Show must go on", "b", "y", 5},
         "Queen|Show must go on"},
        {"07 - Queen - Innuendo", Template(1), Fields{"Queen", "Innuendo", "b", "y", 7},
         "07|Queen|Innuendo"},
        {"Innuendo - Queen - Show", Template(2), Fields{"Queen", "Show", "Innuendo", "y", 5},
         "Innuendo|Queen|Show"},
        // Values are not trimmed: the spaces were underscores.
        {"Queen_-_Show_must_go_on", Template(0).Separators(unspaced),
         Fields{"Queen ", " Show must go on", "b", "y", 5}, "Queen | Show must go on"},
        {"Queen - Show - Live", Template(0), Fields{"Queen", "Show   Live", "b", "y", 5},
         "Queen|Show   Live"},
        {"Queen", Template(0), Fields{"", "Queen", "b", "y", 5}, "|Queen"},
        {"03 - Queen - Innuendo", UserMask(":x - :a - :s"),
         Fields{"Queen", "Innuendo", "b", "y", 5}, "03|Queen|Innuendo"},
        {"300 - Song", Template(4), Fields{"a", "Song", "b", "y", 5}, "300|Song"},
        {"abc - Song", Template(4), Fields{"a", "Song", "b", "y", 0}, "abc|Song"},
        {"1991 - Innuendo", UserMask(":y - :s"), Fields{"a", "Innuendo", "b", "1991", 5},
         "1991|Innuendo"},
        {"Show-must-go-on", UserMask(":s").Separators(dash_in_word),
         Fields{"a", "Show-must-go-on", "b", "y", 5}, "Show-must-go-on"},
        {"07 - QUEEN - innuendo", Template(1).Case(3), Fields{"Queen", "Innuendo", "B", "y", 7},
         "07|QUEEN|innuendo"},
        {"QueenSong", UserMask(":a:s"), Fields{"", "QueenSong", "b", "y", 5}, "|QueenSong"},
        {"Björk - Jóga", Template(0), Fields{"Björk", "Jóga", "b", "y", 5}, "Björk|Jóga"},
        {"Дом - Song", Template(0), Fields{"???", "Song", "b", "y", 5}, "Дом|Song"},
        // A literal that differs inside a character leaves the whole character to the name.
        {"èx", UserMask("é:s"), Fields{"a", "èx", "b", "y", 5}, "èx"},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTagList list;
        FakePrompter prompter;
        TTagProcessor processor(&list, &prompter);
        TagFields old = Song("a", "t", "b", 5, "y");
        list.AddRead(std::string("/music/") + c.name + ".mp3", MakeBlock(old));
        list.Get(0)->SetModified(false);
        c.options.StoreIn(processor);

        ASSERT_EQ(processor.BeginRun(), 1);
        EXPECT_EQ(processor.TagFromName(0), 1);
        processor.EndRun();
        const TTagFile& entry = *list.Get(0);
        EXPECT_EQ((Fields{entry.GetArtist(), entry.GetTitle(), entry.GetAlbum(), entry.GetYear(),
                          entry.GetTrack()}),
                  c.after);
        EXPECT_TRUE(entry.IsModified());
        std::string boxes;
        for (std::size_t i = 0; i < prompter.shown.size(); ++i) {
            boxes += (i == 0 ? "" : "|") + prompter.shown[i].text;
        }
        EXPECT_EQ(boxes, c.boxes);
    }
}

TEST_F(TagProcessorTest, NameTextReachesTheBlockAsLatin1) {
    list.AddRead("/music/Björk - Jóga.mp3", MakeBlock(Song("", "")));
    Template(0).StoreIn(processor);
    processor.TagFromName(0);
    const TagBlock& block = list.Get(0)->Block();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()) + 33, 6),
              std::string("Bj\xF6rk\0", 6));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()) + 3, 5),
              std::string("J\xF3ga\0", 5));
}

TEST_F(TagProcessorTest, UntaggedFileGetsATagThatTheSaveAppends) {
    const int index = AddFile("07 - Queen - Innuendo.mp3", std::nullopt, 1000);
    Template(1).StoreIn(processor);
    EXPECT_EQ(processor.TagFromName(index), 1);
    EXPECT_EQ(list.Get(index)->GetState(), tsAppend);
    EXPECT_EQ(FileSize(dir / "07 - Queen - Innuendo.mp3"), 1000);  // nothing written yet

    EXPECT_EQ(list.SaveModified().sum, 1);
    TTagFile reread(dir / "07 - Queen - Innuendo.mp3");
    ASSERT_EQ(reread.Load(), 1);
    EXPECT_EQ(FileSize(reread.GetPath()), 1128);
    EXPECT_EQ(reread.GetArtist(), "Queen");
    EXPECT_EQ(reread.GetTitle(), "Innuendo");
    EXPECT_EQ(reread.GetTrack(), 7);
}

TEST_F(TagProcessorTest, LetterCaseOnlyVariantChangesTitleArtistAlbumWithoutModified) {
    list.AddRead("/music/x.mp3", MakeBlock(Song("QUEEN", "SHOW MUST GO ON", "INNUENDO")));
    list.AddRead("/music/untagged.mp3", std::nullopt);
    list.Get(0)->SetModified(false);
    processor.SetCaseMode(3);
    processor.SetMask(BuildMask(kTemplateCaseOnly, " - ", ""));
    processor.BeginRun();
    EXPECT_EQ(processor.TagFromName(0), 1);
    EXPECT_EQ(processor.TagFromName(1), 0);
    EXPECT_EQ(processor.TagFromName(2), 0);
    EXPECT_EQ(list.Get(0)->GetTitle(), "Show Must Go On");
    EXPECT_EQ(list.Get(0)->GetArtist(), "Queen");
    EXPECT_EQ(list.Get(0)->GetAlbum(), "Innuendo");
    EXPECT_FALSE(list.Get(0)->IsModified());
    EXPECT_EQ(list.Get(1)->GetState(), tsNone);
    EXPECT_TRUE(prompter.shown.empty());
    TTagProcessor without_list(nullptr, &prompter);
    without_list.SetMask(":a");
    EXPECT_EQ(without_list.TagFromName(0), 0);
}

// ---- Message boxes of a run ----

TEST_F(TagProcessorTest, TickedCheckBoxStopsTheMessageBoxesForTheRestOfTheRun) {
    for (int i = 1; i <= 3; ++i) {
        list.AddRead("/music/0" + std::to_string(i) + " - Queen - Song.mp3",
                     MakeBlock(Song("", "")));
    }
    Template(1).StoreIn(processor);
    prompter.check_box_ticks = {false, true};
    processor.BeginRun();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(processor.TagFromName(i), 1);
    processor.EndRun();
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"01", "Queen"}));
    // The boxes stopped, the work did not.
    EXPECT_EQ(list.Get(2)->GetTrack(), 3);
    EXPECT_EQ(list.Get(2)->GetTitle(), "Song");

    // The next run shows them again.
    prompter.shown.clear();
    processor.BeginRun();
    processor.TagFromName(0);
    EXPECT_EQ(MessageTexts().size(), 3u);
}

TEST_F(TagProcessorTest, TickedCheckBoxStopsTheLetterCaseRenameMessages) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddFile(name, Song("x", "y"));
    processor.SetCaseMode(1);
    processor.SetMask(std::nullopt);
    prompter.check_box_ticks = {true};
    processor.BeginRun();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(processor.RenameFromTag(i), 1);
    processor.EndRun();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"A.mp3"});
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"A.mp3", "B.mp3", "C.mp3"}));
}

}  // namespace
}  // namespace ambrel::test
