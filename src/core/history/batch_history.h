#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history/batch.h"

namespace ambrel {

class TTagList;

// The undo history: the last batches of renames, tag changes, removed lines and saves, in
// memory only. Undo takes back the last batch done, Redo does the last one undone again;
// recording a new batch drops the batches undone before it.
class TBatchHistory {
public:
    static constexpr std::size_t kLimit = 20;

    // Adds a batch done just now (none is ignored); the oldest goes beyond kLimit.
    void Record(std::unique_ptr<Batch> batch);
    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < batches_.size(); }
    // The menu items' captions: "Undo rename of 120 files", or "Undo" with nothing to undo.
    std::string UndoText() const;
    std::string RedoText() const;
    // Takes back the last batch done (nothing without one).
    BatchOutcome Undo(TTagList& list);
    // Does the last batch undone again (nothing without one).
    BatchOutcome Redo(TTagList& list);
    // Every batch, done or undone, follows these files, in order: written or moved by the
    // program outside an undo or redo (a save being recorded, a move). Undo and Redo hand
    // on what their batch wrote themselves, the batch that wrote included.
    void Follow(const std::vector<FileRewrite>& rewrites);
    // Forgets every batch.
    void Clear();
    std::size_t Size() const { return batches_.size(); }

    // Called after every change of what Undo and Redo would do.
    void SetOnChange(std::function<void()> on_change) { on_change_ = std::move(on_change); }

private:
    void Changed() const;

    // Oldest first; the first done_ are done, the rest undone.
    std::vector<std::unique_ptr<Batch>> batches_;
    std::size_t done_ = 0;
    std::function<void()> on_change_;
};

}  // namespace ambrel
