#include "ui/viewer/filter_bar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <optional>
#include <string>
#include <vector>

#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

using namespace ambrel;
using namespace ambrel::test;
using ambrel::ui::FilterBar;

namespace {

// Tagged files named after their artist (an empty artist gives "none"), loaded into a
// tag list shown in an in-memory table, with the filter bar bound to the viewer.
struct World {
    TempDir dir;
    TTagList list;
    MemoryReportView table;
    TTagViewer viewer{&table, &list, std::nullopt};
    FilterBar bar;

    explicit World(const std::vector<std::string>& artists) {
        viewer.LayoutColumns();
        // Tracks count down, so a track cell and an Index cell of another row can agree.
        int track = static_cast<int>(artists.size());
        for (const std::string& artist : artists) {
            TagFields fields;
            fields.artist = artist;
            fields.track = track--;
            const std::string name = artist.empty() ? "none" : artist;
            list.Add(WriteMp3(dir / (name + ".mp3"), 200, MakeBlock(fields)));
        }
        viewer.RebuildRows();
        bar.Bind(&viewer);
    }

    QComboBox* LookFor(int pair) const {
        return bar.findChild<QComboBox*>(pair == 1 ? "ComboBoxExFilter1" : "ComboBoxExFilter2");
    }
    QComboBox* Column(int pair) const {
        return bar.findChild<QComboBox*>(pair == 1 ? "ComboBoxFilter1" : "ComboBoxFilter2");
    }
    // Picks the column, then types the look-for text (a new column empties the box).
    void Filter(int pair, const QString& text, int column) {
        Column(pair)->setCurrentIndex(column);
        LookFor(pair)->setEditText(text);
    }
    // The Filename cells of the table's rows, top to bottom.
    QStringList Shown() const {
        QStringList names;
        for (int row = 0; row < table.RowCount(); ++row)
            names << QString::fromStdString(std::string(table.Cell(row, TTagViewer::kFilename)));
        return names;
    }
};

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

constexpr int kAll = 0;
constexpr int kArtist = TTagViewer::kArtist;

}  // namespace

class FilterBarTest : public QObject {
    Q_OBJECT

private slots:
    void controlsCarryTheirNamesAndCaptions();
    void onlyTheSecondPairSetsOnlyConditionOne();
    void emptyingBothBoxesShowsEveryFile();
    void matchingThroughTheBoxes_data();
    void matchingThroughTheBoxes();
    void choosingAColumnFillsItsHistoryWithoutRefiltering();
    void hiddenColumnHasNoHistoryButStillFilters();
    void enterAppliesWithoutAddingToTheHistory();
};

void FilterBarTest::controlsCarryTheirNamesAndCaptions() {
    FilterBar bar;
    const std::pair<const char*, const char*> labels[] = {{"LabelFilter1", "Look for"},
                                                          {"LabelFilter2", "in column"},
                                                          {"LabelFilter3", "AND look for"},
                                                          {"LabelFilter4", "in column"}};
    for (const auto& [name, caption] : labels) {
        auto* label = bar.findChild<QLabel*>(name);
        QVERIFY2(label != nullptr, name);
        QCOMPARE(label->text(), QString(caption));
    }
    const QStringList columns{"All columns", "Directory", "Filename", "Track",
                              "Artist",      "Song name", "Album",    "Comment",
                              "Genre",       "Year",      "Picture",  "ID3v2"};
    for (const char* name : {"ComboBoxFilter1", "ComboBoxFilter2"}) {
        auto* list = bar.findChild<QComboBox*>(name);
        QVERIFY2(list != nullptr, name);
        QVERIFY(!list->isEditable());
        QCOMPARE(Items(list), columns);
        QCOMPARE(list->currentIndex(), 0);
    }
    for (const char* name : {"ComboBoxExFilter1", "ComboBoxExFilter2"}) {
        auto* box = bar.findChild<QComboBox*>(name);
        QVERIFY2(box != nullptr, name);
        QVERIFY(box->isEditable());
        QCOMPARE(box->count(), 0);
        QVERIFY(box->currentText().isEmpty());
    }
    auto* apply = bar.findChild<QToolButton*>("SpeedButtonApplyFilter");
    QCOMPARE(apply->toolTip(), QString("Show only filtered lines"));
    QVERIFY(!apply->icon().isNull());
    QSignalSpy spy(&bar, &FilterBar::applyClicked);
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
}

void FilterBarTest::onlyTheSecondPairSetsOnlyConditionOne() {
    World w({"Abba", "Beatles"});
    w.viewer.SetFilterCondition(ambrel::FilterCondition::kFirst, "old",
                                3);  // left from an earlier filter
    w.Filter(2, "Beatles", kArtist);
    w.bar.ApplyFilter();
    QVERIFY(!w.viewer.FilterText(ambrel::FilterCondition::kFirst).has_value());
    QCOMPARE(w.viewer.FilterColumn(ambrel::FilterCondition::kFirst), -1);
    QCOMPARE(w.viewer.FilterText(ambrel::FilterCondition::kSecond),
             std::optional<std::string>("Beatles"));
    QCOMPARE(w.viewer.FilterColumn(ambrel::FilterCondition::kSecond), kArtist);
    QCOMPARE(w.Shown(), QStringList{"Beatles"});
}

void FilterBarTest::emptyingBothBoxesShowsEveryFile() {
    World w({"Abba", "Beatles", "Cream"});
    w.Filter(1, "Abba", kAll);
    w.Filter(2, "Abba", kArtist);
    w.bar.ApplyFilter();
    QCOMPARE(w.Shown(), QStringList{"Abba"});

    w.LookFor(1)->setEditText("");
    w.LookFor(2)->setEditText("");
    w.bar.ApplyFilter();
    QVERIFY(!w.viewer.FilterText(ambrel::FilterCondition::kFirst).has_value());
    QVERIFY(!w.viewer.FilterText(ambrel::FilterCondition::kSecond).has_value());
    QCOMPARE(w.Shown(), (QStringList{"Abba", "Beatles", "Cream"}));
}

void FilterBarTest::matchingThroughTheBoxes_data() {
    QTest::addColumn<QString>("text1");
    QTest::addColumn<int>("column1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<int>("column2");
    QTest::addColumn<QStringList>("shown");
    const int track = TTagViewer::kTrack;
    QTest::newRow("all columns: whole cell, any case")
        << "beatles" << kAll << "" << kAll << QStringList{"Beatles"};
    QTest::newRow("column: substring")
        << "Beat" << kArtist << "" << kAll << QStringList{"Beatles", "The Beatles"};
    QTest::newRow("column: case matters") << "beat" << kArtist << "" << kAll << QStringList{};
    QTest::newRow("all columns: track 3 and Index 3")
        << "3" << kAll << "" << kAll << QStringList{"Beatles", "The Beatles"};
    QTest::newRow("all columns: picture cell")
        << "no" << kAll << "" << kAll << QStringList{"Beatles", "Queen", "The Beatles"};
    QTest::newRow("two conditions on one column")
        << "Beat" << kArtist << "The" << kArtist << QStringList{"The Beatles"};
    QTest::newRow("two conditions on two columns")
        << "Beat" << kArtist << "3" << track << QStringList{"Beatles"};
}

void FilterBarTest::matchingThroughTheBoxes() {
    QFETCH(QString, text1);
    QFETCH(int, column1);
    QFETCH(QString, text2);
    QFETCH(int, column2);
    QFETCH(QStringList, shown);
    World w({"Beatles", "Queen", "The Beatles"});
    w.Filter(1, text1, column1);
    w.Filter(2, text2, column2);
    w.bar.ApplyFilter();
    QCOMPARE(w.Shown(), shown);
}

void FilterBarTest::choosingAColumnFillsItsHistoryWithoutRefiltering() {
    World w({"beta", "Alpha", "", "ALPHA", "gamma", "alpha"});
    const int clears = w.table.clears;

    QTest::keyClicks(w.LookFor(1), "typed");
    w.Column(1)->setCurrentIndex(kArtist);
    QCOMPARE(Items(w.LookFor(1)), (QStringList{"", "Alpha", "beta", "gamma"}));
    QVERIFY(w.LookFor(1)->currentText().isEmpty());
    QCOMPARE(w.table.clears, clears);  // choosing a column does not rebuild the table
    QVERIFY(!w.viewer.FilterText(ambrel::FilterCondition::kFirst).has_value());
    QCOMPARE(w.LookFor(2)->count(), 0);  // the other pair is left alone

    w.Column(1)->setCurrentIndex(kAll);
    QCOMPARE(w.LookFor(1)->count(), 0);
    QVERIFY(w.LookFor(1)->currentText().isEmpty());

    // The history holds what the table shows: rows the filter keeps out add nothing.
    w.Filter(2, "a", kArtist);
    w.bar.ApplyFilter();
    QCOMPARE(w.Shown(), (QStringList{"beta", "Alpha", "gamma", "alpha"}));
    w.Column(2)->setCurrentIndex(TTagViewer::kFilename);
    QCOMPARE(Items(w.LookFor(2)), (QStringList{"Alpha", "beta", "gamma"}));
    QCOMPARE(w.Shown().size(), 4);
}

void FilterBarTest::hiddenColumnHasNoHistoryButStillFilters() {
    World w({"Abba", "Beatles"});
    w.viewer.ShowColumn(kArtist, false);
    w.Column(1)->setCurrentIndex(kArtist);
    QCOMPARE(w.LookFor(1)->count(), 0);

    w.LookFor(1)->setEditText("Abba");
    w.bar.ApplyFilter();
    QCOMPARE(w.Shown(), QStringList{"Abba"});
}

void FilterBarTest::enterAppliesWithoutAddingToTheHistory() {
    World w({"Abba", "Beatles"});
    QSignalSpy spy(&w.bar, &FilterBar::applyClicked);
    w.Column(1)->setCurrentIndex(kArtist);
    QCOMPARE(w.LookFor(1)->count(), 2);

    QTest::keyClicks(w.LookFor(1), "Cream");
    QTest::keyClick(w.LookFor(1), Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(Items(w.LookFor(1)), (QStringList{"Abba", "Beatles"}));
    QCOMPARE(w.LookFor(1)->currentText(), QString("Cream"));
}

QTEST_MAIN(FilterBarTest)
#include "filter_bar_test.moc"
