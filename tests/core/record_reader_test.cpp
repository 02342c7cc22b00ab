#include "export/record_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/record_writer.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

using Records = std::vector<std::vector<std::string>>;

std::string Written(RecordFormat format, const std::vector<std::string>& captions,
                    const Records& records) {
    std::vector<RecordField> fields;
    for (const std::string& caption : captions) fields.push_back({caption, caption});
    std::string out;
    {
        RecordWriter writer(format, fields, [&out](std::string_view block) { out += block; });
        for (const auto& record : records) writer.Write({record.begin(), record.end()});
    }
    return out;
}

RecordTable Read(std::string_view text, RecordFormat format) {
    RecordReading reading = ReadRecords(text, format);
    EXPECT_EQ(reading.error, "") << text;
    return reading.table.value_or(RecordTable{});
}

TEST(RecordReaderTest, ReadsBackEveryValueTheWriterWrites) {
    const std::vector<std::string> captions = {"Title, \"quoted\"", "Tab\there", "Path"};
    const Records records = {
        {"say \"hi\", now", "two\nlines", "/m/caf\xE9.mp3"},       // quotes, a comma, Latin-1
        {"cr\r and crlf\r\n", "back\\slash \\t not a tab", "\\"},  // escapes' look-alikes
        {"", "", ""},
        {"\"", ",", "\t\t"},
        {" spaced ", "\\n\\", "last\\"},
    };
    for (const RecordFormat format : {RecordFormat::kCsv, RecordFormat::kTsv}) {
        const std::string text = Written(format, captions, records);
        const RecordTable table = Read(text, format);
        EXPECT_EQ(table.header, captions) << text;
        EXPECT_EQ(table.records, records) << text;
    }
}

TEST(RecordReaderTest, ReadsCsvAsSpreadsheetsWriteIt) {
    struct Case {
        std::string text;
        Records records;
        std::vector<int> lines;
    } cases[] = {
        // A byte order mark, CR LF line ends and no line end after the last record.
        {"\xEF\xBB\xBF"
         "A,B\r\n1,2\r\n3,4",
         {{"1", "2"}, {"3", "4"}},
         {2, 3}},
        // LF and lone CR line ends, blank lines, a line break inside quotes.
        {"A,B\n\"x\r\ny\",2\r\r\n5,\"\"\n\n", {{"x\r\ny", "2"}, {"5", ""}}, {2, 5}},
        // A last record ending in an empty field, and a quote inside an unquoted field.
        {"A,B\n1,", {{"1", ""}}, {2}},
        {"A,B\nsay 6\" ,2\n", {{"say 6\" ", "2"}}, {2}},
        {"A,B\n", {}, {}},
    };
    for (const Case& c : cases) {
        const RecordTable table = Read(c.text, RecordFormat::kCsv);
        EXPECT_EQ(table.header, (std::vector<std::string>{"A", "B"})) << c.text;
        EXPECT_EQ(table.records, c.records) << c.text;
        EXPECT_EQ(table.lines, c.lines) << c.text;
    }
    const RecordTable tsv = Read(
        "\xEF\xBB\xBF"
        "A\tB\r\n1\t2",
        RecordFormat::kTsv);
    EXPECT_EQ(tsv.header, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(tsv.records, (Records{{"1", "2"}}));
}

TEST(RecordReaderTest, ReportsABrokenTableWithItsLine) {
    struct Case {
        RecordFormat format;
        std::string text, error;
    } cases[] = {
        {RecordFormat::kCsv, "A,B\n1,2\n\"two\nlines\",2,3\n",
         "line 3: 3 fields where the header has 2"},
        {RecordFormat::kCsv, "A,B\n1\n", "line 2: 1 field where the header has 2"},
        {RecordFormat::kCsv, "A,B\n1,2\n3,\"open\n4,5\n", "line 3: a quoted field is not closed"},
        {RecordFormat::kCsv, "A,B\n\"x\"y,2\n",
         "line 2: a quoted field goes on after its closing quote"},
        {RecordFormat::kTsv, "A\tB\n1\t2\t3\n", "line 2: 3 fields where the header has 2"},
        {RecordFormat::kCsv, "", "there is no header line"},
        {RecordFormat::kTsv, "\xEF\xBB\xBF\r\n", "there is no header line"},
        {RecordFormat::kJson, "[]", "json is not read back"},
    };
    for (const Case& c : cases) {
        const RecordReading reading = ReadRecords(c.text, c.format);
        EXPECT_FALSE(reading.table.has_value()) << c.text;
        EXPECT_EQ(reading.error, c.error) << c.text;
    }
}

TEST(RecordReaderTest, TakesTheFormatFromTheNameUnlessOneIsGiven) {
    EXPECT_EQ(RecordFormatOfPath("/a/tags.csv"), RecordFormat::kCsv);
    EXPECT_EQ(RecordFormatOfPath("TAGS.TSV"), RecordFormat::kTsv);
    EXPECT_EQ(RecordFormatOfPath("tags.Csv"), RecordFormat::kCsv);
    EXPECT_EQ(RecordFormatOfPath("tags.txt"), std::nullopt);
    EXPECT_EQ(RecordFormatOfPath("/a.csv/tags"), std::nullopt);
    EXPECT_EQ(RecordFormatOfPath("tags.csv.bak"), std::nullopt);

    TempDir dir;
    const std::string tabbed = WriteText(dir / "tags.txt", "A,B\tC\n1,2\t3\n");
    EXPECT_EQ(ReadRecordFile(tabbed).error, "the name ends in neither .csv nor .tsv");
    const RecordReading forced = ReadRecordFile(tabbed, RecordFormat::kTsv);
    ASSERT_TRUE(forced.table);
    EXPECT_EQ(forced.table->header, (std::vector<std::string>{"A,B", "C"}));
    const std::string csv = WriteText(dir / "tags.CSV", "A,B\tC\n1,2\t3\n");
    ASSERT_TRUE(ReadRecordFile(csv).table);
    EXPECT_EQ(ReadRecordFile(csv).table->header, (std::vector<std::string>{"A", "B\tC"}));
    // A directory where the table should be, and a file that is not there.
    WriteText(dir / "folder.csv/inside", "");
    EXPECT_EQ(ReadRecordFile(dir / "folder.csv").error, "the file cannot be read");
    EXPECT_EQ(ReadRecordFile(dir / "missing.tsv").error, "the file cannot be read");
}

}  // namespace
}  // namespace ambrel::test
