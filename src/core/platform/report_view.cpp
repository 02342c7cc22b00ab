#include "platform/report_view.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace ambrel {

namespace {

// The rows as they are given, added with AddRow when they replace the view's.
class PlainRowBatch : public ReportView::RowBatch {
public:
    void Add(std::vector<std::string> cells) override { rows.push_back(std::move(cells)); }
    void Set(int index, std::vector<std::string> cells) override {
        rows[static_cast<std::size_t>(index)] = std::move(cells);
    }
    std::vector<std::vector<std::string>> rows;
};

}  // namespace

std::unique_ptr<ReportView::RowBatch> ReportView::NewRowBatch() {
    return std::make_unique<PlainRowBatch>();
}

void ReportView::ReplaceRows(std::unique_ptr<RowBatch> batch) {
    ClearRows();
    for (std::vector<std::string>& cells : static_cast<PlainRowBatch&>(*batch).rows)
        AddRow(std::move(cells));
}

void ReportView::Sort(const std::function<int(int a, int b)>& compare) {
    std::vector<int> order(static_cast<std::size_t>(RowCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&compare](int a, int b) { return compare(a, b) < 0; });
    ReorderRows(order);
}

}  // namespace ambrel
