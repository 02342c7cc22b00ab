#include "history/batch.h"

#include "tag/tag_list.h"

namespace ambrel {

EntryIndex::EntryIndex(const TTagList& list) {
    by_serial_.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        TTagFile* entry = list.Get(i);
        by_serial_.emplace(entry->Serial(), entry);
    }
}

TTagFile* EntryIndex::Find(uint64_t serial) const {
    const auto found = by_serial_.find(serial);
    return found == by_serial_.end() ? nullptr : found->second;
}

std::string CountOf(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace ambrel
