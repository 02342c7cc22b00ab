#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel::cli {

enum class Format { kTsv, kCsv, kJson };

// A field of the records: its caption in a tsv or csv header, its key in json.
struct Field {
    std::string_view caption;
    std::string_view key;
};

// Writes records to a stream in one of the formats. tsv: a header line of captions, then one
// line per record, fields separated by tabs, with tab, line feed, carriage return and
// backslash written as \t, \n, \r and \\. csv: the same as RFC 4180 has it (export/csv.h).
// json: an array of objects, one a line, keyed by the fields; the one format that must be
// UTF-8 throughout, so bytes of a file name that are not UTF-8 are read as Latin-1 there.
// The other formats write the bytes as they are.
class RecordWriter {
public:
    RecordWriter(Format format, std::vector<Field> fields, std::FILE* out);
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // One value per field, in the fields' order.
    void Write(const std::vector<std::string_view>& values);

private:
    void Flush(bool always);

    Format format_;
    std::vector<Field> fields_;
    std::FILE* out_;
    std::string buffer_;
    bool first_ = true;
};

}  // namespace ambrel::cli
