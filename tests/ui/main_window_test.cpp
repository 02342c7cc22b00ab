#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "main_window_world.h"
#include "window_test_main.h"

using namespace ambrel::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void TheFrameCarriesItsNamedControls() {
        World w;
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Ambrel 2.0 Free (Pendrake project)"));
        QCOMPARE(QApplication::applicationDisplayName(),
                 QStringLiteral("Ambrel 2.0 Free alpha (Pendrake)"));
        QCOMPARE(w.Headers(), (std::vector<std::string>{"Index", "Directory", "Filename", "Track",
                                                        "Artist", "Song name", "Album", "Comment",
                                                        "Genre", "Year", "Picture"}));
        QCOMPARE(w.table->ColumnImage(0), int(ambrel::TTagViewer::kImageAscending));

        // Only "Save tag" shows its hint as a tooltip.
        QCOMPARE(w.Find<QToolButton>("ToolButtonSaveCurrent")->toolTip(),
                 QStringLiteral("Save currently selected tag"));
        QVERIFY(w.Find<QToolButton>("ToolButtonSaveAll")->toolTip().isEmpty());
        QCOMPARE(w.Find<QToolButton>("ToolButtonSaveAll")->statusTip(),
                 QStringLiteral("Save changes in all changed tags "));
        QCOMPARE(w.Find<QToolButton>("ToolButtonDelAll")->text(),
                 QStringLiteral("Remove selected"));

        // The drop-down menus of the two selection buttons, in order.
        const struct {
            const char* button;
            const char* menu;
            const char* prefix;
        } drop_downs[] = {{"ToolButtonWithTag", "PopupMenuWithTag", "Selectwithfilled"},
                          {"ToolButtonWithNoTag", "PopupMenuNoTag", "Selectwithno"}};
        for (const auto& d : drop_downs) {
            auto* button = w.Find<QToolButton>(d.button);
            QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
            QCOMPARE(button->menu()->objectName(), QLatin1String(d.menu));
            QStringList names;
            for (QAction* item : button->menu()->actions()) names << item->objectName();
            const QString p = QLatin1String(d.prefix);
            QCOMPARE(names, QStringList({p + "Artist1", p + "Songtitle1", p + "Album1",
                                         p + "Comment1", p + "Track1", p + "Year1", p + "Genre1"}));
        }

        // Only the "Tag detail" page of the detail page control is visible.
        auto* detail = w.Find<QTabWidget>("PageControlFileDetail");
        QCOMPARE(detail->count(), 4);
        QVERIFY(detail->isTabVisible(0));
        QCOMPARE(detail->tabText(0), QStringLiteral("Tag detail"));
        for (int tab = 1; tab < 4; ++tab) QVERIFY(!detail->isTabVisible(tab));
        QVERIFY(!detail->isTabEnabled(1));
        QCOMPARE(w.Find<QTabWidget>("PageControlFileViewer")->tabText(0),
                 QStringLiteral("Tag viewer"));
        for (const char* item :
             {"Filemanagervisible1", "Actionpanelvisible1", "Selectlineswithnotag1",
              "Deletetagsonselectedlines1", "Saveallchangestags1", "Applyfilterontaglist1",
              "Checknewversion1", "About2"})
            w.Find<QAction>(item);
    }

    void EveryMenuItemButTheTicksCarriesAPicture() {
        World w;
        int items = 0;
        for (QAction* menu : w.form->menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                if (item->isSeparator() || item->isCheckable()) continue;
                ++items;
                QVERIFY2(!item->icon().isNull(), qPrintable(item->text()));
            }
        }
        QVERIFY(items > 10);
    }

    void DroppingKeepsExactlyTheMp3FilesInDropOrder() {
        World w;
        const std::string tagged =
            w.Write("b/first.mp3", MakeBlock(Tag().Title("T").Artist("Art")));
        const std::string untagged = w.Write("a/second.mp3", std::nullopt);
        const std::string upper = w.Write("a/third.MP3", MakeBlock({}));
        const std::string longer = w.Write("a/fourth.mp3x", MakeBlock({}));
        const std::string inside = w.Write("album.mp3/inner.mp3", MakeBlock({}));
        const std::string text = w.dir / "notes.txt";
        WriteBytes(text, {'x'});
        QSignalSpy inserted(w.table->model(), &QAbstractItemModel::rowsInserted);

        // Dropped on the table: the drop reaches the window through its parents. The
        // extension must be ".mp3" itself, in any letter case.
        DropAndWait(
            w, w.table->viewport(),
            Paths({tagged, upper, w.dir / "a", w.dir / "album.mp3", text, longer, untagged}));
        QCOMPARE(w.library.TagList()->Count(), 3);
        QCOMPARE(w.Column(0), (std::vector<std::string>{"1", "2", "3"}));
        QCOMPARE(w.Column(1), (std::vector<std::string>{"b", "a", "a"}));
        QCOMPARE(w.Column(2), (std::vector<std::string>{"first", "third", "second"}));
        QCOMPARE(w.Column(4), (std::vector<std::string>{"Art", "", ""}));
        QTRY_COMPARE(w.table->model()->rowCount(), 3);
        QCOMPARE(inserted.count(), 1);  // one rebuild

        // A drop without any ".mp3" path changes nothing.
        DropAndWait(w, w.form, Paths({text, longer}));
        QCOMPARE(w.library.TagList()->Count(), 3);
    }

    void FilesDroppedOnAnEditBoxAreLoadedNotTyped() {
        World w;
        const std::string song = w.Write("song.mp3", MakeBlock(Tag().Artist("Art")));
        auto* look_for = w.Find<QComboBox>("ComboBoxExFilter1");
        for (QWidget* target : {static_cast<QWidget*>(w.Find<QLineEdit>("EditTagArtist")),
                                static_cast<QWidget*>(look_for->lineEdit())})
            DropAndWait(w, target, Paths({song}), true);
        QCOMPARE(w.library.TagList()->Count(), 2);
        QCOMPARE(w.Text("EditTagArtist"), QString());
        QCOMPARE(look_for->currentText(), QString());
    }

    void LongPathsAreTakenWhole() {
        World w;
        std::string deep = "d";
        while (deep.size() < 300) deep += "/directory-with-a-long-name";
        const std::string path = w.Write(deep + "/song.mp3", MakeBlock(Tag().Artist("Deep")));
        QVERIFY(path.size() > 300);
        w.Load(Paths({path}));
        QCOMPARE(w.library.TagList()->Get(0)->GetPath(), path);
        QCOMPARE(w.Column(4), std::vector<std::string>{"Deep"});
    }

    // Latin-1 bytes in a name are legal on Linux; the dropped file is the same file.
    void ANameThatIsNotUtf8IsLoadedAndSavedUnderItsOwnBytes() {
        World w;
        const std::string path = w.Write("dir\xe9/caf\xe9.mp3", MakeBlock(Tag().Artist("Old")));
        DropAndWait(w, w.table->viewport(), Paths({path}));
        QCOMPARE(w.library.TagList()->Count(), 1);
        QCOMPARE(w.library.TagList()->Get(0)->GetPath(), path);
        w.Select({0});
        QVERIFY(w.Find<QCheckBox>("CheckBoxTagPresent")->isChecked());
        QCOMPARE(w.Text("EditTagArtist"), QStringLiteral("Old"));
        w.SetText("EditTagArtist", QStringLiteral("New"));
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(ReadTail(path), Bytes(MakeBlock(Tag().Artist("New"))));
        QCOMPARE(w.prompter.shown.size(), std::size_t(0));
    }

    // The data files are read from beside the executable wherever it lies, in a directory
    // whose name is not UTF-8 too: a copy of this test runs from such a directory, with a
    // genre list of its own there, and checks what it reads.
    void TheDataFilesBesideTheExecutableAreFoundInAnyDirectory() {
        if (const char* expected = std::getenv("AMBREL_EXPECTED_EXE_DIR")) {
            World w;
            QCOMPARE(w.library.ExeDir(), std::string(expected));
            w.Load({w.Write("s.mp3", MakeBlock(Tag().Genre(1)))});
            QCOMPARE(w.Column(8), std::vector<std::string>{"Marker genre"});
            return;
        }
        TempDir dir;
        const std::string bin = dir / "bin\xe9";
        std::filesystem::create_directories(bin + "/Data");
        std::filesystem::copy_file("/proc/self/exe", bin + "/copy");
        const std::string cfg = "Blues\nMarker genre\n";
        WriteBytes(bin + "/Data/tagviewer.cfg", {cfg.begin(), cfg.end()});
        const std::string log = dir / "log";
        const std::string command = "AMBREL_EXPECTED_EXE_DIR='" + bin + "' timeout 120 '" + bin +
                                    "/copy' " + QTest::currentTestFunction() + " >'" + log +
                                    "' 2>&1";
        const int status = std::system(command.c_str());
        const std::vector<uint8_t> output = ReadBytes(log);
        QVERIFY2(status == 0, std::string(output.begin(), output.end()).c_str());
    }

    void ColumnMenuHidesAndShowsColumns() {
        World w;
        w.Load(Paths({w.Write("s.mp3", MakeBlock(Tag().Year("1999").Genre(17)))}));
        QAction* genre = w.Find<QAction>("Genre1");
        QVERIFY(genre->isChecked());
        genre->trigger();
        QVERIFY(!genre->isChecked());
        QCOMPARE(w.table->ColumnCount(), 10);
        QCOMPARE(w.table->ColumnCaption(8), std::string("Year"));
        QCOMPARE(w.Column(8), std::vector<std::string>{"1999"});
        genre->trigger();
        QCOMPARE(w.table->ColumnCount(), 11);
        QCOMPARE(w.table->ColumnCaption(8), std::string("Genre"));
        // Columns rebuilt take the table's captions: the sixth reads "Song title" now.
        QCOMPARE(w.table->ColumnCaption(5), std::string("Song title"));
    }

    // The ID3v2 column starts hidden; shown, it gives the version of the files loaded
    // before it was asked for, read from their first ten bytes.
    void Id3v2ColumnShowsTheVersionOfFilesLoadedBefore() {
        World w;
        const std::string tagged = w.Write("a.mp3", MakeBlock(Tag()));
        {
            std::fstream file(tagged, std::ios::in | std::ios::out | std::ios::binary);
            file.write("ID3\x04\x00\x00\x00\x00\x00\x00", 10);
        }
        w.Load(Paths({tagged, w.Write("b.mp3", MakeBlock(Tag()))}));
        QAction* id3v2 = w.Find<QAction>("ID3v21");
        QVERIFY(!id3v2->isChecked());
        QCOMPARE(w.table->ColumnCount(), 11);
        id3v2->trigger();
        QCOMPARE(w.table->ColumnCount(), 12);
        QCOMPARE(w.table->ColumnCaption(11), std::string("ID3v2"));
        QCOMPARE(w.Column(11), (std::vector<std::string>{"2.4", ""}));
        id3v2->trigger();
        QCOMPARE(w.table->ColumnCount(), 11);
    }

    void RemovingLinesLeavesTheFilesAlone() {
        World w;
        std::vector<std::string> paths;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            paths.push_back(w.Write(name, MakeBlock(Tag().Artist(name))));
        const std::vector<uint8_t> before = ReadBytes(paths[1]);
        w.Load(Paths({paths[0], paths[1], paths[2]}));

        w.Select({0, 2});
        QCOMPARE(w.Text("EditTagArtist"), QStringLiteral("a.mp3"));
        w.Click("ToolButtonDelSelected");
        QCOMPARE(w.Column(0), std::vector<std::string>{"1"});
        QCOMPARE(w.Column(4), std::vector<std::string>{"b.mp3"});
        QVERIFY(!w.Find<QCheckBox>("CheckBoxTagPresent")->isChecked());
        QCOMPARE(w.Text("EditTagArtist"), QString());

        w.Select({0});
        w.Click("ToolButtonDelAll");
        QCOMPARE(w.table->RowCount(), 0);
        QCOMPARE(w.library.TagList()->Count(), 0);
        QCOMPARE(w.Text("EditTagArtist"), QString());
        QCOMPARE(ReadBytes(paths[1]), before);
    }

    void PlacementFollowsTheWorkedExample() {
        auto all = ambrel::ui::ComputePlacement(1280, 984, 265, true, 297, true);
        QCOMPARE(all.file_viewer, std::optional<QRect>(QRect(1, 1, 265, 984)));
        QCOMPARE(all.main, QRect(266, 1, 716, 984));
        QCOMPARE(all.action_panel, std::optional<QRect>(QRect(982, 1, 297, 984)));
        auto no_panel = ambrel::ui::ComputePlacement(1280, 984, 265, true, 297, false);
        QCOMPARE(no_panel.main, QRect(266, 1, 1013, 984));
        QVERIFY(!no_panel.action_panel);
        auto alone = ambrel::ui::ComputePlacement(1280, 984, 265, false, 297, false);
        QCOMPARE(alone.main, QRect(1, 1, 1278, 984));
        QVERIFY(!alone.file_viewer);
    }

    void SideWindowsToggleAndClosingTheFileViewerUnticksIt() {
        World w;
        auto* viewer = w.windows->Form2();
        auto* panel = w.windows->Form3();
        w.form->show();
        QVERIFY(viewer->isVisible() && panel->isVisible());
        const QRect work = ambrel::ui::WorkArea();
        QCOMPARE(viewer->frameGeometry().topLeft(), QPoint(1, 1));
        QCOMPARE(w.form->frameGeometry().left(), 1 + viewer->frameGeometry().width());
        QCOMPARE(panel->frameGeometry().left(),
                 work.x() + work.width() - panel->frameGeometry().width() - 1);

        QAction* viewer_item = w.Find<QAction>("Filemanagervisible1");
        viewer_item->trigger();
        QVERIFY(!w.form->FileViewerVisible());
        QVERIFY(!viewer_item->isChecked());
        QVERIFY(!viewer->isVisible());
        QCOMPARE(w.form->frameGeometry().left(), 1);
        viewer_item->trigger();
        QVERIFY(viewer->isVisible() && viewer_item->isChecked());
        QCOMPARE(w.form->frameGeometry().left(), 1 + viewer->frameGeometry().width());

        viewer->close();
        QVERIFY(!w.form->FileViewerVisible());
        QVERIFY(!viewer_item->isChecked());
        QCOMPARE(w.form->frameGeometry().left(), 1);
        panel->close();
        QVERIFY(!w.Find<QAction>("Actionpanelvisible1")->isChecked());
        QVERIFY(!w.form->ActionPanelVisible());
    }

    void KeyboardCommandsAndDialogs() {
        World w;
        w.Load(Paths({w.Write("a.mp3", MakeBlock({})), w.Write("b.mp3", MakeBlock({}))}));
        w.form->show();
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form));
        w.table->setFocus();
        QTest::keyClick(w.form, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.table->SelectedRows(), (std::vector<int>{0, 1}));
        QTest::keyClick(w.form, Qt::Key_Delete);
        QCOMPARE(w.table->RowCount(), 0);

        // Both dialogs are modal: the command returns once the dialog is closed.
        const std::pair<const char*, QDialog*> dialogs[] = {
            {"About2", w.windows->AboutBox()}, {"Checknewversion1", w.windows->Form5()}};
        for (const auto& [item, dialog] : dialogs) {
            QWidget* modal = nullptr;
            QTimer::singleShot(0, dialog, [&modal, dialog = dialog] {
                modal = QApplication::activeModalWidget();
                dialog->close();
            });
            w.Trigger(item);
            QCOMPARE(modal, static_cast<QWidget*>(dialog));
            QVERIFY(!dialog->isVisible());
        }
    }

    void ClosingTheMainWindowDestroysTheModel() {
        World w;
        w.Load(Paths({w.Write("a.mp3", MakeBlock({}))}));
        w.form->show();
        w.form->close();
        QVERIFY(w.library.TagList() == nullptr);
        QVERIFY(w.library.TagViewer() == nullptr);
        QVERIFY(w.library.ErrorLog() == nullptr);
        // Commands and drops after the model is gone do nothing.
        w.Load(Paths({w.Write("b.mp3", MakeBlock({}))}));
        w.Click("ToolButtonSelectAll");
        w.Click("ToolButtonSaveAll");
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(w.prompter.shown.size(), std::size_t(0));
    }
};

int main(int argc, char** argv) { return RunWindowTest<MainWindowTest>(argc, argv); }

#include "main_window_test.moc"
