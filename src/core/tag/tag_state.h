#pragma once

#include <cstdint>
#include <optional>

namespace ambrel {

// What Save does with a tag: nothing (no tag, none wanted), overwrite the present tag, cut
// it off, or append a new one.
enum class TagState : int32_t { tsNone = 0, tsPresent = 1, tsRemove = 2, tsAppend = 3 };
inline constexpr TagState tsNone = TagState::tsNone;
inline constexpr TagState tsPresent = TagState::tsPresent;
inline constexpr TagState tsRemove = TagState::tsRemove;
inline constexpr TagState tsAppend = TagState::tsAppend;

// The state of a number given from outside: 0..3; none for any other value.
constexpr std::optional<TagState> TagStateFromInt(int32_t value) {
    if (value < 0 || value > 3) return std::nullopt;
    return static_cast<TagState>(value);
}

// The state a tag moves to when the user ticks (present) or unticks "Tag present": a file
// without a tag gets one to append, a tag to be removed stays; unticking takes back a tag
// still to be appended and marks a present tag for removal.
constexpr TagState NextTagState(TagState state, bool present) {
    switch (state) {
        case tsNone:
        case tsAppend:
            return present ? tsAppend : tsNone;
        case tsPresent:
        case tsRemove:
            return present ? tsPresent : tsRemove;
    }
    return state;
}

// The kind of a tag object. A TTagFile is always an ID3v1 tag; kinds 1 and 2 stand for other
// tags of MP3 and Ogg files, which no class of this program makes. Kind holds any value
// (SetKind stores what it is given); unset is the base class's own before Clear.
enum class TagKind : int32_t { kId3v1 = 0, kOtherMp3 = 1, kOgg = 2, kUnset = 3 };

}  // namespace ambrel
