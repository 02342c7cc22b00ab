// "Export table as CSV…": the table as shown with each row's path, read back by Python's csv
// module.
#include <filesystem>

#include "main_window_world.h"
#include "support/python_reader.h"
#include "window_test_main.h"

using namespace ambrel::test;

class MainWindowExportTest : public QObject {
    Q_OBJECT

private slots:
    void TheShownRowsAndColumnsAreWrittenInDisplayOrderWithTheirPaths() {
        World w;
        // A title with a comma, a quote, a line feed and a Latin-1 letter.
        w.Write("one.mp3",
                MakeBlock(Tag().Title("Say \"Hi\",\nnow \xC9").Artist("B").Year("1990")));
        w.Write("two.mp3", MakeBlock(Tag().Title("Plain").Artist("C").Year("1991")));
        w.Write("three.mp3", MakeBlock(Tag().Title("Hidden by the filter").Artist("A")));
        w.Load(Paths({w.dir / "one.mp3", w.dir / "two.mp3", w.dir / "three.mp3"}));
        ambrel::TTagViewer* viewer = w.library.TagViewer();
        viewer->ShowColumn(ambrel::TTagViewer::kYear, false);
        viewer->SetFilterCondition(ambrel::FilterCondition::kFirst, "o",
                                   ambrel::TTagViewer::kFilename);  // one, two
        viewer->RebuildRows();
        viewer->ColumnClick(ambrel::TTagViewer::kArtist);
        viewer->ColumnClick(ambrel::TTagViewer::kArtist);  // descending: C before B
        QCOMPARE(w.table->RowCount(), 2);

        const std::string out = w.dir / "table.csv";
        w.prompter.save_file_answers.push_back(out);
        w.Trigger("ExporttableasCSV1");
        QCOMPARE(w.prompter.shown.size(), std::size_t(1));
        QCOMPARE(w.prompter.shown[0].kind, Shown::kSaveFile);
        QCOMPARE(w.prompter.shown[0].text, std::string("CSV files (*.csv)"));

        Rows expected = {w.Headers()};
        expected[0].push_back("Path");
        for (int row = 0; row < w.table->RowCount(); ++row) {
            std::vector<std::string> cells;
            for (int pos = 0; pos < w.table->ColumnCount(); ++pos)
                cells.emplace_back(w.table->Cell(row, pos));
            cells.push_back(viewer->EntryAt(row)->GetPath());
            expected.push_back(cells);
        }
        QCOMPARE(expected[1][2], std::string("two"));
        QCOMPARE(expected[1].back(), std::string(w.dir / "two.mp3"));
        QCOMPARE(expected[2][5], std::string("Say \"Hi\",\nnow \xC3\x89"));
        QCOMPARE(ReadCsvWithPython(out), expected);
        QVERIFY(std::find(expected[0].begin(), expected[0].end(), "Year") == expected[0].end());
    }

    void ACancelledDialogWritesNothingAndAFailedWriteIsTold() {
        World w;
        w.Load(Paths({w.Write("one.mp3", MakeBlock({}))}));
        w.Trigger("ExporttableasCSV1");  // the dialog is cancelled
        QCOMPARE(w.prompter.Count(Shown::kWarning), 0);

        // A folder where the file should go: the save cannot even start.
        const std::string folder = w.dir / "taken.csv";
        std::filesystem::create_directory(folder);
        w.prompter.save_file_answers.push_back(folder);
        w.Trigger("ExporttableasCSV1");
        QCOMPARE(w.prompter.Count(Shown::kWarning), 1);
        QVERIFY(w.prompter.shown.back().text.rfind("The table could not be written to " + folder,
                                                   0) == 0);
        QVERIFY(std::filesystem::is_directory(folder));

        // A file that is there is replaced whole, and only once the new one is complete.
        const std::string old = WriteText(w.dir / "old.csv", "old contents that are longer\n");
        w.prompter.save_file_answers.push_back(old);
        w.Trigger("ExporttableasCSV1");
        QCOMPARE(w.prompter.Count(Shown::kWarning), 1);
        QCOMPARE(ReadCsvWithPython(old).size(), std::size_t(2));
    }
};

int main(int argc, char** argv) { return RunWindowTest<MainWindowExportTest>(argc, argv); }

#include "main_window_export_test.moc"
