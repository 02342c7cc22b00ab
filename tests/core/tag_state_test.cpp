#include "tag/tag_state.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ambrel::test {
namespace {

TEST(TagStateTest, TheTagPresentBoxMovesBetweenTheStatePairs) {
    struct Case {
        TagState state;
        TagState ticked;
        TagState unticked;
    } cases[] = {
        {tsNone, tsAppend, tsNone},
        {tsAppend, tsAppend, tsNone},
        {tsPresent, tsPresent, tsRemove},
        {tsRemove, tsPresent, tsRemove},
    };
    for (const Case& c : cases) {
        const int state = static_cast<int>(c.state);
        EXPECT_EQ(NextTagState(c.state, true), c.ticked) << "state " << state;
        EXPECT_EQ(NextTagState(c.state, false), c.unticked) << "state " << state;
    }
}

TEST(TagStateTest, OnlyTheNumbersZeroToThreeNameAState) {
    EXPECT_EQ(TagStateFromInt(0), tsNone);
    EXPECT_EQ(TagStateFromInt(1), tsPresent);
    EXPECT_EQ(TagStateFromInt(2), tsRemove);
    EXPECT_EQ(TagStateFromInt(3), tsAppend);
    for (int32_t value : {-1, 4, INT32_MIN, INT32_MAX})
        EXPECT_FALSE(TagStateFromInt(value).has_value()) << value;
}

}  // namespace
}  // namespace ambrel::test
