#include "history/batch_history.h"

namespace ambrel {

void TBatchHistory::Record(std::unique_ptr<Batch> batch) {
    if (!batch) return;
    batches_.resize(done_);
    batches_.push_back(std::move(batch));
    if (batches_.size() > kLimit) batches_.erase(batches_.begin());
    done_ = batches_.size();
    Changed();
}

std::string TBatchHistory::UndoText() const {
    return CanUndo() ? "Undo " + batches_[done_ - 1]->Describe() : "Undo";
}

std::string TBatchHistory::RedoText() const {
    return CanRedo() ? "Redo " + batches_[done_]->Describe() : "Redo";
}

BatchOutcome TBatchHistory::Undo(TTagList& list) {
    BatchOutcome outcome;
    if (!CanUndo()) return outcome;
    batches_[--done_]->Undo(list, outcome);
    Follow(outcome.rewritten);
    Changed();
    return outcome;
}

BatchOutcome TBatchHistory::Redo(TTagList& list) {
    BatchOutcome outcome;
    if (!CanRedo()) return outcome;
    batches_[done_++]->Redo(list, outcome);
    Follow(outcome.rewritten);
    Changed();
    return outcome;
}

void TBatchHistory::Follow(const std::vector<FileRewrite>& rewrites) {
    if (rewrites.empty()) return;
    const RewriteMap map(rewrites);
    for (const std::unique_ptr<Batch>& batch : batches_) batch->Follow(map);
}

void TBatchHistory::Clear() {
    batches_.clear();
    done_ = 0;
    Changed();
}

void TBatchHistory::Changed() const {
    if (on_change_) on_change_();
}

}  // namespace ambrel
