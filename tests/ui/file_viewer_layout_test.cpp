// The file viewer at its designed size: every control lies inside the window, no tool
// button is pushed into a tool bar's overflow and no check box caption is cut (a long one
// wraps onto a second line). Run with
// "--shots DIR" to also save pictures of the three windows with a folder loaded (for
// looking at the layout by eye).
#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <optional>
#include <string>

#include "background_load.h"
#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"
#include "ui/actions/action_panel.h"
#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"
#include "ui/common/qt_report_view.h"
#include "ui/files/file_viewer_pages.h"
#include "ui/files/file_viewer_window.h"
#include "ui/files/qt_selectors.h"
#include "ui/viewer/main_window.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::ui::TForm2;
using ambrel::ui::WindowSet;

namespace {

QString shots_dir;

void Save(QWidget* window, const char* name) {
    if (shots_dir.isEmpty()) return;
    QDir().mkpath(shots_dir);
    QVERIFY(window->grab().save(shots_dir + QLatin1Char('/') + QLatin1String(name)));
}

// Every named, visible control of the shown page lies inside the window.
void CheckInside(QWidget* window) {
    const QRect inside = window->rect();
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isVisible() || child->objectName().isEmpty() || child->isWindow()) continue;
        const QRect at(child->mapTo(window, QPoint(0, 0)), child->size());
        QVERIFY2(inside.contains(at), qPrintable(child->objectName()));
    }
}

// A small music folder: two albums and a few loose files.
void WriteFolder(const TempDir& dir) {
    const struct {
        const char* path;
        const char* artist;
        const char* title;
    } files[] = {
        {"Music/Kind of Blue/01 So What.mp3", "Miles Davis", "So What"},
        {"Music/Kind of Blue/02 Freddie Freeloader.mp3", "Miles Davis", "Freddie Freeloader"},
        {"Music/Autobahn/01 Autobahn.mp3", "Kraftwerk", "Autobahn"},
        {"Music/Feeling Good.mp3", "Nina Simone", "Feeling Good"},
        {"Music/Take Five.mp3", "Dave Brubeck", "Take Five"},
    };
    for (const auto& file : files) {
        TagFields fields;
        fields.artist = file.artist;
        fields.title = file.title;
        fields.year = "1959";
        WriteMp3(dir / file.path, 1000, MakeBlock(fields));
    }
    WriteMp3(dir / "Music/demo take.mp3", 1000, std::nullopt);
    WriteBytes(dir / "Music/notes.txt", {'n', 'o', 't', 'e', 's'});
}

}  // namespace

class FileViewerLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void EveryControlFitsTheWindow() {
        FakePrompter prompter;
        TempDir dir;
        WriteFolder(dir);
        WindowSet windows(&prompter);
        TForm2* form = windows.Form2();

        // The music folder stands in the drive selector as a volume of its own.
        auto* drives = form->findChild<ambrel::ui::QtDriveSelector*>("DriveComboBox");
        drives->SetRoots({"/", dir / "Music"});
        drives->setCurrentIndex(1);
        emit drives->activated(1);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        // A long path in the drive selector does not widen the window.
        QCOMPARE(form->size(), QSize(257, 623));

        CheckInside(form);
        for (const char* bar : {"ToolBarDirViewer", "ToolBarFileViewer"}) {
            for (QToolButton* button : form->findChild<QToolBar*>(bar)->findChildren<QToolButton*>(
                     QRegularExpression("^ToolButton")))
                QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
        }
        Save(form, "form2.png");

        auto* pages = form->findChild<QTabWidget*>("PageControl");
        pages->setCurrentIndex(1);
        QTest::qWait(20);
        CheckInside(form);
        // A caption too long for one line wraps: the box is as tall as its lines need.
        for (QCheckBox* box : form->findChildren<QCheckBox*>()) {
            const QByteArray name = box->objectName().toLatin1();
            if (box->width() < box->sizeHint().width()) {
                QVERIFY2(box->hasHeightForWidth(), name);
                QVERIFY2(box->height() >= box->heightForWidth(box->width()), name);
                QVERIFY2(box->height() > box->sizeHint().height(), name);
            }
        }
        // Every box of the page, the long ones included.
        for (const char* name :
             {"CheckBoxViewerHidden", "CheckBoxLoadSubdirs", "CheckBoxDeleteSubdirs",
              "CheckBoxDeleteFiltered", "CheckBoxDeleteOnlyFiles", "CheckBoxAskBeforeDelete",
              "CheckBoxOverwriteFiles", "CheckBoxOverwriteDialog"})
            QVERIFY2(form->findChild<QCheckBox*>(name)->isVisible(), name);
        Save(form, "form2_settings.png");
        pages->setCurrentIndex(0);

        if (shots_dir.isEmpty()) return;
        // The folder loaded into the main window, and the three windows placed.
        form->findChild<QToolButton*>("ToolButtonLoadDirectory")->click();
        QVERIFY(AwaitLoad(windows.GetLibrary()));
        windows.Form1()->show();
        QVERIFY(QTest::qWaitForWindowExposed(windows.Form1()));
        windows.Form1()->ListViewTagViewer()->ReplaceSelection({0});
        QTest::qWait(200);
        Save(windows.Form1(), "form1.png");
        Save(windows.Form3(), "form3.png");
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(shots_dir + "/screen.png"));
    }
};

int main(int argc, char** argv) {
    return RunWindowTest<FileViewerLayoutTest>(argc, argv, &shots_dir);
}

#include "file_viewer_layout_test.moc"
