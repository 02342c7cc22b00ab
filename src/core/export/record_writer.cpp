#include "export/record_writer.h"

#include <cstdint>

#include "export/csv.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

// Records gather in memory and go to the stream in blocks of about this size.
constexpr std::size_t kFlushBytes = 1 << 16;

// Whether a tsv field holds a byte to escape. Every byte is looked at, with no early way out
// and the answers or-ed as bytes, so the compiler tests many bytes a step: most fields hold
// none and go in whole.
bool NeedsTsvEscape(std::string_view text) {
    unsigned char found = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        found |= static_cast<unsigned char>((byte == '\t') | (byte == '\n') | (byte == '\r') |
                                            (byte == '\\'));
    }
    return found != 0;
}

// Whether a json string needs more than its quotes: a byte that is not plain ASCII (it may
// need reading as Latin-1), a control character, a quote or a backslash.
bool NeedsJsonCare(std::string_view text) {
    unsigned char found = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        found |= static_cast<unsigned char>((byte < 0x20) | (byte >= 0x80) | (byte == '"') |
                                            (byte == '\\'));
    }
    return found != 0;
}

// The runs between the bytes to escape go in whole.
void AppendTsv(std::string& out, std::string_view text) {
    if (!NeedsTsvEscape(text)) {
        out += text;
        return;
    }
    std::size_t run = 0;  // where the bytes not yet appended begin
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\t' && c != '\n' && c != '\r' && c != '\\') continue;
        out.append(text, run, i - run);
        run = i + 1;
        out += '\\';
        out += c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : '\\';
    }
    out.append(text, run, std::string_view::npos);
}

void AppendJsonString(std::string& out, std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    if (!NeedsJsonCare(text)) {
        out += text;
        out += '"';
        return;
    }
    const std::string utf8 = EightBitToUtf8(text);
    std::size_t run = 0;  // where the bytes not yet appended begin
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<uint8_t>(utf8[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
        out.append(utf8, run, i - run);
        run = i + 1;
        out += '\\';
        switch (byte) {
            case '\n':
                out += 'n';
                break;
            case '\t':
                out += 't';
                break;
            case '\r':
                out += 'r';
                break;
            case '"':
            case '\\':
                out += static_cast<char>(byte);
                break;
            default:
                out += "u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
        }
    }
    out.append(utf8, run, std::string::npos);
    out += '"';
}

}  // namespace

RecordWriter::RecordWriter(RecordFormat format, std::vector<RecordField> fields, Sink sink)
    : format_(format), fields_(std::move(fields)), sink_(std::move(sink)) {
    if (format_ == RecordFormat::kJson) {
        buffer_ += '[';
        return;
    }
    std::vector<std::string_view> captions;
    for (const RecordField& field : fields_) captions.push_back(field.caption);
    // The header line is written by the record rules, so its captions need no care of their
    // own.
    format_ == RecordFormat::kCsv ? csv::AppendRecord(buffer_, captions) : Write(captions);
}

RecordWriter::~RecordWriter() {
    if (format_ == RecordFormat::kJson) buffer_ += first_ ? "]\n" : "\n]\n";
    Flush(true);
}

void RecordWriter::Write(const std::vector<std::string_view>& values) {
    switch (format_) {
        case RecordFormat::kCsv:
            csv::AppendRecord(buffer_, values);
            break;
        case RecordFormat::kTsv:
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (i > 0) buffer_ += '\t';
                AppendTsv(buffer_, values[i]);
            }
            buffer_ += '\n';
            break;
        case RecordFormat::kJson:
            buffer_ += first_ ? "\n{" : ",\n{";
            for (std::size_t i = 0; i < values.size() && i < fields_.size(); ++i) {
                if (i > 0) buffer_ += ", ";
                AppendJsonString(buffer_, fields_[i].key);
                buffer_ += ": ";
                AppendJsonString(buffer_, values[i]);
            }
            buffer_ += '}';
            break;
    }
    first_ = false;
    Flush(false);
}

void RecordWriter::Flush(bool always) {
    if (!always && buffer_.size() < kFlushBytes) return;
    if (!buffer_.empty()) sink_(buffer_);
    buffer_.clear();
}

}  // namespace ambrel
