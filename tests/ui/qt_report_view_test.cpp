#include "ui/common/qt_report_view.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>

#include "ui/common/icons.h"

using ambrel::ui::QtReportView;

namespace {

std::vector<std::string> Cells(std::initializer_list<const char*> texts) {
    return std::vector<std::string>(texts.begin(), texts.end());
}

// A view of three columns and `rows` rows: "<n>", "name<n>", "x<n % 3>".
void Fill(QtReportView& view, int rows) {
    view.AddColumn("Index", 50);
    view.AddColumn("Name", 120);
    view.AddColumn("Kind", 80);
    view.BeginUpdate();
    for (int i = 0; i < rows; ++i) {
        view.AddRow({std::to_string(i), "name" + std::to_string(i), "x" + std::to_string(i % 3)});
    }
    view.EndUpdate();
}

QString ShownText(const QtReportView& view, int row, int column) {
    return view.model()->index(row, column).data().toString();
}

}  // namespace

class QtReportViewTest : public QObject {
    Q_OBJECT

private slots:
    void ColumnsAndRowsReachTheModel() {
        QtReportView view;
        QAbstractItemModelTester tester(view.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        Fill(view, 3);
        QCOMPARE(view.ColumnCount(), 3);
        QCOMPARE(view.ColumnWidth(1), 120);
        QCOMPARE(view.model()->rowCount(), 3);
        QCOMPARE(ShownText(view, 2, 1), QStringLiteral("name2"));
        QCOMPARE(view.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Kind"));

        // A row with fewer cells than columns shows empty cells; text stays UTF-8.
        view.AddRow(Cells({"9", "Motörhead"}));
        view.Flush();
        QCOMPARE(view.CellCount(3), 2);
        QCOMPARE(ShownText(view, 3, 1), QString::fromUtf8("Motörhead"));
        QCOMPARE(ShownText(view, 3, 2), QString());
        QCOMPARE(view.Cell(3, 5), std::string_view());
        QCOMPARE(view.Cell(17, 0), std::string_view());

        view.SetRow(0, Cells({"0", "renamed", "y"}));
        QCOMPARE(view.Cell(0, 1), std::string_view("renamed"));
        QCOMPARE(ShownText(view, 0, 1), QStringLiteral("renamed"));

        // Deleting a column keeps the widths of the others and shifts the cells' columns.
        view.DeleteColumn(1);
        QCOMPARE(view.ColumnCount(), 2);
        QCOMPARE(view.ColumnCaption(1), std::string("Kind"));
        QCOMPARE(view.ColumnWidth(1), 80);
        QCOMPARE(view.ColumnWidth(0), 50);
        view.SetColumnCaption(0, "No.");
        QCOMPARE(view.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("No."));

        view.ClearRows();
        QCOMPARE(view.RowCount(), 0);
        QCOMPARE(view.model()->rowCount(), 0);
    }

    void ABurstOfRowsReachesTheViewAsOneInsertion() {
        QtReportView view;
        QSignalSpy inserted(view.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(view.model(), &QAbstractItemModel::dataChanged);
        Fill(view, 1000);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(view.model()->rowCount(), 1000);

        // Without an update bracket the rows arrive with the next turn of the event loop.
        view.AddRow(Cells({"1000", "late"}));
        view.AddRow(Cells({"1001", "later"}));
        QCOMPARE(view.RowCount(), 1002);
        QTRY_COMPARE(view.model()->rowCount(), 1002);
        QCOMPARE(inserted.count(), 2);

        // Rewriting many rows announces one change covering them.
        for (int row = 10; row < 500; ++row) view.SetRow(row, Cells({"r"}));
        QTRY_COMPARE(changed.count(), 1);
        const auto first = changed.at(0).at(0).value<QModelIndex>();
        const auto last = changed.at(0).at(1).value<QModelIndex>();
        QCOMPARE(first.row(), 10);
        QCOMPARE(last.row(), 499);
    }

    // Rows made aside replace every row at once: one removal, one insertion, and the old
    // rows shown until then.
    void ABatchOfRowsReplacesTheRowsAtOnce() {
        QtReportView view;
        QAbstractItemModelTester tester(view.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        Fill(view, 5);
        view.ReplaceSelection({1});
        QSignalSpy inserted(view.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(view.model(), &QAbstractItemModel::rowsRemoved);
        auto batch = view.NewRowBatch();
        for (int i = 0; i < 3; ++i) batch->Add({"b" + std::to_string(i), "new"});
        batch->Set(1, Cells({"b1", "rewritten"}));
        QCOMPARE(view.RowCount(), 5);
        QCOMPARE(view.Cell(0, 0), std::string_view("0"));
        view.BeginUpdate();
        view.ReplaceRows(std::move(batch));
        view.EndUpdate();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(view.model()->rowCount(), 3);
        QCOMPARE(ShownText(view, 1, 1), QStringLiteral("rewritten"));
        QCOMPARE(ShownText(view, 2, 0), QStringLiteral("b2"));
        QVERIFY(view.SelectedRows().empty());
    }

    void SelectionCommandsReplaceTheSelectionAtOnce() {
        QtReportView view;
        QAbstractItemModelTester tester(view.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        Fill(view, 12);
        QSignalSpy spy(&view, &QtReportView::rowSelectionChanged);

        view.SetSelected(5, true);
        view.ReplaceSelection({1, 2, 3, 7, 9, 40});  // 40 does not exist
        QCOMPARE(view.SelectedRows(), (std::vector<int>{1, 2, 3, 7, 9}));
        QCOMPARE(view.FirstSelected(), 1);
        QVERIFY(!view.IsSelected(5));
        QVERIFY(view.IsSelected(7));
        QCOMPARE(spy.count(), 2);  // one for SetSelected, one for the whole replacement
        // Rows are selected across every column.
        QVERIFY(view.selectionModel()->isSelected(view.model()->index(2, 2)));

        view.SetSelected(7, false);
        QCOMPARE(view.SelectedRows(), (std::vector<int>{1, 2, 3, 9}));

        view.SelectAll();
        QCOMPARE(view.SelectedRows().size(), std::size_t(12));
        QCOMPARE(view.FirstSelected(), 0);

        view.ReplaceSelection({});
        QCOMPARE(view.FirstSelected(), -1);
        QVERIFY(view.SelectedRows().empty());

        view.SetSelected(4, true);
        view.ClearSelection();
        QVERIFY(view.SelectedRows().empty());

        // Removing the rows takes their selection with them, announced once.
        view.ReplaceSelection({0, 1});
        spy.clear();
        view.ClearRows();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(view.FirstSelected(), -1);
    }

    void SingleSelectionModeKeepsOneRow() {
        QtReportView view;
        view.SetMultiSelect(false);
        Fill(view, 4);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(view.model()->index(1, 0)).center());
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view.visualRect(view.model()->index(3, 0)).center());
        QCOMPARE(view.SelectedRows(), std::vector<int>{3});
    }

    void SortingCarriesTheSelectionAndUsesPreSortRowNumbers() {
        QtReportView view;
        QAbstractItemModelTester tester(view.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        Fill(view, 6);                  // kinds x0 x1 x2 x0 x1 x2
        view.ReplaceSelection({1, 4});  // both "x1"
        view.FocusRow(4);

        // Descending by kind, ties kept in their old order; the callback reads cells
        // through the row numbers the rows had before the sort.
        view.Sort([&view](int a, int b) { return -view.Cell(a, 2).compare(view.Cell(b, 2)); });
        std::vector<std::string> order;
        for (int row = 0; row < view.RowCount(); ++row) order.emplace_back(view.Cell(row, 0));
        QCOMPARE(order, (std::vector<std::string>{"2", "5", "1", "4", "0", "3"}));
        QCOMPARE(view.SelectedRows(), (std::vector<int>{2, 3}));
        QCOMPARE(view.currentIndex().row(), 3);
        QCOMPARE(ShownText(view, 2, 0), QStringLiteral("1"));

        // A whole-table selection survives a sort too.
        view.SelectAll();
        view.Sort([&view](int a, int b) { return view.Cell(a, 0).compare(view.Cell(b, 0)); });
        QCOMPARE(view.SelectedRows().size(), std::size_t(6));
        QCOMPARE(view.Cell(0, 0), std::string_view("0"));
    }

    void HeaderAndRowImagesComeFromTheImageList() {
        QtReportView view;
        view.SetImages(ambrel::ui::ImageList16viewer());
        Fill(view, 2);
        QCOMPARE(view.ColumnImage(0), -1);
        view.SetColumnImage(0, 1);
        QCOMPARE(view.ColumnImage(0), 1);
        QVERIFY(
            view.model()->headerData(0, Qt::Horizontal, Qt::DecorationRole).canConvert<QIcon>());
        QVERIFY(!view.model()->headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());
        view.SetColumnImage(0, 7);  // beyond the list: no picture, no crash
        QVERIFY(!view.model()->headerData(0, Qt::Horizontal, Qt::DecorationRole).isValid());

        view.SetRowImage(1, 0);
        QCOMPARE(view.RowImage(1), 0);
        QVERIFY(view.model()->index(1, 0).data(Qt::DecorationRole).canConvert<QIcon>());
        QVERIFY(!view.model()->index(1, 1).data(Qt::DecorationRole).isValid());
        QVERIFY(!view.model()->index(0, 0).data(Qt::DecorationRole).isValid());
    }

    void SignalsForHeaderClicksActivationKeysAndEdits() {
        QtReportView view;
        Fill(view, 3);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QSignalSpy header(&view, &QtReportView::headerClicked);
        QHeaderView* bar = view.header();
        QTest::mouseClick(bar->viewport(), Qt::LeftButton, {},
                          QPoint(bar->sectionViewportPosition(2) + 5, bar->height() / 2));
        QCOMPARE(header.count(), 1);
        QCOMPARE(header.at(0).at(0).toInt(), 2);

        QSignalSpy activated(&view, &QtReportView::rowActivated);
        QSignalSpy keys(&view, &QtReportView::keyPressed);
        view.FocusRow(1);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClick(&view, Qt::Key_Backspace);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).toInt(), 1);
        QCOMPARE(keys.count(), 2);
        QCOMPARE(keys.at(1).at(0).toInt(), int(Qt::Key_Backspace));

        // The caption cell is editable only when asked; an edit is reported, not applied.
        QVERIFY(!(view.model()->flags(view.model()->index(0, 0)) & Qt::ItemIsEditable));
        view.SetCaptionEditable(true);
        QVERIFY(view.model()->flags(view.model()->index(0, 0)) & Qt::ItemIsEditable);
        QVERIFY(!(view.model()->flags(view.model()->index(0, 1)) & Qt::ItemIsEditable));
        QSignalSpy edited(&view, &QtReportView::captionEdited);
        view.model()->setData(view.model()->index(2, 0), QStringLiteral("new name"));
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0).at(0).toInt(), 2);
        QCOMPARE(edited.at(0).at(1).toString(), QStringLiteral("new name"));
        QCOMPARE(view.Cell(2, 0), std::string_view("2"));
    }

    void EveryPictureExistsAtItsSize() {
        ambrel::ui::UseIconTheme();
        for (int p = 0; p <= int(ambrel::ui::Picture::kRedo); ++p) {
            const auto picture = ambrel::ui::Picture(p);
            QVERIFY2(!ambrel::ui::ToolPicture(picture).pixmap(24, 24).isNull(),
                     qPrintable(QString::number(p)));
            QVERIFY(!ambrel::ui::MenuPicture(picture).pixmap(16, 16).isNull());
        }
        const QVector<QIcon> list = ambrel::ui::ImageList16viewer();
        QCOMPARE(list.size(), 3);
        // The two sort pictures are mirror images, not the same picture.
        QVERIFY(list[1].pixmap(16, 16).toImage() != list[2].pixmap(16, 16).toImage());
    }
};

QTEST_MAIN(QtReportViewTest)
#include "qt_report_view_test.moc"
