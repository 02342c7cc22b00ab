#pragma once

#include <QTabWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QMenu;
class QToolBar;
class QToolButton;

namespace ambrel {
enum class LoadMode : uint8_t;
class Prompter;
class TDirectoryBrowser;
class TErrorLog;
class TFileViewer;
class TTagList;
class TTagViewer;
}  // namespace ambrel

namespace ambrel::ui {

class QtDriveSelector;
class QtFilterSelector;
class QtIconSource;
class QtReportView;

// Where the load commands put their files: the main window's model. Null members mean
// the model is gone, and a load then does nothing.
struct LoadTarget {
    ambrel::TTagList* list = nullptr;
    ambrel::TTagViewer* viewer = nullptr;
    ambrel::TErrorLog* log = nullptr;
};

// The file viewer's contents: the page control with the pages "File viewer" (drives,
// directories, files, filter) and "Settings". It owns the model, TFileViewer with its
// browser, created with the pages and kept as long as they live, so a window that is
// closed and shown again goes on where it was.
class FileViewerPages : public QTabWidget {
    Q_OBJECT

public:
    // start_path: the directory the lists open on.
    explicit FileViewerPages(const std::string& start_path, QWidget* parent = nullptr);
    ~FileViewerPages() override;

    // The root of the volume that holds the working directory; "/" when unsure.
    static std::string StartPath();

    // Asked at each load for the main window's model.
    void SetLoadTarget(std::function<LoadTarget()> target) { target_ = std::move(target); }
    // Shows the browser's messages (a volume that cannot be opened).
    void SetPrompter(ambrel::Prompter* prompter);

    ambrel::TFileViewer& FileViewer() { return *viewer_; }
    ambrel::TDirectoryBrowser& Browser();
    const ambrel::TDirectoryBrowser& Browser() const;

    // Loads the files of the current directory (and its subdirectories when "Load tags
    // also from subdirectories" is checked) with this LoadMode; none keeps the mode set
    // last. A failed search is reported through the main window's error log.
    void LoadDirectory(std::optional<ambrel::LoadMode> mode);
    // Loads the selected file rows with this LoadMode.
    void LoadSelectedFiles(ambrel::LoadMode mode);
    // The main window saved tags to these files: a file list that shows tag status updates
    // their rows, or lists the folder again when it may have changed since it was listed.
    void AfterTagsSaved(const std::vector<std::string>& paths);

    // Handlers, named after their control and event.
    void DriveComboBoxChange(int index);
    void ToolButtonFolderRefreshClick();
    void ToolButtonFolderUpClick();
    void ListViewDirectoriesOpen();
    void ListViewDirectoriesKeyDown(int key);
    void ToolButtonSelectAllfilesClick();
    void ToolButtonDeselectAllfilesClick();
    void FilterComboBoxChange();
    void CheckBoxViewerHiddenClick(bool checked);
    void CheckBoxViewerIconsClick(bool checked);
    void CheckBoxTagStatusClick(bool checked);

private:
    QWidget* BuildViewerPage();
    QWidget* BuildSettingsPage();
    QToolBar* BuildDirectoryToolBar();
    QToolBar* BuildFileToolBar();
    void BuildDirectoryList();
    void BuildFileList();
    void StartModel(const std::string& start_path);
    // Makes each list's selected row its current row, so Enter and the arrow keys go on
    // from the row a listing selected.
    void FollowSelection();

    QtDriveSelector* drive_combo_box_ = nullptr;
    QtReportView* list_view_directories_ = nullptr;
    QtReportView* list_view_files_ = nullptr;
    QtFilterSelector* filter_combo_box_ = nullptr;
    QMenu* popup_menu_dir_ = nullptr;
    QCheckBox* check_box_viewer_hidden_ = nullptr;
    QCheckBox* check_box_viewer_icons_ = nullptr;
    QCheckBox* check_box_tag_status_ = nullptr;
    QCheckBox* check_box_load_subdirs_ = nullptr;

    std::unique_ptr<QtIconSource> image_list_files_;
    std::unique_ptr<ambrel::TFileViewer> viewer_;
    std::function<LoadTarget()> target_;
};

}  // namespace ambrel::ui
