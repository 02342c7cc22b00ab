#include "library/library.h"

#include "actions/tag_processor.h"
#include "errors/error_log.h"
#include "files/file_loader.h"
#include "platform/paths.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

Library::Library(Prompter* prompter) : prompter_(prompter) {}

Library::~Library() { DestroyModel(); }

int Library::CreateModel(std::string exe_dir, ReportView* table) {
    DestroyModel();
    exe_dir_ = paths::WithoutTrailingSeparator(exe_dir);
    const std::string data = DataDirectory(exe_dir_);
    error_cfg_path_ = paths::Join(data, "error.cfg");
    tag_viewer_cfg_path_ = paths::Join(data, "tagviewer.cfg");
    tag_list_ = std::make_unique<TTagList>();
    tag_viewer_ = std::make_unique<TTagViewer>(table, tag_list_.get(), tag_viewer_cfg_path_);
    tag_processor_ = std::make_unique<TTagProcessor>(tag_list_.get(), prompter_);
    error_log_ = std::make_unique<TErrorLog>(error_cfg_path_, prompter_);
    return 1;
}

int Library::DestroyModel() {
    error_log_.reset();
    tag_processor_.reset();
    tag_viewer_.reset();
    tag_list_.reset();
    return 1;
}

std::string Library::DataDirectory(std::string_view exe_dir) {
    const std::string dir = paths::WithoutTrailingSeparator(exe_dir);
    const std::string beside = paths::Join(dir, "Data");
    if (paths::DirectoryExists(beside)) return beside;
    // PREFIX/bin/ambrel reads PREFIX/share/ambrel/Data, wherever the prefix was put.
    const std::string installed =
        paths::Join(paths::Join(paths::Join(paths::DirectoryOf(dir), "share"), "ambrel"), "Data");
    return paths::DirectoryExists(installed) ? installed : beside;
}

void Library::RebuildRows() {
    if (tag_viewer_ && tag_viewer_->Table()) tag_viewer_->RebuildRows();
}

int Library::AddFiles(const std::vector<std::string>& paths) {
    if (!tag_list_ || !tag_viewer_) return 0;
    const LoadResult result = RunLoad(DroppedFilesLoad(paths));
    ApplyLoad(LoadKind::kDrop, result, *tag_list_, *tag_viewer_, nullptr);
    return static_cast<int>(result.files.size());
}

std::vector<PathFailure> Library::LoadPaths(const std::vector<std::string>& paths,
                                            const PathLoadOptions& options) {
    if (!tag_list_) return {};
    std::vector<PathFailure> failures = ambrel::LoadPaths(*tag_list_, paths, options);
    RebuildRows();
    return failures;
}

SaveReport Library::SaveAll() { return tag_list_ ? tag_list_->SaveModified() : SaveReport{}; }

}  // namespace ambrel
