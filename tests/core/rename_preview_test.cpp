#include "actions/rename_preview.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "actions/panel_commands.h"
#include "actions/tag_processor.h"
#include "support/fake_prompter.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Verdict = PreviewVerdict;

TagFields Song(std::string artist, std::string title) {
    TagFields f;
    f.artist = std::move(artist);
    f.title = std::move(title);
    return f;
}

RenamePageState Page(int item, const std::string& user_mask = "") {
    RenamePageState page;
    page.mask = BuildMask(item, page.separators.WordSeparator(), user_mask);
    return page;
}

// A folder of files loaded into a table in list order, every row selected.
struct World {
    TempDir dir;
    TTagList list;
    MemoryReportView table;
    TTagViewer tags{&table, &list, std::nullopt};
    FakePrompter prompter;
    TTagProcessor processor{&list, &prompter};

    explicit World(const std::vector<std::pair<std::string, std::optional<TagFields>>>& files) {
        table.BeginUpdate();
        tags.LayoutColumns();
        table.EndUpdate();
        for (const auto& [name, fields] : files) {
            const std::optional<Block> block =
                fields ? std::optional<Block>(MakeBlock(*fields)) : std::nullopt;
            list.Add(WriteMp3(dir / name, 200, block));
        }
        tags.RebuildRows();
        tags.SelectAll();
    }
    // The names in the folder, and each entry's file name, in list order.
    std::vector<std::string> Disk() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (int i = 0; i < list.Count(); ++i) names.push_back(list.Get(i)->GetFileName());
        return names;
    }
};

// Every way a row is kept, in one selection, in the run's order.
const std::vector<std::pair<std::string, std::optional<TagFields>>> kMixed = {
    {"a.mp3", Song("Abba", "Waterloo")},              // renamed
    {"untagged.mp3", std::nullopt},                   // no tag
    {"b.mp3", Song("Blur", "Song 2")},                // "Blur - Song 2.mp3" is on disk
    {"c.mp3", Song("Abba", "Waterloo")},              // the first row took that name
    {"Cher - Believe.mp3", Song("Cher", "Believe")},  // no change
    {"gone.mp3", Song("Gone", "Away")},               // removed after loading
    {"x.mp3", Song("Queen", "One")},                  // held by the next row until its turn
    {"Queen - One.mp3", Song("Queen", "Two")},        // that name is still held too
    {"Queen - Two.mp3", Song("Free", "Now")},         // renamed, which frees its name
    {"y.mp3", Song("Queen", "Two")},                  // takes the name freed by the row before
};

void Prepare(World& world) {
    WriteMp3(world.dir / "Blur - Song 2.mp3", 10, std::nullopt);
    fs::remove(world.dir / "gone.mp3");
}

TEST(RenamePreviewTest, MarksEachRowTheRunWouldKeepWithItsReason) {
    World world(kMixed);
    Prepare(world);
    const std::vector<std::string> disk = world.Disk();

    const auto plan = PreviewFileRename(world.tags, world.processor, Page(0), 2);

    struct Expected {
        std::string old_name, new_name;
        Verdict verdict;
    };
    const std::vector<Expected> expected = {
        {"a.mp3", "Abba - Waterloo.mp3", Verdict::kApplies},
        {"untagged.mp3", "", Verdict::kNoTag},
        {"b.mp3", "Blur - Song 2.mp3", Verdict::kNameExists},
        {"c.mp3", "Abba - Waterloo.mp3", Verdict::kSameNameInBatch},
        {"Cher - Believe.mp3", "Cher - Believe.mp3", Verdict::kNoChange},
        {"gone.mp3", "Gone - Away.mp3", Verdict::kFileGone},
        {"x.mp3", "Queen - One.mp3", Verdict::kNameExists},
        {"Queen - One.mp3", "Queen - Two.mp3", Verdict::kNameExists},
        {"Queen - Two.mp3", "Free - Now.mp3", Verdict::kApplies},
        {"y.mp3", "Queen - Two.mp3", Verdict::kApplies},
    };
    ASSERT_EQ(plan.size(), expected.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(expected[i].old_name);
        EXPECT_EQ(plan[i].row, static_cast<int>(i));
        EXPECT_EQ(plan[i].old_name, expected[i].old_name);
        EXPECT_EQ(plan[i].new_name, expected[i].new_name);
        EXPECT_EQ(plan[i].verdict, expected[i].verdict);
        EXPECT_EQ(plan[i].reason.empty(), expected[i].verdict == Verdict::kApplies);
    }
    EXPECT_EQ(plan[3].reason, "two files would get the same name");
    // x.mp3's name is still held by a row that comes later in the run.
    EXPECT_NE(plan[6].reason.find("renamed later"), std::string::npos) << plan[6].reason;
    EXPECT_EQ(plan[2].reason, "a file of that name exists");

    EXPECT_EQ(world.Disk(), disk) << "a preview renames nothing";
    EXPECT_EQ(world.Entries()[0], "a.mp3");
    EXPECT_FALSE(world.processor.Mask()) << "the processor's options stay";
    EXPECT_TRUE(world.prompter.shown.empty());
}

// The preview plays the run through: applying it gives what the run gives directly, and
// exactly the names the preview showed.
TEST(RenamePreviewTest, ApplyAfterPreviewEqualsTheDirectRun) {
    World previewed(kMixed), direct(kMixed);
    Prepare(previewed);
    Prepare(direct);

    const auto plan = PreviewFileRename(previewed.tags, previewed.processor, Page(0), 2);
    RunFileRename(previewed.tags, previewed.processor, Page(0), 2);
    RunFileRename(direct.tags, direct.processor, Page(0), 2);

    EXPECT_EQ(previewed.Disk(), direct.Disk());
    EXPECT_EQ(previewed.Entries(), direct.Entries());
    for (const FileRenamePreviewRow& row : plan) {
        SCOPED_TRACE(row.old_name);
        const std::string now = previewed.Entries()[static_cast<std::size_t>(row.row)];
        EXPECT_EQ(now, row.verdict == Verdict::kApplies ? row.new_name : row.old_name);
    }
}

TEST(RenamePreviewTest, NamesThatMayNotBeGivenAndTheCaseOnlyVariant) {
    World world({{"a.mp3", Song("AC", "DC")}, {"My Song.mp3", Song("x", "y")}});
    auto plan = PreviewFileRename(world.tags, world.processor, Page(kTemplateUserMask, ":a/:s"), 2);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].new_name, "AC/DC.mp3");
    EXPECT_EQ(plan[0].verdict, Verdict::kNameNotAllowed);
    EXPECT_EQ(plan[0].reason, "the name is not allowed: it holds a \"/\" or a zero byte");

    plan = PreviewFileRename(world.tags, world.processor, Page(kTemplateUserMask, ":c"), 2);
    EXPECT_EQ(plan[0].verdict, Verdict::kNameNotAllowed);
    EXPECT_EQ(plan[0].reason, "the name is not allowed: it is empty");

    // No template: the letter case of the name alone, its own extension kept.
    RenamePageState upper = Page(kTemplateCaseOnly);
    upper.case_mode = 1;
    plan = PreviewFileRename(world.tags, world.processor, upper, 2);
    EXPECT_EQ(plan[1].new_name, "MY SONG.mp3");
    EXPECT_EQ(plan[1].verdict, Verdict::kApplies);
    EXPECT_TRUE(world.prompter.shown.empty()) << "the preview shows no per-file message";

    plan = PreviewFileRename(world.tags, world.processor,
                             Page(kTemplateUserMask, std::string(300, 'x')), 2);
    EXPECT_EQ(plan[0].verdict, Verdict::kMaskRefused);
}

TEST(RenamePreviewTest, TagRenameShowsTheFieldsTheRunWouldStore) {
    World world({
        {"Queen - Innuendo.mp3", Song("", "")},
        {"Abba - Waterloo.mp3", std::nullopt},  // gets a tag
        {"An artist name far longer than thirty - T.mp3", Song("", "")},
        {"\xCE\xA9mega - Song.mp3", Song("", "")},  // a letter without a Latin-1 form
        {"Same - Same.mp3", Song("Same", "Same")},
    });
    RenamePageState page = Page(0);
    page.case_mode = 3;
    const auto plan = PreviewTagRename(world.tags, world.processor, page);
    ASSERT_EQ(plan.size(), 5u);
    EXPECT_EQ(plan[0].artist, "Queen");
    EXPECT_EQ(plan[0].title, "Innuendo");
    EXPECT_EQ(plan[1].verdict, Verdict::kApplies);
    EXPECT_EQ(plan[1].artist, "Abba");
    EXPECT_EQ(plan[2].artist, "An Artist Name Far Longer Than") << "cut to 30, then the case";
    EXPECT_EQ(plan[3].artist, "?Mega");
    EXPECT_EQ(plan[4].verdict, Verdict::kNoChange);
    EXPECT_EQ(world.list.Get(1)->GetState(), tsNone) << "nothing changes before Apply";
    EXPECT_TRUE(world.prompter.shown.empty());

    RunTagRename(world.tags, world.processor, page);
    for (const TagRenamePreviewRow& row : plan) {
        const TTagFile* entry = world.list.Get(row.row);
        EXPECT_EQ(entry->GetArtist(), row.artist);
        EXPECT_EQ(entry->GetTitle(), row.title);
    }

    // The letter-case variant keeps untagged files out.
    World untagged({{"a.mp3", std::nullopt}});
    const auto case_only = PreviewTagRename(untagged.tags, untagged.processor, Page(-1));
    EXPECT_EQ(case_only[0].verdict, Verdict::kNoTag);
}

}  // namespace
}  // namespace ambrel::test
