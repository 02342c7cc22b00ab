#include "viewer/row_filter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace ambrel::test {
namespace {

TEST(RowFilterTest, ConditionsOnOneColumnOrOnWholeCells) {
    struct Case {
        const char* what;
        std::optional<std::string> text0;
        int column0;
        std::optional<std::string> text1;
        int column1;
        bool passes;
    };
    const Case cases[] = {
        {"no condition", std::nullopt, -1, std::nullopt, -1, true},
        {"whole cell, any case", "hard rock", -1, std::nullopt, -1, true},
        {"part of a cell is not enough for all columns", "rock", -1, std::nullopt, -1, false},
        {"beatles is not The Beatles", "beatles", -1, std::nullopt, -1, false},
        {"picture cell", "no", -1, std::nullopt, -1, true},
        {"index cell", "7", -1, std::nullopt, -1, true},
        {"substring in its column", "Rock", TagColumns::kGenre, std::nullopt, -1, true},
        {"substring is case-sensitive", "beat", TagColumns::kArtist, std::nullopt, -1, false},
        {"substring in another column", "Beat", TagColumns::kAlbum, std::nullopt, -1, false},
        {"only the second condition", std::nullopt, -1, "Beat", TagColumns::kArtist, true},
        {"both hold", "Beat", TagColumns::kArtist, "Hard", TagColumns::kGenre, true},
        {"second fails", "Beat", TagColumns::kArtist, "Soft", TagColumns::kGenre, false},
        {"same column twice", "The", TagColumns::kArtist, "les", TagColumns::kArtist, true},
        {"empty text in a column", "", TagColumns::kYear, std::nullopt, -1, true},
        {"empty text on any column: an empty cell", "", -1, std::nullopt, -1, true},
    };
    RowCells row;
    row[TagColumns::kIndex] = "7";
    row[TagColumns::kArtist] = "The Beatles";
    row[TagColumns::kGenre] = "Hard Rock";
    row[TagColumns::kPicture] = "No";

    RowFilter filter;
    for (const Case& c : cases) {
        for (const auto& [condition, text, column] :
             {std::tuple{FilterCondition::kFirst, c.text0, c.column0},
              std::tuple{FilterCondition::kSecond, c.text1, c.column1}}) {
            if (text)
                ASSERT_EQ(filter.Set(condition, *text, column), 1) << c.what;
            else
                filter.Clear(condition);
        }
        EXPECT_EQ(filter.Matches(row), c.passes) << c.what;
    }
}

TEST(RowFilterTest, ColumnsOutsideTheRowAreRefusedAndChangeNothing) {
    RowFilter filter;
    ASSERT_EQ(filter.Set(FilterCondition::kFirst, "keep", TagColumns::kArtist), 1);
    for (int column : {-2, TagColumns::kColumnCount, 1000}) {
        EXPECT_EQ(filter.Set(FilterCondition::kFirst, "x", column), 0) << column;
        EXPECT_EQ(filter.Text(FilterCondition::kFirst), "keep");
        EXPECT_EQ(filter.Column(FilterCondition::kFirst), TagColumns::kArtist);
    }
    filter.Clear(FilterCondition::kFirst);
    EXPECT_FALSE(filter.Text(FilterCondition::kFirst).has_value());
    EXPECT_EQ(filter.Column(FilterCondition::kFirst), -1);
}

TEST(RowFilterTest, OnlyZeroAndOneNameACondition) {
    EXPECT_EQ(FilterConditionFromInt(0), FilterCondition::kFirst);
    EXPECT_EQ(FilterConditionFromInt(1), FilterCondition::kSecond);
    for (int value : {-1, 2, 1000}) EXPECT_FALSE(FilterConditionFromInt(value).has_value());
}

}  // namespace
}  // namespace ambrel::test
