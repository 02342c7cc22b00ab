#include "ui/files/file_viewer_window.h"

#include <sys/mount.h>

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "background_load.h"
#include "files/directory_browser.h"
#include "files/file_viewer.h"
#include "library/library.h"
#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"
#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"
#include "ui/common/qt_report_view.h"
#include "ui/files/file_viewer_pages.h"
#include "ui/files/qt_selectors.h"
#include "ui/viewer/main_window.h"
#include "viewer/tag_viewer.h"
#include "window_test_main.h"

using namespace ambrel;
using namespace ambrel::test;
using ambrel::ui::FileViewerPages;
using ambrel::ui::QtDriveSelector;
using ambrel::ui::QtFilterSelector;
using ambrel::ui::QtReportView;
using ambrel::ui::TForm1;
using ambrel::ui::TForm2;
using ambrel::ui::WindowSet;

namespace {

using Texts = std::vector<std::string>;

// A temporary tree:  a.mp3 (tagged)  b.mp3  c.txt  d.MP3 (tagged: an MP3 file in any case)
//                    Album/x.mp3 (tagged)  Album/y.mp3
// The names sort the same in every locale.
struct Tree {
    TempDir dir;

    Tree() {
        Tagged("a.mp3");
        Untagged("b.mp3");
        WriteBytes(dir / "c.txt", {'t', 'e', 'x', 't'});
        Tagged("d.MP3");
        Tagged("Album/x.mp3");
        Untagged("Album/y.mp3");
    }
    std::string Tagged(const std::string& relative) const {
        TagFields fields;
        fields.artist = "Artist";
        return WriteMp3(dir / relative, 300, MakeBlock(fields));
    }
    std::string Untagged(const std::string& relative) const {
        return WriteMp3(dir / relative, 300, std::nullopt);
    }
    std::string operator/(const std::string& relative) const { return dir / relative; }
};

// The program's real windows, with a scripted prompter behind them all. The file
// viewer is taken to the tree by choosing it in the drive selector, as a mounted volume.
struct World {
    Tree tree;
    FakePrompter prompter;
    WindowSet windows{&prompter};
    TForm1* form1 = windows.Form1();
    TForm2* form2 = windows.Form2();
    FileViewerPages& pages = *form2->Pages();
    QtReportView* table = form1->ListViewTagViewer();

    World() {
        form2->show();
        Drives()->SetRoots({"/", tree.dir.path()});
        QTest::keyClick(Drives(), Qt::Key_Down);
    }

    template <typename T>
    T* Find(const char* name) const {
        T* child = form2->findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no child %s", name);
        return child;
    }
    QtReportView* Directories() const { return Find<QtReportView>("ListViewDirectories"); }
    QtReportView* Files() const { return Find<QtReportView>("ListViewFiles"); }
    QtFilterSelector* Filter() const { return Find<QtFilterSelector>("FilterComboBox"); }
    QtDriveSelector* Drives() const { return Find<QtDriveSelector>("DriveComboBox"); }
    // A click or a menu item, and the wait for the load it may have started.
    void Click(const char* button) const {
        QTest::mouseClick(Find<QToolButton>(button), Qt::LeftButton);
        QVERIFY(AwaitLoad(windows.GetLibrary()));
    }
    void Trigger(const char* item) const {
        Find<QAction>(item)->trigger();
        QVERIFY(AwaitLoad(windows.GetLibrary()));
    }
    // A click on a box of the Settings page, with that page shown.
    void Check(const char* box) {
        pages.setCurrentIndex(1);
        QTest::mouseClick(Find<QCheckBox>(box), Qt::LeftButton);
        pages.setCurrentIndex(0);
    }
    const std::string& Path() const { return pages.Browser().CurrentPath(); }

    static Texts Column(const QtReportView* view, int pos) {
        Texts texts;
        for (int row = 0; row < view->RowCount(); ++row) texts.emplace_back(view->Cell(row, pos));
        return texts;
    }
    // Selects the directory row with this caption, as a click does.
    void SelectDirectory(const std::string& caption) const {
        const Texts names = Column(Directories(), 0);
        const auto found = std::find(names.begin(), names.end(), caption);
        QVERIFY2(found != names.end(), caption.c_str());
        const int row = static_cast<int>(found - names.begin());
        QTest::mouseClick(Directories()->viewport(), Qt::LeftButton, {}, RowCentre(row));
    }
    // A double click: press and release, then the double-click event.
    void DoubleClickDirectory(int row) const {
        QTest::mouseClick(Directories()->viewport(), Qt::LeftButton, {}, RowCentre(row));
        QTest::mouseDClick(Directories()->viewport(), Qt::LeftButton, {}, RowCentre(row));
    }
    QPoint RowCentre(int row) const {
        QtReportView* view = Directories();
        view->Flush();
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    // The paths of the main window's rows, relative to the tree, in row order.
    Texts Loaded() const {
        Texts paths;
        const std::string base = tree.dir.path() + "/";
        for (int row = 0; row < table->RowCount(); ++row) {
            paths.push_back(
                windows.GetLibrary().TagViewer()->EntryAt(row)->GetPath().substr(base.size()));
        }
        return paths;
    }
    static Texts Sorted(Texts texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    }
};

}  // namespace

class FileViewerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void ListsTheDirectoryWithTheMp3FilterAndTagStatus() {
        World w;
        QCOMPARE(w.Path(), w.tree.dir.path());
        // The header names the current directory; the parent entry stands first, selected.
        QCOMPARE(w.Directories()->ColumnCaption(0), w.tree.dir.path());
        QCOMPARE(World::Column(w.Directories(), 0), (Texts{" ..", "Album"}));
        QCOMPARE(w.Directories()->SelectedRows(), std::vector<int>{0});
        QCOMPARE(w.Filter()->currentText(), QStringLiteral("Mp3 files (*.mp3)"));
        // The filter compares lower-cased extensions, the tag status only ".mp3" as written.
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3", "d.MP3"}));
        QCOMPARE(World::Column(w.Files(), 1), (Texts{"Mp3v1", "No", "Mp3v1"}));
        QCOMPARE(w.Files()->ColumnWidth(1), 60);
        // Every row has a picture; directories share one, the mp3 files another.
        QVERIFY(w.Directories()->RowImage(1) >= 0);
        QCOMPARE(w.Files()->RowImage(0), w.Files()->RowImage(1));
        QVERIFY(w.Files()->RowImage(0) != w.Directories()->RowImage(1));
    }

    void OpensOnTheVolumeThatHoldsTheWorkingDirectory() {
        WindowSet windows;
        const std::string start = FileViewerPages::StartPath();
        QCOMPARE(windows.Form2()->Pages()->Browser().CurrentPath(), start);
        const std::string cwd = QDir::currentPath().toStdString();
        QVERIFY(start == "/" || cwd.compare(0, start.size() + 1, start + "/") == 0);
        QCOMPARE(windows.Form2()->windowTitle(), QStringLiteral("File viewer"));
    }

    // A volume mounted under a name that is not UTF-8 (an old disk's label) is opened and
    // offered under its own bytes.
    void OpensOnAVolumeWhoseNameIsNotUtf8() {
        TempDir dir;
        const std::string volume = dir / "disk\xe9 one";
        std::filesystem::create_directories(volume);
        struct Mounted {
            std::string at;
            std::filesystem::path was = std::filesystem::current_path();
            ~Mounted() {
                std::filesystem::current_path(was);
                ::umount2(at.c_str(), MNT_DETACH);
            }
        };
        if (::mount("tmpfs", volume.c_str(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("mounting a tmpfs needs root");
        const Mounted mounted{volume};
        std::filesystem::create_directories(volume + "/sub");
        std::filesystem::current_path(volume + "/sub");

        QCOMPARE(FileViewerPages::StartPath(), volume);
        WindowSet windows;
        QCOMPARE(windows.Form2()->Pages()->Browser().CurrentPath(), volume);
        auto* drives = windows.Form2()->findChild<QtDriveSelector*>("DriveComboBox");
        QCOMPARE(drives->Drive(), volume);
    }

    void NavigatesWithEnterDoubleClickBackspaceAndTheUpButton() {
        World w;
        const std::string album = w.tree / "Album";

        w.SelectDirectory("Album");
        QTest::keyClick(w.Directories(), Qt::Key_Return);
        QCOMPARE(w.Path(), album);
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"x.mp3", "y.mp3"}));
        // The listing selected " .." and made it the current row: Enter goes back up.
        QTest::keyClick(w.Directories(), Qt::Key_Return);
        QCOMPARE(w.Path(), w.tree.dir.path());

        w.DoubleClickDirectory(1);
        QCOMPARE(w.Path(), album);
        w.DoubleClickDirectory(0);
        QCOMPARE(w.Path(), w.tree.dir.path());

        w.SelectDirectory("Album");
        QTest::keyClick(w.Directories(), Qt::Key_Return);
        QTest::keyClick(w.Directories(), Qt::Key_Backspace);
        QCOMPARE(w.Path(), w.tree.dir.path());
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3", "d.MP3"}));

        w.Click("ToolButtonFolderUp");
        QCOMPARE(w.Path(), std::filesystem::path(w.tree.dir.path()).parent_path().string());
        QCOMPARE(w.Directories()->ColumnCaption(0), w.Path());
    }

    void ParentEntryRefusesAnInPlaceEditor() {
        World w;
        QtReportView* dirs = w.Directories();
        dirs->EditCaption(0);
        QVERIFY(!dirs->viewport()->findChild<QLineEdit*>());
        dirs->EditCaption(1);
        QVERIFY(dirs->viewport()->findChild<QLineEdit*>());
    }

    void VolumeThatCannotBeOpenedPutsTheSelectorBack() {
        World w;
        QtDriveSelector* drives = w.Drives();
        const std::string missing = w.tree / "no-such-volume";
        drives->SetRoots({"/", missing});
        drives->SetDrive("/");

        QTest::keyClick(drives, Qt::Key_Down);
        QCOMPARE(drives->Drive(), std::string("/"));
        QCOMPARE(w.Path(), w.tree.dir.path());
        QCOMPARE(w.prompter.shown.size(), std::size_t{1});
        QCOMPARE(w.prompter.shown[0].text,
                 std::string("Error while reading from drive: Unable to open drive"));

        // Choosing a volume, the current one included, leads to its root.
        drives->SetRoots({"/", w.tree.dir.path()});
        QTest::keyClick(drives, Qt::Key_Down);
        QCOMPARE(w.Path(), w.tree.dir.path());
        w.SelectDirectory("Album");
        QTest::keyClick(w.Directories(), Qt::Key_Return);
        QCOMPARE(w.Path(), w.tree / "Album");
        emit drives->activated(1);
        QCOMPARE(w.Path(), w.tree.dir.path());
        QTest::keyClick(drives, Qt::Key_Up);
        QCOMPARE(w.Path(), std::string("/"));
        QVERIFY(World::Column(w.Directories(), 0).front() != " ..");
    }

    void ChangingTheFilterListsTheFilesAgain() {
        World w;
        QTest::keyClick(w.Filter(), Qt::Key_Down);
        QCOMPARE(w.Filter()->currentText(), QStringLiteral("All files (*.*)"));
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3", "c.txt", "d.MP3"}));
        QCOMPARE(World::Column(w.Files(), 1), (Texts{"Mp3v1", "No", "No", "Mp3v1"}));
        QCOMPARE(w.Files()->SelectedRows(), std::vector<int>{0});
        // The directory list is left as it was.
        QCOMPARE(World::Column(w.Directories(), 0), (Texts{" ..", "Album"}));

        QTest::keyClick(w.Filter(), Qt::Key_Up);
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3", "d.MP3"}));
    }

    void SettingsSwitchHiddenFilesIconsAndTheTagColumn() {
        World w;
        w.tree.Tagged(".hidden.mp3");
        w.Click("ToolButtonFolderRefresh");
        QCOMPARE(w.Files()->RowCount(), 4);

        w.Check("CheckBoxViewerHidden");
        QCOMPARE(World::Sorted(World::Column(w.Files(), 0)), (Texts{"a.mp3", "b.mp3", "d.MP3"}));

        w.Check("CheckBoxViewerIcons");
        QCOMPARE(w.Files()->RowImage(0), -1);
        QCOMPARE(w.Directories()->RowImage(1), -1);
        w.Check("CheckBoxViewerIcons");
        QVERIFY(w.Files()->RowImage(0) >= 0);

        w.Check("CheckBoxTagStatus");
        QCOMPARE(w.Files()->ColumnCount(), 1);
        QCOMPARE(w.Files()->CellCount(0), 1);
        w.Check("CheckBoxTagStatus");
        QCOMPARE(w.Files()->ColumnCount(), 2);
        QCOMPARE(w.Files()->ColumnCaption(1), std::string("Tag"));
        QCOMPARE(w.Files()->ColumnWidth(1), 60);
        QCOMPARE(World::Column(w.Files(), 1), (Texts{"Mp3v1", "No", "Mp3v1"}));
    }

    // After a save the written files' rows follow in place. A folder that changed since it
    // was listed is listed again, keeping the selected row number, or taking the last row
    // when the list got shorter.
    void SavedTagsUpdateTheirRowsOrRelistAChangedFolder() {
        namespace fs = std::filesystem;
        World w;
        const std::string folder = w.tree.dir.path();
        w.Files()->ReplaceSelection({1});
        w.tree.Tagged("b.mp3");
        w.pages.AfterTagsSaved({w.tree / "b.mp3", w.tree / "Album/y.mp3"});
        QCOMPARE(World::Column(w.Files(), 1), (Texts{"Mp3v1", "Mp3v1", "Mp3v1"}));
        QCOMPARE(w.Files()->SelectedRows(), std::vector<int>{1});

        // A written file that is gone.
        w.Files()->ReplaceSelection({2});
        fs::remove(w.tree / "d.MP3");
        w.pages.AfterTagsSaved({w.tree / "d.MP3"});
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3"}));
        QCOMPARE(w.Files()->SelectedRows(), std::vector<int>{1});

        // A file made since the listing moves the folder's time on; the listing's time is
        // set an hour back first, so the clock's grain cannot hide the change.
        fs::last_write_time(folder, fs::last_write_time(folder) - std::chrono::hours(1));
        w.Click("ToolButtonFolderRefresh");
        w.tree.Untagged("c.mp3");
        w.pages.AfterTagsSaved({w.tree / "a.mp3"});
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3", "c.mp3"}));

        // A written file without a row, in a folder whose time a coarse clock left as it was.
        const auto listed = fs::last_write_time(folder);
        w.tree.Untagged("e.mp3");
        fs::last_write_time(folder, listed);
        w.pages.AfterTagsSaved({w.tree / "e.mp3"});
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3", "c.mp3", "e.mp3"}));

        // Without the tag status a save leaves the list alone.
        w.Check("CheckBoxTagStatus");
        fs::remove(w.tree / "b.mp3");
        w.pages.AfterTagsSaved({w.tree / "b.mp3"});
        QCOMPARE(World::Column(w.Files(), 0), (Texts{"a.mp3", "b.mp3", "c.mp3", "e.mp3"}));
    }

    // A save in the main window reaches the file list's Tag column.
    void SavingInTheMainWindowUpdatesTheTagColumn() {
        World w;
        w.Files()->ReplaceSelection({1});  // b.mp3, untagged
        w.Click("ToolButtonLoadFiles");
        QCOMPARE(w.Loaded(), (Texts{"b.mp3"}));
        w.table->ReplaceSelection({0});
        w.form1->findChild<QCheckBox*>("CheckBoxTagPresent")->click();
        w.form1->findChild<QToolButton*>("ToolButtonSaveAll")->click();
        QCOMPARE(World::Column(w.Files(), 1), (Texts{"Mp3v1", "Mp3v1", "Mp3v1"}));
        QCOMPARE(w.Files()->SelectedRows(), std::vector<int>{1});
    }

    // "Save tag" reads the saved file's status again and nothing else: a file changed
    // behind the program's back keeps its old cell, which only a listing would refresh.
    void SavingOneTagUpdatesOnlyItsRowWithoutAListing() {
        World w;
        w.Files()->ReplaceSelection({0});  // a.mp3, tagged
        w.Click("ToolButtonLoadFiles");
        w.Files()->ReplaceSelection({2});
        w.tree.Tagged("b.mp3");
        w.table->ReplaceSelection({0});
        w.form1->findChild<QCheckBox*>("CheckBoxTagPresent")->click();
        w.form1->findChild<QToolButton*>("ToolButtonSaveCurrent")->click();
        QCOMPARE(FileSize(w.tree / "a.mp3"), 300LL);  // the tag is cut off
        QCOMPARE(World::Column(w.Files(), 1), (Texts{"No", "No", "Mp3v1"}));
        QCOMPARE(w.Files()->SelectedRows(), std::vector<int>{2});
    }

    void ClosingAndShowingAgainKeepsAWorkingWindow() {
        World w;
        w.form1->show();
        QVERIFY(w.form2->isVisible());
        w.SelectDirectory("Album");
        QTest::keyClick(w.Directories(), Qt::Key_Return);
        w.form2->close();
        QVERIFY(!w.form2->isVisible());
        QVERIFY(!w.form1->FileViewerVisible());

        w.form1->findChild<QAction*>("Filemanagervisible1")->trigger();
        QVERIFY(w.form2->isVisible());
        QCOMPARE(w.Path(), w.tree / "Album");
        QTest::keyClick(w.Directories(), Qt::Key_Backspace);
        QCOMPARE(w.Path(), w.tree.dir.path());
        w.Trigger("Onlywheretagpresent1");
        QCOMPARE(World::Sorted(w.Loaded()), (Texts{"Album/x.mp3", "a.mp3", "d.MP3"}));
    }

    void LoadsTheDirectoryInEachMode() {
        struct Case {
            const char* command;
            Texts loaded;
        };
        const Case cases[] = {
            {"ToolButtonLoadDirectory", {"Album/x.mp3", "Album/y.mp3", "a.mp3", "b.mp3", "d.MP3"}},
            {"Allfiles1", {"Album/x.mp3", "Album/y.mp3", "a.mp3", "b.mp3", "d.MP3"}},
            {"Onlywheretagpresent1", {"Album/x.mp3", "a.mp3", "d.MP3"}},
            {"Onlywheretagisnotpresent1", {"Album/y.mp3", "b.mp3"}},
        };
        for (const Case& c : cases) {
            World w;
            if (std::string(c.command) == "ToolButtonLoadDirectory") {
                w.Click(c.command);
            } else {
                w.Trigger(c.command);
            }
            QCOMPARE(World::Sorted(w.Loaded()), c.loaded);
        }
    }

    void LoadFromTheDirectoryMenuKeepsTheModeAndHonoursTheSubdirectoryBox() {
        World w;
        w.Trigger("Onlywheretagpresent1");
        w.windows.GetLibrary().TagList()->Clear();
        w.Check("CheckBoxLoadSubdirs");
        w.Trigger("Loadfilesfromcurrentdirectory1");
        QCOMPARE(w.Loaded(), (Texts{"a.mp3", "d.MP3"}));
        QVERIFY(w.pages.FileViewer().GetLoadMode() == ambrel::LoadMode::kTagged);
        // Loading again adds every file again.
        w.Trigger("Loadfilesfromcurrentdirectory1");
        QCOMPARE(w.Loaded(), (Texts{"a.mp3", "d.MP3", "a.mp3", "d.MP3"}));
        QVERIFY(w.prompter.shown.empty());
    }

    void LoadingAVanishedDirectoryIsReported() {
        World w;
        w.SelectDirectory("Album");
        QTest::keyClick(w.Directories(), Qt::Key_Return);
        std::filesystem::remove_all(w.tree / "Album");
        w.Click("ToolButtonLoadDirectory");
        QCOMPARE(w.prompter.Count(FakePrompter::Shown::kWarning), 1);
        QCOMPARE(w.prompter.shown[0].caption, std::string("Error occuried"));
        QCOMPARE(w.table->RowCount(), 0);
    }

    void LoadsTheSelectedFilesInEachMode() {
        struct Case {
            const char* command;
            Texts loaded;
        };
        const Case cases[] = {
            {"ToolButtonLoadFiles", {"a.mp3", "b.mp3"}},
            {"Loadall1", {"a.mp3", "b.mp3"}},
            {"Loadonlywheretgpresent1", {"a.mp3"}},
            {"Loadwheretagisnotpresent1", {"b.mp3"}},
        };
        for (const Case& c : cases) {
            World w;
            QTest::keyClick(w.Filter(), Qt::Key_Down);  // all files: c.txt is offered too
            w.Click("ToolButtonSelectAllfiles");
            QCOMPARE(w.Files()->SelectedRows().size(), std::size_t{4});
            w.Files()->SetSelected(3, false);  // d.MP3
            if (std::string(c.command) == "ToolButtonLoadFiles") {
                w.Click(c.command);
            } else {
                w.Trigger(c.command);
            }
            // The tag list takes only ".mp3" paths; the rows keep the file list's order.
            QCOMPARE(w.Loaded(), c.loaded);
        }
        World w;
        w.Click("ToolButtonDeselectAllfiles");
        QVERIFY(w.Files()->SelectedRows().empty());
        w.Click("ToolButtonLoadFiles");
        QCOMPARE(w.table->RowCount(), 0);
    }
};

int main(int argc, char** argv) { return RunWindowTest<FileViewerWindowTest>(argc, argv); }
#include "file_viewer_window_test.moc"
