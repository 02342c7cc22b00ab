// The file viewer's file and folder commands: copying and moving the main window's selected
// files here, deleting files and folders, creating and renaming folders. Each hands its
// settings boxes to TFileCommands, which does the work, then lets the lists' selection
// follow what the command left selected.
#include <QCheckBox>
#include <optional>
#include <string>

#include "files/directory_browser.h"
#include "files/file_commands.h"
#include "files/file_viewer.h"
#include "library/library.h"
#include "ui/common/qt_report_view.h"
#include "ui/common/qt_text.h"
#include "ui/files/file_viewer_pages.h"

namespace ambrel::ui {

template <typename Command>
void FileViewerPages::RunFileCommand(Command command) {
    // A running load reads the files these commands move and delete, and its end changes
    // the rows they work on.
    if (library_.IsBusy()) return;
    ambrel::TTagViewer* tags = library_.TagViewer();
    ambrel::TErrorLog* errors = library_.ErrorLog();
    if (!tags || !errors || !process_view_) return;
    ambrel::TFileCommands commands(*viewer_, *tags, *errors, *process_view_, prompter_,
                                   &library_.History());
    command(commands);
    FollowSelection();
}

void FileViewerPages::ToolButtonMoveFilesClick() {
    RunFileCommand([this](ambrel::TFileCommands& commands) {
        commands.CopyMoveSelected(true, {check_box_overwrite_files_->isChecked(),
                                         check_box_overwrite_dialog_->isChecked()});
    });
}

void FileViewerPages::ToolButtonCopyFilesClick() {
    RunFileCommand([this](ambrel::TFileCommands& commands) {
        commands.CopyMoveSelected(false, {check_box_overwrite_files_->isChecked(),
                                          check_box_overwrite_dialog_->isChecked()});
    });
}

void FileViewerPages::ToolButtonDeleteFilesClick() {
    viewer_->SetAskBeforeDeleting(check_box_ask_before_delete_->isChecked());
    RunFileCommand([](ambrel::TFileCommands& commands) { commands.DeleteSelectedFiles(); });
}

void FileViewerPages::ToolButtonFolderDeleteClick() {
    viewer_->SetAskBeforeDeleting(check_box_ask_before_delete_->isChecked());
    ambrel::DirectoryDeleteSettings settings;
    settings.include_hidden = check_box_viewer_hidden_->isChecked();
    settings.recurse = check_box_delete_subdirs_->isChecked();
    settings.keep_directories = check_box_delete_only_files_->isChecked();
    settings.only_filtered = check_box_delete_filtered_->isChecked();
    RunFileCommand([&settings](ambrel::TFileCommands& commands) {
        commands.DeleteSelectedDirectory(settings);
    });
}

void FileViewerPages::ToolButtonFolderCreateClick() {
    RunFileCommand([](ambrel::TFileCommands& commands) { commands.CreateDirectory(); });
}

void FileViewerPages::ToolButtonFolderRenameClick() {
    RunFileCommand([](ambrel::TFileCommands& commands) { commands.RenameDirectory(); });
}

// The rename acts on the selected row, so the edited row is selected first. An edit that
// left the caption as shown renames to the row's own name (reported as such); a name that is
// not UTF-8 is shown with replacement characters and must not be renamed to them.
void FileViewerPages::ListViewDirectoriesEdited(int row, const QString& text) {
    if (row < 0 || row >= list_view_directories_->RowCount()) return;
    const std::string old_name(list_view_directories_->Cell(row, 0));
    if (old_name == ambrel::TDirectoryBrowser::kParentEntry) return;
    const std::string new_name = text == ToQ(old_name) ? old_name : FromQ(text);
    list_view_directories_->ReplaceSelection({row});
    RunFileCommand(
        [&new_name](ambrel::TFileCommands& commands) { commands.RenameDirectoryTo(new_name); });
}

void FileViewerPages::CheckBoxOverwriteFilesClick(bool checked) {
    viewer_->SetOverwriteWithoutAsking(checked);
    check_box_overwrite_dialog_->setEnabled(!checked);
}

void FileViewerPages::CheckBoxOverwriteDialogClick(bool checked) {
    viewer_->SetAskBeforeOverwriting(checked);
}

}  // namespace ambrel::ui
