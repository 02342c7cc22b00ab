#include "export/table_csv.h"

#include <vector>

#include "export/csv.h"
#include "platform/report_view.h"

namespace ambrel {

std::string TableAsCsv(const ReportView& table) {
    const int columns = table.ColumnCount();
    std::string out;
    std::vector<std::string> captions;
    for (int pos = 0; pos < columns; ++pos) captions.push_back(table.ColumnCaption(pos));
    csv::AppendRecord(out, {captions.begin(), captions.end()});
    std::vector<std::string_view> cells(static_cast<std::size_t>(columns));
    for (int row = 0; row < table.RowCount(); ++row) {
        for (int pos = 0; pos < columns; ++pos) cells[pos] = table.Cell(row, pos);
        csv::AppendRecord(out, cells);
    }
    return out;
}

}  // namespace ambrel
