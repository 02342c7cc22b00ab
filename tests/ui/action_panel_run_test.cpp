// The action panel's three commands through the real windows: files renamed on disk and in
// the table, tags filled from names and saved, one set of fields written into many tags.
#include <QToolButton>

#include "action_panel_world.h"
#include "tag/tag_list.h"
#include "window_test_main.h"

using namespace ambrel::test;

namespace {

const char kStop[] = "Don't show this again for this run";

}  // namespace

class ActionPanelRunTest : public QObject {
    Q_OBJECT

private slots:
    void RenameSelectedFilesRenamesThemOnDiskAndInTheTable() {
        PanelWorld w;
        w.Load(Paths(
            {w.Write("a.mp3", MakeBlock(Tag().Artist("AC/DC").Title("Back In Black").Track(7))),
             w.Write("b.mp3", MakeBlock(Tag().Artist("Queen").Title("Innuendo").Track(1))),
             w.Write("c.mp3", MakeBlock(Tag().Artist("Muse").Title("Uprising").Track(2))),
             w.Write("001 - Muse - Uprising.mp3", std::nullopt)}));
        w.Select({0, 2});
        auto* digits = w.Control<ambrel::ui::UpDown>("UpDown2");
        digits->UpButton()->click();  // three digits; the list refills
        w.ChooseTemplate("ListBoxFR", 1);
        w.Press("SpeedButtonFR");

        QCOMPARE(w.Files(), (Texts{"001 - Muse - Uprising.mp3", "002 - Muse - Uprising.mp3",
                                   "007 - AC DC - Back In Black.mp3", "b.mp3"}));
        QCOMPARE(w.Column(2), (Texts{"007 - AC DC - Back In Black", "b", "002 - Muse - Uprising",
                                     "001 - Muse - Uprising"}));
        QCOMPARE(w.library.TagList()->Get(0)->GetPath(), w.dir / "007 - AC DC - Back In Black.mp3");
        QVERIFY(w.prompter.shown.empty());

        // A second run onto names that exist keeps the files and says so once.
        w.Select({0, 2, 3});
        w.ChooseTemplate("ListBoxFR", 5);  // "User defined mask"
        w.Control<QComboBox>("ComboBoxFRMask")
            ->setEditText(QStringLiteral("001 - Muse - Uprising"));
        w.Press("SpeedButtonFR");
        QCOMPARE(w.Files(), (Texts{"001 - Muse - Uprising.mp3", "002 - Muse - Uprising.mp3",
                                   "007 - AC DC - Back In Black.mp3", "b.mp3"}));
        QCOMPARE(w.prompter.Count(Shown::kWarning), 1);
        const std::string& warning = w.prompter.shown.back().text;
        QVERIFY(warning.find("2 files kept their names") != std::string::npos);
        QVERIFY(warning.find(w.dir / "002 - Muse - Uprising.mp3") != std::string::npos);
        QVERIFY(warning.find("a file of that name exists") != std::string::npos);
    }

    // The user masks used are remembered once each, in the order first used; an empty one
    // is not.
    void TheUserMaskHistoriesKeepEachMaskOnce() {
        PanelWorld w;
        for (const char* page : {"FR", "TR"}) {
            const QByteArray combo = QByteArray("ComboBox") + page + "Mask";
            const QByteArray button = QByteArray("SpeedButton") + page;
            auto* masks = w.Control<QComboBox>(combo);
            for (const char* mask : {":a :s", "", ":s", ":a :s", ":s"}) {
                masks->setEditText(QLatin1String(mask));
                w.Press(button);
            }
            QCOMPARE(masks->count(), 2);
            QCOMPARE(masks->itemText(0), QStringLiteral(":a :s"));
            QCOMPARE(masks->itemText(1), QStringLiteral(":s"));
        }
    }

    // Mode 1 with no template: each renamed file gets its message box, until the user ticks
    // "Don't show this again for this run"; the next run shows them again.
    void TheCheckBoxStopsTheMessageBoxesOfOneRun() {
        PanelWorld w;
        w.Load(Paths({w.Write("one.mp3", MakeBlock(Tag().Artist("A"))),
                      w.Write("two.mp3", MakeBlock(Tag().Artist("B"))),
                      w.Write("three.mp3", MakeBlock(Tag().Artist("C")))}));
        w.Select({0, 1, 2});
        w.ChooseItem("ComboBoxFRCase", 1);
        w.prompter.check_box_ticks = {false, true};
        w.Press("SpeedButtonFR");
        QCOMPARE(w.Files(), (Texts{"ONE.mp3", "THREE.mp3", "TWO.mp3"}));
        QCOMPARE(w.Messages(), (Texts{"ONE.mp3", "TWO.mp3"}));
        QCOMPARE(w.prompter.shown[0].check_box, std::string(kStop));

        // Tag rename, template 0: one box per value; ticked in the first, none follow.
        w.prompter.shown.clear();
        w.prompter.check_box_ticks = {true};
        w.ChooseTemplate("ListBoxTR", 0);
        w.Press("SpeedButtonTR");
        QCOMPARE(w.Messages(), Texts{""});  // "ONE" has no " - ": the artist is empty
        w.prompter.shown.clear();
        w.Press("SpeedButtonTR");  // the template is still chosen
        QCOMPARE(w.Messages().size(), std::size_t(6));
    }

    void RenameSelectedTagsThenSaveAllWritesTheTags() {
        PanelWorld w;
        const std::string tagged = w.Write("07 - Queen - Innuendo.mp3",
                                           MakeBlock(Tag().Artist("x").Album("Keep").Genre(17)));
        const std::string bare = w.Write("03 - Bj\xC3\xB6rk - J\xC3\xB3ga.mp3", std::nullopt);
        const std::string other = w.Write("12 - Not - Selected.mp3", MakeBlock(Tag().Artist("y")));
        w.Load(Paths({tagged, bare, other}));
        w.Select({0, 1});
        w.ChooseItem("ComboBoxTRCase", 1);
        w.ChooseTemplate("ListBoxTR", 1);
        w.prompter.check_box_ticks = {true};
        w.Press("SpeedButtonTR");

        // The current row's tag shows in the main window's detail panel.
        QCOMPARE(w.Text("EditTagArtist"), QStringLiteral("QUEEN"));
        QCOMPARE(w.Text("EditTagTrack"), QStringLiteral("7"));
        QCOMPARE(w.Column(4), (Texts{"QUEEN", "BJöRK", "y"}));
        w.Click("ToolButtonSaveAll");

        QCOMPARE(ReadTail(tagged),
                 Bytes(MakeBlock(
                     Tag().Artist("QUEEN").Title("INNUENDO").Album("KEEP").Track(7).Genre(17))));
        // The untagged file gets a tag appended; the name's letters arrive as Latin-1.
        QCOMPARE(FileSize(bare), static_cast<long long>(kAudio + 128));
        QCOMPARE(ReadTail(bare),
                 Bytes(MakeBlock(Tag().Artist("BJ\xF6RK").Title("J\xF3GA").Track(3).Genre(254))));
        QCOMPARE(ReadTail(other), Bytes(MakeBlock(Tag().Artist("y"))));
    }

    // Read the current row, clear, choose the values, and write them into three rows of
    // which one has no tag.
    void CopyOptionsReadClearAndWrite() {
        PanelWorld w;
        const std::string first = w.Write(
            "one.mp3",
            MakeBlock(Tag().Artist("Art").Title("T").Album("Alb").Track(4).Genre(17).Year("1999")));
        const std::string bare = w.Write("two.mp3", std::nullopt);
        const std::string third = w.Write("three.mp3", MakeBlock(Tag().Artist("Other").Genre(254)));
        w.Load(Paths({first, bare, third}));

        w.Select({0});
        w.Press("SpeedButtonRead");
        QCOMPARE(w.Control<QLineEdit>("EditTagArtist")->text(), QStringLiteral("Art"));
        QCOMPARE(w.Control<QLineEdit>("EditTagTrack")->text(), QStringLiteral("4"));
        QCOMPARE(w.Control<QComboBox>("ComboBoxTagGenre")->currentText(), QStringLiteral("Rock"));
        const bool after_read[] = {true, true, true, true, false, false, true};
        for (int n = 0; n < 7; ++n)
            QVERIFY2(
                w.Checked(qPrintable(QStringLiteral("CheckBoxFill%1").arg(n + 1))) == after_read[n],
                qPrintable(QString::number(n + 1)));  // Fill 6 is the user's alone

        // The user picks a genre, then clears: Fill 6 stays as the user left it.
        auto* genre = w.Control<QComboBox>("ComboBoxTagGenre");
        genre->setCurrentIndex(80);  // Hard Rock
        emit genre->activated(80);
        QVERIFY(w.Checked("CheckBoxFill6"));
        w.Press("SpeedButtonClear");
        for (const char* fill : {"CheckBoxFill1", "CheckBoxFill2", "CheckBoxFill3", "CheckBoxFill4",
                                 "CheckBoxFill5", "CheckBoxFill7"})
            QVERIFY2(!w.Checked(fill), fill);
        QVERIFY(w.Checked("CheckBoxFill6"));
        QCOMPARE(genre->currentIndex(), 0);
        genre->setCurrentIndex(80);
        emit genre->activated(80);

        w.Type("EditTagAlbum", QStringLiteral("Best of"));
        w.Type("EditTagComment", QString(40, QLatin1Char('c')));
        w.Type("EditTagTrack", QStringLiteral("9"));
        QVERIFY(w.Checked("CheckBoxFill3") && w.Checked("CheckBoxFill4"));
        w.Select({2, 1, 0});
        w.Press("SpeedButtonWrite");

        QCOMPARE(w.Column(6), (Texts{"Best of", "", "Best of"}));
        QCOMPARE(w.Text("EditTagAlbum"), QStringLiteral("Best of"));  // the first row, shown
        w.Click("ToolButtonSaveAll");
        QCOMPARE(ReadTail(first), Bytes(MakeBlock(Tag()
                                                      .Artist("Art")
                                                      .Title("T")
                                                      .Album("Best of")
                                                      .Comment(std::string(29, 'c'))
                                                      .Track(9)
                                                      .Genre(79)
                                                      .Year("1999"))));
        QCOMPARE(ReadBytes(bare), MakeMp3Bytes(kAudio, std::nullopt));
        QCOMPARE(w.library.TagList()->Get(1)->GetState(), ambrel::tsNone);
        QCOMPARE(ReadTail(third), Bytes(MakeBlock(Tag()
                                                      .Artist("Other")
                                                      .Album("Best of")
                                                      .Comment(std::string(29, 'c'))
                                                      .Track(9)
                                                      .Genre(79))));
    }

    // A Track text that is no number: typing it shows the conversion error and leaves Fill 4;
    // writing it stops at the first row, after artist, title and album.
    void ABadTrackTextShowsTheErrorAndStopsTheWrite() {
        PanelWorld w;
        w.Load(Paths({w.Write("one.mp3", MakeBlock(Tag().Artist("A").Year("1990"))),
                      w.Write("two.mp3", MakeBlock(Tag().Artist("B")))}));
        w.Type("EditTagTrack", QStringLiteral("5"));
        QVERIFY(w.Checked("CheckBoxFill4"));
        w.Type("EditTagTrack", QStringLiteral("x"));
        QCOMPARE(w.prompter.Count(Shown::kError), 1);
        QCOMPARE(w.prompter.shown.back().text, std::string("'x' is not a valid integer value"));
        QVERIFY(w.Checked("CheckBoxFill4"));

        w.Type("EditTagArtist", QStringLiteral("New"));
        w.Type("EditTagYear", QStringLiteral("2001"));
        w.Select({0, 1});
        w.Press("SpeedButtonWrite");
        QCOMPARE(w.prompter.Count(Shown::kError), 2);
        QCOMPARE(w.library.TagList()->Get(0)->GetArtist(), std::string("New"));
        QCOMPARE(w.library.TagList()->Get(0)->GetYear(), std::string("1990"));
        QCOMPARE(w.library.TagList()->Get(1)->GetArtist(), std::string("B"));

        // Numbered tracks take the Track box's place, so the same text writes nothing wrong.
        w.Control<QCheckBox>("CheckBoxTrack1")->click();
        w.Press("SpeedButtonWrite");
        QCOMPARE(w.prompter.Count(Shown::kError), 2);
        QCOMPARE(w.Column(3), (Texts{"1", "2"}));
        QCOMPARE(w.Column(4), (Texts{"New", "New"}));
    }
};

int main(int argc, char** argv) { return RunWindowTest<ActionPanelRunTest>(argc, argv); }

#include "action_panel_run_test.moc"
