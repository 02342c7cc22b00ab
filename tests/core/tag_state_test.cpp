#include "tag/tag_state.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ambrel::test
