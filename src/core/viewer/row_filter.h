#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "viewer/tag_columns.h"

namespace ambrel {

// The two conditions of the row filter (the filter bar's first and second pair).
enum class FilterCondition { kFirst = 0, kSecond = 1 };
// The condition of a number given from outside: 0 or 1; none for any other value.
std::optional<FilterCondition> FilterConditionFromInt(int value);

// The two conditions a row must both meet to be shown. A condition without a text holds for
// every row; one on a column holds when that cell contains the text (letter case counts);
// one on any column holds when a whole cell equals the text, ASCII letter case ignored.
class RowFilter {
public:
    // The condition's text and its column (-1 any column, else a column number). 0 for
    // another column, else 1.
    int Set(FilterCondition condition, std::string_view text, int column);
    void Clear(FilterCondition condition);
    bool Matches(const RowCells& cells) const;

    const std::optional<std::string>& Text(FilterCondition condition) const {
        return text_[static_cast<int>(condition)];
    }
    int Column(FilterCondition condition) const { return column_[static_cast<int>(condition)]; }

private:
    bool Holds(FilterCondition condition, const RowCells& cells) const;

    std::array<std::optional<std::string>, 2> text_;
    std::array<int, 2> column_{-1, -1};
};

}  // namespace ambrel
