#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel {

enum class RecordFormat { kTsv, kCsv, kJson };

// A field of the records: its caption in a tsv or csv header, its key in json.
struct RecordField {
    std::string caption;
    std::string key;
};

// Writes records to a stream in one of the formats. tsv: a header line of captions, then one
// line per record, fields separated by tabs, with tab, line feed, carriage return and
// backslash written as \t, \n, \r and \\. csv: the same as RFC 4180 has it (export/csv.h).
// json: an array of objects, one a line, keyed by the fields; the one format that must be
// UTF-8 throughout, so bytes of a file name that are not UTF-8 are read as Latin-1 there.
// The other formats write the bytes as they are. The command line's list and the window's
// table export both write through it.
class RecordWriter {
public:
    // Takes each block of output as it is complete: about 64 KiB at a time, and the rest
    // when the writer goes.
    using Sink = std::function<void(std::string_view block)>;

    RecordWriter(RecordFormat format, std::vector<RecordField> fields, Sink sink);
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // One value per field, in the fields' order.
    void Write(const std::vector<std::string_view>& values);

private:
    void Flush(bool always);

    RecordFormat format_;
    std::vector<RecordField> fields_;
    Sink sink_;
    std::string buffer_;
    bool first_ = true;
};

}  // namespace ambrel
