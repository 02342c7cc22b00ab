#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>

#include "main_window_world.h"
#include "window_test_main.h"

using namespace ambrel::test;

class MainWindowSelectTest : public QObject {
    Q_OBJECT

private slots:
    void SelectionCommandsOnAMixedSet() {
        World w;
        w.Load(Paths({w.Write("1.mp3", MakeBlock(Tag().Artist("Art").Track(5))),
                      w.Write("2.mp3", MakeBlock(Tag().Title("NoArtist"))),
                      w.Write("3.mp3", std::nullopt)}));
        const struct {
            const char* control;
            std::vector<int> rows;
            const char* artist_shown;
        } cases[] = {
            {"ToolButtonWithNoTag", {2}, ""},          {"ToolButtonWithTag", {0, 1}, "Art"},
            {"SelectwithfilledArtist1", {0}, "Art"},   {"SelectwithnoArtist1", {1, 2}, ""},
            {"SelectwithfilledTrack1", {0}, "Art"},    {"SelectwithnoTrack1", {1, 2}, ""},
            {"ToolButtonSelectAll", {0, 1, 2}, "Art"}, {"Selectlineswithnotag1", {2}, ""},
        };
        for (const auto& c : cases) {
            w.Select({1});  // a hand-made selection is replaced
            if (auto* button = w.form->findChild<QToolButton*>(QLatin1String(c.control)))
                button->click();
            else
                w.Trigger(c.control);
            QCOMPARE(w.table->SelectedRows(), c.rows);
            QCOMPARE(w.Text("EditTagArtist"), QString::fromLatin1(c.artist_shown));
        }
    }

    // The Year items select by the year text and the Genre items by genre 255, each by
    // its own field whatever the criterion codes behind them.
    void YearAndGenreItemsSelectByTheirOwnField() {
        World w;
        w.Load(Paths({w.Write("1.mp3", MakeBlock(Tag().Year("1999").Genre(255))),
                      w.Write("2.mp3", MakeBlock(Tag().Genre(17)))}));
        const struct {
            const char* item;
            std::vector<int> rows;
        } cases[] = {{"SelectwithfilledYear1", {0}},
                     {"SelectwithnoYear1", {1}},
                     {"SelectwithfilledGenre1", {1}},
                     {"SelectwithnoGenre1", {0}}};
        for (const auto& c : cases) {
            w.Trigger(c.item);
            QCOMPARE(w.table->SelectedRows(), c.rows);
        }
    }

    // Every selection command, from the tool bar, its drop-down menus and the main menu,
    // on files in each tag state: no tag, a tag to be added, a tag to be removed (still
    // showing its fields), and a tag whose artist is thirty spaces and genre 255.
    void EverySelectionCommandOnTagsInEachState() {
        World w;
        w.Load(Paths(
            {w.Write("none.mp3", std::nullopt), w.Write("append.mp3", std::nullopt),
             w.Write("remove.mp3", MakeBlock(Tag()
                                                 .Artist("A")
                                                 .Title("T")
                                                 .Album("Al")
                                                 .Comment("C")
                                                 .Year("1999")
                                                 .Track(3)
                                                 .Genre(17))),
             w.Write("spaces.mp3", MakeBlock(Tag().Artist(std::string(30, ' ')).Genre(255)))}));
        auto* present = w.Find<QCheckBox>("CheckBoxTagPresent");
        w.Select({1});
        present->click();  // tag to be added
        w.Select({2});
        present->click();  // tag to be removed
        QCOMPARE(w.library.TagList()->Get(1)->GetState(), ambrel::tsAppend);
        QCOMPARE(w.library.TagList()->Get(2)->GetState(), ambrel::tsRemove);

        using Rows = std::vector<int>;
        const struct {
            const char* control;
            Rows rows;
        } cases[] = {
            {"ToolButtonWithNoTag", {0}},          {"Selectlineswithnotag1", {0}},
            {"ToolButtonWithTag", {1, 2, 3}},      {"Selectlineswithtag1", {1, 2, 3}},
            {"SelectwithfilledArtist1", {2, 3}},   {"SelectwithnoArtist1", {0, 1}},
            {"SelectwithfilledSongtitle1", {2}},   {"SelectwithnoSongtitle1", {0, 1, 3}},
            {"SelectwithfilledAlbum1", {2}},       {"SelectwithnoAlbum1", {0, 1, 3}},
            {"SelectwithfilledComment1", {2}},     {"SelectwithnoComment1", {0, 1, 3}},
            {"SelectwithfilledTrack1", {2}},       {"SelectwithnoTrack1", {0, 1, 3}},
            {"SelectwithfilledYear1", {2}},        {"SelectwithnoYear1", {0, 1, 3}},
            {"SelectwithfilledGenre1", {0, 1, 2}}, {"SelectwithnoGenre1", {3}},
            {"ToolButtonSelectAll", {0, 1, 2, 3}}, {"Selectalllines1", {0, 1, 2, 3}},
        };
        for (const auto& c : cases) {
            w.Select({0, 3});  // a selection made by hand is replaced
            if (auto* button = w.form->findChild<QToolButton*>(QLatin1String(c.control)))
                button->click();
            else
                w.Trigger(c.control);
            QVERIFY2(w.table->SelectedRows() == c.rows, c.control);
        }
        // The panel follows the first selected row: the tag to be removed shows unticked.
        w.Trigger("SelectwithfilledTrack1");
        QVERIFY(!present->isChecked());
    }

    // The filter through the window's own controls: a whole-cell match in all columns
    // without regard to case, a case-sensitive part of one column, a hidden column, both
    // conditions at once, and every row back when both boxes are emptied.
    void FilteringThroughTheWindowsControls() {
        World w;
        w.Load(Paths({w.Write("1.mp3", MakeBlock(Tag().Artist("Beatles").Year("1965"))),
                      w.Write("2.mp3", MakeBlock(Tag().Artist("The Beatles").Year("1969"))),
                      w.Write("3.mp3", MakeBlock(Tag().Artist("Kraftwerk").Year("1974")))}));
        auto* look1 = w.Find<QComboBox>("ComboBoxExFilter1");
        auto* column1 = w.Find<QComboBox>("ComboBoxFilter1");
        auto* look2 = w.Find<QComboBox>("ComboBoxExFilter2");
        auto* column2 = w.Find<QComboBox>("ComboBoxFilter2");
        using V = std::vector<std::string>;
        const struct {
            const char* text1;
            int column1;
            const char* text2;
            int column2;
            V shown;
        } cases[] = {
            {"beatles", 0, "", 0, V{"1"}},    // all columns: whole cells, any case
            {"Beat", 4, "", 0, V{"1", "2"}},  // Artist: a part, case-sensitive
            {"beat", 4, "", 0, V{}},
            {"", 0, "196", 9, V{"1", "2"}},    // the second condition alone, on Year
            {"Beat", 4, "1969", 0, V{"2"}},    // both must hold
            {"", 0, "", 0, V{"1", "2", "3"}},  // empty boxes: every row again
        };
        for (const auto& c : cases) {
            column1->setCurrentIndex(c.column1);
            column2->setCurrentIndex(c.column2);
            look1->setCurrentText(QString::fromLatin1(c.text1));
            look2->setCurrentText(QString::fromLatin1(c.text2));
            w.Click("ToolButtonApplyFilter");
            QVERIFY2(w.Column(0) == c.shown, c.text1);
        }

        // A hidden column still filters; its history is empty.
        w.Trigger("Year1");
        column1->setCurrentIndex(9);
        QCOMPARE(look1->count(), 0);
        look1->setCurrentText(QStringLiteral("1974"));
        w.Trigger("Applyfilterontaglist1");
        QCOMPARE(w.Column(0), (V{"3"}));

        // The history of a shown column: its values, sorted without regard to case.
        column2->setCurrentIndex(4);
        QStringList history;
        for (int i = 0; i < look2->count(); ++i) history << look2->itemText(i);
        QCOMPARE(history, QStringList({"Kraftwerk"}));
    }

    void HeaderClicksSortBothWaysWithTheirImages() {
        World w;
        w.Load(Paths({w.Write("a.mp3", MakeBlock(Tag().Artist("b").Track(2))),
                      w.Write("b.mp3", MakeBlock(Tag().Artist("A").Track(10))),
                      w.Write("c.mp3", std::nullopt)}));
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form));
        QHeaderView* header = w.table->header();
        const auto click = [&](int pos) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(pos) + 4, header->height() / 2));
        };
        using V = std::vector<std::string>;
        const struct {
            int pos;
            V order;
            int image;
        } steps[] = {
            {0, V{"3", "2", "1"}, 2},  // Index is the sort column at start: reversed
            {3, V{"3", "1", "2"}, 1},  // Track ascending: no track counts as 0, 2 before 10
            {3, V{"2", "1", "3"}, 2},
            {4, V{"3", "2", "1"}, 1},  // Artist in byte order: "" < "A" < "b"
            {4, V{"1", "2", "3"}, 2},
        };
        int previous = 0;
        for (const auto& s : steps) {
            click(s.pos);
            QCOMPARE(w.Column(0), s.order);
            QCOMPARE(w.table->ColumnImage(s.pos), s.image);
            if (previous != s.pos) QCOMPARE(w.table->ColumnImage(previous), -1);
            previous = s.pos;
        }
    }
};

int main(int argc, char** argv) { return RunWindowTest<MainWindowSelectTest>(argc, argv); }

#include "main_window_select_test.moc"
