#include "ui/files/file_viewer_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "files/directory_browser.h"
#include "files/file_loader.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "library/library.h"
#include "platform/paths.h"
#include "platform/selectors.h"
#include "ui/common/busy_controls.h"
#include "ui/common/icons.h"
#include "ui/common/qt_report_view.h"
#include "ui/common/qt_text.h"
#include "ui/files/qt_selectors.h"

namespace ambrel::ui {

namespace {

constexpr int kTagColumnWidth = ambrel::TDirectoryBrowser::kTagColumnWidth;

// Refuses an in-place editor on the parent entry " ..", which is never renamed.
class DirectoryNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.data(Qt::DisplayRole).toString() ==
            QLatin1String(ambrel::TDirectoryBrowser::kParentEntry)) {
            return nullptr;
        }
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
};

QToolBar* NewToolBar(const QString& name, QWidget* parent) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(name);
    bar->setIconSize(QSize(kToolPictureSize, kToolPictureSize));
    bar->setMovable(false);
    bar->setFloatable(false);
    // Tight margins keep every button of a bar within the narrow window.
    bar->layout()->setContentsMargins(1, 1, 1, 1);
    bar->layout()->setSpacing(0);
    return bar;
}

// A tool button with its picture and hint.
QToolButton* AddButton(QToolBar* bar, const QString& name, const QString& hint, Picture picture) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setIcon(ToolPicture(picture));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

template <typename Handler>
QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, Handler handler) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    QObject::connect(item, &QAction::triggered, menu, handler);
    return item;
}

}  // namespace

FileViewerPages::FileViewerPages(const std::string& start_path, ambrel::Library& library,
                                 ambrel::Prompter& prompter, QWidget* parent)
    : QTabWidget(parent), library_(library), prompter_(prompter) {
    setObjectName(QStringLiteral("PageControl"));
    busy_controls_ = new BusyControls(library_, this);
    addTab(BuildViewerPage(), QIcon::fromTheme(QStringLiteral("folder")),
           QStringLiteral("File viewer"));
    addTab(BuildSettingsPage(), QIcon::fromTheme(QStringLiteral("preferences-system")),
           QStringLiteral("Settings"));
    StartModel(start_path, prompter);
    UseStoredCodePage();
}

FileViewerPages::~FileViewerPages() = default;

std::string FileViewerPages::StartPath() {
    const std::string root = ambrel::TDirectoryBrowser::VolumeRootOf(
        QtDriveSelector::MountedRoots(), ambrel::paths::WorkingDirectory());
    if (root.empty() || !ambrel::paths::DirectoryExists(root)) return ambrel::paths::Root();
    return root;
}

ambrel::TDirectoryBrowser& FileViewerPages::Browser() { return viewer_->Browser(); }

const ambrel::TDirectoryBrowser& FileViewerPages::Browser() const { return viewer_->Browser(); }

QWidget* FileViewerPages::BuildViewerPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetFileViewer"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    drive_combo_box_ = new QtDriveSelector(page);
    drive_combo_box_->setObjectName(QStringLiteral("DriveComboBox"));
    connect(drive_combo_box_, &QComboBox::activated, this, &FileViewerPages::DriveComboBoxChange);
    layout->addWidget(drive_combo_box_);

    layout->addWidget(BuildDirectoryToolBar());
    BuildDirectoryList();
    layout->addWidget(list_view_directories_, 2);
    layout->addWidget(BuildFileToolBar());
    BuildFileList();
    layout->addWidget(list_view_files_, 3);

    filter_combo_box_ = new QtFilterSelector(page);
    filter_combo_box_->setObjectName(QStringLiteral("FilterComboBox"));
    filter_combo_box_->setToolTip(QStringLiteral("Filter"));
    AddFilterEntries(*filter_combo_box_, kFileViewerFilterText);
    filter_combo_box_->SelectEntry(0);
    connect(filter_combo_box_, &QComboBox::activated, this, &FileViewerPages::FilterComboBoxChange);
    layout->addWidget(filter_combo_box_);
    return page;
}

QToolButton* FileViewerPages::AddLoadButton(QToolBar* bar, const QString& name, const QString& hint,
                                            Picture picture, const QString& menu_name,
                                            const std::array<LoadItem, 3>& items,
                                            const std::function<void(ambrel::LoadMode)>& load) {
    auto* menu = new QMenu(bar);
    menu->setObjectName(menu_name);
    for (const LoadItem& item : items) {
        const ambrel::LoadMode mode = item.mode;
        busy_controls_->Add(AddItem(menu, QLatin1String(item.name), QLatin1String(item.caption),
                                    [load, mode] { load(mode); }));
    }
    QToolButton* button = AddButton(bar, name, hint, picture);
    busy_controls_->Add(button);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    connect(button, &QToolButton::clicked, this, [load] { load(ambrel::LoadMode::kAll); });
    return button;
}

QToolBar* FileViewerPages::BuildDirectoryToolBar() {
    QToolBar* bar = NewToolBar(QStringLiteral("ToolBarDirViewer"), this);

    AddLoadButton(
        bar, QStringLiteral("ToolButtonLoadDirectory"),
        QStringLiteral("Load supported files in current directory"), Picture::kLoad,
        QStringLiteral("PopupMenuLoadDirectory"),
        {{{"Allfiles1", "All files in directory", ambrel::LoadMode::kAll},
          {"Onlywheretagpresent1", "Only files in directory where tag present",
           ambrel::LoadMode::kTagged},
          {"Onlywheretagisnotpresent1", "Only files in directory where tag is not present",
           ambrel::LoadMode::kUntagged}}},
        [this](ambrel::LoadMode mode) { LoadDirectory(mode); });

    connect(AddButton(bar, QStringLiteral("ToolButtonFolderRefresh"),
                      QStringLiteral("Refresh current directory"), Picture::kRefresh),
            &QToolButton::clicked, this, &FileViewerPages::ToolButtonFolderRefreshClick);
    connect(AddButton(bar, QStringLiteral("ToolButtonFolderUp"),
                      QStringLiteral("Go one directory level upper"), Picture::kFolderUp),
            &QToolButton::clicked, this, &FileViewerPages::ToolButtonFolderUpClick);
    QToolButton* create =
        AddButton(bar, QStringLiteral("ToolButtonFolderCreate"),
                  QStringLiteral("Create new folder using Dirname variable"), Picture::kFolderNew);
    create->setText(QStringLiteral("Create folder"));
    connect(create, &QToolButton::clicked, this, &FileViewerPages::ToolButtonFolderCreateClick);
    QToolButton* rename = AddButton(
        bar, QStringLiteral("ToolButtonFolderRename"),
        QStringLiteral("Rename selected directory using Dirname variable"), Picture::kRename);
    connect(rename, &QToolButton::clicked, this, &FileViewerPages::ToolButtonFolderRenameClick);
    QToolButton* remove = AddButton(bar, QStringLiteral("ToolButtonFolderDelete"),
                                    QStringLiteral("Delete selected directory"), Picture::kDelete);
    connect(remove, &QToolButton::clicked, this, &FileViewerPages::ToolButtonFolderDeleteClick);
    for (QToolButton* button : {create, rename, remove}) busy_controls_->Add(button);
    return bar;
}

QToolBar* FileViewerPages::BuildFileToolBar() {
    QToolBar* bar = NewToolBar(QStringLiteral("ToolBarFileViewer"), this);

    QToolButton* load = AddLoadButton(
        bar, QStringLiteral("ToolButtonLoadFiles"), QStringLiteral("Load selected files"),
        Picture::kAudioFile, QStringLiteral("PopupMenuLoadFiles"),
        {{{"Loadall1", "Load all selected", ambrel::LoadMode::kAll},
          {"Loadonlywheretgpresent1", "Load selected where tag present", ambrel::LoadMode::kTagged},
          {"Loadwheretagisnotpresent1", "Load selected where tag is not present",
           ambrel::LoadMode::kUntagged}}},
        [this](ambrel::LoadMode mode) { LoadSelectedFiles(mode); });
    load->setText(QStringLiteral("File"));
    load->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    connect(AddButton(bar, QStringLiteral("ToolButtonSelectAllfiles"),
                      QStringLiteral("Select all files"), Picture::kSelectAll),
            &QToolButton::clicked, this, &FileViewerPages::ToolButtonSelectAllfilesClick);
    connect(AddButton(bar, QStringLiteral("ToolButtonDeselectAllfiles"),
                      QStringLiteral("Deselect all files"), Picture::kRemoveAll),
            &QToolButton::clicked, this, &FileViewerPages::ToolButtonDeselectAllfilesClick);
    // The first two names are crossed with their captions; the captions and hints say what
    // each does.
    QToolButton* copy =
        AddButton(bar, QStringLiteral("ToolButtonMoveFiles"),
                  QStringLiteral("Copy selected sound files from main window to current directory"),
                  Picture::kCopy);
    copy->setText(QStringLiteral("Copy selected files"));
    connect(copy, &QToolButton::clicked, this, &FileViewerPages::ToolButtonMoveFilesClick);
    QToolButton* move =
        AddButton(bar, QStringLiteral("ToolButtonCopyFiles"),
                  QStringLiteral("Move selected sound files from main window to current directory"),
                  Picture::kMove);
    move->setText(QStringLiteral("Move selected files"));
    connect(move, &QToolButton::clicked, this, &FileViewerPages::ToolButtonCopyFilesClick);
    QToolButton* remove = AddButton(bar, QStringLiteral("ToolButtonDeleteFiles"),
                                    QStringLiteral("Delete selected files"), Picture::kDelete);
    connect(remove, &QToolButton::clicked, this, &FileViewerPages::ToolButtonDeleteFilesClick);
    for (QToolButton* button : {copy, move, remove}) busy_controls_->Add(button);
    return bar;
}

void FileViewerPages::BuildDirectoryList() {
    auto* list = new QtReportView(this);
    list_view_directories_ = list;
    list->setObjectName(QStringLiteral("ListViewDirectories"));
    list->AddColumn("Directories", -1);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionsClickable(false);
    list->SetMultiSelect(false);
    list->SetGridLines(false);
    list->setItemDelegate(new DirectoryNameDelegate(list));
    list->SetCaptionEditable(true);
    // The rename runs once the editor has closed, not inside the edit's commit, so that its
    // report and the row's new caption do not arrive while the view is still editing.
    connect(list, &QtReportView::captionEdited, this, &FileViewerPages::ListViewDirectoriesEdited,
            Qt::QueuedConnection);
    connect(list, &QtReportView::rowActivated, this, &FileViewerPages::ListViewDirectoriesOpen);
    connect(list, &QtReportView::keyPressed, this, &FileViewerPages::ListViewDirectoriesKeyDown);

    popup_menu_dir_ = new QMenu(list);
    popup_menu_dir_->setObjectName(QStringLiteral("PopupMenuDir"));
    busy_controls_->Add(AddItem(popup_menu_dir_, QStringLiteral("Loadfilesfromcurrentdirectory1"),
                                QStringLiteral("Load files from current directory"),
                                [this] { LoadDirectory(std::nullopt); }));
    AddItem(popup_menu_dir_, QStringLiteral("Refreshdirectory1"),
            QStringLiteral("Refresh directory"), [this] { ToolButtonFolderRefreshClick(); });
    busy_controls_->Add(AddItem(popup_menu_dir_, QStringLiteral("Deleteselecteddirectory1"),
                                QStringLiteral("Delete selected directory"),
                                [this] { ToolButtonFolderDeleteClick(); }));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        popup_menu_dir_->popup(list_view_directories_->viewport()->mapToGlobal(pos));
    });
}

void FileViewerPages::BuildFileList() {
    auto* list = new QtReportView(this);
    list_view_files_ = list;
    list->setObjectName(QStringLiteral("ListViewFiles"));
    list->AddColumn("Files", -1);
    list->AddColumn("Tag", kTagColumnWidth);
    // The name column takes what the Tag column leaves, also after the Tag column was
    // removed and added again.
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionsClickable(false);
    list->SetMultiSelect(true);
    list->SetGridLines(false);
}

// The browser's controls are attached in the window's order; the fourth attachment makes
// it ready, and the final Refresh lists both kinds.
void FileViewerPages::StartModel(const std::string& start_path, ambrel::Prompter& prompter) {
    image_list_files_ = std::make_unique<QtIconSource>(list_view_directories_, list_view_files_);
    viewer_ = std::make_unique<ambrel::TFileViewer>(start_path, &prompter);
    ambrel::TDirectoryBrowser& browser = Browser();
    browser.AttachDriveSelector(drive_combo_box_);
    browser.AttachFilterSelector(filter_combo_box_);
    browser.AttachDirectoryList(list_view_directories_);
    browser.AttachFileList(list_view_files_);
    browser.AttachIconList(image_list_files_.get());
    browser.Refresh();
    FollowSelection();
}

void FileViewerPages::FollowSelection() {
    for (QtReportView* list : {list_view_directories_, list_view_files_}) {
        const int row = list->FirstSelected();
        if (row >= 0) list->FocusRow(row);
    }
}

void FileViewerPages::LoadDirectory(std::optional<ambrel::LoadMode> mode) {
    if (library_.IsBusy() || !library_.TagList()) return;
    if (mode) viewer_->SetLoadMode(*mode);
    const std::string mask = filter_combo_box_->CurrentMask();
    library_.StartLoad(ambrel::LoadKind::kDirectory,
                       ambrel::DirectoryLoad(*viewer_, mask, check_box_viewer_hidden_->isChecked(),
                                             check_box_load_subdirs_->isChecked()));
}

void FileViewerPages::LoadSelectedFiles(ambrel::LoadMode mode) {
    if (library_.IsBusy() || !library_.TagList()) return;
    viewer_->SetLoadMode(mode);
    library_.StartLoad(ambrel::LoadKind::kSelectedFiles,
                       ambrel::SelectedFilesLoad(*viewer_, check_box_viewer_hidden_->isChecked(),
                                                 check_box_load_subdirs_->isChecked()));
}

void FileViewerPages::AfterTagsSaved(const std::vector<std::string>& paths) {
    if (!Browser().IsTagStatusShown()) return;
    Browser().UpdateFileRows(paths);
    FollowSelection();
}

// Goes to the chosen volume's root; when that fails, the entry chosen before comes back.
void FileViewerPages::DriveComboBoxChange(int index) {
    if (Browser().ChangeDrive(drive_combo_box_->RootAt(index)) == ambrel::kDone) {
        drive_combo_box_->Remember();
        FollowSelection();
    } else {
        drive_combo_box_->SelectRemembered();
    }
}

void FileViewerPages::ToolButtonFolderRefreshClick() {
    Browser().Refresh();
    FollowSelection();
}

void FileViewerPages::ToolButtonFolderUpClick() {
    Browser().GoUp();
    FollowSelection();
}

void FileViewerPages::ListViewDirectoriesOpen() {
    Browser().OpenSelected();
    FollowSelection();
}

void FileViewerPages::ListViewDirectoriesKeyDown(int key) {
    if (key == Qt::Key_Backspace) ToolButtonFolderUpClick();
}

void FileViewerPages::ToolButtonSelectAllfilesClick() { Browser().SelectAllFiles(); }

void FileViewerPages::ToolButtonDeselectAllfilesClick() { Browser().DeselectAllFiles(); }

void FileViewerPages::FilterComboBoxChange() {
    Browser().ChangeFilter();
    FollowSelection();
}

}  // namespace ambrel::ui
