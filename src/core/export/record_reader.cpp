#include "export/record_reader.h"

#include <algorithm>

#include "platform/file_io.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Splits a text into records one at a time, counting lines as it goes, so an error can
// name the line a record begins on.
class RecordSplitter {
public:
    RecordSplitter(std::string_view text, RecordFormat format) : text_(text), format_(format) {
        if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) pos_ = kByteOrderMark.size();
    }

    // The next record's fields and first line; false at the end of the text or on an error.
    bool Next(std::vector<std::string>* fields, int* line) {
        fields->clear();
        SkipBlankLines();
        if (pos_ == text_.size()) return false;
        *line = line_;
        return format_ == RecordFormat::kCsv ? NextCsv(fields) : NextTsv(fields);
    }

    const std::string& Error() const { return error_; }

private:
    bool AtLineEnd() const { return text_[pos_] == '\r' || text_[pos_] == '\n'; }

    // CR LF, LF or a lone CR ends a line.
    void SkipLineEnd() {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
        ++line_;
    }

    void SkipBlankLines() {
        while (pos_ < text_.size() && AtLineEnd()) SkipLineEnd();
    }

    bool Fail(int line, const std::string& what) {
        error_ = "line " + std::to_string(line) + ": " + what;
        return false;
    }

    bool NextCsv(std::vector<std::string>* fields) {
        for (;;) {
            fields->emplace_back();
            std::string& field = fields->back();
            if (pos_ < text_.size() && text_[pos_] == '"') {
                if (!QuotedField(&field)) return false;
            } else {
                const std::size_t end = std::min(text_.find_first_of(",\r\n", pos_), text_.size());
                field.assign(text_.substr(pos_, end - pos_));
                pos_ = end;
            }
            if (pos_ == text_.size()) return true;
            if (text_[pos_] != ',') {
                SkipLineEnd();
                return true;
            }
            ++pos_;
        }
    }

    // From the opening quote to just past the closing one, which a separator, a line end or
    // the end of the text must follow.
    bool QuotedField(std::string* field) {
        const int opened = line_;
        ++pos_;
        for (;;) {
            const std::size_t quote = text_.find('"', pos_);
            if (quote == std::string_view::npos)
                return Fail(opened, "a quoted field is not closed");
            const std::string_view run = text_.substr(pos_, quote - pos_);
            CountLines(run);
            field->append(run);
            pos_ = quote + 1;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                *field += '"';
                ++pos_;
                continue;
            }
            if (pos_ == text_.size() || text_[pos_] == ',' || AtLineEnd()) return true;
            return Fail(line_, "a quoted field goes on after its closing quote");
        }
    }

    // The lines a quoted field's line ends open.
    void CountLines(std::string_view run) {
        for (std::size_t i = 0; i < run.size(); ++i) {
            if (run[i] == '\n' || (run[i] == '\r' && (i + 1 == run.size() || run[i + 1] != '\n')))
                ++line_;
        }
    }

    bool NextTsv(std::vector<std::string>* fields) {
        const std::size_t end = std::min(text_.find_first_of("\r\n", pos_), text_.size());
        const std::string_view record = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size()) SkipLineEnd();
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = record.find('\t', start);
            fields->push_back(UnescapeTsv(record.substr(start, tab - start)));
            if (tab == std::string_view::npos) return true;
            start = tab + 1;
        }
    }

    static std::string UnescapeTsv(std::string_view text) {
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char escaped =
                text[i] == '\\' && i + 1 < text.size() ? Unescaped(text[i + 1]) : 0;
            if (escaped != 0) {
                out += escaped;
                ++i;
            } else {
                out += text[i];
            }
        }
        return out;
    }

    // The byte a backslash and this letter stand for; 0 for a pair the writer never makes.
    static char Unescaped(char letter) {
        switch (letter) {
            case 't':
                return '\t';
            case 'n':
                return '\n';
            case 'r':
                return '\r';
            case '\\':
                return '\\';
            default:
                return 0;
        }
    }

    std::string_view text_;
    RecordFormat format_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string error_;
};

}  // namespace

std::optional<RecordFormat> RecordFormatOfPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot))
        return std::nullopt;
    const std::string_view extension = path.substr(dot);
    if (CompareIgnoringCase(extension, ".csv", CaseFold::kToLower) == 0) return RecordFormat::kCsv;
    if (CompareIgnoringCase(extension, ".tsv", CaseFold::kToLower) == 0) return RecordFormat::kTsv;
    return std::nullopt;
}

RecordReading ReadRecords(std::string_view text, RecordFormat format) {
    RecordReading reading;
    if (format == RecordFormat::kJson) {
        reading.error = "json is not read back";
        return reading;
    }
    RecordSplitter splitter(text, format);
    RecordTable table;
    int line = 0;
    if (!splitter.Next(&table.header, &line)) {
        reading.error = splitter.Error().empty() ? "there is no header line" : splitter.Error();
        return reading;
    }
    std::vector<std::string> fields;
    while (splitter.Next(&fields, &line)) {
        if (fields.size() != table.header.size()) {
            reading.error = "line " + std::to_string(line) + ": " + std::to_string(fields.size()) +
                            (fields.size() == 1 ? " field" : " fields") + " where the header has " +
                            std::to_string(table.header.size());
            return reading;
        }
        table.records.push_back(std::move(fields));
        table.lines.push_back(line);
    }
    if (!splitter.Error().empty()) {
        reading.error = splitter.Error();
        return reading;
    }
    reading.table = std::move(table);
    return reading;
}

RecordReading ReadRecordFile(const std::string& path, std::optional<RecordFormat> format) {
    if (!format) format = RecordFormatOfPath(path);
    if (!format) return {std::nullopt, "the name ends in neither .csv nor .tsv"};
    std::string text;
    if (!file_io::ReadWholeFile(path, &text)) return {std::nullopt, "the file cannot be read"};
    return ReadRecords(text, *format);
}

}  // namespace ambrel
