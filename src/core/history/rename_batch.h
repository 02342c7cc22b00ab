#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/batch.h"

namespace ambrel {

// Files renamed in one run, or one folder renamed: undo gives each its old name back and
// redo its new one, always with the no-replace rename, the latest rename first on the way
// back. A name taken meanwhile keeps that file where it is; all such files are named in
// one warning. The entries follow their files: a file's own entry (by serial, while it still
// has the path the rename left), and for a folder every entry under it.
class RenameBatch : public Batch {
public:
    enum class Kind { kFiles, kFolder };

    explicit RenameBatch(Kind kind) : kind_(kind) {}

    // A rename done: the entry's serial (0 for a folder) and the whole paths before and after.
    void Add(uint64_t serial, std::string from, std::string to);
    bool Empty() const { return items_.empty(); }

    std::string Describe() const override;
    void Undo(TTagList& list, BatchOutcome& outcome) override;
    void Redo(TTagList& list, BatchOutcome& outcome) override;

private:
    struct Item {
        uint64_t serial;
        std::string from, to;
        bool done = true;  // the file has the name `to`
    };
    void MoveAll(bool back, TTagList& list, BatchOutcome& outcome);
    // Moves one item's file to the name its done flag does not hold; false when refused.
    bool Move(Item& item, TTagList& list, const EntryIndex& index, BatchOutcome& outcome,
              int* error) const;

    Kind kind_;
    std::vector<Item> items_;
};

}  // namespace ambrel
