#include "export/csv.h"

#include <gtest/gtest.h>

#include <string>

#include "export/table_csv.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

TEST(CsvTest, AFieldIsQuotedExactlyWhenItMustBe) {
    struct Case {
        std::string text, written;
    } cases[] = {
        {"plain", "plain"},
        {"", ""},
        {" spaced ", " spaced "},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},
    };
    for (const Case& c : cases) {
        std::string out;
        csv::AppendField(out, c.text);
        EXPECT_EQ(out, c.written) << c.text;
    }
    std::string record;
    csv::AppendRecord(record, {"a", "", "b,c"});
    EXPECT_EQ(record, "a,,\"b,c\"\r\n");
}

TEST(CsvTest, TheTableIsWrittenAsShownWithEachRowsPath) {
    TempDir dir;
    TagFields fields;
    fields.title = "Song, title";
    // A file name that is not UTF-8 keeps its bytes, so the file can be named again.
    const std::string latin1 = WriteMp3(dir / "caf\xE9.mp3", 1000, MakeBlock(fields));
    const std::string plain = WriteMp3(dir / "plain.mp3", 1000, std::nullopt);
    TTagList list;
    list.AddList({latin1, plain});
    MemoryReportView table;
    TTagViewer viewer(&table, &list, std::nullopt);
    viewer.LayoutColumns();
    for (int column = TTagViewer::kDirectory; column < TTagViewer::kColumnCount; ++column)
        if (column != TTagViewer::kSongTitle) viewer.ShowColumn(column, false);
    viewer.RebuildRows();
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(TableAsCsv(table, viewer),
              "Index,Song title,Path\r\n1,\"Song, title\"," + latin1 + "\r\n2,," + plain + "\r\n");

    MemoryReportView empty_table;
    TTagList empty_list;
    const TTagViewer empty(&empty_table, &empty_list, std::nullopt);
    EXPECT_EQ(TableAsCsv(empty_table, empty), "Path\r\n");
}

}  // namespace
}  // namespace ambrel::test
