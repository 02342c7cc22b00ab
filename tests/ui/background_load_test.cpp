// Loads in the background through the real windows: a slow load shows its bar while the
// event loop goes on, greys what would change the list, and ends once, cancelled or not;
// a window closed during a load is left in one piece. The reads are slowed by the load's
// test hook.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "files/parallel_load.h"
#include "main_window_world.h"
#include "support/gate.h"
#include "ui/actions/copy_options_page.h"
#include "ui/actions/rename_pages.h"
#include "ui/files/file_viewer_pages.h"
#include "ui/files/file_viewer_window.h"
#include "window_test_main.h"

using namespace ambrel::test;

namespace {

QString shots_dir;
constexpr int kFiles = 150;

// The file names of a slow tree, in load order.
std::vector<std::string> SlowTree(World& w) {
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "slow/s" + std::to_string(1000 + i) + ".mp3";
        paths.push_back(w.Write(name, MakeBlock(Tag().Artist(name))));
    }
    return paths;
}

// Each read waits a little, on the load's own thread: the load takes about a second.
void SlowReads(World& w) {
    ambrel::LoadOptions options;
    options.readers = 1;
    options.before_read = [](const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(8));
    };
    w.library.SetLoadOptions(options);
}

// The controls of the three windows whose commands change the list or its files.
std::vector<QObject*> ListChangers(World& w) {
    std::vector<QObject*> controls;
    for (const char* name : {"ToolButtonDelSelected", "ToolButtonDelAll", "ToolButtonSaveCurrent",
                             "ToolButtonSaveAll", "SpeedButtonTagSave"})
        controls.push_back(w.Find<QWidget>(name));
    for (const char* name : {"Deletetagsonselectedlines1", "Deletealltags1",
                             "Savecurrentlyselectedtag1", "Saveallchangestags1"})
        controls.push_back(w.Find<QAction>(name));
    QWidget* viewer = w.windows->Form2();
    for (const char* name :
         {"ToolButtonLoadDirectory", "ToolButtonLoadFiles", "ToolButtonMoveFiles",
          "ToolButtonCopyFiles", "ToolButtonDeleteFiles", "ToolButtonFolderCreate",
          "ToolButtonFolderRename", "ToolButtonFolderDelete"})
        controls.push_back(viewer->findChild<QWidget*>(QLatin1String(name)));
    for (const char* name :
         {"Allfiles1", "Loadall1", "Loadfilesfromcurrentdirectory1", "Deleteselecteddirectory1"})
        controls.push_back(viewer->findChild<QAction*>(QLatin1String(name)));
    for (const char* name : {"SpeedButtonFR", "SpeedButtonTR", "SpeedButtonWrite"})
        controls.push_back(w.windows->Form3()->findChild<QWidget*>(QLatin1String(name)));
    if (std::count(controls.begin(), controls.end(), nullptr) != 0) qFatal("a control is missing");
    return controls;
}

// The names in a directory, sorted.
std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool AllEnabled(const std::vector<QObject*>& controls, bool enabled) {
    return std::all_of(controls.begin(), controls.end(), [enabled](QObject* control) {
        if (auto* widget = qobject_cast<QWidget*>(control)) return widget->isEnabled() == enabled;
        return qobject_cast<QAction*>(control)->isEnabled() == enabled;
    });
}

// With "--shots DIR": the main window and the whole screen while the load runs.
void Shot(QWidget* window, const char* name) {
    if (shots_dir.isEmpty()) return;
    QDir().mkpath(shots_dir);
    QVERIFY(window->grab().save(shots_dir + QLatin1Char('/') + QLatin1String(name)));
    QTest::qWait(100);  // the display server shows what was just painted
    QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(
        shots_dir + QStringLiteral("/screen_") + QLatin1String(name)));
}

bool AcceptsDrag(World& w) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/x.mp3"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form, &enter);
    return enter.isAccepted();
}

}  // namespace

class BackgroundLoadTest : public QObject {
    Q_OBJECT

private slots:
    void ASlowLoadShowsItsBarWhileTheWindowsGoOnAndCancelKeepsAPrefix() {
        World w;
        const std::vector<std::string> paths = SlowTree(w);
        w.Load({paths[0]});
        SlowReads(w);
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form));
        auto* panel = w.Find<QWidget>("PanelLoad");
        auto* bar = w.Find<QProgressBar>("ProgressBarLoad");
        const std::vector<QObject*> changers = ListChangers(w);
        QVERIFY(AllEnabled(changers, true));
        QVERIFY(AcceptsDrag(w));
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        QSignalSpy inserted(w.table->model(), &QAbstractItemModel::rowsInserted);

        w.form->AddDroppedPaths(paths);
        QVERIFY(w.library.IsBusy());
        QVERIFY2(!panel->isVisible(), "a quick load never flashes the bar");
        QVERIFY(AllEnabled(changers, false));
        QVERIFY(!AcceptsDrag(w));
        QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 10000);
        QVERIFY(w.library.IsBusy());
        // While the files are read the table, its selection and the menus still work.
        QCOMPARE(w.table->RowCount(), 1);
        w.Trigger("Selectalllines1");
        QCOMPARE(w.table->SelectedRows(), std::vector<int>{0});
        QCOMPARE(w.Text("EditTagArtist"), QString::fromStdString("slow/s1000.mp3"));
        QTRY_VERIFY(bar->value() > 0);
        QVERIFY(bar->text().contains(QLatin1String(" / ")));
        Shot(w.form, "loading.png");
        QVERIFY2(ticks > 3, "the event loop turns during the load");

        w.Find<QPushButton>("ButtonCancelLoad")->click();
        QVERIFY(AwaitLoad(w.library));
        QVERIFY(!panel->isVisible());
        QVERIFY(AllEnabled(changers, true));
        QCOMPARE(inserted.count(), 1);  // the table rebuilt once
        const std::vector<std::string> names = w.Column(2);
        QVERIFY(names.size() > 1 && names.size() < kFiles + 1u);
        for (std::size_t row = 1; row < names.size(); ++row)
            QCOMPARE(names[row], "s" + std::to_string(1000 + row - 1));
    }

    // The commands refuse while busy also where no greyed control stands between: keys and
    // calls.
    void CommandsThatChangeTheListWaitForTheLoad() {
        World w;
        const std::vector<std::string> paths = SlowTree(w);
        w.Load({paths[0], paths[1]});
        w.library.TagList()->Get(0)->SetArtist("changed");
        const auto gate = HoldReadOf(w.library, paths[5]);
        w.form->AddDroppedPaths(paths);
        gate->AwaitReached();
        w.Select({0, 1});
        w.form->RemoveSelectedLines();
        w.form->RemoveAllLines();
        w.form->SaveAllTags();
        w.form->AddDroppedPaths({paths[2]});
        QCOMPARE(w.table->RowCount(), 2);
        QCOMPARE(ReadTail(paths[0]), Bytes(MakeBlock(Tag().Artist("slow/s1000.mp3"))));
        gate->Release();
        QVERIFY(AwaitLoad(w.library));
        QCOMPARE(w.table->RowCount(), kFiles + 2);
    }

    // The file viewer's file and folder commands and the action panel's three runs, called
    // with their files and rows chosen, neither ask, nor touch a file, nor change a row
    // while the load runs.
    void TheFileAndPanelCommandsWaitForTheLoad() {
        World w;
        const std::vector<std::string> paths = SlowTree(w);
        const std::string target = w.dir / "target";
        std::filesystem::create_directories(target + "/sub");
        w.Load({paths[0], paths[1]});
        w.Select({0, 1});
        ambrel::ui::FileViewerPages* pages = w.windows->Form2()->Pages();
        // The browser goes to the folder and lists it anew, with "sub" selected.
        QCOMPARE(pages->Browser().ListDirectory(target), 1);
        pages->ToolButtonFolderRefreshClick();
        auto* folders = pages->findChild<QtReportView*>(QStringLiteral("ListViewDirectories"));
        for (int row = 0; row < folders->RowCount(); ++row)
            if (folders->Cell(row, 0) == "sub") folders->ReplaceSelection({row});
        QCOMPARE(pages->Browser().GetSelectedDirName().value_or(""), std::string("sub"));
        ambrel::ui::TForm3* panel = w.windows->Form3();
        for (const char* list : {"ListBoxFR", "ListBoxTR"})
            panel->findChild<QListWidget*>(QLatin1String(list))->setCurrentRow(0);
        panel->findChild<QLineEdit*>(QStringLiteral("EditTagArtist"))->setText("typed");
        const auto gate = HoldReadOf(w.library, paths[5]);
        w.form->AddDroppedPaths(paths);
        gate->AwaitReached();

        pages->ToolButtonMoveFilesClick();
        pages->ToolButtonCopyFilesClick();
        pages->ToolButtonDeleteFilesClick();
        pages->ToolButtonFolderCreateClick();
        pages->ToolButtonFolderRenameClick();
        pages->ToolButtonFolderDeleteClick();
        pages->ListViewDirectoriesEdited(folders->FirstSelected(), QStringLiteral("renamed"));
        panel->findChild<ambrel::ui::FileRenamePage*>()->RunFileRename();
        panel->findChild<ambrel::ui::TagRenamePage*>()->RunTagRename();
        panel->findChild<ambrel::ui::CopyOptionsPage*>()->WriteSelectedTags();
        QVERIFY(w.prompter.shown.empty());
        QCOMPARE(Names(target), std::vector<std::string>{"sub"});
        QCOMPARE(Names(w.dir / "slow").size(), std::size_t{kFiles});
        for (int pos : {0, 1})
            QCOMPARE(w.library.TagList()->Get(pos)->GetArtist(),
                     "slow/s" + std::to_string(1000 + pos) + ".mp3");
        gate->Release();
        QVERIFY(AwaitLoad(w.library));
        QCOMPARE(w.table->RowCount(), kFiles + 2);
    }

    // The main window closed, or the whole window set gone, while a read hangs: nothing is
    // left that the load's end could reach.
    void ClosingTheWindowsDuringALoadLeavesNothingBroken() {
        for (const bool whole_set : {false, true}) {
            auto w = std::make_unique<World>();
            const std::vector<std::string> paths = SlowTree(*w);
            const auto gate = HoldReadOf(w->library, paths[3]);
            w->form->show();
            w->form->AddDroppedPaths(paths);
            gate->AwaitReached();
            if (whole_set) {
                w->windows.reset();
            } else {
                w->form->close();
                QVERIFY(!w->library.IsBusy());
                QVERIFY(w->library.TagList() == nullptr);
            }
            gate->Release();
            QTest::qWait(200);
            w.reset();
            QTest::qWait(50);
        }
    }
};

int main(int argc, char** argv) {
    return RunWindowTest<BackgroundLoadTest>(argc, argv, &shots_dir);
}

#include "background_load_test.moc"
