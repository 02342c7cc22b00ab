#include "files/process_run.h"

#include <sys/stat.h>

#include <optional>
#include <set>

#include "errors/error_log.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "platform/paths.h"
#include "platform/process_view.h"

namespace ambrel {

namespace {

// A file's size in whole KiB; 0 when it cannot be read.
long long SizeInKiB(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) / 1024 : 0;
}

// Restores the viewer's progress bar when the run ends.
class ScopedProgressBar {
public:
    ScopedProgressBar(TFileViewer& viewer, ProgressBar* bar)
        : viewer_(viewer), saved_(viewer.GetProgressBar()) {
        viewer_.SetProgressBar(bar);
    }
    ~ScopedProgressBar() { viewer_.SetProgressBar(saved_); }
    ScopedProgressBar(const ScopedProgressBar&) = delete;
    ScopedProgressBar& operator=(const ScopedProgressBar&) = delete;

private:
    TFileViewer& viewer_;
    ProgressBar* saved_;
};

}  // namespace

TProcessRun::TProcessRun(TFileViewer& viewer, TErrorLog& errors, ProcessView& view)
    : viewer_(viewer), errors_(errors), view_(view) {}

void TProcessRun::Begin(const char* caption, const char* label) {
    view_.ProcessEventsOnce();
    view_.SetCloseEnabled(false);
    view_.ClearErrors();
    view_.SetCaption(caption);
    view_.SetFromLabel(label);
    view_.SetDestination(viewer_.Browser().CurrentPath());
}

void TProcessRun::ListFailure(const std::string& path, int code) {
    view_.AppendError(path, errors_.TakeMessage(code));
}

int TProcessRun::CopyOrMoveOne(const std::string& path, bool keep_source,
                               std::set<std::string>* placed) {
    const std::string name = paths::FileNameOf(path);
    const std::string target = paths::Join(viewer_.Browser().CurrentPath(), name);
    const std::optional<paths::FileIdentity> before = paths::IdentityOf(target);
    const int result = viewer_.CopyOrMoveFile(path, keep_source);
    // Whatever the result: a copy whose source went or changed meanwhile is in place too.
    const std::optional<paths::FileIdentity> after = paths::IdentityOf(target);
    if (after && after != before) placed->insert(name);
    return result;
}

int TProcessRun::RunCopyMove(const std::vector<std::string>& paths, bool keep_source,
                             std::vector<int>* results) {
    Begin(keep_source ? kCopyingCaption : kMovingCaption,
          keep_source ? kCopyingLabel : kMovingLabel);
    const ScopedProgressBar current_bar(viewer_, &view_.CurrentFileBar());
    std::vector<long long> sizes;
    long long total = 0;
    for (const std::string& path : paths) total += sizes.emplace_back(SizeInKiB(path));
    ProgressBar& overall = view_.AllFilesBar();
    overall.SetPosition(0);
    overall.SetMaximum(total);

    results->assign(paths.size(), kDone);
    std::set<std::string> placed;  // names this run has put into the destination
    long long done = 0;
    bool all_done = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        view_.CurrentFileBar().SetPosition(0);
        view_.CurrentFileBar().SetMaximum(sizes[i]);
        view_.SetSource(paths[i]);
        const std::string name = paths::FileNameOf(paths[i]);
        const int result = !keep_source && placed.count(name) != 0
                               ? kDestinationExists
                               : CopyOrMoveOne(paths[i], keep_source, &placed);
        (*results)[i] = result;
        if (result != kDone) {
            ListFailure(paths[i], result);
            all_done = false;
        }
        overall.SetPosition(done += sizes[i]);
    }
    view_.SetCloseEnabled(true);
    return all_done ? 1 : 0;
}

int TProcessRun::RunDelete(const std::vector<std::string>& paths, std::vector<int>* results) {
    Begin(kDeletingCaption, kDeletingLabel);
    ProgressBar& overall = view_.AllFilesBar();
    view_.CurrentFileBar().SetPosition(0);
    overall.SetPosition(0);
    overall.SetMaximum(static_cast<long long>(paths.size()));

    results->assign(paths.size(), kDone);
    bool all_done = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        view_.SetSource(paths[i]);
        const int result = viewer_.DeleteOneFile(paths[i]);
        (*results)[i] = result;
        if (result != kDone) {
            ListFailure(paths[i], result);
            all_done = false;
        }
        overall.SetPosition(static_cast<long long>(i) + 1);
    }
    view_.SetCloseEnabled(true);
    return all_done ? 1 : 0;
}

}  // namespace ambrel
