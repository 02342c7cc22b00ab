#pragma once

#include <string>

namespace ambrel {

class ReportView;

// The table as it is shown, as CSV (export/csv.h): a record of the column captions, then one
// record per row in display order, each with the cells of the shown columns in their order.
std::string TableAsCsv(const ReportView& table);

}  // namespace ambrel
