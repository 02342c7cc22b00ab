// Undo and redo of the batches that change tags in memory, remove lines, and save.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "actions/field_fill.h"
#include "actions/tag_processor.h"
#include "history/batch_history.h"
#include "history_fixture.h"
#include "platform/conversion.h"
#include "viewer/detail_commands.h"

namespace ambrel::test {
namespace {

using Bytes = std::vector<uint8_t>;

// Each command that changes tags in memory, over the selected rows of a tagged file and an
// untagged one: undo gives both their tag, state and modified mark back, redo the new ones.
struct TagCommand {
    const char* name;
    const char* undo_text;
    std::function<void(Library&)> run;
};

class TagChangeTest : public HistoryTest, public ::testing::WithParamInterface<TagCommand> {};

TEST_P(TagChangeTest, UndoGivesTheEntriesTheirTagsBackAndRedoTheNewOnes) {
    Load({{"Queen - Innuendo.mp3", Song("queen", "x")}, {"Abba - Waterloo.mp3", std::nullopt}});
    List().Get(0)->SetModified(false);  // as after a save
    std::vector<TagSnapshot> before, after;
    for (int i = 0; i < 2; ++i) before.push_back(List().Get(i)->Snapshot());

    GetParam().run(library);
    for (int i = 0; i < 2; ++i) after.push_back(List().Get(i)->Snapshot());
    ASSERT_FALSE(after[0].SameEdits(before[0]));
    EXPECT_EQ(History().UndoText(), GetParam().undo_text);

    library.Undo();
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(List().Get(i)->Snapshot().SameEdits(before[i])) << i;
    EXPECT_EQ(Cell(0, TTagViewer::kArtist), "queen") << "the row is drawn again";
    library.Redo();
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(List().Get(i)->Snapshot().SameEdits(after[i])) << i;
}

FieldFill ArtistFill() {
    FieldFill fill;
    fill.artist = "Filled";
    return fill;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TagChangeTest,
    ::testing::Values(
        TagCommand{"TagRename", "Undo tag rename of 2 files",
                   [](Library& l) { RunTagRename(*l.TagViewer(), *l.TagProcessor(), Page(0)); }},
        TagCommand{"TagCaseOnly", "Undo tag rename of 1 file",
                   [](Library& l) {
                       RenamePageState upper = Page(kTemplateCaseOnly);
                       upper.case_mode = 1;
                       RunTagRename(*l.TagViewer(), *l.TagProcessor(), upper);
                   }},
        TagCommand{"WriteData", "Undo tag fill of 1 file",
                   [](Library& l) {
                       WriteFieldsToRows(*l.TagViewer(), ArtistFill(), false, &l.History());
                   }},
        TagCommand{"TagPresent", "Undo tag state change of 1 file",
                   [](Library& l) {
                       SetTagPresent(*l.TagList()->Get(0), false, &l.History());
                       SetTagPresent(*l.TagList()->Get(1), false, &l.History());  // no change
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HistoryTest, ACommandStoppedPartWayRecordsWhatItChanged) {
    Load({{"a.mp3", Song("A", "a")}, {"b.mp3", Song("B", "b")}});
    FieldFill fill = ArtistFill();
    fill.track = "x";  // no whole number: the first row takes the artist, then it stops
    EXPECT_THROW(WriteFieldsToRows(Tags(), fill, false, &History()), ConversionError);
    EXPECT_EQ(History().UndoText(), "Undo tag fill of 1 file");
    library.Undo();
    EXPECT_EQ(List().Get(0)->GetArtist(), "A");

    // The detail panel's save, stopped by its Track box, records the edit alone.
    TagDetailFields fields;
    fields.artist = "Edited";
    fields.track = "";
    EXPECT_THROW(StoreTagDetail(*List().Get(1), fields, &History()), ConversionError);
    EXPECT_EQ(History().UndoText(), "Undo tag edit of 1 file");
    library.Undo();
    EXPECT_EQ(List().Get(1)->GetArtist(), "B");
}

TEST_F(HistoryTest, RemovedLinesComeBackAtTheirPositionsWithTheirChanges) {
    const auto paths = Load({{"0.mp3", Song("A", "0")},
                             {"1.mp3", Song("B", "1")},
                             {"2.mp3", Song("C", "2")},
                             {"3.mp3", Song("D", "3")}});
    List().Get(1)->SetTitle("Unsaved");
    table.ReplaceSelection({1, 3});
    EXPECT_EQ(library.RemoveSelectedLines(), 2);
    EXPECT_EQ(History().UndoText(), "Undo removal of 2 lines");
    library.AddFiles({WriteMp3(dir / "4.mp3", 200, MakeBlock(Song("E", "4")))});
    ASSERT_EQ(table.RowCount(), 3);

    library.Undo();
    ASSERT_EQ(List().Count(), 5);
    const std::vector<std::string> order = {"0", "1", "2", "3", "4"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(List().Get(i)->GetName(), order[static_cast<std::size_t>(i)]);
        EXPECT_EQ(List().Get(i)->GetIndex(), i);
    }
    EXPECT_EQ(List().Get(1)->GetTitle(), "Unsaved");
    EXPECT_EQ(table.RowCount(), 5);
    library.Redo();
    EXPECT_EQ(List().Count(), 3);
    EXPECT_EQ(List().Get(1)->GetName(), "2");

    // A tag change recorded before "Delete all tags" still finds its entries once the
    // removal is taken back.
    library.Undo();
    Tags().SelectAll();
    WriteFieldsToRows(Tags(), ArtistFill(), false, &History());
    EXPECT_EQ(library.RemoveAllLines(), 5);
    EXPECT_EQ(table.RowCount(), 0);
    library.Undo();
    library.Undo();
    EXPECT_EQ(List().Count(), 5);
    EXPECT_EQ(List().Get(4)->GetArtist(), "E");
    EXPECT_EQ(Cell(4, TTagViewer::kArtist), "E");
}

// "Save all" over many loaded tags, a few of them edited: the batch, its menu text and its
// undo are about the tags it wrote, not every entry whose modified mark it cleared.
TEST_F(HistoryTest, ASaveCountsAndTakesBackOnlyTheTagsItWrote) {
    Load({{"0.mp3", Song("A", "0")},
          {"1.mp3", Song("B", "1")},
          {"2.mp3", Song("C", "2")},
          {"3.mp3", Song("D", "3")}});
    List().Get(1)->SetArtist("Edited");
    List().Get(1)->SetModified(true);
    library.SaveAll();
    EXPECT_EQ(History().UndoText(), "Undo save of 1 tag");
    const BatchOutcome undone = library.Undo();
    EXPECT_EQ(undone.written, (std::vector<std::string>{List().Get(1)->GetPath()}));
    EXPECT_EQ(List().Get(1)->GetArtist(), "Edited") << "the edit is unsaved again";
    EXPECT_EQ(List().UnsavedCount(), 1);
}

// Three saves of one "Save all": a tag written over, a tag removed, a tag appended.
class SaveHistoryTest : public HistoryTest {
protected:
    SaveHistoryTest() {
        paths = Load({{"over.mp3", Song("Old", "Tag")},
                      {"cut.mp3", Song("Cut", "Me")},
                      {"add.mp3", std::nullopt}});
        for (const std::string& path : paths) original.push_back(ReadBytes(path));
        List().Get(0)->SetArtist("New");
        List().Get(1)->SetState(tsRemove);
        List().Get(2)->SetState(tsAppend);
        List().Get(2)->SetArtist("Added");
        for (int i = 0; i < 3; ++i) before.push_back(List().Get(i)->Snapshot());
        library.SaveAll();
        for (const std::string& path : paths) saved.push_back(ReadBytes(path));
    }

    std::vector<std::string> paths;
    std::vector<Bytes> original, saved;
    std::vector<TagSnapshot> before;
};

TEST_F(SaveHistoryTest, UndoPutsBackEachFilesEndAndRedoWritesTheSaveAgain) {
    ASSERT_EQ(FileSize(paths[1]), 200);
    ASSERT_EQ(FileSize(paths[2]), 328);
    EXPECT_EQ(History().UndoText(), "Undo save of 3 tags");

    const BatchOutcome undone = library.Undo();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadBytes(paths[i]), original[i]) << paths[i];
        EXPECT_TRUE(List().Get(i)->Snapshot().SameEdits(before[i])) << paths[i];
    }
    EXPECT_EQ(undone.written, paths);
    EXPECT_EQ(Cell(1, TTagViewer::kArtist), "Cut");

    library.Redo();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadBytes(paths[i]), saved[i]) << paths[i];
    EXPECT_FALSE(List().Get(0)->IsModified());
    EXPECT_EQ(List().Get(2)->GetState(), tsPresent);
    EXPECT_TRUE(Warnings().empty());

    // After an undo the entries save as they did the first time.
    library.Undo();
    library.SaveAll();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadBytes(paths[i]), saved[i]) << paths[i];
}

TEST_F(SaveHistoryTest, AFileChangedBehindOurBackIsLeftAsItIsAndNamed) {
    // Another program writes its own tag into the file, and appends audio to another.
    Bytes other = saved[0];
    other[other.size() - 100] = 'Z';
    WriteBytes(paths[0], other);
    Bytes longer = saved[1];
    longer.push_back(1);
    WriteBytes(paths[1], longer);

    library.Undo();
    EXPECT_EQ(ReadBytes(paths[0]), other) << "nothing is overwritten";
    EXPECT_EQ(ReadBytes(paths[1]), longer);
    EXPECT_EQ(ReadBytes(paths[2]), original[2]);
    EXPECT_EQ(List().Get(0)->GetArtist(), "New") << "its entry keeps the tag it saved";
    EXPECT_EQ(List().Get(2)->GetState(), tsAppend);
    const std::vector<std::string> warnings = Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "2 files have changed or gone since the save and were left as they are:\n" +
                  paths[0] + "\n" + paths[1]);
}

TEST_F(HistoryTest, SaveTagTakesBackTheEditWithTheSave) {
    const auto paths = Load({{"a.mp3", Song("A", "a")}});
    const Bytes original = ReadBytes(paths[0]);
    TagDetailFields fields;
    fields.artist = "Typed";
    fields.track = "3";
    StoreTagDetail(*List().Get(0), fields, &History());
    EXPECT_EQ(History().UndoText(), "Undo save of 1 tag");
    ASSERT_NE(ReadBytes(paths[0]), original);
    library.Undo();
    EXPECT_EQ(ReadBytes(paths[0]), original);
    EXPECT_EQ(List().Get(0)->GetArtist(), "A");
    EXPECT_EQ(List().Get(0)->GetTrack(), 0);
    EXPECT_FALSE(History().CanUndo());

    // A save that writes nothing records nothing.
    library.Redo();
    library.SaveAll();
    EXPECT_EQ(History().UndoText(), "Undo save of 1 tag");
}

TEST_F(HistoryTest, DestroyingTheModelEmptiesTheHistory) {
    Load({{"a.mp3", Song("A", "a")}});
    ASSERT_EQ(library.RemoveAllLines(), 1);
    library.DestroyModel();
    EXPECT_FALSE(History().CanUndo());
    EXPECT_EQ(library.Undo().list_changed, false);
}

}  // namespace
}  // namespace ambrel::test
