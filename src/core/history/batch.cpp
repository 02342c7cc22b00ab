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

RewriteMap::RewriteMap(const std::vector<FileRewrite>& rewrites) {
    steps_.reserve(rewrites.size());
    for (std::size_t i = 0; i < rewrites.size(); ++i)
        steps_.emplace(rewrites[i].before, Step{i, rewrites[i].after});
}

// One file written twice in a go (it was loaded twice) takes both steps, in their order;
// the order also ends a chain that comes back to an identity it had.
paths::FileIdentity RewriteMap::Now(const paths::FileIdentity& identity) const {
    paths::FileIdentity now = identity;
    std::size_t next = 0;
    for (;;) {
        const auto step = steps_.find(now);
        if (step == steps_.end() || step->second.order < next) return now;
        now = step->second.after;
        next = step->second.order + 1;
    }
}

// Inode and time tell files apart well enough; equal keys are compared whole anyway.
std::size_t RewriteMap::Hash::operator()(const paths::FileIdentity& identity) const {
    uint64_t h = identity.inode * 0x9e3779b97f4a7c15ull;
    h ^= identity.device + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(identity.modified_seconds) * 1000000007ull +
         identity.modified_nanoseconds + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h);
}

std::string CountOf(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace ambrel
