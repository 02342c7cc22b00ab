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
// back. A file or folder is moved only while its name still holds the very one renamed, and
// only to a name that is free; all that stay are named in one warning. The very one: the
// same paths::FileIdentity as just after the rename, or after the program's own later
// writes of it (saves, their undo and redo, moves; see Follow). A file is thus known by its
// device, inode and birth time and by its size and modification time, so a file moved away,
// deleted, replaced by another of that name, or written into by another program stays as it
// is, even where a newcomer got the freed inode and the file system keeps no birth time; a
// folder, whose time changes with its entries, by the first three alone. The entries follow
// their files: a file's own entry (by serial, while it still has the path the rename left),
// and for a folder every entry under it.
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
    void Follow(const RewriteMap& rewrites) override;

private:
    struct Item {
        uint64_t serial;
        std::string from, to;
        std::optional<paths::FileIdentity> identity;  // of the file renamed, as it is now
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
