#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/batch.h"
#include "tag/tag_list.h"

namespace ambrel {

// Lines removed from the table ("Delete tags on selected lines", "Delete all tags"): the
// batch keeps the removed entries, unsaved changes and all. Undo puts them back at their
// list positions; redo takes them out again from wherever they stand then.
class RemovalBatch : public Batch {
public:
    // The entries taken out, in ascending order of their positions.
    explicit RemovalBatch(std::vector<TakenEntry> taken);

    std::string Describe() const override;
    void Undo(TTagList& list, BatchOutcome& outcome) override;
    void Redo(TTagList& list, BatchOutcome& outcome) override;

private:
    std::vector<uint64_t> serials_;
    // The entries while they are out of the list; empty while they are in it.
    std::vector<TakenEntry> taken_;
};

}  // namespace ambrel
