#pragma once

#include <QTabWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QMenu;
class QToolBar;
class QToolButton;

namespace ambrel {
enum class LoadMode : uint8_t;
class Library;
class ProcessView;
class Prompter;
class TDirectoryBrowser;
class TFileCommands;
class TFileViewer;
}  // namespace ambrel

namespace ambrel::ui {

class BusyControls;
enum class Picture;
class QtDriveSelector;
class QtFilterSelector;
class QtIconSource;
class QtReportView;

// The file viewer's contents: the page control with the pages "File viewer" (drives,
// directories, files, filter) and "Settings". It owns the model, TFileViewer with its
// browser, created with the pages and kept as long as they live, so a window that is
// closed and shown again goes on where it was.
class FileViewerPages : public QTabWidget {
    Q_OBJECT

public:
    // start_path: the directory the lists open on. The load commands fill the library's tag
    // list and table; the browser speaks through the prompter. Neither is owned.
    FileViewerPages(const std::string& start_path, ambrel::Library& library,
                    ambrel::Prompter& prompter, QWidget* parent = nullptr);
    ~FileViewerPages() override;

    // The root of the volume that holds the working directory; "/" when unsure.
    static std::string StartPath();

    ambrel::TFileViewer& FileViewer() { return *viewer_; }
    ambrel::TDirectoryBrowser& Browser();
    const ambrel::TDirectoryBrowser& Browser() const;

    // Loads the files of the current directory (and its subdirectories when "Load tags
    // also from subdirectories" is checked) with this LoadMode, in the background; none
    // keeps the mode set last. A failed search is reported through the library's error log
    // when the load ends. Nothing while the library is busy or holds no model.
    void LoadDirectory(std::optional<ambrel::LoadMode> mode);
    // Loads the selected file rows with this LoadMode, likewise.
    void LoadSelectedFiles(ambrel::LoadMode mode);
    // The main window saved tags to these files: a file list that shows tag status updates
    // their rows, or lists the folder again when it may have changed since it was listed.
    void AfterTagsSaved(const std::vector<std::string>& paths);
    // The process dialog the copy, move and delete commands run in (not owned). Without one,
    // while the library holds no model and while it is busy with a load, the file and folder
    // commands do nothing.
    void SetProcessView(ambrel::ProcessView* view) { process_view_ = view; }

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
    // The file and folder commands (file_viewer_commands.cpp). ToolButtonMoveFiles copies and
    // ToolButtonCopyFiles moves, as their captions say.
    void ToolButtonMoveFilesClick();
    void ToolButtonCopyFilesClick();
    void ToolButtonDeleteFilesClick();
    void ToolButtonFolderCreateClick();
    void ToolButtonFolderRenameClick();
    void ToolButtonFolderDeleteClick();
    void ListViewDirectoriesEdited(int row, const QString& text);
    void CheckBoxOverwriteFilesClick(bool checked);
    void CheckBoxOverwriteDialogClick(bool checked);
    // Reads and writes the ID3v1 fields in the chosen code page from now on, redraws the
    // table and remembers the choice for the next run.
    void ComboBoxTextEncodingChange(int index);

signals:
    // The ID3v1 text encoding changed: the tag detail panel shows its fields again.
    void codePageChanged();

private:
    QWidget* BuildViewerPage();
    // The "Settings" page and its handlers live in file_viewer_settings_page.cpp.
    QWidget* BuildSettingsPage();
    void BuildDeleteOptions(QWidget* page);
    void BuildCopyMoveOptions(QWidget* page);
    void BuildEncodingGroup(QWidget* page);
    // The code page remembered from the last run, in the box and in force.
    void UseStoredCodePage();
    // A load command's menu item: its name, caption and LoadMode.
    struct LoadItem {
        const char* name;
        const char* caption;
        ambrel::LoadMode mode;
    };
    // A load button whose click loads all files and whose drop-down menu offers the three
    // LoadModes, all greyed while the library is busy.
    QToolButton* AddLoadButton(QToolBar* bar, const QString& name, const QString& hint,
                               Picture picture, const QString& menu_name,
                               const std::array<LoadItem, 3>& items,
                               const std::function<void(ambrel::LoadMode)>& load);
    QToolBar* BuildDirectoryToolBar();
    QToolBar* BuildFileToolBar();
    void BuildDirectoryList();
    void BuildFileList();
    void StartModel(const std::string& start_path, ambrel::Prompter& prompter);
    // Makes each list's selected row its current row, so Enter and the arrow keys go on
    // from the row a listing selected.
    void FollowSelection();
    // Runs a file or folder command over the library's data and the process dialog; nothing
    // without them or while the library is busy with a load.
    template <typename Command>
    void RunFileCommand(Command command);

    QtDriveSelector* drive_combo_box_ = nullptr;
    QtReportView* list_view_directories_ = nullptr;
    QtReportView* list_view_files_ = nullptr;
    QtFilterSelector* filter_combo_box_ = nullptr;
    QMenu* popup_menu_dir_ = nullptr;
    BusyControls* busy_controls_ = nullptr;
    QCheckBox* check_box_viewer_hidden_ = nullptr;
    QCheckBox* check_box_viewer_icons_ = nullptr;
    QCheckBox* check_box_tag_status_ = nullptr;
    QCheckBox* check_box_load_subdirs_ = nullptr;
    QCheckBox* check_box_delete_subdirs_ = nullptr;
    QCheckBox* check_box_delete_filtered_ = nullptr;
    QCheckBox* check_box_delete_only_files_ = nullptr;
    QCheckBox* check_box_ask_before_delete_ = nullptr;
    QCheckBox* check_box_overwrite_files_ = nullptr;
    QCheckBox* check_box_overwrite_dialog_ = nullptr;
    QComboBox* combo_box_text_encoding_ = nullptr;

    std::unique_ptr<QtIconSource> image_list_files_;
    ambrel::Library& library_;
    ambrel::Prompter& prompter_;
    ambrel::ProcessView* process_view_ = nullptr;
    std::unique_ptr<ambrel::TFileViewer> viewer_;
};

}  // namespace ambrel::ui
