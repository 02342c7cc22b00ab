// Copying a file's ID3v2 values into its ID3v1 tag: what the plan lists, and what applying
// it leaves in the entry's block, on entries in memory.
#include "actions/id3v2_copy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tag/genres.h"
#include "tag/tag_file.h"

namespace ambrel::test {
namespace {

const std::string kLodz =
    "\xC5\x81\xC3\xB3"
    "d\xC5\xBA";                            // Łódź
const std::string kNihon = "\xE6\x97\xA5";  // 日, two bytes in CP932

std::vector<std::string> GenreNames() {
    const auto& names = genres::BuiltInNames();
    return std::vector<std::string>(names.begin(), names.end());
}

// A present tag: title "Old", artist "Band", year "1999", track 5, genre 0 (Blues).
TTagFile PresentEntry() {
    TTagFile file(std::nullopt);
    file.SetState(tsPresent);
    file.SetTitle("Old");
    file.SetArtist("Band");
    file.SetYear("1999");
    file.SetTrack(5);
    file.SetGenre(0);
    file.SetModified(false);
    return file;
}

struct Expected {
    Id3v1Field field;
    std::string new_text;
    bool cut = false;
    bool lossy = false;
};

struct Case {
    const char* name;
    CodePage page;
    Id3v2Values values;
    std::vector<Expected> changes;  // in the plan's order
};

Id3v2Values Title(std::string text) {
    Id3v2Values values;
    values.title = std::move(text);
    return values;
}
Id3v2Values With(std::optional<std::string> Id3v2Values::*frame, std::string text) {
    Id3v2Values values;
    values.*frame = std::move(text);
    return values;
}

const std::string kForty = "Forty characters of a title, far too lon";

std::vector<Case> Cases() {
    using F = Id3v1Field;
    const std::string straddling = std::string(29, 'a') + kNihon + std::string(9, 'b');
    return {
        {"Latin-1 title cut to 30",
         CodePage::kLatin1,
         Title(kForty),
         {{F::kTitle, kForty.substr(0, 30), true}}},
        {"CP932 character over byte 30 left out",
         CodePage::kShiftJis,
         Title(straddling),
         {{F::kTitle, std::string(29, 'a'), true}}},
        {"CP932 character ending at byte 30 kept",
         CodePage::kShiftJis,
         Title(std::string(28, 'a') + kNihon + "b"),
         {{F::kTitle, std::string(28, 'a') + kNihon, true}}},
        {"Latin-1 lacks the L with stroke",
         CodePage::kLatin1,
         Title(kLodz),
         {{F::kTitle,
           "L\xC3\xB3"
           "dz",
           false, true}}},
        {"ISO-8859-2 holds it", CodePage::kIso8859_2, Title(kLodz), {{F::kTitle, kLodz}}},
        {"TDRC date gives its year",
         CodePage::kLatin1,
         With(&Id3v2Values::year, "2004-05-01"),
         {{F::kYear, "2004"}}},
        {"TYER year", CodePage::kLatin1, With(&Id3v2Values::year, "2010"), {{F::kYear, "2010"}}},
        {"a year without four digits stays",
         CodePage::kLatin1,
         With(&Id3v2Values::year, "'04"),
         {}},
        {"TRCK of a set", CodePage::kLatin1, With(&Id3v2Values::track, "3/12"), {{F::kTrack, "3"}}},
        {"track 0 stays", CodePage::kLatin1, With(&Id3v2Values::track, "0"), {}},
        {"track 300 stays", CodePage::kLatin1, With(&Id3v2Values::track, "300"), {}},
        {"track x stays", CodePage::kLatin1, With(&Id3v2Values::track, "x"), {}},
        {"genre reference",
         CodePage::kLatin1,
         With(&Id3v2Values::genre, "(17)"),
         {{F::kGenre, "Rock"}}},
        {"genre name without its comma",
         CodePage::kLatin1,
         With(&Id3v2Values::genre, "grunge"),
         {{F::kGenre, "Grunge,"}}},
        {"unknown genre stays", CodePage::kLatin1, With(&Id3v2Values::genre, "Unknown Stuff"), {}},
        {"comment beside a track: 28 bytes",
         CodePage::kLatin1,
         With(&Id3v2Values::comment, kForty),
         {{F::kComment, kForty.substr(0, 28), true}}},
        {"same title: no change", CodePage::kLatin1, Title("Old"), {}},
        {"missing frames change nothing", CodePage::kLatin1, Id3v2Values{}, {}},
    };
}

TEST(Id3v2CopyTest, PlansEachFieldAndAppliesIt) {
    const std::vector<std::string> names = GenreNames();
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        CodePageConverter::SetCurrent(c.page);
        TTagFile entry = PresentEntry();
        const TagBlock before = entry.Block();
        const Id3v2CopyPlan plan =
            PlanId3v2Copy(entry, c.values, CodePageConverter::Current(), names);
        ASSERT_EQ(plan.changes.size(), c.changes.size());
        EXPECT_FALSE(plan.makes_tag);
        for (std::size_t i = 0; i < c.changes.size(); ++i) {
            EXPECT_EQ(plan.changes[i].field, c.changes[i].field);
            EXPECT_EQ(plan.changes[i].new_text, c.changes[i].new_text);
            EXPECT_EQ(plan.changes[i].cut, c.changes[i].cut);
            EXPECT_EQ(plan.changes[i].lossy, c.changes[i].lossy);
        }
        EXPECT_EQ(ApplyId3v2Copy(entry, plan), !c.changes.empty());
        EXPECT_EQ(entry.IsModified(), !c.changes.empty());
        for (const Expected& e : c.changes) {
            switch (e.field) {
                case Id3v1Field::kTitle:
                    EXPECT_EQ(entry.GetTitle(), e.new_text);
                    break;
                case Id3v1Field::kYear:
                    EXPECT_EQ(entry.GetYear(), e.new_text);
                    break;
                case Id3v1Field::kTrack:
                    EXPECT_EQ(std::to_string(entry.GetTrack()), e.new_text);
                    break;
                case Id3v1Field::kGenre:
                    EXPECT_EQ(names[entry.GetGenre()], e.new_text);
                    break;
                case Id3v1Field::kComment:
                    EXPECT_EQ(entry.GetComment(), e.new_text);
                    break;
                default:
                    break;
            }
        }
        if (c.changes.empty()) EXPECT_EQ(entry.Block(), before);
        // Applied again, the plan of the same values finds nothing left to change.
        EXPECT_FALSE(PlanId3v2Copy(entry, c.values, CodePageConverter::Current(), names).Changes());
    }
    CodePageConverter::SetCurrent(CodePage::kLatin1);
}

TEST(Id3v2CopyTest, AnUnknownGenreIsNamedAndKeepsTheByte) {
    TTagFile entry = PresentEntry();
    const Id3v2CopyPlan plan = PlanId3v2Copy(entry, With(&Id3v2Values::genre, "Unknown Stuff"),
                                             CodePageConverter(), GenreNames());
    EXPECT_EQ(plan.unknown_genre, "Unknown Stuff");
    EXPECT_FALSE(plan.Changes());
    EXPECT_EQ(entry.GetGenre(), 0);
}

// Without a track the comment may fill all 29 bytes; with one, byte 125 stays zero so that
// ID3v1.1 readers find the track in byte 126.
TEST(Id3v2CopyTest, TheCommentLeavesRoomForATrack) {
    const std::string comment(35, 'c');
    TTagFile untracked = PresentEntry();
    untracked.SetTrack(0);
    Id3v2Values values = With(&Id3v2Values::comment, comment);
    ApplyId3v2Copy(untracked, PlanId3v2Copy(untracked, values, CodePageConverter(), {}));
    EXPECT_EQ(untracked.GetComment(), comment.substr(0, 29));

    TTagFile tracked = PresentEntry();
    tracked.SetTrack(0);
    values.track = "7/9";  // the track comes with the copy
    ApplyId3v2Copy(tracked, PlanId3v2Copy(tracked, values, CodePageConverter(), {}));
    EXPECT_EQ(tracked.GetComment(), comment.substr(0, 28));
    EXPECT_EQ(tracked.Block()[id3v1::kCommentOffset + 28], 0);
    EXPECT_EQ(tracked.GetTrack(), 7);
}

// A file without a tag gets the fields of a new one, then the copied values: the block is
// appended at the next save.
TEST(Id3v2CopyTest, AFileWithoutATagGetsANewOne) {
    TTagFile entry(std::nullopt);
    ASSERT_EQ(entry.GetState(), tsNone);
    Id3v2Values values;
    values.title = "New";
    values.track = "2";
    values.genre = "Rock";
    const Id3v2CopyPlan plan = PlanId3v2Copy(entry, values, CodePageConverter(), GenreNames());
    EXPECT_TRUE(plan.makes_tag);
    ASSERT_EQ(plan.changes.size(), 3u);
    EXPECT_EQ(plan.changes[0].old_text, "");
    EXPECT_EQ(plan.changes[1].old_text, "0") << "the track of a new tag";
    EXPECT_EQ(plan.changes[2].old_text, "254") << "no genre";
    ASSERT_TRUE(ApplyId3v2Copy(entry, plan));
    EXPECT_EQ(entry.GetState(), tsAppend);
    EXPECT_TRUE(entry.IsModified());
    TTagFile expected(std::nullopt);
    expected.SetState(tsAppend);
    expected.SetTitle("New");
    expected.SetTrack(2);
    expected.SetGenre(17);
    EXPECT_EQ(entry.Block(), expected.Block());

    // Nothing to copy adds no tag.
    TTagFile untagged(std::nullopt);
    EXPECT_FALSE(PlanId3v2Copy(untagged, Id3v2Values{}, CodePageConverter(), {}).makes_tag);
}

}  // namespace
}  // namespace ambrel::test
