#include "export/csv.h"

#include <gtest/gtest.h>

#include <string>

#include "export/table_csv.h"
#include "support/memory_report_view.h"

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

TEST(CsvTest, TheTableIsWrittenAsShown) {
    MemoryReportView table;
    table.AddColumn("Index", 10);
    table.AddColumn("Song, title", 10);
    table.AddRow({"2", "B"});
    table.AddRow({"1"});  // a row with fewer cells than columns
    EXPECT_EQ(TableAsCsv(table), "Index,\"Song, title\"\r\n2,B\r\n1,\r\n");
    MemoryReportView empty;
    EXPECT_EQ(TableAsCsv(empty), "\r\n");
}

}  // namespace
}  // namespace ambrel::test
