// A user's session through real input events: keys and clicks go to the widget with the
// focus, as they do on a desktop. Run with "--shots DIR" to also save pictures of the
// windows along the way (for looking at them by eye).
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

#include "background_load.h"
#include "files/directory_browser.h"
#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"
#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"
#include "ui/common/qt_report_view.h"
#include "ui/files/file_viewer_pages.h"
#include "ui/files/file_viewer_window.h"
#include "ui/files/qt_selectors.h"
#include "ui/viewer/main_window.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::ui::QtReportView;
using ambrel::ui::TForm1;
using ambrel::ui::WindowSet;

namespace {

QString shots_dir;

void Shot(QWidget* window, const char* name) {
    if (shots_dir.isEmpty()) return;
    QTest::qWait(50);
    QDir().mkpath(shots_dir);
    QVERIFY(window->grab().save(shots_dir + QLatin1Char('/') + QLatin1String(name)));
}

void ScreenShot(const char* name) {
    if (shots_dir.isEmpty()) return;
    QTest::qWait(50);
    QDir().mkpath(shots_dir);
    QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(shots_dir + QLatin1Char('/') +
                                                                 QLatin1String(name)));
}

std::string Tagged(const TempDir& dir, const std::string& name, const char* artist,
                   const char* title, int track) {
    TagFields fields;
    fields.artist = artist;
    fields.title = title;
    fields.album = "Kind of Blue";
    fields.year = "1959";
    fields.track = track;
    fields.genre = 8;
    return WriteMp3(dir / name, 1000, MakeBlock(fields));
}

// The real window set, shown and active, with a scripted prompter.
struct Session {
    FakePrompter prompter;
    TempDir dir;
    WindowSet windows{&prompter};
    TForm1* form = windows.Form1();
    QtReportView* table = form->ListViewTagViewer();

    Session() { ambrel::ui::AmbrelApplication::Instance()->SetPrompter(&prompter); }
    ~Session() { ambrel::ui::AmbrelApplication::Instance()->SetPrompter(nullptr); }

    template <typename T>
    T* Find(QWidget* window, const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (found == nullptr) qFatal("no control named %s", name);
        return found;
    }
    template <typename T>
    T* Find(const char* name) const {
        return Find<T>(form, name);
    }

    bool ShowActive() {
        windows.Show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form);
    }
    // Gives the widget the keyboard focus as a click or Tab would.
    void Focus(QWidget* widget) {
        widget->setFocus(Qt::OtherFocusReason);
        QVERIFY2(QApplication::focusWidget() == widget, qPrintable(widget->objectName()));
    }
    void ClickRow(QtReportView* view, int row) {
        view->Flush();
        const QRect at = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center());
    }
};

}  // namespace

class UserSessionTest : public QObject {
    Q_OBJECT

private slots:
    // Delete, Ctrl+A and Ctrl+S act on the table when it has the focus; inside an edit box
    // the first two edit the text, and no other control's keys remove lines.
    void TableKeysDoNotStealEditingKeys() {
        Session s;
        const std::string a = Tagged(s.dir, "a.mp3", "Miles Davis", "So What", 1);
        Tagged(s.dir, "b.mp3", "John Coltrane", "Naima", 2);
        s.form->AddDroppedPaths({a, s.dir / "b.mp3"});
        QVERIFY(AwaitLoad(s.windows.GetLibrary()));
        QVERIFY(s.ShowActive());
        s.ClickRow(s.table, 0);
        QCOMPARE(s.table->SelectedRows(), (std::vector<int>{0}));

        auto* artist = s.Find<QLineEdit>("EditTagArtist");
        QCOMPARE(artist->text(), QStringLiteral("Miles Davis"));
        s.Focus(artist);
        artist->setCursorPosition(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QCOMPARE(artist->text(), QStringLiteral("iles Davis"));
        QCOMPARE(s.table->RowCount(), 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(artist->selectedText(), QStringLiteral("iles Davis"));
        QCOMPARE(s.table->SelectedRows(), (std::vector<int>{0}));

        // Ctrl+S from the edit box saves the row being edited.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        const std::vector<uint8_t> tail = ReadTail(a);
        QCOMPARE(std::string(tail.begin() + 33, tail.begin() + 43), std::string("iles Davis"));

        // The look-for box edits its text too.
        auto* look_for = s.Find<QComboBox>("ComboBoxExFilter1");
        s.Focus(look_for);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xy"));
        look_for->lineEdit()->setCursorPosition(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(look_for->lineEdit()->selectedText(), QStringLiteral("y"));
        QCOMPARE(s.table->RowCount(), 2);
        QCOMPARE(s.table->SelectedRows(), (std::vector<int>{0}));

        // Neither the genre list nor a column list removes lines or selects all rows.
        for (const char* name : {"ComboBoxTagGenre", "ComboBoxFilter1"}) {
            s.Focus(s.Find<QComboBox>(name));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
            QCOMPARE(s.table->RowCount(), 2);
            QCOMPARE(s.table->SelectedRows(), (std::vector<int>{0}));
        }

        // In the table the keys are the table's commands.
        s.Focus(s.table);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(s.table->SelectedRows(), (std::vector<int>{0, 1}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QCOMPARE(s.table->RowCount(), 0);
        QVERIFY(s.prompter.shown.empty());
    }

    // Walks from the file system root to a music folder with the keyboard, loads it, sorts,
    // filters, edits and saves a tag, and removes another, watching the file viewer's Tag
    // column follow each save.
    void AUserLoadsAFolderSortsFiltersAndSaves() {
        Session s;
        Tagged(s.dir, "Music/So What.mp3", "Miles Davis", "So What", 1);
        Tagged(s.dir, "Music/Naima.mp3", "John Coltrane", "Naima", 2);
        Tagged(s.dir, "Music/Blues/Freddie.mp3", "Miles Davis", "Freddie Freeloader", 10);
        WriteMp3(s.dir / "Music/demo.mp3", 1000, std::nullopt);
        WriteBytes(s.dir / "Music/notes.txt", {'n'});
        QVERIFY(s.ShowActive());
        ScreenShot("01_start.png");

        // Choose "/" in the drive selector, then type each name and press Enter.
        auto* viewer = s.windows.Form2();
        auto* drives = s.Find<ambrel::ui::QtDriveSelector>(viewer, "DriveComboBox");
        drives->setCurrentIndex(0);
        emit drives->activated(0);
        auto* dirs = s.Find<QtReportView>(viewer, "ListViewDirectories");
        viewer->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        s.Focus(dirs);
        const QString music = QString::fromStdString(s.dir / "Music");
        for (const QString& name : music.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            QTest::keyClicks(dirs, name);
            QTest::keyClick(dirs, Qt::Key_Return);
            QTest::qWait(QApplication::keyboardInputInterval() + 50);
        }
        auto* pages = s.Find<ambrel::ui::FileViewerPages>(viewer, "PageControl");
        QCOMPARE(QString::fromStdString(pages->Browser().CurrentPath()), music);
        auto* files = s.Find<QtReportView>(viewer, "ListViewFiles");
        QCOMPARE(files->RowCount(), 3);  // the ".mp3" filter leaves notes.txt out

        // Load the folder and its subfolder with the button face.
        QTest::mouseClick(s.Find<QToolButton>(viewer, "ToolButtonLoadDirectory"), Qt::LeftButton,
                          {}, QPoint(8, 12));
        QVERIFY(AwaitLoad(s.windows.GetLibrary()));
        QCOMPARE(s.table->RowCount(), 4);
        ScreenShot("02_loaded.png");

        // Sort by Artist with a click on its header.
        s.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.form));
        QHeaderView* header = s.table->header();
        const int artist_x = header->sectionViewportPosition(4) + header->sectionSize(4) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(artist_x, header->height() / 2));
        std::vector<std::string> artists;
        for (int row = 0; row < s.table->RowCount(); ++row)
            artists.emplace_back(s.table->Cell(row, 4));
        QCOMPARE(artists,
                 (std::vector<std::string>{"", "John Coltrane", "Miles Davis", "Miles Davis"}));

        // Filter: Artist contains "Miles", typed and applied with Enter.
        auto* column = s.Find<QComboBox>("ComboBoxFilter1");
        s.Focus(column);
        for (int i = 0; i < 4; ++i) QTest::keyClick(column, Qt::Key_Down);
        QCOMPARE(column->currentText(), QStringLiteral("Artist"));
        auto* look_for = s.Find<QComboBox>("ComboBoxExFilter1");
        QCOMPARE(look_for->count(), 3);  // the empty artist, John Coltrane, Miles Davis
        s.Focus(look_for);
        // What is typed is what the filter looks for: the history does not complete
        // "miles" into "Miles Davis", and the column's match is case-sensitive.
        QTest::keyClicks(look_for, QStringLiteral("miles"));
        QTest::keyClick(look_for, Qt::Key_Return);
        QCOMPARE(look_for->currentText(), QStringLiteral("miles"));
        QCOMPARE(s.table->RowCount(), 0);
        look_for->lineEdit()->selectAll();
        QTest::keyClicks(look_for, QStringLiteral("Miles"));
        QTest::keyClick(look_for, Qt::Key_Return);
        QCOMPARE(look_for->currentText(), QStringLiteral("Miles"));
        QCOMPARE(s.table->RowCount(), 2);

        // Edit the title of "So What" and save it with the panel's button.
        const int so_what = s.table->Cell(0, 2) == "So What" ? 0 : 1;
        s.ClickRow(s.table, so_what);
        auto* title = s.Find<QLineEdit>("EditTagTitle");
        QCOMPARE(title->text(), QStringLiteral("So What"));
        s.Focus(title);
        QTest::keyClick(title, Qt::Key_End);
        QTest::keyClicks(title, QStringLiteral(" (take 2)"));
        ScreenShot("03_editing.png");
        QTest::mouseClick(s.Find<QToolButton>("SpeedButtonTagSave"), Qt::LeftButton);
        std::vector<uint8_t> tail = ReadTail(s.dir / "Music/So What.mp3");
        QCOMPARE(std::string(tail.begin() + 3, tail.begin() + 19), std::string("So What (take 2)"));
        QCOMPARE(s.table->Cell(so_what, 5), std::string_view("So What (take 2)"));

        // Untick "Tag present" and save from the tool bar: the block goes, and the file
        // viewer's Tag column says so.
        const auto tag_cell = [files](const char* name) {
            for (int row = 0; row < files->RowCount(); ++row)
                if (files->Cell(row, 0) == name) return std::string(files->Cell(row, 1));
            return std::string("missing");
        };
        QCOMPARE(tag_cell("So What.mp3"), std::string("Mp3v1"));
        QTest::mouseClick(s.Find<QCheckBox>("CheckBoxTagPresent"), Qt::LeftButton);
        QVERIFY(!title->isVisible());
        QTest::mouseClick(s.Find<QToolButton>("ToolButtonSaveCurrent"), Qt::LeftButton);
        QCOMPARE(FileSize(s.dir / "Music/So What.mp3"), 1000);
        QCOMPARE(tag_cell("So What.mp3"), std::string("No"));
        Shot(s.form, "04_saved.png");
        ScreenShot("05_screen.png");
        QVERIFY(s.prompter.shown.empty());
    }
};

int main(int argc, char** argv) { return RunWindowTest<UserSessionTest>(argc, argv, &shots_dir); }

#include "user_session_test.moc"
