// The main window laid out at the size it gets on a 1280 x 1024 and a 1024 x 768 screen between the
// two side windows, all three framed by a window manager: every control fits. Run with
// "--shots DIR" to also save pictures of the windows there (for looking at the layout by eye).
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
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
#include "ui/common/window_placement.h"
#include "ui/files/file_viewer_window.h"
#include "ui/viewer/main_window.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::ui::TForm1;
using ambrel::ui::WindowSet;

namespace {

QString shots_dir;

TagFields Fields(const char* artist, const char* title, const char* album, int track, int genre) {
    TagFields f;
    f.artist = artist;
    f.title = title;
    f.album = album;
    f.year = "1997";
    f.track = track;
    f.genre = genre;
    return f;
}

// The width a window manager's frame adds at the left and at the right of a window.
// Themes draw 1 or 2 pixels (openbox 1); the test allows 4, so that the fit does not
// rest on a thin theme.
constexpr int kFrame = 4;

// The inner width the main window gets between side windows of their own default inner
// widths, each window framed, on a work area of the given width.
int MainWidthBetweenSideWindows(const WindowSet& windows, int work_width) {
    const int frames = 2 * kFrame;
    return ambrel::ui::ComputePlacement(work_width, 740, windows.Form2()->width() + frames, true,
                                        windows.Form3()->width() + frames, true)
               .main.width() -
           frames;
}

void Save(QWidget* window, const QString& name) {
    if (shots_dir.isEmpty()) return;
    QDir().mkpath(shots_dir);
    QVERIFY(window->grab().save(shots_dir + QLatin1Char('/') + name));
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void TheMainWindowFitsBetweenTheSideWindows_data() {
        QTest::addColumn<int>("work_width");
        QTest::addColumn<int>("work_height");
        QTest::newRow("1280") << 1280 << 984;
        // On a small screen the filter bar puts its second pair below the first.
        QTest::newRow("1024") << 1024 << 728;
    }

    void TheMainWindowFitsBetweenTheSideWindows() {
        QFETCH(int, work_width);
        QFETCH(int, work_height);
        const QString prefix = work_width == 1280 ? QString() : QString::number(work_width) + '_';
        FakePrompter prompter;
        TempDir dir;
        WindowSet windows(&prompter);
        TForm1* form = windows.Form1();
        const int width = MainWidthBetweenSideWindows(windows, work_width);
        QVERIFY2(form->minimumSizeHint().width() <= width,
                 qPrintable(QStringLiteral("needs %1, gets %2")
                                .arg(form->minimumSizeHint().width())
                                .arg(width)));

        std::vector<std::string> paths;
        const TagFields tags[] = {
            Fields("Miles Davis", "So What", "Kind of Blue", 1, 8),
            Fields("Miles Davis", "Freddie Freeloader", "Kind of Blue", 2, 8),
            Fields("Kraftwerk", "Autobahn", "Autobahn", 1, 52),
            Fields("Nina Simone", "Feeling Good", "I Put a Spell on You", 7, 8),
        };
        for (int n = 0; n < 4; ++n) {
            const std::string name = "Music/Album " + std::to_string(n / 2 + 1) + "/track" +
                                     std::to_string(n + 1) + ".mp3";
            paths.push_back(WriteMp3(dir / name, 1000, MakeBlock(tags[n])));
        }
        paths.push_back(WriteMp3(dir / "Music/Untagged/demo take.mp3", 1000, std::nullopt));
        form->AddDroppedPaths(paths);
        QVERIFY(AwaitLoad(windows.GetLibrary()));

        form->show();
        form->resize(width, work_height - 40);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->ListViewTagViewer()->ReplaceSelection({0});
        QTest::qWait(50);

        // Every control of the tag detail page and the filter bar lies inside the window.
        const QRect inside = form->rect();
        for (QWidget* child : form->findChildren<QWidget*>()) {
            if (!child->isVisible() || child->objectName().isEmpty() || child->isWindow()) continue;
            const QRect at(child->mapTo(form, QPoint(0, 0)), child->size());
            QVERIFY2(inside.contains(at), qPrintable(child->objectName()));
        }
        // No tool button is cut off by the tool bar's overflow.
        for (QToolButton* button :
             form->findChild<QToolBar*>("ToolBarMainWindow")
                 ->findChildren<QToolButton*>(QRegularExpression("^ToolButton")))
            QVERIFY2(button->isVisible(), qPrintable(button->objectName()));

        Save(form, prefix + "form1.png");
        if (!shots_dir.isEmpty() && prefix.isEmpty()) {
            // The whole screen after the main window placed the three windows.
            form->PlaceWindows();
            QTest::qWait(200);
            QVERIFY(
                QGuiApplication::primaryScreen()->grabWindow(0).save(shots_dir + "/screen.png"));
        }
        Save(windows.Form2(), prefix + "form2.png");
        Save(windows.Form3(), prefix + "form3.png");
        // The untagged file's row: the fields are hidden, only "Tag present" stays.
        form->ListViewTagViewer()->ReplaceSelection({4});
        QVERIFY(form->findChild<QLineEdit*>("EditTagArtist")->isHidden());
        Save(form, prefix + "form1_untagged.png");
    }
};

int main(int argc, char** argv) { return RunWindowTest<WindowLayoutTest>(argc, argv, &shots_dir); }

#include "window_layout_test.moc"
