#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "history/batch.h"
#include "tag/tag_file.h"

namespace ambrel {

class TBatchHistory;

// Tags changed in memory by one command: undo gives each entry its fields, state and
// modified mark of before the command, redo those of after it. Entries no longer in the
// list are passed over.
class TagChangeBatch : public Batch {
public:
    struct Item {
        uint64_t serial;
        TagSnapshot before, after;
    };

    // action names the command in the menu: "tag rename" gives "tag rename of 3 files".
    TagChangeBatch(std::string action, std::vector<Item> items)
        : action_(std::move(action)), items_(std::move(items)) {}

    std::string Describe() const override;
    void Undo(TTagList& list, BatchOutcome& outcome) override;
    void Redo(TTagList& list, BatchOutcome& outcome) override;

private:
    std::string action_;
    std::vector<Item> items_;
};

// Notes entries before a command changes their tags and, when it is done (also when it
// stops with an exception part-way), records one batch of those whose tag changed. Does
// nothing without a history. The entries must stay in the list while it is open.
class TagChangeRecorder {
public:
    TagChangeRecorder(TBatchHistory* history, std::string action)
        : history_(history), action_(std::move(action)) {}
    ~TagChangeRecorder() { Commit(); }
    TagChangeRecorder(const TagChangeRecorder&) = delete;
    TagChangeRecorder& operator=(const TagChangeRecorder&) = delete;

    // Before the entry's first change; later notes of the same entry are ignored.
    void Note(const TTagFile& entry);
    // Records the batch now; nothing more is recorded afterwards.
    void Commit();
    // Forgets what was noted: another record takes the change along.
    void Cancel() { noted_.clear(); }

private:
    TBatchHistory* history_;
    std::string action_;
    std::vector<std::pair<const TTagFile*, TagSnapshot>> noted_;
    std::unordered_set<uint64_t> seen_;
};

}  // namespace ambrel
