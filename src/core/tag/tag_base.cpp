#include "tag/tag_base.h"

namespace ambrel {

int TTagBase::SetState(int32_t state) {
    const std::optional<TagState> known = TagStateFromInt(state);
    if (!known) return -1;
    state_ = *known;
    return state;
}

}  // namespace ambrel
