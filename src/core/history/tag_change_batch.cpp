#include "history/tag_change_batch.h"

#include <memory>

#include "history/batch_history.h"
#include "tag/tag_list.h"

namespace ambrel {

std::string TagChangeBatch::Describe() const {
    return action_ + " of " + CountOf(items_.size(), "file", "files");
}

void TagChangeBatch::Undo(TTagList& list, BatchOutcome& outcome) {
    const EntryIndex index(list);
    for (auto item = items_.rbegin(); item != items_.rend(); ++item) {
        if (TTagFile* entry = index.Find(item->serial)) {
            entry->RestoreEdits(item->before);
            outcome.touched.insert(entry);
        }
    }
}

void TagChangeBatch::Redo(TTagList& list, BatchOutcome& outcome) {
    const EntryIndex index(list);
    for (const Item& item : items_) {
        if (TTagFile* entry = index.Find(item.serial)) {
            entry->RestoreEdits(item.after);
            outcome.touched.insert(entry);
        }
    }
}

void TagChangeRecorder::Note(const TTagFile& entry) {
    if (!history_ || !seen_.insert(entry.Serial()).second) return;
    noted_.emplace_back(&entry, entry.Snapshot());
}

void TagChangeRecorder::Commit() {
    std::vector<TagChangeBatch::Item> items;
    for (const auto& [entry, before] : noted_) {
        TagSnapshot after = entry->Snapshot();
        if (!after.SameEdits(before)) items.push_back({entry->Serial(), before, after});
    }
    noted_.clear();
    if (history_ && !items.empty())
        history_->Record(std::make_unique<TagChangeBatch>(action_, std::move(items)));
    history_ = nullptr;
}

}  // namespace ambrel
