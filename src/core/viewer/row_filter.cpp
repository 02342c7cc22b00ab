#include "viewer/row_filter.h"

#include <algorithm>

#include "tag/text_helpers.h"

namespace ambrel {

std::optional<FilterCondition> FilterConditionFromInt(int value) {
    if (value != 0 && value != 1) return std::nullopt;
    return static_cast<FilterCondition>(value);
}

int RowFilter::Set(FilterCondition condition, std::string_view text, int column) {
    // Any other column number would index past the row's cells.
    if (column < -1 || column >= TagColumns::kColumnCount) return 0;
    text_[static_cast<int>(condition)] = std::string(text);
    column_[static_cast<int>(condition)] = column;
    return 1;
}

void RowFilter::Clear(FilterCondition condition) {
    text_[static_cast<int>(condition)].reset();
    column_[static_cast<int>(condition)] = -1;
}

bool RowFilter::Matches(const RowCells& cells) const {
    return Holds(FilterCondition::kFirst, cells) && Holds(FilterCondition::kSecond, cells);
}

bool RowFilter::Holds(FilterCondition condition, const RowCells& cells) const {
    const auto& text = Text(condition);
    if (!text) return true;
    const int column = Column(condition);
    if (column < 0) {
        return std::any_of(cells.begin(), cells.end(), [&](const std::string& cell) {
            return EqualsIgnoringCase(cell, *text);
        });
    }
    return cells[column].find(*text) != std::string::npos;
}

}  // namespace ambrel
