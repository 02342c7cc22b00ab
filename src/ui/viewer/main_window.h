#pragma once

#include <QMainWindow>
#include <QPointer>
#include <string>
#include <vector>

#include "ui/common/command_guard.h"

class QAction;
class QKeySequence;
class QDialog;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace ambrel {
enum class SelectTest;
struct SelectionCriterion;
class Library;
class Prompter;
class TTagViewer;
}  // namespace ambrel

namespace ambrel::ui {

class BusyControls;
class FilterBar;
class LoadBar;
enum class Picture;
class QtReportView;
class SideBySidePlacement;
class TagDetailPanel;

// The main window: the tool bar, the menus, the tag table with its filter bar, and the
// tag detail panel. Its construction fills the program's data (the Library it is handed)
// and its close empties it; it places itself and the two side windows on the screen.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // The library and the prompter are not owned and must outlive the window.
    TForm1(ambrel::Library& library, ambrel::Prompter& prompter, QWidget* parent = nullptr);
    ~TForm1() override;

    // Library::CreateModel over this window's table and the executable's directory, then
    // the side-window flags; DestroyModel empties the library again. 1.
    int CreateModel();
    int DestroyModel();

    QtReportView* ListViewTagViewer() const { return list_view_tag_viewer_; }

    // The first selected row in display order, -1 when none.
    int CurrentRow() const;
    bool ShowTagDetail(int row);
    // Selects the rows whose file meets the criterion, then shows the current row.
    int SelectRowsBy(const ambrel::SelectionCriterion& criterion);
    void SelectAll();
    void RemoveSelectedLines();
    void RemoveAllLines();
    void RedrawAllLines();
    void SaveCurrentTag();
    void SaveAllTags();
    void ApplyFilter();
    // Reads the selected rows' tags again from their files; when that drops unsaved changes,
    // asks once first. Nothing while the library is busy.
    void ReloadSelectedTags();
    // Whether the window may close: true when no entry holds unsaved work, or the user chose
    // to discard it, or it was all saved; false when the user cancelled or a save failed
    // (the failures are shown).
    bool MayClose();
    // Asks where to save, then writes the table as it is shown (rows in display order, the
    // shown columns) as CSV in UTF-8, all at once: a failed write leaves no partial file.
    void ExportTableAsCsv();
    // Takes back the library's last batch, or does the last one taken back again, and shows
    // the current row again. Nothing while the library is busy with a load.
    void UndoLastBatch();
    void RedoLastBatch();

    // Places this window and the side windows whose flags are on (shown first).
    void PlaceWindows();
    void SetSideWindows(QWidget* file_viewer, QWidget* action_panel);
    // The version check dialog and the About box that the "About" menu opens.
    void SetDialogs(QDialog* version_check, QDialog* about);
    bool FileViewerVisible() const { return file_viewer_visible_; }
    bool ActionPanelVisible() const { return action_panel_visible_; }
    // Set once the version dialog has started an installer: when the dialog returns, this
    // window closes, which ends the program.
    bool CloseAfterUpdate() const { return close_after_update_; }
    void SetCloseAfterUpdate(bool close) { close_after_update_ = close; }

    // Loads the dropped paths (bytes, as the system names the files) whose extension is
    // ".mp3" in any letter case (TTagList::HasMp3Extension) in the background, and rebuilds
    // the table once when the load ends. Folders are skipped. Nothing while the library is
    // busy.
    void AddDroppedPaths(const std::vector<std::string>& paths);

signals:
    // A save command ended; paths are the files it wrote or tried to write, so the file
    // viewer can update their rows.
    void tagsSaved(const std::vector<std::string>& paths);
    // An undo or a redo may have renamed files or folders: a file list shows them again.
    void filesChanged();
    // "Copy ID3v2 to ID3v1" was chosen: the action panel previews and runs it.
    void id3v2CopyRequested();

public slots:
    void FileViewerClosed();
    // The library redrew the table in another code page: the tag detail panel follows.
    void CodePageChanged();
    void ActionPanelClosed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildToolBar();
    void BuildMainMenu();
    void BuildColumnMenu();
    void BuildPages();
    void ConnectTable();
    QMenu* BuildSelectMenu(const char* name, const char* prefix, const char* caption_prefix,
                           ambrel::SelectTest test);
    QToolButton* AddToolButton(const char* name, const QString& caption, const QString& hint,
                               Picture picture);
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, Picture picture);
    // Binds a key to a menu item that acts only while the table has the focus.
    void TableShortcut(QAction* item, const QKeySequence& keys);
    // Runs a command from a control; an exception goes to the application's box.
    template <typename Command>
    void Run(Command command);
    // Wires a signal to a command run through Run.
    template <typename Sender, typename Signal, typename Command>
    void Bind(Sender* sender, Signal signal, Command command);

    void ToggleFileViewer();
    void ToggleActionPanel();
    void ShowColumnFromMenu(int column, bool show);
    // The library's loads end here, on this window's thread, applied a step a turn.
    void ReceiveLoadEnds();
    void ApplyLoadStep();
    // Warns once about files whose changes could not be written.
    void ReportUnsaved(const std::vector<std::string>& paths);
    // The two history items say what Undo and Redo would do, and are off when nothing, or
    // while a load runs.
    void UpdateHistoryItems();
    // After an undo or a redo: the detail panel and the file viewer follow.
    void AfterHistoryStep(const std::vector<std::string>& written);

    // The table binding of the library; none once the model is gone.
    ambrel::TTagViewer* Viewer() const;

    ambrel::Library& library_;
    ambrel::Prompter& prompter_;
    bool file_viewer_visible_ = false;
    bool action_panel_visible_ = false;
    bool close_after_update_ = false;

    QPointer<QWidget> file_viewer_;
    QPointer<QWidget> action_panel_;
    QPointer<QDialog> version_check_;
    QPointer<QDialog> about_;
    SideBySidePlacement* placement_ = nullptr;

    BusyControls* busy_controls_ = nullptr;
    int history_busy_listener_ = 0;
    QToolBar* tool_bar_ = nullptr;
    LoadBar* load_bar_ = nullptr;
    QtReportView* list_view_tag_viewer_ = nullptr;
    TagDetailPanel* tag_detail_panel_ = nullptr;
    FilterBar* filter_bar_ = nullptr;
    QTabWidget* page_control_file_viewer_ = nullptr;
    QTabWidget* page_control_file_detail_ = nullptr;
    QPlainTextEdit* memo_tag_lyrics_ = nullptr;
    QMenu* popup_menu_tag_viewer_ = nullptr;
    QAction* file_viewer_item_ = nullptr;
    QAction* action_panel_item_ = nullptr;
    QAction* undo_item_ = nullptr;
    QAction* redo_item_ = nullptr;
};

template <typename Command>
void TForm1::Run(Command command) {
    Guard(command);
}

template <typename Sender, typename Signal, typename Command>
void TForm1::Bind(Sender* sender, Signal signal, Command command) {
    connect(sender, signal, this, [this, command] { Run(command); });
}

}  // namespace ambrel::ui
