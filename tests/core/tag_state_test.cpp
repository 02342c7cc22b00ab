#include "tag/tag_state.h"

#include <gtest/gtest.h>

namespace ambrel::test {
namespace {

TEST(TagStateTest, TheTagPresentBoxMovesBetweenTheStatePairs) {
    struct Case {
        int32_t state;
        int32_t ticked;
        int32_t unticked;
    } cases[] = {
        {tsNone, tsAppend, tsNone},
        {tsAppend, tsAppend, tsNone},
        {tsPresent, tsPresent, tsRemove},
        {tsRemove, tsPresent, tsRemove},
        {7, 7, 7},  // no state the box knows
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextTagState(c.state, true), c.ticked) << "state " << c.state;
        EXPECT_EQ(NextTagState(c.state, false), c.unticked) << "state " << c.state;
    }
}

}  // namespace
}  // namespace ambrel::test
