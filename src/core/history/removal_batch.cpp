#include "history/removal_batch.h"

#include <unordered_set>

namespace ambrel {

RemovalBatch::RemovalBatch(std::vector<TakenEntry> taken) : taken_(std::move(taken)) {
    serials_.reserve(taken_.size());
    for (const TakenEntry& item : taken_) serials_.push_back(item.entry->Serial());
}

std::string RemovalBatch::Describe() const {
    return "removal of " + CountOf(serials_.size(), "line", "lines");
}

void RemovalBatch::Undo(TTagList& list, BatchOutcome& outcome) {
    list.PutBack(std::move(taken_));
    taken_.clear();
    outcome.list_changed = true;
}

void RemovalBatch::Redo(TTagList& list, BatchOutcome& outcome) {
    const std::unordered_set<uint64_t> ours(serials_.begin(), serials_.end());
    std::vector<int> positions;
    positions.reserve(serials_.size());
    for (int i = 0; i < list.Count(); ++i)
        if (ours.count(list.Get(i)->Serial()) != 0) positions.push_back(i);
    taken_ = list.TakePositions(std::move(positions));
    list.Renumber();
    outcome.list_changed = true;
}

}  // namespace ambrel
