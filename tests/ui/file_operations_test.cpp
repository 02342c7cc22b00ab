// The file viewer's file and folder commands through the program's real windows: the main
// window's selection copied and moved into the file viewer's folder through the process
// dialog, files and folders deleted, folders created and renamed.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/directory_browser.h"
#include "files/file_viewer.h"
#include "library/library.h"
#include "process_dialog_watch.h"
#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"
#include "tag/tag_file.h"
#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"
#include "ui/common/qt_report_view.h"
#include "ui/files/file_viewer_pages.h"
#include "ui/files/file_viewer_window.h"
#include "ui/files/process_dialog.h"
#include "ui/files/qt_selectors.h"
#include "ui/viewer/main_window.h"
#include "viewer/tag_viewer.h"
#include "window_test_main.h"

using namespace ambrel;
using namespace ambrel::test;
using ambrel::ui::FileViewerPages;
using ambrel::ui::QtReportView;
using ambrel::ui::TForm4;
using ambrel::ui::WindowSet;
using Shown = FakePrompter::Shown;

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// The real windows over a temporary tree: the main window holds the files of from/, the
// file viewer stands in to/ (chosen in the drive selector as a mounted volume).
struct World {
    TempDir dir;
    const std::string from = dir / "from";
    const std::string to = dir / "to";
    FakePrompter prompter;
    WindowSet windows{&prompter};
    FileViewerPages& pages = *windows.Form2()->Pages();
    TForm4* dialog = windows.Form4();
    QtReportView* table = windows.Form1()->ListViewTagViewer();

    World() {
        fs::create_directories(to);
        windows.Form2()->show();
        Find<ui::QtDriveSelector>("DriveComboBox")->SetRoots({"/", to});
        QTest::keyClick(Find<ui::QtDriveSelector>("DriveComboBox"), Qt::Key_Down);
    }

    // Writes tagged files into from/ and loads them into the main window, every row selected.
    void Load(const std::vector<std::pair<std::string, std::size_t>>& files) {
        std::vector<std::string> paths;
        for (const auto& [name, size] : files) {
            TagFields fields;
            fields.title = name;
            paths.push_back(WriteMp3(from + "/" + name, size, MakeBlock(fields)));
        }
        windows.GetLibrary().AddFiles(paths);
        std::vector<int> rows(paths.size());
        for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
        table->ReplaceSelection(rows);
    }

    template <typename T>
    T* Find(const char* name) const {
        T* child = windows.Form2()->findChild<T*>(QLatin1String(name));
        if (!child) child = dialog->findChild<T*>(QLatin1String(name));
        if (!child) qFatal("no child %s", name);
        return child;
    }
    void Click(const char* button) const { Find<QToolButton>(button)->click(); }
    void Check(const char* box, bool on) const { Find<QCheckBox>(box)->setChecked(on); }
    QtReportView* Directories() const { return Find<QtReportView>("ListViewDirectories"); }
    QtReportView* Files() const { return Find<QtReportView>("ListViewFiles"); }

    // The main window's rows: each entry's path, and the Directory cell shown.
    Texts RowPaths() const {
        Texts paths;
        for (int row = 0; row < table->RowCount(); ++row)
            paths.push_back(windows.GetLibrary().TagViewer()->EntryAt(row)->GetPath());
        return paths;
    }
    Texts RowFolders() const {
        // Positions count from 1; 0 is a hidden column.
        const int pos = windows.GetLibrary().TagViewer()->ColumnPos(TTagViewer::kDirectory) - 1;
        Texts folders;
        for (int row = 0; row < table->RowCount(); ++row)
            folders.emplace_back(table->Cell(row, pos));
        return folders;
    }
    static Texts Column(const QtReportView* view) {
        Texts texts;
        for (int row = 0; row < view->RowCount(); ++row) texts.emplace_back(view->Cell(row, 0));
        return texts;
    }
    int RowOf(const QtReportView* view, const std::string& caption) const {
        const Texts names = Column(view);
        return static_cast<int>(std::find(names.begin(), names.end(), caption) - names.begin());
    }
    QStringList ErrorLines() const {
        return Find<QTextEdit>("RichEditErrors")->toPlainText().split(QLatin1Char('\n'));
    }
};

// The error table's line for a code, as the dialog lists it.
QString Message(const World& w, int code) {
    return QString::fromStdString(w.windows.GetLibrary().ErrorLog()->TakeMessage(code));
}

}  // namespace

class FileOperationsTest : public QObject {
    Q_OBJECT

private slots:
    // "Copy selected files" keeps the sources and the rows; "Move selected files" takes both
    // files away from from/ and the rows show their new folder. The dialog closes by itself.
    void CopyAndMoveTheMainWindowsSelectionIntoTheFolder() {
        const struct {
            const char* button;
            bool keeps_source;
            const char* caption;
            const char* label;
        } cases[] = {
            {"ToolButtonMoveFiles", true, "Copying files process dialog", "Copying:"},
            {"ToolButtonCopyFiles", false, "Moving files process dialog", "Moving:"},
        };
        for (const auto& c : cases) {
            World w;
            w.Load({{"a.mp3", 5000}, {"b.mp3", 300000}});
            const std::vector<uint8_t> b_bytes = ReadBytes(w.from + "/b.mp3");
            ProcessDialogWatch watch(w.dialog);
            w.Click(c.button);
            QCOMPARE(watch.closed_by_button, 0);
            QVERIFY(!watch.stuck);

            QCOMPARE(w.dialog->windowTitle(), QLatin1String(c.caption));
            QCOMPARE(w.Find<QLabel>("LabelFrom")->text(), QLatin1String(c.label));
            QCOMPARE(w.Find<QLabel>("LabelDestination")->toolTip(), QString::fromStdString(w.to));
            // 5128 bytes are 5 whole KiB, 300128 are 293.
            QCOMPARE(w.dialog->AllFilesBar().Maximum(), 5 + 293);
            QCOMPARE(w.dialog->AllFilesBar().Position(), 5 + 293);
            QCOMPARE(ReadBytes(w.to + "/b.mp3"), b_bytes);
            QCOMPARE(fs::exists(w.from + "/a.mp3"), c.keeps_source);
            QCOMPARE(fs::exists(w.from + "/b.mp3"), c.keeps_source);
            const std::string folder = c.keeps_source ? w.from : w.to;
            QCOMPARE(w.RowPaths(), (Texts{folder + "/a.mp3", folder + "/b.mp3"}));
            const Texts shown(2, fs::path(folder).filename().string());
            QCOMPARE(w.RowFolders(), shown);
            // The file list shows what came in.
            QCOMPARE(World::Column(w.Files()), (Texts{"a.mp3", "b.mp3"}));
            QVERIFY(w.prompter.shown.empty());
        }
    }

    // Two of three files fail: the dialog stays with path and message of each, the red
    // lines being the error table's, until "Close window"; only the moved file's row follows.
    void AFailedMoveStaysOpenWithFourErrorLines() {
        World w;
        w.Load({{"a.mp3", 2000}, {"b.mp3", 2000}, {"c.mp3", 2000}});
        fs::remove(w.from + "/b.mp3");
        WriteMp3(w.to + "/c.mp3", 10, std::nullopt);
        QStringList lines;
        bool close_enabled = false;
        ProcessDialogWatch watch(w.dialog, [&] {
            lines = w.ErrorLines();
            close_enabled = w.Find<QPushButton>("Button1")->isEnabled();
        });
        w.Click("ToolButtonCopyFiles");  // moves

        QCOMPARE(watch.closed_by_button, 1);
        QVERIFY(close_enabled);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QString::fromStdString(w.from + "/b.mp3"));
        QCOMPARE(lines[1], Message(w, 50));
        QCOMPARE(lines[2], QString::fromStdString(w.from + "/c.mp3"));
        QCOMPARE(lines[3], Message(w, 51));
        // The overwrite question was asked and answered No.
        QCOMPARE(w.prompter.Count(Shown::kQuestion), 1);
        QCOMPARE(w.prompter.shown[0].caption,
                 std::string("Do you want to overwrite existing file ?"));
        QCOMPARE(w.prompter.shown[0].text,
                 "Click YES if you want to overwrite existing file:" + w.to + "/c.mp3");
        QCOMPARE(w.RowPaths(), (Texts{w.to + "/a.mp3", w.from + "/b.mp3", w.from + "/c.mp3"}));
        QCOMPARE(FileSize(w.to + "/c.mp3"), 10LL);

        // With "Overwrite destination files without asking" the next move replaces it.
        w.Check("CheckBoxOverwriteFiles", true);
        w.table->ReplaceSelection({2});
        ProcessDialogWatch again(w.dialog);
        w.Click("ToolButtonCopyFiles");
        QCOMPARE(again.closed_by_button, 0);
        QCOMPARE(w.prompter.Count(Shown::kQuestion), 1);
        QCOMPARE(FileSize(w.to + "/c.mp3"), 2128LL);
        QCOMPARE(w.RowPaths().back(), w.to + "/c.mp3");
    }

    void WithoutASelectionNoDialogOpens() {
        World w;
        w.Load({{"a.mp3", 2000}});
        w.table->ClearSelection();
        ProcessDialogWatch watch(w.dialog);
        w.Click("ToolButtonMoveFiles");
        QCOMPARE(watch.closed_by_button, 0);
        QVERIFY(!fs::exists(w.to + "/a.mp3"));
    }

    // Deleting the selected file rows asks once; No keeps every file and row, Yes deletes
    // them through the dialog and the main window drops their rows. Without the question
    // box it deletes at once.
    void DeletingFilesAsksFirstAndDropsTheDeletedFilesRows() {
        World w;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) WriteMp3(w.to + "/" + name, 100, {});
        w.Click("ToolButtonFolderRefresh");
        w.windows.GetLibrary().AddFiles({w.to + "/a.mp3", w.to + "/b.mp3", w.to + "/c.mp3"});
        w.Files()->ReplaceSelection({0, 1});
        ProcessDialogWatch watch(w.dialog);

        w.Click("ToolButtonDeleteFiles");
        QCOMPARE(w.prompter.Count(Shown::kQuestion), 1);
        QCOMPARE(w.prompter.shown[0].caption, std::string("Delete files"));
        QVERIFY(w.prompter.shown[0].text.find("2 selected files") != std::string::npos);
        QVERIFY(fs::exists(w.to + "/a.mp3") && fs::exists(w.to + "/b.mp3"));
        QCOMPARE(w.table->RowCount(), 3);

        w.prompter.answers.push_back(true);
        w.Click("ToolButtonDeleteFiles");
        QCOMPARE(watch.closed_by_button, 0);
        QVERIFY(!watch.stuck);
        QCOMPARE(w.dialog->windowTitle(), QStringLiteral("Deleting files process dialog"));
        QVERIFY(!fs::exists(w.to + "/a.mp3") && !fs::exists(w.to + "/b.mp3"));
        QCOMPARE(w.RowPaths(), (Texts{w.to + "/c.mp3"}));
        QCOMPARE(World::Column(w.Files()), (Texts{"c.mp3"}));

        w.Check("CheckBoxAskBeforeDelete", false);
        w.Files()->ReplaceSelection({0});
        w.Click("ToolButtonDeleteFiles");
        QCOMPARE(w.prompter.Count(Shown::kQuestion), 2);
        QCOMPARE(w.table->RowCount(), 0);
        QVERIFY(w.Files()->RowCount() == 0);
    }

    void TheOverwriteDialogBoxGreysWhileOverwritingWithoutAsking() {
        World w;
        const struct {
            const char* name;
            const char* caption;
            bool checked;
        } boxes[] = {
            {"CheckBoxDeleteSubdirs", "Delete files from subdirectories", true},
            {"CheckBoxDeleteFiltered", "Delete only files with extensions in filter", false},
            {"CheckBoxDeleteOnlyFiles", "Delete only files, keep directories", false},
            {"CheckBoxAskBeforeDelete", "Ask before deleting", true},
            {"CheckBoxOverwriteFiles", "Overwrite destination files without asking", false},
            {"CheckBoxOverwriteDialog", "Show overwrite dialog", true},
        };
        for (const auto& box : boxes) {
            QCOMPARE(w.Find<QCheckBox>(box.name)->text(), QLatin1String(box.caption));
            QCOMPARE(w.Find<QCheckBox>(box.name)->isChecked(), box.checked);
        }
        auto* overwrite = w.Find<QCheckBox>("CheckBoxOverwriteFiles");
        auto* ask = w.Find<QCheckBox>("CheckBoxOverwriteDialog");
        QCOMPARE(ask->toolTip(),
                 QStringLiteral("Show dialog if you unselect destination file overwriting"));
        w.pages.setCurrentIndex(1);
        QVERIFY(ask->isEnabled());
        QTest::mouseClick(overwrite, Qt::LeftButton);
        QVERIFY(!ask->isEnabled());
        QVERIFY(w.pages.FileViewer().OverwriteWithoutAsking());
        QTest::mouseClick(overwrite, Qt::LeftButton);
        QVERIFY(ask->isEnabled());
        QTest::mouseClick(ask, Qt::LeftButton);
        QVERIFY(!w.pages.FileViewer().AskBeforeOverwriting());
    }

    // "Create folder" makes nested folders; "Rename" offers the old name; an edit in place
    // renames too, and one that fails leaves the row's old name; " .." takes no editor.
    void FoldersAreCreatedAndRenamedByBoxAndInPlace() {
        World w;
        w.prompter.query_answers.push_back(std::string("new/inner"));
        w.Click("ToolButtonFolderCreate");
        QCOMPARE(w.prompter.shown.back().caption, std::string("Create new directory"));
        QCOMPARE(w.prompter.shown.back().text, std::string("Directory name"));
        QVERIFY(fs::is_directory(w.to + "/new/inner"));
        QCOMPARE(World::Column(w.Directories()), (Texts{" ..", "new/inner"}));
        QCOMPARE(w.Directories()->SelectedRows(), std::vector<int>{1});

        w.Click("ToolButtonFolderRefresh");
        w.Directories()->ReplaceSelection({w.RowOf(w.Directories(), "new")});
        w.prompter.query_answers.push_back(std::string("renamed"));
        w.Click("ToolButtonFolderRename");
        QCOMPARE(w.prompter.shown.back().caption, std::string("Rename directory"));
        QCOMPARE(w.prompter.last_query_initial, std::string("new"));
        QVERIFY(fs::is_directory(w.to + "/renamed/inner"));
        QCOMPARE(World::Column(w.Directories()), (Texts{" ..", "renamed"}));

        fs::create_directories(w.to + "/taken");
        w.Click("ToolButtonFolderRefresh");
        // The editor commits from the event loop, and the rename follows it there.
        const auto edit = [&](const std::string& from, const QString& text) {
            QtReportView* dirs = w.Directories();
            dirs->EditCaption(w.RowOf(dirs, from));
            auto* editor = dirs->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor);
            editor->setText(text);
            QTest::keyClick(editor, Qt::Key_Return);
        };
        edit("renamed", QStringLiteral("again"));
        QTRY_VERIFY(fs::is_directory(w.to + "/again/inner"));
        QVERIFY(w.RowOf(w.Directories(), "again") < w.Directories()->RowCount());
        const std::size_t shown = w.prompter.shown.size();
        edit("again", QStringLiteral("taken"));
        QTRY_COMPARE(w.prompter.shown.size(), shown + 1);
        QCOMPARE(w.prompter.shown.back().caption, std::string("Error occuried"));
        QVERIFY(fs::is_directory(w.to + "/again/inner"));
        QCOMPARE(World::Column(w.Directories()), (Texts{" ..", "again", "taken"}));

        w.Directories()->EditCaption(0);
        QVERIFY(!w.Directories()->viewport()->findChild<QLineEdit*>());
    }

    // The folder delete asks first (from the button and from the directory list's menu);
    // with "Delete only files, keep directories" the folders stay.
    void DeletingAFolderAsksFirstAndFollowsTheDeleteOptions() {
        World w;
        WriteMp3(w.to + "/album/disc/x.mp3", 100, {});
        WriteMp3(w.to + "/album/y.mp3", 100, {});
        w.Click("ToolButtonFolderRefresh");
        w.Directories()->ReplaceSelection({w.RowOf(w.Directories(), "album")});

        w.Find<QAction>("Deleteselecteddirectory1")->trigger();
        QCOMPARE(w.prompter.shown.back().caption, std::string("Delete directory"));
        QVERIFY(fs::exists(w.to + "/album/y.mp3"));

        w.Check("CheckBoxDeleteOnlyFiles", true);
        w.prompter.answers.push_back(true);
        w.Click("ToolButtonFolderDelete");
        QVERIFY(!fs::exists(w.to + "/album/y.mp3") && !fs::exists(w.to + "/album/disc/x.mp3"));
        QVERIFY(fs::is_directory(w.to + "/album/disc"));

        w.Check("CheckBoxDeleteOnlyFiles", false);
        w.Check("CheckBoxAskBeforeDelete", false);
        w.Directories()->ReplaceSelection({w.RowOf(w.Directories(), "album")});
        w.Click("ToolButtonFolderDelete");
        QVERIFY(!fs::exists(w.to + "/album"));
        QCOMPARE(World::Column(w.Directories()), (Texts{" .."}));
        QCOMPARE(w.prompter.Count(Shown::kQuestion), 2);
    }

    // A folder rename takes the table's rows along and is undone from the main window's
    // menu, which a later move does not take over; the folder list shows the old name again.
    void AFolderRenameIsUndoneFromTheMainWindowAndAMoveIsNot() {
        World w;
        const std::string song = WriteMp3(w.to + "/Rock/a.mp3", 100, MakeBlock(TagFields{}));
        w.windows.GetLibrary().AddFiles({song});
        w.Load({{"b.mp3", 100}});
        w.Click("ToolButtonFolderRefresh");
        w.Directories()->ReplaceSelection({w.RowOf(w.Directories(), "Rock")});
        w.prompter.query_answers.push_back(std::string("Pop"));
        w.Click("ToolButtonFolderRename");
        QCOMPARE(w.RowFolders(), (Texts{"Pop", "from"}));
        auto* undo = w.windows.Form1()->findChild<QAction*>(QStringLiteral("Undo1"));
        QVERIFY(undo);
        QCOMPARE(undo->text(), QStringLiteral("Undo rename of folder Rock to Pop"));

        w.table->ReplaceSelection({1});
        w.Click("ToolButtonCopyFiles");  // the button that moves, by its given name
        QCOMPARE(w.RowPaths(), (Texts{w.to + "/Pop/a.mp3", w.to + "/b.mp3"}));
        QCOMPARE(undo->text(), QStringLiteral("Undo rename of folder Rock to Pop"));

        undo->trigger();
        QVERIFY(fs::exists(w.to + "/Rock/a.mp3"));
        QCOMPARE(w.RowPaths(), (Texts{w.to + "/Rock/a.mp3", w.to + "/b.mp3"}));
        QCOMPARE(World::Column(w.Directories()), (Texts{" ..", "Rock"}));
        QCOMPARE(undo->text(), QStringLiteral("Undo"));
        QVERIFY(!undo->isEnabled());
    }
};

int main(int argc, char** argv) { return RunWindowTest<FileOperationsTest>(argc, argv); }

#include "file_operations_test.moc"
