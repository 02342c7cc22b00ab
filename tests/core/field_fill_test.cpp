#include "actions/field_fill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/conversion.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

class FieldFillTest : public ::testing::Test {
protected:
    // An entry read from a block in memory (no file): tagged with these fields, or untagged.
    TTagFile* Entry(const std::string& path, bool tagged = true) {
        TagFields f;
        f.artist = "Old Artist";
        f.title = "Old Title";
        f.album = "Old Album";
        f.comment = "old";
        f.year = "1980";
        f.track = 9;
        f.genre = 17;
        list.AddRead(path, tagged ? std::optional<TagBlock>(MakeBlock(f)) : std::nullopt);
        TTagFile* entry = list.Get(list.Count() - 1);
        entry->SetModified(false);
        return entry;
    }

    TTagList list;
};

TEST_F(FieldFillTest, WritesOnlyTheFilledFieldsIntoTaggedEntries) {
    TTagFile* first = Entry("/m/a.mp3");
    TTagFile* untagged = Entry("/m/b.mp3", false);
    TTagFile* last = Entry("/m/c.mp3");
    FieldFill fill;
    fill.album = "Innuendo";
    fill.comment = std::string(40, 'c');
    fill.track = "0";
    fill.genre = 79;
    for (TTagFile* entry : {first, untagged, last}) WriteFieldsToTag(*entry, fill);

    for (TTagFile* entry : {first, last}) {
        EXPECT_EQ(entry->GetArtist(), "Old Artist");
        EXPECT_EQ(entry->GetTitle(), "Old Title");
        EXPECT_EQ(entry->GetAlbum(), "Innuendo");
        EXPECT_EQ(entry->GetComment(), std::string(29, 'c'));
        EXPECT_EQ(entry->GetTrack(), 0);
        EXPECT_EQ(entry->GetGenre(), 79);
        EXPECT_EQ(entry->GetYear(), "1980");
        EXPECT_TRUE(entry->IsModified());
    }
    EXPECT_EQ(untagged->GetState(), tsNone);  // this command gives no file a tag
    EXPECT_FALSE(untagged->IsModified());
}

TEST_F(FieldFillTest, OutOfRangeTrackAndGenreKeepTheOldValues) {
    TTagFile* entry = Entry("/m/a.mp3");
    for (int genre : {-1, -2, 255}) {
        FieldFill fill;
        fill.genre = genre;
        fill.track = std::to_string(genre == -2 ? 255 : genre);
        WriteFieldsToTag(*entry, fill);
        EXPECT_EQ(entry->GetGenre(), 17) << genre;
        EXPECT_EQ(entry->GetTrack(), 9) << genre;
    }
}

TEST_F(FieldFillTest, TrackThatIsNoNumberStopsAfterArtistTitleAndAlbum) {
    TTagFile* entry = Entry("/m/a.mp3");
    FieldFill fill;
    fill.artist = "Queen";
    fill.title = "One";
    fill.album = "Two";
    fill.track = "abc";
    fill.comment = "new";
    fill.year = "1991";
    EXPECT_THROW(WriteFieldsToTag(*entry, fill), ConversionError);
    EXPECT_EQ(entry->GetArtist(), "Queen");
    EXPECT_EQ(entry->GetAlbum(), "Two");
    EXPECT_EQ(entry->GetTrack(), 9);
    EXPECT_EQ(entry->GetComment(), "old");
    EXPECT_EQ(entry->GetYear(), "1980");

    // A counted track number takes the Track text's place, so the text is not converted.
    WriteFieldsToTag(*entry, fill, 4);
    EXPECT_EQ(entry->GetTrack(), 4);
    EXPECT_EQ(entry->GetYear(), "1991");
}

TEST_F(FieldFillTest, TracksCountFromOneInEachDirectoryInDisplayOrder) {
    // Two directories share the last component "cd1": they are counted apart.
    const std::vector<const TTagBase*> entries = {Entry("/m/a/cd1/x.mp3"),
                                                  Entry("/m/b/cd1/y.mp3"),
                                                  Entry("/m/a/cd1/z.mp3"),
                                                  Entry("/m/a/cd1/untagged.mp3", false),
                                                  nullptr,
                                                  Entry("/m/a/cd1/w.mp3"),
                                                  Entry("/m/a/cd2/v.mp3")};
    EXPECT_EQ(TrackNumbersByDirectory(entries),
              (std::vector<std::optional<int>>{1, 1, 2, std::nullopt, std::nullopt, 3, 1}));
}

}  // namespace
}  // namespace ambrel::test
