#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_loader.h"
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
    // Destroys the error log, the batch engine, the table binding and the tag list, in this
    // order; the paths stay. 1.
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
    // happens when none is taken or there is no model. Returns how many were added.
    int AddFiles(const std::vector<std::string>& paths);
    // Loads files and folders named from outside the windows (ambrel::LoadPaths) and
    // rebuilds the rows once; the paths that could not be taken, each with its result code.
    // Nothing without a model.
    std::vector<PathFailure> LoadPaths(const std::vector<std::string>& paths,
                                       const PathLoadOptions& options = {});
    // Saves every modified entry (TTagList::SaveModified); an empty report without a model.
    SaveReport SaveAll();

private:
    void RebuildRows();

    Prompter* prompter_;
    std::string exe_dir_;
    std::string error_cfg_path_;
    std::string tag_viewer_cfg_path_;
    std::unique_ptr<TTagList> tag_list_;
    std::unique_ptr<TTagViewer> tag_viewer_;
    std::unique_ptr<TTagProcessor> tag_processor_;
    std::unique_ptr<TErrorLog> error_log_;
};

}  // namespace ambrel
