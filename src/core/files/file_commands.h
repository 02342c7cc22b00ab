#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/paths.h"

namespace ambrel {

class ProcessView;
class Prompter;
class TBatchHistory;
class TErrorLog;
class TFileViewer;
class TTagFile;
class TTagViewer;

// The settings boxes a copy or move reads when it starts ("Copy/Move options").
struct CopyMoveSettings {
    bool overwrite_without_asking = false;
    bool ask_before_overwriting = true;
};

// The settings boxes a directory delete reads when it starts: "Show hidden files in file
// viewer" and the "Delete options".
struct DirectoryDeleteSettings {
    bool include_hidden = true;
    bool recurse = true;
    bool keep_directories = false;
    // Delete only the files the filter's mask takes (else "*.*").
    bool only_filtered = false;
};

// The bodies of the file viewer's file and directory commands, so that its window only
// hands over its settings boxes and calls one of these. Every object is borrowed and must
// outlive this one.
class TFileCommands {
public:
    // The question asked before deleting files or a directory tree (while the file viewer's
    // ask before deleting is on); No is the default answer.
    static constexpr char kDeleteFilesCaption[] = "Delete files";
    static constexpr char kDeleteDirectoryCaption[] = "Delete directory";
    // The input boxes of the create and rename commands.
    static constexpr char kCreateCaption[] = "Create new directory";
    static constexpr char kRenameCaption[] = "Rename directory";
    static constexpr char kDirectoryNamePrompt[] = "Directory name";

    // A folder rename goes into the history when one is given (Library::History).
    TFileCommands(TFileViewer& viewer, TTagViewer& tags, TErrorLog& errors, ProcessView& process,
                  Prompter& prompter, TBatchHistory* history = nullptr);

    // Copies (keep_source) or moves the files of the tag viewer's selected rows, in row
    // order, into the browser's current directory through the process dialog, with these
    // overwrite settings (kept in the viewer). After a move each row whose file went through
    // shows the file in its new directory, or leaves the table when it no longer passes the
    // filter; the entry keeps its tag and Modified state. Then the browser is refreshed. Without a
    // selected row nothing is copied and the dialog does not open. The run's result: 1 when every
    // file went through, else 0.
    int CopyMoveSelected(bool keep_source, const CopyMoveSettings& settings);

    // Deletes the files of the browser's selected file rows through the process dialog,
    // after one question; the tag viewer drops the entries of the files that went. Then the
    // browser is refreshed. With no file row selected the dialog opens and runs nothing.
    // 1 when every file went, else 0 (No to the question included).
    int DeleteSelectedFiles();

    // Deletes the browser's selected directory with DeleteDirectoryTree under these
    // settings (kept in the viewer; the search's LoadMode stays as the last load left it),
    // after one question. Nothing for the parent entry or without a selected row. When the
    // delete left entries it took (61), one warning gives the code's message and the first
    // ten of them with the reason, and counts the rest; what the settings leave out is not
    // reported. The directory list is relisted either way, and the tag viewer drops the
    // entries of the files that went. 1 when the tree was deleted as the settings ask, else 0.
    int DeleteSelectedDirectory(const DirectoryDeleteSettings& settings);

    // Asks for a name and creates that directory below the current one; reports the code.
    // 0 when the box was cancelled or left empty.
    int CreateDirectory();
    // Asks for the selected directory's new name (the old one offered) and renames it when
    // the name differs; reports the code. 0 when the name stayed.
    int RenameDirectory();
    // The step behind both renames and the in-place edit: nothing (0) for an empty name,
    // else TFileViewer::RenameDirectory, reported. The window puts the row's old caption
    // back when the result is not 1. After a rename the tag viewer's entries of files under
    // the folder take its new path, as after a move; the rename is recorded for Undo.
    int RenameDirectoryTo(const std::string& new_name);

private:
    bool ConfirmDelete(const char* caption, const std::string& text);
    // After a folder delete: the entries of files under the folder that are gone leave the
    // list and the table, as after a file delete, so that no row shows a deleted file.
    void DropEntriesGoneUnder(const std::string& folder);
    // The entries under a renamed folder take its new path, and their rows show it.
    void FollowFolder(const std::string& from, const std::string& to);
    // After a move, each entry whose file went takes its new path, its row shows it (or
    // leaves a table filtered on the old folder), and the history follows the new files.
    void FollowMoves(const std::vector<TTagFile*>& entries,
                     const std::vector<std::optional<paths::FileIdentity>>& moving,
                     const std::vector<int>& results, const std::string& destination);

    TFileViewer& viewer_;
    TTagViewer& tags_;
    TErrorLog& errors_;
    ProcessView& process_;
    Prompter& prompter_;
    TBatchHistory* history_;
};

}  // namespace ambrel
