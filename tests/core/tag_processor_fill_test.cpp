#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "actions/tag_processor.h"
#include "tag_processor_fixture.h"

namespace ambrel::test {
namespace {

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
