#pragma once

#include <string>

namespace ambrel {

class ReportView;
class TTagViewer;

// The table as it is shown, as CSV through the RecordWriter (export/record_writer.h): a
// record of the shown columns' captions and "Path", then one record per row in display
// order, each with the cells of the shown columns in their order and the full path of the
// row's file. The tag texts are UTF-8 (read through the program's code page); a file name
// keeps its bytes, as the command line's csv writes it, so a script can open the file again.
std::string TableAsCsv(const ReportView& table, const TTagViewer& viewer);

}  // namespace ambrel
