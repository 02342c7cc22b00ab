#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace ambrel {

// Removes from items, in one pass and keeping the order of the rest, every item for which
// drop(item) is true; returns how many went. drop is called once per item, in order, and
// may change the item it looks at (which std::remove_if's predicate may not): a test that
// reads a file can keep what it read in the item it keeps.
template <typename T, typename Drop>
std::size_t CompactIf(std::vector<T>* items, Drop drop) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < items->size(); ++i) {
        if (drop((*items)[i])) continue;
        if (kept != i) (*items)[kept] = std::move((*items)[i]);  // destroys a dropped item
        ++kept;
    }
    const std::size_t removed = items->size() - kept;
    items->resize(kept);
    return removed;
}

}  // namespace ambrel
