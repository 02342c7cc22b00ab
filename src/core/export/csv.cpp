#include "export/csv.h"

namespace ambrel::csv {

void AppendField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendRecord(std::string& out, const std::vector<std::string_view>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        AppendField(out, fields[i]);
    }
    out += "\r\n";
}

}  // namespace ambrel::csv
