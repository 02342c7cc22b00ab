#include "tag/tag_base.h"

namespace ambrel {

int TTagBase::SetState(int32_t state) {
    if (state < tsNone || state > tsAppend) return -1;
    state_ = state;
    return state;
}

}  // namespace ambrel
