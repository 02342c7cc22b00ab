#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "actions/rename_skips.h"
#include "history/batch.h"
#include "platform/paths.h"

namespace ambrel {

// Files renamed in one run, or one folder renamed: undo gives each its old name back and
// redo its new one, always with the no-replace rename, the latest rename first on the way
// back. A file or folder is moved only while its name still holds the very one renamed (the
// same identity: a file moved away, deleted, or replaced by another of that name stays as it
// is), and only to a name that is free; all that stay are named in one warning. The entries
// follow their files: a file's own entry (by serial, while it still has the path the rename
// left), and for a folder every entry under it.
class RenameBatch : public Batch {
public:
    enum class Kind { kFiles, kFolder };

    explicit RenameBatch(Kind kind) : kind_(kind) {}

    // A rename just done: the entry's serial (0 for a folder) and the whole paths before and
    // after. What now has the path `to` is taken as the renamed file.
    void Add(uint64_t serial, std::string from, std::string to);
    bool Empty() const { return items_.empty(); }

    std::string Describe() const override;
    void Undo(TTagList& list, BatchOutcome& outcome) override;
    void Redo(TTagList& list, BatchOutcome& outcome) override;

private:
    struct Item {
        uint64_t serial;
        std::string from, to;
        std::optional<paths::FileIdentity> identity;  // of the file renamed
        bool done = true;                             // the file has the name `to`
    };
    void MoveAll(bool back, TTagList& list, BatchOutcome& outcome);
    // Moves one item's file to the name its done flag does not hold; false, with the
    // reason in kept, when it stays.
    bool Move(Item& item, TTagList& list, const EntryIndex& index, BatchOutcome& outcome,
              RenameSkip* kept) const;

    Kind kind_;
    std::vector<Item> items_;
};

}  // namespace ambrel
