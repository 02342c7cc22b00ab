#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/paths.h"

namespace ambrel {

class TTagFile;
class TTagList;

// A file the program itself wrote or moved, as it was just before and just after. A write
// changes a file's size or time, and a move makes a new file of it; the batches that knew
// the file as it was know it as it is from then on, so that the program's own later work on
// a file never makes it look like a stranger to them.
struct FileRewrite {
    paths::FileIdentity before, after;
};

// The rewrites of one go (a save, an undo, a move), looked up at once by the identity a
// file was known by.
class RewriteMap {
public:
    explicit RewriteMap(const std::vector<FileRewrite>& rewrites);
    // What a file known as identity is now, after each rewrite of the go in turn (itself
    // when none was of it).
    paths::FileIdentity Now(const paths::FileIdentity& identity) const;

private:
    struct Hash {
        std::size_t operator()(const paths::FileIdentity& identity) const;
    };
    struct Step {
        std::size_t order;
        paths::FileIdentity after;
    };
    std::unordered_map<paths::FileIdentity, Step, Hash> steps_;
};

// What an undo or a redo did, for the table and the user.
struct BatchOutcome {
    // Entries whose tag, state or path changed: their rows are drawn again.
    std::unordered_set<const TTagFile*> touched;
    // Entries came back into the list or left it: the rows are built again.
    bool list_changed = false;
    // Files whose end was written: a file list that shows tag status reads them again.
    std::vector<std::string> written;
    // One warning about the files left as they were, when there are any.
    std::string warning_caption;
    std::string warning_text;
    // The files it wrote, for the history to hand to every batch (TBatchHistory::Follow).
    std::vector<FileRewrite> rewritten;
};

// One undoable batch of the history: what a command changed, with enough of the before and
// after to go either way. A batch names entries by serial only, never by pointer or list
// position, so entries that leave the list meanwhile are simply not found.
class Batch {
public:
    virtual ~Batch() = default;
    // What the batch did, as the menu shows it after "Undo " and "Redo ".
    virtual std::string Describe() const = 0;
    virtual void Undo(TTagList& list, BatchOutcome& outcome) = 0;
    virtual void Redo(TTagList& list, BatchOutcome& outcome) = 0;
    // Files the batch may know were rewritten: it knows them as they are now (nothing to do
    // for a batch that knows no file by its identity).
    virtual void Follow(const RewriteMap& rewrites) { static_cast<void>(rewrites); }
};

// The list's entries by serial, built once per undo or redo.
class EntryIndex {
public:
    explicit EntryIndex(const TTagList& list);
    // The entry of that serial, none when it is no longer in the list.
    TTagFile* Find(uint64_t serial) const;

private:
    std::unordered_map<uint64_t, TTagFile*> by_serial_;
};

// "1 file", "120 files".
std::string CountOf(std::size_t n, const char* one, const char* many);

}  // namespace ambrel
