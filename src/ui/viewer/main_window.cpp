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
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "export/table_csv.h"
#include "library/library.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "tag/tag_file.h"
#include "ui/common/busy_controls.h"
#include "ui/common/icons.h"
#include "ui/common/qt_report_view.h"
#include "ui/common/qt_text.h"
#include "ui/common/window_placement.h"
#include "ui/viewer/filter_bar.h"
#include "ui/viewer/load_bar.h"
#include "ui/viewer/tag_detail_panel.h"
#include "viewer/tag_viewer.h"

namespace ambrel::ui {

namespace {

// How many failed paths the save warning names before it only counts the rest.
constexpr std::size_t kListedFailures = 20;

}  // namespace

TForm1::TForm1(ambrel::Library& library, ambrel::Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), library_(library), prompter_(prompter) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ambrel 2.0 Free (Pendrake project)"));
    placement_ = new SideBySidePlacement(this, [this] {
        return SideWindows{file_viewer_visible_ ? file_viewer_.data() : nullptr,
                           action_panel_visible_ ? action_panel_.data() : nullptr};
    });

    busy_controls_ = new BusyControls(library_, this);
    BuildPages();
    BuildToolBar();
    BuildMainMenu();
    BuildColumnMenu();
    CreateModel();
    Viewer()->LayoutColumns();
    tag_detail_panel_->Bind(Viewer(), &library_.History());
    filter_bar_->Bind(Viewer());
    library_.History().SetOnChange([this] { UpdateHistoryItems(); });
    // Undo and Redo change the list and its files, so a load greys them too; their own
    // state comes back from the history when it ends.
    history_busy_listener_ = library_.AddBusyListener([this](bool) { UpdateHistoryItems(); });
    UpdateHistoryItems();
    ConnectTable();
    ReceiveLoadEnds();
    // Files dropped from the desktop's file manager land here, wherever they fall: the
    // edit boxes take no drops, so a dropped file is loaded rather than typed as a URL.
    setAcceptDrops(true);
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->setAcceptDrops(false);
    resize(760, 640);
}

TForm1::~TForm1() {
    library_.History().SetOnChange({});
    library_.RemoveBusyListener(history_busy_listener_);
    library_.SetLoadNotifier(nullptr);
    DestroyModel();
}

void TForm1::ReceiveLoadEnds() {
    library_.SetLoadNotifier([this] {
        // On a load thread: a queued call, which never waits for this window.
        QMetaObject::invokeMethod(
            this, [this] { Run([this] { ApplyLoadStep(); }); }, Qt::QueuedConnection);
    });
}

void TForm1::ApplyLoadStep() {
    // The next step comes after the event loop has turned, so the window stays responsive
    // while 100,000 files are applied.
    if (library_.FinishLoad() == ambrel::Library::LoadStage::kApplying)
        QTimer::singleShot(0, this, [this] { Run([this] { ApplyLoadStep(); }); });
}

ambrel::TTagViewer* TForm1::Viewer() const { return library_.TagViewer(); }

int TForm1::CreateModel() {
    // Qt's own application path is a QString, which loses a directory name that is not
    // UTF-8; the system's answer keeps its bytes.
    std::string exe_dir = ambrel::paths::ExecutableDirectory();
    if (exe_dir.empty()) exe_dir = FromQ(QCoreApplication::applicationDirPath());
    library_.CreateModel(std::move(exe_dir), list_view_tag_viewer_);
    file_viewer_visible_ = true;
    action_panel_visible_ = true;
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

    load_bar_ = new LoadBar(library_, central);
    layout->addWidget(load_bar_);
    layout->addWidget(page_control_file_viewer_, 1);
    layout->addWidget(page_control_file_detail_, 0);
    setCentralWidget(central);
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
    busy_controls_->Add(
        tag_detail_panel_->findChild<QWidget*>(QStringLiteral("SpeedButtonTagSave")));
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
    if (!Viewer() || library_.IsBusy()) return;
    library_.RemoveSelectedLines();
    ShowTagDetail(CurrentRow());
}

void TForm1::RemoveAllLines() {
    if (!Viewer() || library_.IsBusy()) return;
    library_.RemoveAllLines();
    ShowTagDetail(CurrentRow());
}

void TForm1::UndoLastBatch() {
    if (!library_.IsBusy()) AfterHistoryStep(library_.Undo().written);
}

void TForm1::RedoLastBatch() {
    if (!library_.IsBusy()) AfterHistoryStep(library_.Redo().written);
}

void TForm1::AfterHistoryStep(const std::vector<std::string>& written) {
    ShowTagDetail(CurrentRow());
    if (!written.empty()) emit tagsSaved(written);
    emit filesChanged();
}

void TForm1::UpdateHistoryItems() {
    if (undo_item_ == nullptr || redo_item_ == nullptr) return;
    const ambrel::TBatchHistory& history = library_.History();
    // A folder's name may hold "&", which a caption would take for a shortcut mark.
    const auto caption = [](const std::string& text) {
        return ToQ(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
    };
    undo_item_->setText(caption(history.UndoText()));
    undo_item_->setEnabled(history.CanUndo() && !library_.IsBusy());
    redo_item_->setText(caption(history.RedoText()));
    redo_item_->setEnabled(history.CanRedo() && !library_.IsBusy());
}

void TForm1::RedrawAllLines() {
    if (Viewer()) Viewer()->UpdateAllRows();
}

void TForm1::SaveCurrentTag() {
    if (library_.IsBusy()) return;
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
    if (library_.IsBusy()) return;
    const ambrel::SaveReport report = library_.SaveAll();
    ReportUnsaved(report.failed);
    emit tagsSaved(report.saved);
}

void TForm1::ReloadSelectedTags() {
    if (library_.IsBusy() || !Viewer()) return;
    const int unsaved = library_.UnsavedSelected();
    if (unsaved > 0) {
        const std::string what = unsaved == 1 ? std::string("1 selected tag")
                                              : std::to_string(unsaved) + " selected tags";
        if (!prompter_.Question("Reload tags from disk",
                                "The changes of " + what +
                                    " are not saved. Drop them and read the tags again from "
                                    "their files?")) {
            return;
        }
    }
    library_.ReloadSelectedTags();
    ShowTagDetail(CurrentRow());
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

void TForm1::ExportTableAsCsv() {
    const QString caption = QStringLiteral("Export table as CSV");
    const std::optional<std::string> path =
        prompter_.AskSaveFileName(FromQ(caption), "CSV files (*.csv)", "csv");
    if (!path || !Viewer()) return;
    const std::string csv = ambrel::TableAsCsv(*list_view_tag_viewer_, *Viewer());
    QSaveFile file(ToQ(*path));
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(csv.data(), static_cast<qint64>(csv.size())) ==
                             static_cast<qint64>(csv.size()) &&
                         file.commit();
    if (!written) {
        prompter_.Warning(FromQ(caption), "The table could not be written to " + *path + ": " +
                                              FromQ(file.errorString()));
    }
}

void TForm1::CodePageChanged() { ShowTagDetail(CurrentRow()); }

void TForm1::ApplyFilter() {
    filter_bar_->ApplyFilter();
    ShowTagDetail(CurrentRow());
}

void TForm1::ShowColumnFromMenu(int column, bool show) {
    if (column == ambrel::TTagViewer::kId3v2) library_.ShowId3v2Versions(show);
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

void TForm1::PlaceWindows() { placement_->Place(); }

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
    if (!MayClose()) {
        event->ignore();
        return;
    }
    DestroyModel();
    event->accept();
}

bool TForm1::MayClose() {
    const int unsaved = library_.UnsavedCount();
    if (unsaved == 0) return true;
    const std::string count = unsaved == 1 ? std::string("1 tag has changes")
                                           : std::to_string(unsaved) + " tags have changes";
    const ambrel::SaveChoice choice = prompter_.AskToSave(
        "Unsaved changes", count + " that are not saved yet. Save them before closing?");
    if (choice == ambrel::SaveChoice::kDiscard) return true;
    if (choice == ambrel::SaveChoice::kCancel) return false;
    // Closing ends a running load anyway; ended now, it lets the save through.
    library_.AbandonLoad();
    const ambrel::SaveReport report = library_.SaveAll();
    ReportUnsaved(report.failed);
    emit tagsSaved(report.saved);
    return report.failed.empty();
}

// --- Dropped files -------------------------------------------------------------------

void TForm1::AddDroppedPaths(const std::vector<std::string>& paths) {
    library_.StartLoad(ambrel::LoadKind::kDrop, ambrel::DroppedFilesLoad(paths));
}

// While a load runs, a drop is refused where it would fall.
void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !library_.IsBusy()) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() && !library_.IsBusy()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(PathFromUrl(url));
    event->acceptProposedAction();
    Run([&] { AddDroppedPaths(paths); });
}

}  // namespace ambrel::ui
