#include "ui/viewer/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "library/library.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "tag/tag_file.h"
#include "ui/app/ambrel_application.h"
#include "ui/common/icons.h"
#include "ui/common/qt_report_view.h"
#include "ui/common/qt_text.h"
#include "ui/common/window_placement.h"
#include "ui/viewer/filter_bar.h"
#include "ui/viewer/tag_detail_panel.h"
#include "viewer/tag_viewer.h"

namespace ambrel::ui {

namespace {

// The fields of the two selection drop-down menus, in menu order.
struct SelectItem {
    const char* caption;
    ambrel::SelectField field;
};
const SelectItem kSelectItems[] = {
    {"Artist", ambrel::SelectField::kArtist}, {"Song title", ambrel::SelectField::kTitle},
    {"Album", ambrel::SelectField::kAlbum},   {"Comment", ambrel::SelectField::kComment},
    {"Track", ambrel::SelectField::kTrack},   {"Year", ambrel::SelectField::kYear},
    {"Genre", ambrel::SelectField::kGenre}};

// How many failed paths the save warning names before it only counts the rest.
constexpr std::size_t kListedFailures = 20;
// How long a window manager is given to decorate the windows before their frames are
// measured again, and how many times the placement follows a change of frame.
constexpr int kFrameSettleMs = 250;
constexpr int kFrameRechecks = 2;

QString WithoutBlanks(const char* text) {
    return QString::fromLatin1(text).remove(QLatin1Char(' '));
}

}  // namespace

template <typename Command>
void TForm1::Run(Command command) {
    AmbrelApplication::Guard(command);
}

template <typename Sender, typename Signal, typename Command>
void TForm1::Bind(Sender* sender, Signal signal, Command command) {
    connect(sender, signal, this, [this, command] { Run(command); });
}

TForm1::TForm1(ambrel::Library& library, ambrel::Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), library_(library), prompter_(prompter) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ambrel 2.0 Free (Pendrake project)"));

    BuildPages();
    BuildToolBar();
    BuildMainMenu();
    BuildColumnMenu();
    CreateModel();
    Viewer()->LayoutColumns();
    tag_detail_panel_->Bind(Viewer());
    filter_bar_->Bind(Viewer());
    ConnectTable();
    // Files dropped from the desktop's file manager land here, wherever they fall: the
    // edit boxes take no drops, so a dropped file is loaded rather than typed as a URL.
    setAcceptDrops(true);
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->setAcceptDrops(false);
    resize(760, 640);
}

TForm1::~TForm1() { DestroyModel(); }

ambrel::TTagViewer* TForm1::Viewer() const { return library_.TagViewer(); }

int TForm1::CreateModel() {
    // Qt's own application path is a QString, which loses a directory name that is not
    // UTF-8; the system's answer keeps its bytes.
    std::string exe_dir = ambrel::paths::ExecutableDirectory();
    if (exe_dir.empty()) exe_dir = FromQ(QCoreApplication::applicationDirPath());
    library_.CreateModel(std::move(exe_dir), list_view_tag_viewer_);
    file_viewer_visible_ = true;
    action_panel_visible_ = true;
    close_after_update_ = false;
    return 1;
}

int TForm1::DestroyModel() {
    if (tag_detail_panel_) tag_detail_panel_->Bind(nullptr);
    if (filter_bar_) filter_bar_->Bind(nullptr);
    return library_.DestroyModel();
}

// --- Building the window -------------------------------------------------------------

void TForm1::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);

    page_control_file_viewer_ = new QTabWidget(central);
    page_control_file_viewer_->setObjectName(QStringLiteral("PageControlFileViewer"));
    auto* viewer_page = new QWidget(page_control_file_viewer_);
    viewer_page->setObjectName(QStringLiteral("TabSheetTagViewer"));
    auto* viewer_layout = new QVBoxLayout(viewer_page);
    viewer_layout->setContentsMargins(0, 0, 0, 0);
    list_view_tag_viewer_ = new QtReportView(viewer_page);
    list_view_tag_viewer_->setObjectName(QStringLiteral("ListViewTagViewer"));
    list_view_tag_viewer_->SetImages(ImageList16viewer());
    list_view_tag_viewer_->SetMultiSelect(true);
    list_view_tag_viewer_->SetGridLines(true);
    // The selection stays as visible when the table loses the focus.
    QPalette palette = list_view_tag_viewer_->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    list_view_tag_viewer_->setPalette(palette);
    filter_bar_ = new FilterBar(viewer_page);
    viewer_layout->addWidget(list_view_tag_viewer_, 1);
    viewer_layout->addWidget(filter_bar_);
    page_control_file_viewer_->addTab(viewer_page, QStringLiteral("Tag viewer"));

    page_control_file_detail_ = new QTabWidget(central);
    page_control_file_detail_->setObjectName(QStringLiteral("PageControlFileDetail"));
    tag_detail_panel_ = new TagDetailPanel(page_control_file_detail_);
    page_control_file_detail_->addTab(tag_detail_panel_, QStringLiteral("Tag detail"));
    // Three further pages exist but are never shown.
    auto* file_page = new QWidget(page_control_file_detail_);
    file_page->setObjectName(QStringLiteral("TabSheetFileDetail"));
    const int file_tab =
        page_control_file_detail_->addTab(file_page, QStringLiteral("File detail"));
    page_control_file_detail_->setTabEnabled(file_tab, false);
    memo_tag_lyrics_ =
        new QPlainTextEdit(QStringLiteral("Lyrics detail"), page_control_file_detail_);
    memo_tag_lyrics_->setObjectName(QStringLiteral("MemoTagLyrics"));
    const int lyrics_tab =
        page_control_file_detail_->addTab(memo_tag_lyrics_, QStringLiteral("Lyrics detail"));
    auto* picture_page = new QWidget(page_control_file_detail_);
    picture_page->setObjectName(QStringLiteral("TabSheetPictureDetail"));
    const int picture_tab =
        page_control_file_detail_->addTab(picture_page, QStringLiteral("Picture detail"));
    for (const int tab : {file_tab, lyrics_tab, picture_tab})
        page_control_file_detail_->setTabVisible(tab, false);
    page_control_file_detail_->setCurrentIndex(0);
    page_control_file_detail_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    layout->addWidget(page_control_file_viewer_, 1);
    layout->addWidget(page_control_file_detail_, 0);
    setCentralWidget(central);
}

QToolButton* TForm1::AddToolButton(const char* name, const QString& caption, const QString& hint,
                                   Picture picture) {
    auto* button = new QToolButton(tool_bar_);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    // The hint is kept as the status tip; only "Save tag" shows it as a tooltip.
    button->setStatusTip(hint);
    button->setIcon(ToolPicture(picture));
    button->setIconSize(QSize(kToolPictureSize, kToolPictureSize));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setMinimumSize(32, 32);
    tool_bar_->addWidget(button);
    return button;
}

void TForm1::BuildToolBar() {
    tool_bar_ = new QToolBar(this);
    tool_bar_->setObjectName(QStringLiteral("ToolBarMainWindow"));
    tool_bar_->setMovable(false);
    tool_bar_->setFloatable(false);
    tool_bar_->setIconSize(QSize(kToolPictureSize, kToolPictureSize));
    tool_bar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, tool_bar_);

    QToolButton* no_tag =
        AddToolButton("ToolButtonWithNoTag", QStringLiteral("Selected without tag"),
                      QStringLiteral("Select lines with no tag"), Picture::kSelectNoTag);
    QToolButton* with_tag =
        AddToolButton("ToolButtonWithTag", QStringLiteral("Select with tag"),
                      QStringLiteral("Select lines with tag"), Picture::kSelectWithTag);
    // The two drop-down buttons wear the greyed (indeterminate) look; they stay usable.
    for (QToolButton* button : {no_tag, with_tag}) {
        QStyleOption option;
        option.initFrom(button);
        const QPixmap normal = button->icon().pixmap(kToolPictureSize, kToolPictureSize);
        button->setIcon(QIcon(style()->generatedIconPixmap(QIcon::Disabled, normal, &option)));
    }
    no_tag->setPopupMode(QToolButton::MenuButtonPopup);
    no_tag->setMenu(BuildSelectMenu("PopupMenuNoTag", "Selectwithno", "Select with no ",
                                    ambrel::SelectTest::kEmpty));
    with_tag->setPopupMode(QToolButton::MenuButtonPopup);
    with_tag->setMenu(BuildSelectMenu("PopupMenuWithTag", "Selectwithfilled", "Select with filled ",
                                      ambrel::SelectTest::kFilled));
    Bind(no_tag, &QToolButton::clicked, [this] { SelectRowsBy({ambrel::SelectTest::kNoTag}); });
    Bind(with_tag, &QToolButton::clicked, [this] { SelectRowsBy({ambrel::SelectTest::kWithTag}); });
    QToolButton* select_all =
        AddToolButton("ToolButtonSelectAll", QStringLiteral("Select all"),
                      QStringLiteral("Select all tags in viewer window"), Picture::kSelectAll);
    Bind(select_all, &QToolButton::clicked, [this] { SelectAll(); });
    tool_bar_->addSeparator();

    QToolButton* del_selected = AddToolButton(
        "ToolButtonDelSelected", QStringLiteral("Remove selected"),
        QStringLiteral("Remove selected tags from tag viewer"), Picture::kRemoveSelected);
    Bind(del_selected, &QToolButton::clicked, [this] { RemoveSelectedLines(); });
    QToolButton* del_all =
        AddToolButton("ToolButtonDelAll", QStringLiteral("Remove selected"),
                      QStringLiteral("Remove all tags from tag viewer"), Picture::kRemoveAll);
    Bind(del_all, &QToolButton::clicked, [this] { RemoveAllLines(); });
    tool_bar_->addSeparator();

    QToolButton* save_current =
        AddToolButton("ToolButtonSaveCurrent", QStringLiteral("Save tag"),
                      QStringLiteral("Save currently selected tag"), Picture::kSave);
    save_current->setToolTip(save_current->statusTip());
    Bind(save_current, &QToolButton::clicked, [this] { SaveCurrentTag(); });
    QToolButton* save_all =
        AddToolButton("ToolButtonSaveAll", QStringLiteral("Save all tags"),
                      QStringLiteral("Save changes in all changed tags "), Picture::kSaveAll);
    Bind(save_all, &QToolButton::clicked, [this] { SaveAllTags(); });
    tool_bar_->addSeparator();

    QToolButton* refresh =
        AddToolButton("ToolButtonRefresh", QStringLiteral("ToolButtonRefresh"),
                      QStringLiteral("Refresh all loaded tags"), Picture::kRefresh);
    Bind(refresh, &QToolButton::clicked, [this] { RedrawAllLines(); });
    QToolButton* apply_filter = AddToolButton(
        "ToolButtonApplyFilter", QStringLiteral("Filter sound files"),
        QStringLiteral("Use filter to show only filtered sound files"), Picture::kFilter);
    Bind(apply_filter, &QToolButton::clicked, [this] { ApplyFilter(); });
}

QMenu* TForm1::BuildSelectMenu(const char* name, const char* prefix, const char* caption_prefix,
                               ambrel::SelectTest test) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QLatin1String(name));
    for (const SelectItem& field : kSelectItems) {
        QAction* item =
            menu->addAction(QLatin1String(caption_prefix) + QLatin1String(field.caption));
        item->setObjectName(QLatin1String(prefix) + WithoutBlanks(field.caption) +
                            QLatin1Char('1'));
        const ambrel::SelectionCriterion criterion{test, field.field};
        Bind(item, &QAction::triggered, [this, criterion] { SelectRowsBy(criterion); });
    }
    return menu;
}

QAction* TForm1::AddMenuItem(QMenu* menu, const char* name, const QString& caption,
                             Picture picture) {
    QAction* item = menu->addAction(MenuPicture(picture), caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

void TForm1::TableShortcut(QAction* item, const QKeySequence& keys) {
    // The key is the table's: an edit box keeps Ctrl+A and Delete for its text, and no
    // other control removes lines with Delete. The menu still shows the key.
    item->setShortcut(keys);
    item->setShortcutContext(Qt::WidgetShortcut);
    list_view_tag_viewer_->addAction(item);
}

void TForm1::BuildMainMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* tabs = bar->addMenu(QStringLiteral("Tabs"));
    tabs->setObjectName(QStringLiteral("Tabs1"));
    file_viewer_item_ = tabs->addAction(QStringLiteral("File viewer visible"));
    file_viewer_item_->setObjectName(QStringLiteral("Filemanagervisible1"));
    file_viewer_item_->setStatusTip(QStringLiteral("Show left panel (File viewer)"));
    action_panel_item_ = tabs->addAction(QStringLiteral("Action panel visible"));
    action_panel_item_->setObjectName(QStringLiteral("Actionpanelvisible1"));
    action_panel_item_->setStatusTip(QStringLiteral("Show right panel (action panel)"));
    for (QAction* item : {file_viewer_item_, action_panel_item_}) {
        item->setCheckable(true);
        item->setChecked(true);
    }
    Bind(file_viewer_item_, &QAction::triggered, [this] { ToggleFileViewer(); });
    Bind(action_panel_item_, &QAction::triggered, [this] { ToggleActionPanel(); });

    QMenu* main = bar->addMenu(QStringLiteral("Main window"));
    main->setObjectName(QStringLiteral("Mainwindow1"));
    QAction* item = AddMenuItem(main, "Selectlineswithnotag1",
                                QStringLiteral("Select lines with no tag"), Picture::kSelectNoTag);
    Bind(item, &QAction::triggered, [this] { SelectRowsBy({ambrel::SelectTest::kNoTag}); });
    item = AddMenuItem(main, "Selectlineswithtag1", QStringLiteral("Select lines with tag"),
                       Picture::kSelectWithTag);
    Bind(item, &QAction::triggered, [this] { SelectRowsBy({ambrel::SelectTest::kWithTag}); });
    item = AddMenuItem(main, "Selectalllines1", QStringLiteral("Select all lines"),
                       Picture::kSelectAll);
    TableShortcut(item, QKeySequence::SelectAll);
    Bind(item, &QAction::triggered, [this] { SelectAll(); });
    main->addSeparator();
    item = AddMenuItem(main, "Deletetagsonselectedlines1",
                       QStringLiteral("Delete tags on selected lines"), Picture::kRemoveSelected);
    TableShortcut(item, QKeySequence::Delete);
    Bind(item, &QAction::triggered, [this] { RemoveSelectedLines(); });
    item =
        AddMenuItem(main, "Deletealltags1", QStringLiteral("Delete all tags"), Picture::kRemoveAll);
    Bind(item, &QAction::triggered, [this] { RemoveAllLines(); });
    main->addSeparator();
    item = AddMenuItem(main, "Savecurrentlyselectedtag1",
                       QStringLiteral("Save currently selected tag"), Picture::kSave);
    item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Bind(item, &QAction::triggered, [this] { SaveCurrentTag(); });
    item = AddMenuItem(main, "Saveallchangestags1", QStringLiteral("Save all changes tags"),
                       Picture::kSaveAll);
    item->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Bind(item, &QAction::triggered, [this] { SaveAllTags(); });
    main->addSeparator();
    item = AddMenuItem(main, "Refreshalllines1", QStringLiteral("Refresh all lines"),
                       Picture::kRefresh);
    Bind(item, &QAction::triggered, [this] { RedrawAllLines(); });
    item = AddMenuItem(main, "Applyfilterontaglist1", QStringLiteral("Apply filter on tag list"),
                       Picture::kFilter);
    Bind(item, &QAction::triggered, [this] { ApplyFilter(); });

    QMenu* about = bar->addMenu(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About1"));
    item = about->addAction(QStringLiteral("Check new version"));
    item->setObjectName(QStringLiteral("Checknewversion1"));
    Bind(item, &QAction::triggered, [this] {
        if (version_check_) version_check_->open();
    });
    item = about->addAction(QStringLiteral("About"));
    item->setObjectName(QStringLiteral("About2"));
    Bind(item, &QAction::triggered, [this] {
        if (about_) about_->open();
    });
}

void TForm1::BuildColumnMenu() {
    popup_menu_tag_viewer_ = new QMenu(this);
    popup_menu_tag_viewer_->setObjectName(QStringLiteral("PopupMenuTagViewer"));
    // Every column but Index, under its caption of the initial layout ("Song name").
    for (int number = TTagViewer::kDirectory; number < TTagViewer::kColumnCount; ++number) {
        const char* caption = TTagViewer::LayoutCaptionOf(number);
        QAction* item = popup_menu_tag_viewer_->addAction(QLatin1String(caption));
        item->setObjectName(WithoutBlanks(caption) + QLatin1Char('1'));
        item->setCheckable(true);
        item->setChecked(true);
        // The item has already flipped its tick when triggered reports the new state.
        connect(item, &QAction::triggered, this, [this, number](bool checked) {
            Run([=] { ShowColumnFromMenu(number, checked); });
        });
    }
    for (QWidget* target : {static_cast<QWidget*>(list_view_tag_viewer_),
                            static_cast<QWidget*>(list_view_tag_viewer_->header())}) {
        target->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(target, &QWidget::customContextMenuRequested, this, [this, target](QPoint at) {
            popup_menu_tag_viewer_->popup(target->mapToGlobal(at));
        });
    }
}

void TForm1::ConnectTable() {
    Bind(list_view_tag_viewer_, &QtReportView::rowSelectionChanged,
         [this] { ShowTagDetail(CurrentRow()); });
    connect(list_view_tag_viewer_, &QtReportView::headerClicked, this, [this](int pos) {
        Run([=] {
            if (Viewer()) Viewer()->ColumnClick(pos);
        });
    });
    Bind(tag_detail_panel_, &TagDetailPanel::saveClicked, [this] { SaveCurrentTag(); });
    Bind(filter_bar_, &FilterBar::applyClicked, [this] { ApplyFilter(); });
}

// --- Commands ------------------------------------------------------------------------

int TForm1::CurrentRow() const { return list_view_tag_viewer_->FirstSelected(); }

bool TForm1::ShowTagDetail(int row) { return tag_detail_panel_->ShowTagDetail(row); }

int TForm1::SelectRowsBy(const ambrel::SelectionCriterion& criterion) {
    if (!Viewer()) return 0;
    const int selected = Viewer()->SelectRowsBy(criterion);
    ShowTagDetail(CurrentRow());
    return selected;
}

void TForm1::SelectAll() {
    if (!Viewer()) return;
    Viewer()->SelectAll();
    ShowTagDetail(CurrentRow());
}

void TForm1::RemoveSelectedLines() {
    if (!Viewer()) return;
    Viewer()->DeleteSelected();
    ShowTagDetail(CurrentRow());
}

void TForm1::RemoveAllLines() {
    if (!Viewer()) return;
    Viewer()->DeleteAll();
    ShowTagDetail(CurrentRow());
}

void TForm1::RedrawAllLines() {
    if (Viewer()) Viewer()->UpdateAllRows();
}

void TForm1::SaveCurrentTag() {
    const int row = CurrentRow();
    const ambrel::TTagFile* file = Viewer() ? Viewer()->EntryAt(row) : nullptr;
    tag_detail_panel_->StoreTagDetail(row);
    if (Viewer()) Viewer()->UpdateRow(row);
    ShowTagDetail(row);
    // A save that fails leaves the file's Modified flag set.
    if (file != nullptr && file->IsModified()) ReportUnsaved({file->GetPath()});
    emit tagsSaved(file != nullptr ? std::vector<std::string>{file->GetPath()}
                                   : std::vector<std::string>{});
}

void TForm1::SaveAllTags() {
    const ambrel::SaveReport report = library_.SaveAll();
    ReportUnsaved(report.failed);
    emit tagsSaved(report.saved);
}

void TForm1::ReportUnsaved(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    std::string text =
        "These files could not be written. Their tag changes are still held in memory only:\n";
    for (std::size_t i = 0; i < paths.size() && i < kListedFailures; ++i) text += "\n" + paths[i];
    if (paths.size() > kListedFailures)
        text += "\n... and " + std::to_string(paths.size() - kListedFailures) + " more";
    prompter_.Warning("Tags not saved", text);
}

void TForm1::ApplyFilter() {
    filter_bar_->ApplyFilter();
    ShowTagDetail(CurrentRow());
}

void TForm1::ShowColumnFromMenu(int column, bool show) {
    if (Viewer()) Viewer()->ShowColumn(column, show);
}

// --- Window set and placement --------------------------------------------------------

void TForm1::SetSideWindows(QWidget* file_viewer, QWidget* action_panel) {
    file_viewer_ = file_viewer;
    action_panel_ = action_panel;
}

void TForm1::SetDialogs(QDialog* version_check, QDialog* about) {
    version_check_ = version_check;
    about_ = about;
}

void TForm1::PlaceWindows() { PlaceWindowsChecking(kFrameRechecks); }

std::vector<QSize> TForm1::FrameSizes() const {
    std::vector<QSize> sizes;
    const QWidget* windows[] = {this, file_viewer_, action_panel_};
    for (const QWidget* window : windows)
        if (window) sizes.push_back(window->frameGeometry().size() - window->geometry().size());
    return sizes;
}

// A window manager decorates a window a moment after it is first shown, so the frames
// measured by a placement may still be empty then. A little later the placement runs
// again if any frame has changed since, a bounded number of times.
void TForm1::PlaceWindowsChecking(int rechecks_left) {
    const QRect work = WorkArea();
    const bool left = file_viewer_visible_ && file_viewer_;
    const bool right = action_panel_visible_ && action_panel_;
    // A side window is shown before it is measured, so its frame counts.
    if (left) file_viewer_->show();
    if (right) action_panel_->show();
    const WindowPlacement placement =
        ComputePlacement(work.x() + work.width(), work.y() + work.height(),
                         left ? file_viewer_->frameGeometry().width() : 0, left,
                         right ? action_panel_->frameGeometry().width() : 0, right);
    PlaceFrame(this, placement.main);
    if (placement.file_viewer) PlaceFrame(file_viewer_, *placement.file_viewer);
    if (placement.action_panel) PlaceFrame(action_panel_, *placement.action_panel);
    if (rechecks_left <= 0) return;
    QTimer::singleShot(kFrameSettleMs, this, [this, rechecks_left, frames = FrameSizes()] {
        if (FrameSizes() != frames) PlaceWindowsChecking(rechecks_left - 1);
    });
}

void TForm1::ToggleFileViewer() {
    file_viewer_visible_ = !file_viewer_visible_;
    file_viewer_item_->setChecked(file_viewer_visible_);
    // A side window switched off goes out of sight rather than lying under this one.
    if (!file_viewer_visible_ && file_viewer_) file_viewer_->hide();
    PlaceWindows();
}

void TForm1::ToggleActionPanel() {
    action_panel_visible_ = !action_panel_visible_;
    action_panel_item_->setChecked(action_panel_visible_);
    if (!action_panel_visible_ && action_panel_) action_panel_->hide();
    PlaceWindows();
}

void TForm1::FileViewerClosed() {
    file_viewer_visible_ = false;
    PlaceWindows();
    file_viewer_item_->setChecked(file_viewer_visible_);
}

void TForm1::ActionPanelClosed() {
    action_panel_visible_ = false;
    PlaceWindows();
    action_panel_item_->setChecked(action_panel_visible_);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) PlaceWindows();
}

void TForm1::closeEvent(QCloseEvent* event) {
    DestroyModel();
    event->accept();
}

// --- Dropped files -------------------------------------------------------------------

void TForm1::AddDroppedPaths(const std::vector<std::string>& paths) { library_.AddFiles(paths); }

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(PathFromUrl(url));
    event->acceptProposedAction();
    Run([&] { AddDroppedPaths(paths); });
}

}  // namespace ambrel::ui
