#pragma once

#include <cstdint>

namespace ambrel {

enum TagState : int32_t { tsNone = 0, tsPresent = 1, tsRemove = 2, tsAppend = 3 };

// The state a tag moves to when the user ticks (present) or unticks "Tag present": a file
// without a tag gets one to append, a tag to be removed stays; unticking takes back a tag
// still to be appended and marks a present tag for removal. Any other value stays.
constexpr int32_t NextTagState(int32_t state, bool present) {
    switch (state) {
        case tsNone:
        case tsAppend:
            return present ? tsAppend : tsNone;
        case tsPresent:
        case tsRemove:
            return present ? tsPresent : tsRemove;
        default:
            return state;
    }
}

}  // namespace ambrel
