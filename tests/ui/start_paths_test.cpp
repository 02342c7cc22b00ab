// ambrel PATH...: files and folders from the command line, loaded in the background as the
// window set starts.
#include <QDir>
#include <filesystem>

#include "errors/error_log.h"
#include "main_window_world.h"
#include "ui/files/file_viewer_pages.h"
#include "window_test_main.h"

using namespace ambrel::test;

class StartPathsTest : public QObject {
    Q_OBJECT

private slots:
    void TheTableHoldsTheGivenFilesAndTheFoldersFiles() {
        FakePrompter prompter;
        AmbrelApplication::Instance()->SetPrompter(&prompter);
        TempDir dir;
        const std::string single =
            WriteMp3(dir / "caf\xE9.mp3", kAudio, MakeBlock(Tag().Title("T")));
        WriteMp3(dir / "album/02.mp3", kAudio, std::nullopt);
        WriteMp3(dir / "album/cd2/01.mp3", kAudio, MakeBlock({}));
        WriteMp3(dir / "album/cover.MP3", kAudio, MakeBlock({}));
        // Relative paths are the working directory's.
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(dir.path())));
        auto windows = std::make_unique<WindowSet>(
            &prompter, std::vector<std::string>{"caf\xE9.mp3", "album/", dir / "gone.mp3"});
        QDir::setCurrent(cwd);
        // The file viewer opens on the folder of the first path, a file here.
        QCOMPARE(windows->Form2()->Pages()->Browser().CurrentPath(), dir.path());

        // Once the windows are up and the load is applied, one warning names what could not
        // be loaded.
        QCOMPARE(prompter.shown.size(), std::size_t(0));
        windows->Show();
        QVERIFY(AwaitLoad(windows->GetLibrary()));
        QtReportView* table = windows->Form1()->ListViewTagViewer();
        QCOMPARE(table->RowCount(), 4);
        ambrel::TTagViewer* viewer = windows->GetLibrary().TagViewer();
        QCOMPARE(viewer->EntryAt(0)->GetPath(), single);  // the name's bytes kept
        QCOMPARE(viewer->EntryAt(1)->GetPath(), dir / "album/02.mp3");
        QCOMPARE(viewer->EntryAt(2)->GetPath(), dir / "album/cd2/01.mp3");
        QCOMPARE(viewer->EntryAt(3)->GetPath(), dir / "album/cover.MP3");  // any letter case
        QCOMPARE(std::string(table->Cell(0, 5)), std::string("T"));
        QCOMPARE(prompter.Count(Shown::kWarning), 1);
        QCOMPARE(prompter.shown.back().text,
                 dir / "gone.mp3" + ": " + windows->GetLibrary().ErrorLog()->MessageText(50));
        windows.reset();
        AmbrelApplication::Instance()->SetPrompter(nullptr);
    }

    void AFolderFirstIsWhereTheFileViewerOpens() {
        FakePrompter prompter;
        TempDir dir;
        WriteMp3(dir / "b/x.mp3", kAudio, MakeBlock({}));
        const std::string song = WriteMp3(dir / "a.mp3", kAudio, MakeBlock({}));
        WindowSet windows(&prompter, {dir / "b", song});
        QCOMPARE(windows.Form2()->Pages()->Browser().CurrentPath(), dir / "b");
        QVERIFY(AwaitLoad(windows.GetLibrary()));
        QCOMPARE(windows.Form1()->ListViewTagViewer()->RowCount(), 2);
        WindowSet plain(&prompter);
        QCOMPARE(plain.Form2()->Pages()->Browser().CurrentPath(),
                 ambrel::ui::FileViewerPages::StartPath());
        QCOMPARE(plain.Form1()->ListViewTagViewer()->RowCount(), 0);
    }
};

int main(int argc, char** argv) { return RunWindowTest<StartPathsTest>(argc, argv); }

#include "start_paths_test.moc"
