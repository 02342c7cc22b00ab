#include "files/parallel_load.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string_view>
#include <system_error>
#include <utility>

#include "files/directory_walk.h"
#include "files/named_path.h"
#include "files/result_codes.h"
#include "files/tag_presence.h"
#include "platform/paths.h"
#include "tag/tag_list.h"

namespace ambrel {

namespace {

// Paths handed from the walk to the readers at a time, and taken by a reader at a time:
// enough to keep the lock out of the way, few enough that a cancel stops soon.
constexpr std::size_t kHandOver = 64;
constexpr std::size_t kClaim = 16;

// One path the walk found, in walk order; a reader fills in the rest.
struct Slot {
    FoundFile found;
    // Entries skipped for their path's length before this one was found, so that a load
    // cut off before this slot counts only the skips it really made.
    int too_long_before = 0;
    // Set by its reader as the read begins; the read is then always finished before the
    // result is made from the slots.
    bool done = false;
    // Set under the lock once its reader is past it, so TakeReady may hand it on.
    bool read = false;
    bool passes = false;
};

// A named path that could not be taken, with the number of slots found before it.
struct PlacedFailure {
    PathFailure failure;
    std::size_t position;
};

}  // namespace

// The state the walk, the readers and the owner share. A slot is the walk's while it waits in
// pending_, then the readers' once handed over to slots_ (each slot the one reader's that
// claims it), then the owner's once read, when TakeReady may take it from the front; the
// result is made from those left only once every reader has ended.
class LoadJob::Run {
public:
    Run(LoadRequest request, LoadOptions options)
        : request_(std::move(request)), options_(std::move(options)), walk_visitor_(*this) {}

    void Cancel() {
        cancelled_.store(true);
        // Taken so that no thread can miss the wake-up between its test and its wait.
        { std::lock_guard<std::mutex> lock(mutex_); }
        wake_.notify_all();
    }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    bool IsDone() const { return done_.load(std::memory_order_acquire); }
    bool AwaitDone(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return wake_.wait_for(lock, timeout, [this] { return IsDone(); });
    }
    LoadProgress Progress() const {
        return {files_read_.load(std::memory_order_relaxed),
                files_found_.load(std::memory_order_relaxed), IsDone()};
    }
    LoadResult TakeResult() { return std::exchange(result_, LoadResult{}); }

    void TakeReady(std::vector<FoundFile>* out) {
        std::lock_guard<std::mutex> lock(mutex_);
        while (!slots_.empty() && slots_.front().read) {
            if (slots_.front().passes) out->push_back(std::move(slots_.front().found));
            slots_.pop_front();
            ++first_;
        }
    }
    bool AwaitReady(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return ready_.wait_for(
            lock, timeout, [this] { return IsDone() || (!slots_.empty() && slots_.front().read); });
    }

    // The whole load, on the walk's thread.
    void Execute() {
        StartReaders();
        if (request_.search) {
            Search();
        } else if (request_.named) {
            PublishNamed();
        } else {
            PublishPaths();
        }
        HandOver();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            walk_ended_ = true;
        }
        wake_.notify_all();
        if (readers_.empty()) ReadSlots();
        for (std::thread& reader : readers_) reader.join();
        Assemble();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_.store(true, std::memory_order_release);
        }
        wake_.notify_all();
        ready_.notify_all();
        if (options_.on_finished) options_.on_finished();
    }

private:
    void StartReaders() {
        const int count = options_.readers > 0 ? options_.readers : DefaultReaderCount();
        for (int i = 0; i < count; ++i) {
            try {
                readers_.emplace_back([this] { ReadSlots(); });
            } catch (const std::system_error&) {
                break;  // fewer readers; with none the walk's thread reads after the walk
            }
        }
    }

    WalkRules Rules() const {
        return WalkRules{std::optional<std::string_view>(request_.mask), request_.include_hidden,
                         request_.recurse, false};
    }

    void Search() {
        const WalkResult walk = WalkDirectory(request_.directory, Rules(), walk_visitor_);
        walk_finished_ = walk.finished;
        walk_code_ = walk.code;
    }

    // Each named path by its kind: a folder searched, a file found, anything else failed.
    void PublishNamed() {
        for (std::string& path : request_.paths) {
            if (Cancelled()) return;
            const NamedPath kind = ClassifyNamedPath(path);
            int code = NamedPathCode(kind);
            if (kind == NamedPath::kDirectory) {
                const WalkResult walk = WalkDirectory(path, Rules(), walk_visitor_);
                if (!walk.finished) return;
                code = walk.code;
            } else if (kind == NamedPath::kMp3File) {
                Found(std::move(path));
            }
            if (code != kDone) failures_.push_back({{std::move(path), code}, found_});
        }
        walk_finished_ = true;
    }

    void PublishPaths() {
        for (std::string& path : request_.paths) {
            if (Cancelled()) return;
            Found(std::move(path));
        }
        walk_finished_ = true;
    }

    // The walk's side of a search: its entries go to the readers, and before each listing,
    // which may block on a slow disk, the readers get what is found so far.
    class WalkSide : public WalkVisitor {
    public:
        explicit WalkSide(Run& run) : run_(run) {}
        bool Stopped() override { return run_.Cancelled(); }
        void BeforeListing(const std::string& directory) override {
            run_.HandOver();
            if (run_.options_.before_listing) run_.options_.before_listing(directory);
        }
        void Entry(std::string path) override { run_.Found(std::move(path)); }
        void TooLong() override { ++run_.too_long_; }

    private:
        Run& run_;
    };

    void Found(std::string path) {
        Slot slot;
        slot.found.path = std::move(path);
        slot.too_long_before = too_long_;
        pending_.push_back(std::move(slot));
        ++found_;
        if (pending_.size() >= kHandOver) HandOver();
    }

    void HandOver() {
        if (pending_.empty()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (Slot& slot : pending_) slots_.push_back(std::move(slot));
            files_found_.store(first_ + slots_.size(), std::memory_order_relaxed);
        }
        pending_.clear();
        wake_.notify_all();
    }

    // A reader: claims a few slots at a time, in order, until the walk has ended and every
    // slot is claimed, or the load is cancelled.
    void ReadSlots() {
        std::vector<Slot*> claimed;
        while (Claim(&claimed)) {
            for (Slot* slot : claimed) {
                if (Cancelled()) return;
                Read(*slot);
                files_read_.fetch_add(1, std::memory_order_relaxed);
            }
        }
    }

    // Marks the slots claimed before as read, then claims the next ones.
    bool Claim(std::vector<Slot*>* claimed) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (Slot* slot : *claimed) slot->read = true;
        if (!claimed->empty()) ready_.notify_all();
        claimed->clear();
        wake_.wait(lock, [this] { return Cancelled() || next_ < Handed() || walk_ended_; });
        if (Cancelled() || next_ == Handed()) return false;
        const std::size_t end = std::min(Handed(), next_ + kClaim);
        for (; next_ < end; ++next_) claimed->push_back(&slots_[next_ - first_]);
        return true;
    }
    // Slots handed to the readers so far, those taken from the front included; under the lock.
    std::size_t Handed() const { return first_ + slots_.size(); }

    // The keep test, then the read of a ".mp3" file, then the LoadMode test.
    void Read(Slot& slot) {
        const std::string& path = slot.found.path;
        slot.done = true;
        if (request_.keep && !request_.keep(path)) return;
        int tagged = 0;
        if (TTagList::IsMp3Path(path)) {
            if (options_.before_read) options_.before_read(path);
            tagged = ReadTagPresence(path, &slot.found.tail,
                                     options_.read_head ? &slot.found.head : nullptr);
            slot.found.tail_read = true;
        }
        slot.passes = LoadModeTakes(request_.load_mode, tagged != 0);
    }

    // The result from the slots read without a gap from the first that TakeReady left: after
    // a cancel some later slots may be read while an earlier one is not.
    void Assemble() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t cut = 0;
        while (cut < slots_.size() && slots_[cut].done) ++cut;
        result_.complete = walk_finished_ && cut == slots_.size();
        result_.paths_too_long = cut < slots_.size() ? slots_[cut].too_long_before : too_long_;
        result_.files.reserve(cut);
        for (std::size_t i = 0; i < cut; ++i) {
            if (slots_[i].passes) result_.files.push_back(std::move(slots_[i].found));
        }
        // A failure stands after the files found before it: it is kept when they all are.
        for (PlacedFailure& placed : failures_)
            if (placed.position <= first_ + cut)
                result_.failures.push_back(std::move(placed.failure));
        slots_.clear();
        // The walk's code, but a cut load speaks of its own part only.
        if (!request_.search) {
            result_.code = kDone;
        } else if (walk_code_ == kInvalidArgument || walk_code_ == kCannotEnumerate) {
            result_.code = walk_code_;
        } else {
            result_.code = result_.paths_too_long > 0 ? kPathsTooLong : kDone;
        }
    }

    LoadRequest request_;  // the walk takes its paths over
    const LoadOptions options_;

    // The walk's own.
    WalkSide walk_visitor_;
    std::vector<Slot> pending_;
    std::size_t found_ = 0;
    std::vector<PlacedFailure> failures_;
    int too_long_ = 0;
    int walk_code_ = kDone;
    bool walk_finished_ = false;
    std::vector<std::thread> readers_;

    // Shared, under mutex_: a deque keeps the claimed slots in place while the walk adds.
    std::mutex mutex_;
    std::condition_variable wake_;
    // The owner's wait for files to take or for the end.
    std::condition_variable ready_;
    std::deque<Slot> slots_;
    // Slots TakeReady took from the front; next_ counts from the first slot of the load.
    std::size_t first_ = 0;
    std::size_t next_ = 0;
    bool walk_ended_ = false;

    std::atomic<bool> cancelled_{false};
    std::atomic<bool> done_{false};
    // Each on a cache line of its own: the readers count on one, the walk on the other.
    alignas(64) std::atomic<std::size_t> files_read_{0};
    alignas(64) std::atomic<std::size_t> files_found_{0};

    // Written by the walk's thread before done_, read by the owner after it has joined.
    LoadResult result_;
};

int DefaultReaderCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 8u));
}

LoadRequest LoadRequest::Directory(std::string directory, std::optional<std::string> mask,
                                   bool include_hidden, bool recurse, LoadMode load_mode) {
    LoadRequest request;
    request.search = true;
    request.directory = std::move(directory);
    request.mask = std::move(mask);
    request.include_hidden = include_hidden;
    request.recurse = recurse;
    request.load_mode = load_mode;
    return request;
}

LoadRequest LoadRequest::Named(std::vector<std::string> paths, std::optional<std::string> mask,
                               bool include_hidden, bool recurse, LoadMode load_mode) {
    LoadRequest request = Directory({}, std::move(mask), include_hidden, recurse, load_mode);
    request.search = false;
    request.named = true;
    request.paths = std::move(paths);
    return request;
}

LoadRequest LoadRequest::Paths(std::vector<std::string> paths, LoadMode load_mode,
                               bool (*keep)(const std::string& path)) {
    LoadRequest request;
    request.paths = std::move(paths);
    request.load_mode = load_mode;
    request.keep = keep;
    return request;
}

LoadJob::LoadJob(LoadRequest request, LoadOptions options)
    : run_(std::make_shared<Run>(std::move(request), std::move(options))) {}

LoadJob::~LoadJob() {
    Cancel();
    Wait();
}

void LoadJob::Start() {
    if (started_) return;
    started_ = true;
    try {
        walker_ = std::thread([run = run_] { run->Execute(); });
    } catch (const std::system_error&) {
        run_->Execute();
    }
}

LoadProgress LoadJob::Progress() const { return run_->Progress(); }

void LoadJob::TakeReady(std::vector<FoundFile>* out) { run_->TakeReady(out); }

bool LoadJob::WaitForReady(std::chrono::milliseconds timeout) {
    return !started_ || run_->AwaitReady(timeout);
}

void LoadJob::Cancel() { run_->Cancel(); }

bool LoadJob::IsDone() const { return run_->IsDone(); }

void LoadJob::Wait() {
    if (walker_.joinable()) walker_.join();
}

bool LoadJob::WaitFor(std::chrono::milliseconds timeout) {
    if (!walker_.joinable()) return true;
    if (!run_->AwaitDone(timeout)) return false;
    Wait();
    return true;
}

void LoadJob::Abandon() {
    Cancel();
    if (walker_.joinable()) walker_.detach();
    abandoned_ = true;
}

LoadResult LoadJob::TakeResult() {
    if (abandoned_) return {};
    Wait();
    return run_->TakeResult();
}

LoadResult RunLoad(LoadRequest request, LoadOptions options) {
    LoadJob job(std::move(request), std::move(options));
    job.Start();
    return job.TakeResult();
}

int AddFoundFiles(TTagList& list, const std::vector<FoundFile>& files) {
    return AddFoundFiles(list, files.begin(), files.end());
}

int AddFoundFiles(TTagList& list, std::vector<FoundFile>::const_iterator first,
                  std::vector<FoundFile>::const_iterator last) {
    int tagged = 0;
    for (; first != last; ++first) {
        tagged += first->tail_read ? list.AddRead(first->path, first->tail, first->head)
                                   : list.Add(first->path);
    }
    return tagged;
}

}  // namespace ambrel
