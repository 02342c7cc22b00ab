#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QToolButton>

#include "action_panel_world.h"
#include "actions/tag_processor.h"
#include "ui/common/window_placement.h"
#include "window_test_main.h"

using namespace ambrel::test;

namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items.append(box->itemText(i));
    return items;
}

const QStringList kInWord = {"Show must go on", "Show-must-go-on", "Show_must_go_on",
                             "Show.must.go.on"};
const QStringList kWord = {"Queen Show Must go on", "Queen-Show Must go on",
                           "Queen_Show Must go on", "Queen.Show Must go on"};
const QStringList kSpace = {" (empty space)", "-", "_", "."};
const QStringList kCase = {"No change in letters", "GABRIELLE - OUT OF REACH",
                           "gabrielle - out of reach", "Gabrielle - Out Of Reach"};

}  // namespace

class ActionPanelTest : public QObject {
    Q_OBJECT

private slots:
    void ThePagesStartWithTheirControlsAndDefaults() {
        PanelWorld w;
        QCOMPARE(w.panel->windowTitle(), QStringLiteral("Action panel"));
        QCOMPARE(w.panel->size(), QSize(289, 593));
        QTabWidget* pages = w.panel->PageControl1();
        QCOMPARE(pages->objectName(), QStringLiteral("PageControl1"));
        QCOMPARE(pages->count(), 3);
        const char* const sheets[] = {"TabSheet1", "TabSheet2", "TabSheet3"};
        const char* const captions[] = {"File rename", "Tag rename", "Copy options"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pages->widget(i)->objectName(), QLatin1String(sheets[i]));
            QCOMPARE(pages->tabText(i), QLatin1String(captions[i]));
        }
        QCOMPARE(pages->currentIndex(), 1);

        const struct {
            const char* name;
            const char* caption;
        } texts[] = {
            {"Label21", "Example song"},
            {"Label4", "File name will looks like (choose template)"},
            {"Label1", "In word separator"},
            {"Label2", "Word separator"},
            {"Label15", "Space separator"},
            {"Label3", "Letter case"},
            {"Label16", "Number of track characters"},
            {"LabelTrackPreview", "Track preview: 01"},
            {"Label20", "User mask"},
            {"SpeedButtonFR", "Rename selected files"},
            {"CheckBoxFRSpace", "Word separator with spaces"},
            {"Label5", "Example song"},
            {"Label19", "Your mp3's looks like (choose template)"},
            {"Label6", "In word separator"},
            {"Label7", "Word separator"},
            {"Label17", "Space separator"},
            {"Label8", "Letter case"},
            {"Label18", "User mask"},
            {"SpeedButtonTR", "Rename selected tags"},
            {"CheckBoxTRSpace", "Word separator with spaces"},
            {"Label9", "Artist"},
            {"Label10", "Title"},
            {"Label11", "Album"},
            {"Label14", "Track"},
            {"Label12", "Comment"},
            {"LabelTagGenre", "Genre"},
            {"Label13", "Year"},
            {"CheckBoxTrack1", "Begin track number in each directory from 1"},
            {"SpeedButtonClear", "Clear input fields"},
            {"SpeedButtonRead", "Read data from selected tag"},
            {"SpeedButtonWrite", "Write data to mp3 tag(s)"},
        };
        for (const auto& t : texts) {
            QObject* control = w.panel->findChild<QObject*>(QLatin1String(t.name));
            QVERIFY2(control != nullptr, t.name);
            QCOMPARE(control->property("text").toString(), QLatin1String(t.caption));
        }

        const struct {
            const char* name;
            QStringList items;
            int selected;
        } boxes[] = {
            {"ComboBoxFRInWord", kInWord, 0},
            {"ComboBoxFRWord", kWord, 1},
            {"ComboBoxFRSpaceSeparator", kSpace, 0},
            {"ComboBoxFRCase", kCase, 0},
            {"ComboBoxTRInWord", kInWord, 0},
            {"ComboBoxTRWord", kWord, 1},
            {"ComboBoxTRSpaceSeparator", kSpace, 0},
            {"ComboBoxTRCase", kCase, 0},
            {"ComboBoxFRMask", {}, -1},
            {"ComboBoxTRMask", {}, -1},
        };
        for (const auto& b : boxes) {
            auto* box = w.Control<QComboBox>(b.name);
            QCOMPARE(Items(box), b.items);
            QCOMPARE(box->currentIndex(), b.selected);
            QCOMPARE(box->isEditable(), b.items.isEmpty());  // only the user masks take typing
        }
        QVERIFY(w.Checked("CheckBoxFRSpace") && w.Checked("CheckBoxTRSpace"));
        for (const char* memo : {"Memo1", "Memo2"}) {
            QCOMPARE(w.Control<QPlainTextEdit>(memo)->toPlainText(),
                     QStringLiteral("Track: 12\nArtist: Queen\nSong title: Show must go on\n"
                                    "Album: Innuendo"));
        }
        QCOMPARE(
            w.Lines("ListBoxFR"),
            (Texts{"Queen - Show must go on.mp3", "12 - Queen - Show must go on.mp3",
                   "Innuendo - Queen - Show must go on.mp3", "Innuendo - Show must go on.mp3",
                   "12 - Show must go on.mp3", "User defined mask", "Change only letter case"}));
        QCOMPARE(w.Lines("ListBoxTR")[1], std::string("12 - Queen - Show must go on.mp3"));
        QCOMPARE(w.Lines("ListBoxTR")[6], std::string("Don't read tag data, apply only changes"));
        QCOMPARE(w.SelectedLine("ListBoxFR"), -1);
        auto* digits = w.Control<QLineEdit>("EditTrackNumbers");
        QCOMPARE(digits->text(), QStringLiteral("2"));
        QVERIFY(digits->isReadOnly());

        // Copy options: empty fields, Track 0, no genre entry, every box unchecked.
        for (const char* edit :
             {"EditTagArtist", "EditTagTitle", "EditTagAlbum", "EditTagComment", "EditTagYear"})
            QCOMPARE(w.Control<QLineEdit>(edit)->text(), QString());
        QCOMPARE(w.Control<QLineEdit>("EditTagTrack")->text(), QStringLiteral("0"));
        QCOMPARE(w.Control<QLineEdit>("EditTagYear")->maxLength(), 4);
        auto* genre = w.Control<QComboBox>("ComboBoxTagGenre");
        QCOMPARE(genre->count(), 149);
        QCOMPARE(genre->itemText(0), QString());
        QCOMPARE(genre->itemText(7), QStringLiteral("Grunge,"));
        QCOMPARE(genre->currentIndex(), -1);
        for (int n = 1; n <= 7; ++n) {
            const QByteArray name = "CheckBoxFill" + QByteArray::number(n);
            QCOMPARE(w.Control<QCheckBox>(name)->text(), QStringLiteral("Fill"));
            QVERIFY(!w.Checked(name));
        }
        QVERIFY(!w.Checked("CheckBoxTrack1"));
    }

    // Each separator and case control (and File rename's digit count) fills its page's
    // template list again, which loses the template picked before.
    void TemplateListsRefillAndLoseTheirSelection() {
        PanelWorld w;
        const struct {
            const char* list;
            std::function<void(PanelWorld&)> change;
            int line;
            const char* reads;
        } cases[] = {
            {"ListBoxFR", [](PanelWorld& p) { p.ChooseItem("ComboBoxFRInWord", 2); }, 0,
             "Queen - Show_must_go_on.mp3"},
            {"ListBoxFR", [](PanelWorld& p) { p.ChooseItem("ComboBoxFRWord", 0); }, 0,
             "Queen   Show_must_go_on.mp3"},
            {"ListBoxFR", [](PanelWorld& p) { p.Control<QCheckBox>("CheckBoxFRSpace")->click(); },
             0, "Queen Show_must_go_on.mp3"},
            {"ListBoxFR", [](PanelWorld& p) { p.ChooseItem("ComboBoxFRSpaceSeparator", 3); }, 1,
             "12 Queen Show_must_go_on.mp3"},
            {"ListBoxFR", [](PanelWorld& p) { p.ChooseItem("ComboBoxFRCase", 1); }, 1,
             "12 QUEEN SHOW_MUST_GO_ON.mp3"},
            {"ListBoxFR",
             [](PanelWorld& p) { p.Control<ambrel::ui::UpDown>("UpDown2")->UpButton()->click(); },
             4, "012 SHOW_MUST_GO_ON.mp3"},
            {"ListBoxTR", [](PanelWorld& p) { p.ChooseItem("ComboBoxTRInWord", 2); }, 0,
             "Queen - Show_must_go_on.mp3"},
            {"ListBoxTR", [](PanelWorld& p) { p.ChooseItem("ComboBoxTRWord", 1 + 2); }, 1,
             "12 . Queen . Show_must_go_on.mp3"},
            {"ListBoxTR", [](PanelWorld& p) { p.Control<QCheckBox>("CheckBoxTRSpace")->click(); },
             1, "12.Queen.Show_must_go_on.mp3"},
            {"ListBoxTR", [](PanelWorld& p) { p.ChooseItem("ComboBoxTRSpaceSeparator", 1); }, 1,
             "12.Queen.Show_must_go_on.mp3"},
            // The tag page's letter case acts on tags, not on the example names.
            {"ListBoxTR", [](PanelWorld& p) { p.ChooseItem("ComboBoxTRCase", 3); }, 2,
             "Innuendo.Queen.Show_must_go_on.mp3"},
        };
        for (const auto& c : cases) {
            w.ChooseTemplate(c.list, 2);
            QCOMPARE(w.SelectedLine(c.list), 2);
            c.change(w);
            QVERIFY2(w.Lines(c.list)[c.line] == c.reads, c.reads);
            QCOMPARE(w.SelectedLine(c.list), -1);
        }
        QCOMPARE(w.Control<QLabel>("LabelTrackPreview")->text(),
                 QStringLiteral("Track preview: 001"));
        // The tag page's track stays 12 whatever the digit count.
        QCOMPARE(w.Lines("ListBoxTR")[4], std::string("12.Show_must_go_on.mp3"));
    }

    // The digit count stays within 0..100; at 0 the preview is unpadded and a run keeps
    // the count it had.
    void TheDigitCountStaysInItsRange() {
        PanelWorld w;
        auto* up_down = w.Control<ambrel::ui::UpDown>("UpDown2");
        for (int i = 0; i < 3; ++i) up_down->DownButton()->click();
        QCOMPARE(w.Control<QLineEdit>("EditTrackNumbers")->text(), QStringLiteral("0"));
        QCOMPARE(w.Control<QLabel>("LabelTrackPreview")->text(),
                 QStringLiteral("Track preview: 1"));
        QCOMPARE(w.Lines("ListBoxFR")[1], std::string("12 - Queen - Show must go on.mp3"));
        w.Press("SpeedButtonFR");
        QCOMPARE(w.library.TagProcessor()->TrackDigits(), 0);  // none set at start
        w.Control<QLineEdit>("EditTrackNumbers")->setText(QStringLiteral("99"));
        for (int i = 0; i < 3; ++i) up_down->UpButton()->click();
        QCOMPARE(w.Control<QLineEdit>("EditTrackNumbers")->text(), QStringLiteral("100"));
    }

    void ClosingHidesThePanelAndTheMainWindowTakesItsWidth() {
        PanelWorld w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form));
        QVERIFY(w.panel->isVisible());
        const int right_before = w.form->frameGeometry().right();
        w.panel->close();
        QVERIFY(!w.panel->isVisible());
        QVERIFY(!w.form->ActionPanelVisible());
        QVERIFY(!w.Find<QAction>("Actionpanelvisible1")->isChecked());
        const QRect work = ambrel::ui::WorkArea();
        QVERIFY(w.form->frameGeometry().right() > right_before);
        QCOMPARE(w.form->frameGeometry().right(), work.x() + work.width() - 2);
        // The menu item shows it again, where it was.
        w.Trigger("Actionpanelvisible1");
        QVERIFY(w.panel->isVisible());
        QCOMPARE(w.form->frameGeometry().right(), right_before);
    }
};

int main(int argc, char** argv) { return RunWindowTest<ActionPanelTest>(argc, argv); }

#include "action_panel_test.moc"
