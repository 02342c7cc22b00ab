#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace ambrel::test {
namespace {

using Lines = std::vector<std::string_view>;

TEST(FileIoTest, SplitLinesDropsLineEndsOnly) {
    struct Case {
        std::string_view text;
        Lines lines;
    } cases[] = {
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},  // Windows line ends; the final one opens no line
        {"a\n\n b \n", {"a", "", " b "}},
        {"a\rb\r", {"a\rb"}},  // a '\r' goes only as part of a line end
        {"\n", {""}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(file_io::SplitLines(c.text), c.lines) << c.text;
}

}  // namespace
}  // namespace ambrel::test
