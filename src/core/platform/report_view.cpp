#include "platform/report_view.h"

#include <algorithm>
#include <numeric>

namespace ambrel {

void ReportView::Sort(const std::function<int(int a, int b)>& compare) {
    std::vector<int> order(static_cast<std::size_t>(RowCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&compare](int a, int b) { return compare(a, b) < 0; });
    ReorderRows(order);
}

}  // namespace ambrel
