#include "library/library.h"

#include <mutex>
#include <unordered_set>

#include "actions/tag_processor.h"
#include "errors/error_log.h"
#include "files/file_loader.h"
#include "history/removal_batch.h"
#include "history/save_batch.h"
#include "history/tag_change_batch.h"
#include "platform/compact.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

namespace {

// How long closing the model waits for a cancelled load: a read stops within a file, but
// one from a dead network mount may never return.
constexpr std::chrono::milliseconds kCancelWait{1000};
// Files added, or rows made, per step of applying a load: a few milliseconds' work.
constexpr std::size_t kApplySlice = 8192;

}  // namespace

// Hands a load's end to the notifier, until the library lets go of it: the load's thread
// calls Notify, the owner's thread Set, so a notifier cleared is never called again.
class Library::LoadNotice {
public:
    explicit LoadNotice(std::function<void()> notify) : notify_(std::move(notify)) {}
    void Set(std::function<void()> notify) {
        std::lock_guard<std::mutex> lock(mutex_);
        notify_ = std::move(notify);
    }
    void Notify() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (notify_) notify_();
    }

private:
    std::mutex mutex_;
    std::function<void()> notify_;
};

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
    tag_processor_->SetHistory(&history_);
    error_log_ = std::make_unique<TErrorLog>(error_cfg_path_, prompter_);
    return 1;
}

int Library::DestroyModel() {
    // The history keeps removed entries and knows the rest by serial: it goes first.
    history_.Clear();
    if (load_) {
        DropLoad();
        NotifyBusy(false);
    }
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

int Library::AddFiles(const std::vector<std::string>& paths) {
    if (!tag_list_ || !tag_viewer_ || IsBusy()) return 0;
    LoadOptions options;
    options.read_head = read_heads_;
    const LoadResult result = RunLoad(DroppedFilesLoad(paths), std::move(options));
    ApplyLoad(LoadKind::kDrop, result, *tag_list_, *tag_viewer_, nullptr);
    return static_cast<int>(result.files.size());
}

SaveReport Library::SaveAll() {
    if (!tag_list_ || IsBusy()) return {};
    SaveRecorder record(&history_);
    return tag_list_->SaveModified(&record);
}

void Library::AbandonLoad() {
    if (!load_) return;
    DropLoad();
    NotifyBusy(false);
}

int Library::UnsavedSelected() const {
    if (!tag_viewer_) return 0;
    int count = 0;
    for (int row : tag_viewer_->SelectedRows()) {
        const TTagFile* entry = tag_viewer_->EntryAt(row);
        count += entry != nullptr && entry->HoldsUnsavedWork() ? 1 : 0;
    }
    return count;
}

int Library::ReloadSelectedTags() {
    if (!tag_viewer_ || IsBusy()) return -1;
    const std::vector<int> rows = tag_viewer_->SelectedRows();
    if (rows.empty()) return -1;
    std::unordered_set<const TTagFile*> read;
    {
        TagChangeRecorder record(&history_, "reload");
        for (int row : rows) {
            TTagFile* entry = tag_viewer_->EntryAt(row);
            if (entry == nullptr) continue;
            record.Note(*entry);
            entry->Load();
            read.insert(entry);
        }
    }
    // A tag read anew may no longer pass the filter, or now pass it.
    tag_viewer_->FollowEntries(read);
    return static_cast<int>(read.size());
}

void Library::SetCodePage(CodePage page) {
    CodePageConverter::SetCurrent(page);
    if (tag_viewer_) tag_viewer_->RedrawRows();
}

int Library::ShowId3v2Versions(bool show) {
    read_heads_ = show;
    if (!show || !tag_list_ || IsBusy()) return 0;
    int read = 0;
    for (int i = 0; i < tag_list_->Count(); ++i) {
        TTagFile* entry = tag_list_->Get(i);
        if (entry->GetId3v2Head().Read()) continue;
        file_io::FileHead head;
        file_io::ReadHead(entry->GetPath(), &head);
        entry->SetId3v2Head(Id3v2Head::Of(head.bytes, head.file_size));
        ++read;
    }
    return read;
}

bool Library::StartLoad(LoadKind kind, LoadRequest request) {
    if (!tag_list_ || IsBusy()) return false;
    auto notice = std::make_shared<LoadNotice>(load_notifier_);
    LoadOptions options = load_options_;
    options.on_finished = [notice] { notice->Notify(); };
    options.read_head = read_heads_;
    load_ = std::make_unique<Load>(Load{
        kind, notice, std::make_unique<LoadJob>(std::move(request), std::move(options)), nullptr});
    load_->job->Start();
    NotifyBusy(true);
    return true;
}

LoadProgress Library::Progress() const {
    return load_ ? load_->job->Progress() : LoadProgress{0, 0, true};
}

void Library::CancelLoad() {
    if (load_) load_->job->Cancel();
}

Library::LoadStage Library::FinishLoad() {
    if (!load_) return LoadStage::kIdle;
    if (!load_->applier) {
        if (!load_->job->IsDone()) return LoadStage::kRunning;
        load_->applier = std::make_unique<LoadApplier>(load_->kind, load_->job->TakeResult(),
                                                       *tag_list_, *tag_viewer_);
    }
    if (!load_->applier->Step(kApplySlice)) return LoadStage::kApplying;
    const std::unique_ptr<LoadApplier> applier = std::move(load_->applier);
    load_.reset();
    NotifyBusy(false);
    applier->Report(error_log_.get());
    return LoadStage::kIdle;
}

bool Library::WaitForLoad(std::chrono::milliseconds timeout) {
    return !load_ || load_->job->WaitFor(timeout);
}

void Library::SetLoadNotifier(std::function<void()> notify) {
    load_notifier_ = std::move(notify);
    if (load_) load_->notice->Set(load_notifier_);
}

void Library::DropLoad() {
    load_->notice->Set(nullptr);
    load_->job->Cancel();
    if (!load_->job->WaitFor(kCancelWait)) load_->job->Abandon();
    load_.reset();
}

int Library::AddBusyListener(std::function<void(bool busy)> listener) {
    busy_listeners_.emplace_back(next_listener_id_, std::move(listener));
    return next_listener_id_++;
}

void Library::RemoveBusyListener(int id) {
    CompactIf(&busy_listeners_, [id](const auto& entry) { return entry.first == id; });
}

void Library::NotifyBusy(bool busy) {
    // A copy: a listener may remove itself or another.
    const auto listeners = busy_listeners_;
    for (const auto& entry : listeners) entry.second(busy);
}

int Library::RemoveSelectedLines() {
    if (!tag_viewer_ || IsBusy() || tag_viewer_->SelectedRows().empty()) return -1;
    std::vector<TakenEntry> taken = tag_viewer_->TakeSelected();
    const int removed = static_cast<int>(taken.size());
    if (removed > 0) history_.Record(std::make_unique<RemovalBatch>(std::move(taken)));
    return removed;
}

int Library::RemoveAllLines() {
    if (!tag_viewer_ || IsBusy()) return -1;
    std::vector<TakenEntry> taken = tag_viewer_->TakeAll();
    const int removed = static_cast<int>(taken.size());
    if (removed > 0) history_.Record(std::make_unique<RemovalBatch>(std::move(taken)));
    return removed;
}

BatchOutcome Library::Undo() {
    return tag_list_ && !IsBusy() ? Show(history_.Undo(*tag_list_)) : BatchOutcome{};
}

BatchOutcome Library::Redo() {
    return tag_list_ && !IsBusy() ? Show(history_.Redo(*tag_list_)) : BatchOutcome{};
}

BatchOutcome Library::Show(BatchOutcome outcome) {
    if (outcome.list_changed) {
        tag_list_->Renumber();
        if (tag_viewer_->Table()) tag_viewer_->RebuildRows();
    } else if (!outcome.touched.empty() && tag_viewer_->Table()) {
        tag_viewer_->FollowEntries(outcome.touched);
    }
    if (!outcome.warning_text.empty() && prompter_)
        prompter_->Warning(outcome.warning_caption, outcome.warning_text);
    return outcome;
}

}  // namespace ambrel
