// Closing the main window with unsaved work, and reading tags again from their files.
#include <QAction>
#include <filesystem>

#include "main_window_world.h"
#include "viewer/detail_commands.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::SaveChoice;

namespace {

const Block kOnDisk = MakeBlock(Tag().Artist("On disk"));

// The text of the last question asked before unsaved work would go; empty when none was.
std::string SaveQuestion(const FakePrompter& prompter) {
    for (auto it = prompter.shown.rbegin(); it != prompter.shown.rend(); ++it)
        if (it->kind == Shown::kSaveChanges) return it->text;
    return {};
}

}  // namespace

class MainWindowCloseTest : public QObject {
    Q_OBJECT

private slots:
    void OnlyWorkNotOnDiskIsCountedAsUnsaved() {
        World w;
        const Paths paths = {w.Write("a.mp3", kOnDisk), w.Write("b.mp3", kOnDisk),
                             w.Write("c.mp3", kOnDisk), w.Write("d.mp3", std::nullopt),
                             w.Write("e.mp3", kOnDisk)};
        w.Load(paths);
        ambrel::TTagList& list = *w.library.TagList();
        QCOMPARE(list.UnsavedCount(), 0);  // loaded only
        list.Get(0)->SetArtist("Changed");
        list.Get(1)->SetArtist("Changed");
        list.Get(1)->SetArtist("On disk");  // changed back: the file holds it already
        ambrel::SetTagPresent(*list.Get(2), false, nullptr);  // "Tag present" unticked
        ambrel::SetTagPresent(*list.Get(3), true, nullptr);   // and ticked on an untagged file
        QCOMPARE(list.UnsavedCount(), 3);

        QVERIFY(!w.form->close());  // Cancel, the fake's answer once it has none left
        QCOMPARE(SaveQuestion(w.prompter),
                 std::string("3 tags have changes that are not saved yet. Save them before "
                             "closing?"));
        for (const std::string& path : paths)
            QCOMPARE(FileSize(path), path == paths[3] ? 1000LL : 1128LL);
    }

    void EachAnswerDoesWhatItSays() {
        struct Case {
            SaveChoice choice;
            bool closes;
            Block on_disk_after;
        } cases[] = {
            {SaveChoice::kCancel, false, kOnDisk},
            {SaveChoice::kDiscard, true, kOnDisk},
            {SaveChoice::kSave, true, MakeBlock(Tag().Artist("Edited"))},
        };
        for (const Case& c : cases) {
            World w;
            const std::string path = w.Write("song.mp3", kOnDisk);
            w.Load({path});
            w.library.TagList()->Get(0)->SetArtist("Edited");
            w.prompter.save_choices = {c.choice};
            QCOMPARE(w.form->close(), c.closes);
            QCOMPARE(SaveQuestion(w.prompter),
                     std::string("1 tag has changes that are not saved yet. Save them before "
                                 "closing?"));
            QCOMPARE(ReadTail(path), Bytes(c.on_disk_after));
            QCOMPARE(w.prompter.Count(Shown::kWarning), 0);
        }
    }

    void ASaveThatFailsKeepsTheWindowOpen() {
        World w;
        const std::string kept = w.Write("kept.mp3", kOnDisk);
        const std::string gone = w.Write("gone.mp3", kOnDisk);
        w.Load({kept, gone});
        w.library.TagList()->Get(0)->SetArtist("Kept");
        w.library.TagList()->Get(1)->SetArtist("Lost?");
        std::filesystem::remove(gone);
        w.prompter.save_choices = {SaveChoice::kSave};
        QVERIFY(!w.form->close());
        QCOMPARE(w.prompter.Count(Shown::kWarning), 1);
        QVERIFY(w.prompter.shown.back().text.find(gone) != std::string::npos);
        QCOMPARE(ReadTail(kept), Bytes(MakeBlock(Tag().Artist("Kept"))));
        // The change that could not be written is still there to save elsewhere.
        QCOMPARE(w.library.UnsavedCount(), 1);
        QCOMPARE(w.library.TagList()->Get(1)->GetArtist(), std::string("Lost?"));

        // The Quit item asks the same question.
        w.Trigger("Quit1");
        QCOMPARE(w.prompter.Count(Shown::kSaveChanges), 2);
        QVERIFY(w.library.TagList() != nullptr);  // cancelled: the model is still there
    }

    void ReloadDropsChangesAfterAskingAndUndoBringsThemBack() {
        World w;
        const std::string path = w.Write("song.mp3", kOnDisk);
        const std::string other = w.Write("other.mp3", kOnDisk);
        w.Load({path, other});
        ambrel::TTagFile* entry = w.library.TagList()->Get(0);
        entry->SetArtist("Typed");
        w.Select({0, 1});

        w.prompter.answers = {false};
        w.Trigger("Reloadtagsfromdisk1");
        QCOMPARE(w.prompter.Count(Shown::kQuestion), 1);
        QVERIFY(w.prompter.shown.back().text.find("1 selected tag ") != std::string::npos);
        QCOMPARE(entry->GetArtist(), std::string("Typed"));

        // Another program changed the other file meanwhile: the reload shows what it holds.
        WriteMp3(other, 1000, MakeBlock(Tag().Artist("Outside")));
        w.prompter.answers = {true};
        w.Trigger("Reloadtagsfromdisk1");
        QCOMPARE(entry->GetArtist(), std::string("On disk"));
        QCOMPARE(w.library.TagList()->Get(1)->GetArtist(), std::string("Outside"));
        QCOMPARE(w.Column(4), (std::vector<std::string>{"On disk", "Outside"}));
        QCOMPARE(w.library.UnsavedCount(), 0);

        // Nothing unsaved among the selected rows: the reload asks nothing.
        w.Trigger("Reloadtagsfromdisk1");
        QCOMPARE(w.prompter.Count(Shown::kQuestion), 2);

        // Undo puts back what memory held, the tag the other file had when it was read
        // included, which now differs from the file.
        w.Trigger("Undo1");
        QCOMPARE(entry->GetArtist(), std::string("Typed"));
        QCOMPARE(w.library.UnsavedCount(), 2);
        QCOMPARE(ReadTail(path), Bytes(kOnDisk));
    }
};

int main(int argc, char** argv) { return RunWindowTest<MainWindowCloseTest>(argc, argv); }

#include "main_window_close_test.moc"
