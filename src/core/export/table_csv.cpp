#include "export/table_csv.h"

#include <string_view>
#include <vector>

#include "export/record_writer.h"
#include "platform/report_view.h"
#include "tag/tag_file.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

std::string TableAsCsv(const ReportView& table, const TTagViewer& viewer) {
    const int columns = table.ColumnCount();
    std::vector<RecordField> fields;
    for (int pos = 0; pos < columns; ++pos) fields.push_back({table.ColumnCaption(pos), ""});
    fields.push_back({"Path", ""});
    std::string out;
    {
        RecordWriter writer(RecordFormat::kCsv, std::move(fields),
                            [&out](std::string_view block) { out += block; });
        std::vector<std::string_view> cells(static_cast<std::size_t>(columns) + 1);
        for (int row = 0; row < table.RowCount(); ++row) {
            for (int pos = 0; pos < columns; ++pos) cells[pos] = table.Cell(row, pos);
            const TTagFile* entry = viewer.EntryAt(row);
            cells[columns] = entry != nullptr ? std::string_view(entry->GetPath()) : "";
            writer.Write(cells);
        }
    }
    return out;
}

}  // namespace ambrel
