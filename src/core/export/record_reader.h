#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/record_writer.h"

namespace ambrel {

// A table read back: the header's captions, then the records, each with as many fields as
// the header. Bytes are kept as they are: a file name need not be UTF-8.
struct RecordTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> records;
    // The line of the text each record begins on, counted from 1 (the header's is line 1
    // unless blank lines come before it).
    std::vector<int> lines;
};

// What reading a table gave: the table, or why there is none.
struct RecordReading {
    std::optional<RecordTable> table;
    std::string error;  // "line 7: 3 fields where the header has 11"; empty with a table
};

// The format a file's extension names: ".csv" or ".tsv", letter case ignored; none for any
// other name.
std::optional<RecordFormat> RecordFormatOfPath(std::string_view path);

// Reads what RecordWriter writes in kCsv or kTsv (kJson is not read). csv as RFC 4180 has it:
// a field between double quotes may hold commas, line ends and doubled quotes; records end
// with CR LF, LF or CR, the last one with or without a line end. tsv: fields separated by
// tabs, \t \n \r and \\ read back as the bytes they stand for (any other backslash is kept as
// it stands). Either may begin with a UTF-8 byte order mark, as spreadsheets write it, and a
// line with nothing on it holds no record. A record whose number of fields differs from the
// header's, an unclosed quote and a text without a header are errors naming the line.
RecordReading ReadRecords(std::string_view text, RecordFormat format);

// Reads a file: in the format given, else in the one its extension names.
RecordReading ReadRecordFile(const std::string& path,
                             std::optional<RecordFormat> format = std::nullopt);

}  // namespace ambrel
