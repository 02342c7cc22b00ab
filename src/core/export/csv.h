#pragma once

#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 writes them: fields separated by commas, records ended
// by CR LF, and a field that holds a comma, a double quote, a CR or an LF put between double
// quotes with each of its double quotes doubled. Bytes are written as they are.
namespace ambrel::csv {

// Appends one field, quoted when it must be.
void AppendField(std::string& out, std::string_view text);

// Appends the fields as one record, line end included.
void AppendRecord(std::string& out, const std::vector<std::string_view>& fields);

}  // namespace ambrel::csv
