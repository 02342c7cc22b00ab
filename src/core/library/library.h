#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_loader.h"
#include "files/parallel_load.h"
#include "history/batch_history.h"
#include "tag/code_page.h"
#include "tag/tag_list.h"

namespace ambrel {

class Prompter;
class ReportView;
class TErrorLog;
class TTagProcessor;
class TTagViewer;

// The program's data in one object: the tag list, the table binding, the action panel's
// batch engine and the error log, with the paths of the data files. The window set makes
// one and hands it to the windows; none of them owns it. The main window's construction
// fills it (CreateModel) and its close empties it (DestroyModel); in between every part
// is there, before and after each is none.
class Library {
public:
    // Messages of the error log and the batch engine go through the prompter (not owned).
    explicit Library(Prompter* prompter);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // In this order: ExeDir (the executable's directory, no trailing separator),
    // ErrorCfgPath and TagViewerCfgPath (error.cfg and tagviewer.cfg in DataDirectory), the
    // tag list, the table binding over table (not owned) with the genre file, the batch
    // engine and the error log loaded from ErrorCfgPath. A model made before is destroyed
    // first. Without a table (the command line) the binding gives row texts and genre names
    // only, and the rows are never built. 1.
    int CreateModel(std::string exe_dir, ReportView* table);

    // Where the data files are for an executable in exe_dir: its own Data folder when there
    // is one (a build tree, or a copy of the program kept in one folder), else the installed
    // share/ambrel/Data beside the executable's bin folder when that is there, else
    // exe_dir/Data (which then holds nothing, and the built-in lists are used).
    static std::string DataDirectory(std::string_view exe_dir);
    // Ends a running load without applying it (cancelled, waited for a moment, then left to
    // end by itself), then destroys the error log, the batch engine, the table binding and
    // the tag list, in this order; the paths stay. 1.
    int DestroyModel();

    const std::string& ExeDir() const { return exe_dir_; }
    const std::string& ErrorCfgPath() const { return error_cfg_path_; }
    const std::string& TagViewerCfgPath() const { return tag_viewer_cfg_path_; }
    TTagList* TagList() const { return tag_list_.get(); }
    TTagViewer* TagViewer() const { return tag_viewer_.get(); }
    TTagProcessor* TagProcessor() const { return tag_processor_.get(); }
    TErrorLog* ErrorLog() const { return error_log_.get(); }

    // Adds the files among paths that the tag list takes (TTagList::IsMp3Path), in their
    // order, and rebuilds the rows once; directories are skipped and not searched. Nothing
    // happens when none is taken, while busy, or without a model. Returns how many were
    // added.
    int AddFiles(const std::vector<std::string>& paths);
    // Saves every modified entry (TTagList::SaveModified); an empty report while busy or
    // without a model. The saves go into the history as one batch.
    SaveReport SaveAll();
    // How many entries hold work that only a save puts on disk; 0 without a model.
    int UnsavedCount() const { return tag_list_ ? tag_list_->UnsavedCount() : 0; }
    // The program is closing: a running load is ended without being applied, so that the
    // unsaved work can still be saved.
    void AbandonLoad();
    // Reads the tags of the selected rows' files again, dropping the changes they hold in
    // memory, and draws the rows again; one batch of the history takes the changes back.
    // How many entries were read; -1 without a selected row (or a model), or while busy.
    int ReloadSelectedTags();
    // How many of the selected rows' entries hold unsaved work.
    int UnsavedSelected() const;
    // Reads and writes the ID3v1 fields in this code page from now on, for the whole program
    // (CodePageConverter::SetCurrent), and redraws the table's rows from memory: no file is
    // read and no entry changes.
    void SetCodePage(CodePage page);

    // --- The load in the background ---
    // One load at a time runs on threads of its own (files/parallel_load.h) while the windows
    // go on reading the data. The library is busy from StartLoad until FinishLoad applies the
    // load: the tag list and the table stay as they were until then, and every command that
    // changes the list or its files (a load, a drop, removing lines, saving, renaming,
    // copying, moving, deleting) is refused or greyed while IsBusy holds. None of these calls
    // waits on the file system.

    // Starts a load (files/file_loader.h makes the requests). False while busy or without a
    // model.
    bool StartLoad(LoadKind kind, LoadRequest request);
    bool IsBusy() const { return load_ != nullptr; }
    // Files read and found so far; done and zeros while not busy.
    LoadProgress Progress() const;
    // Asks the load to stop soon: it still ends through FinishLoad, with the files read so
    // far, in order.
    void CancelLoad();
    // Once the load has ended, applies it a slice at a time (LoadApplier: the files added in
    // order, the rows rebuilt once), so the window's thread never stops long; the call that
    // applies the last slice ends the busy state, then reports a directory load's result.
    // Gives kApplying while slices remain (the caller calls again after its event loop has
    // turned); kRunning, and nothing done, while the load still runs; kIdle once it is all
    // applied, or when no load is there.
    enum class LoadStage { kIdle, kRunning, kApplying };
    LoadStage FinishLoad();
    // Waits at most timeout for the load's threads to end (it is not applied); true when
    // they have or no load runs. For callers that may wait: a test, the command line.
    bool WaitForLoad(std::chrono::milliseconds timeout);

    // Called on a load thread once a load has ended, so the window can have FinishLoad run
    // on its own thread; it must not wait for that thread. A load lets go of its notifier when
    // the model is destroyed or another notifier is set, and never calls it after that.
    void SetLoadNotifier(std::function<void()> notify);
    // What every load starts from: the number of readers and the test hooks (on_finished and
    // read_head are the library's own).
    void SetLoadOptions(LoadOptions options) { load_options_ = std::move(options); }
    // Whether loads from now on (StartLoad, AddFiles) read each file's ID3v2 header with its
    // tag, in the same open (TTagFile::GetId3v2Head); off by default, so a load that shows
    // no ID3v2 costs no more than the tag's read. An entry loaded so reads it again on every
    // reload.
    void SetReadHeads(bool read_heads) { read_heads_ = read_heads; }
    bool ReadsHeads() const { return read_heads_; }
    // Turns reading the heads on or off, as the table's ID3v2 column is shown or hidden; on,
    // the loaded entries whose header was never looked at read it now (the first bytes
    // only: their tags in memory stay); showing the column draws the rows. While busy only
    // later loads read them.
    // How many headers were read.
    int ShowId3v2Versions(bool show);
    // Called on the owner's thread whenever the busy state changes; returns an id for
    // RemoveBusyListener. A listener must be removed before what it calls goes.
    int AddBusyListener(std::function<void(bool busy)> listener);
    void RemoveBusyListener(int id);

    // The last batches of renames, tag changes, removed lines and saves, for Undo and Redo.
    // It lives as long as the library; the model's destruction empties it.
    TBatchHistory& History() { return history_; }
    // "Delete tags on selected lines" and "Delete all tags": the lines go from the table and
    // their entries from the list into the history, from where Undo puts them back. The
    // number of lines removed; -1 without a selected row (or a model), or while busy.
    int RemoveSelectedLines();
    int RemoveAllLines();
    // Takes back the last batch, or does the last batch taken back again, then draws the
    // rows it touched again (builds them again when entries came or went) and shows one
    // warning for the files it had to leave as they were. Nothing while busy or without a
    // model.
    BatchOutcome Undo();
    BatchOutcome Redo();

private:
    class LoadNotice;
    struct Load {
        LoadKind kind;
        std::shared_ptr<LoadNotice> notice;
        std::unique_ptr<LoadJob> job;
        std::unique_ptr<LoadApplier> applier;  // once the job has ended
    };
    // Ends a load without applying it: its notifier let go, the load cancelled and waited
    // for briefly, then left to end by itself.
    void DropLoad();
    void NotifyBusy(bool busy);

    Prompter* prompter_;
    std::string exe_dir_;
    std::string error_cfg_path_;
    std::string tag_viewer_cfg_path_;
    std::unique_ptr<TTagList> tag_list_;
    std::unique_ptr<TTagViewer> tag_viewer_;
    std::unique_ptr<TTagProcessor> tag_processor_;
    std::unique_ptr<TErrorLog> error_log_;

    std::function<void()> load_notifier_;
    LoadOptions load_options_;
    bool read_heads_ = false;
    std::unique_ptr<Load> load_;
    std::vector<std::pair<int, std::function<void(bool)>>> busy_listeners_;
    int next_listener_id_ = 1;
    TBatchHistory history_;

    BatchOutcome Show(BatchOutcome outcome);
};

}  // namespace ambrel
