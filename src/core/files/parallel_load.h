#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "files/file_viewer.h"
#include "tag/tag_file.h"

namespace ambrel {

class TTagList;

// One path a load found, with the file's last 128 bytes when it was read: handing those
// bytes on to the tag list (TTagList::AddRead) spares a second read of the same file.
struct FoundFile {
    std::string path;
    // True when the load read the file's end; tail then holds the bytes, or is absent
    // when the file could not be read or is shorter than 128 bytes.
    bool tail_read = false;
    // What the same read found of the ID3v2 header, when the load was asked to look
    // (LoadOptions::read_head).
    Id3v2Head head;
    std::optional<TagBlock> tail;
};

// A path of a load that could not be taken, with its result code.
struct PathFailure {
    std::string path;
    int code;
};

// What a load reads: a directory searched by WalkDirectory's rules, as SearchFiles searches
// it (without directory entries), a given list of paths, or files and folders named from
// outside the windows; each file taken by the LoadMode test.
struct LoadRequest {
    // The search of "Load directory" with the mask, hidden-file and recursion settings.
    static LoadRequest Directory(std::string directory, std::optional<std::string> mask,
                                 bool include_hidden, bool recurse, LoadMode load_mode);
    // A list of paths in their order ("Load selected files", a drop). A path stays when
    // keep (run on a load thread: it may touch the file system) holds for it, or when
    // there is no keep, and when it passes the LoadMode test. "Load selected files" keeps
    // paths::FileExists, as FilterFileList does.
    static LoadRequest Paths(std::vector<std::string> paths, LoadMode load_mode,
                             bool (*keep)(const std::string& path) = nullptr);
    // Files and folders in their order (the command line's, the program's start paths): a
    // folder is searched as Directory searches, with these rules, and what it finds stands
    // at its place; a path that is no folder stays when it exists and the tag list takes it
    // (TTagList::IsMp3Path) and is a regular file. Each path that cannot be taken is a
    // failure, in path order: 50 no such path, 58 a path too long for the system, 80 a file
    // the tag list does not take (kNotMp3File), 83 a FIFO, device or socket, or a folder
    // search's own code (10, 58, 60) after what it found (files/named_path.h). Every look at a
    // path is made on a load thread.
    static LoadRequest Named(std::vector<std::string> paths, std::optional<std::string> mask,
                             bool include_hidden, bool recurse, LoadMode load_mode);

    bool search = false;
    bool named = false;
    std::string directory;
    std::optional<std::string> mask;
    bool include_hidden = true;
    bool recurse = true;
    std::vector<std::string> paths;
    bool (*keep)(const std::string& path) = nullptr;
    LoadMode load_mode = LoadMode::kAll;
};

struct LoadOptions {
    // Threads reading files; 0 gives DefaultReaderCount().
    int readers = 0;
    // Whether each ".mp3" file's first bytes are read too, in the same open as its end, for
    // its ID3v2 header (FoundFile::head). Without it a load reads only the end.
    bool read_head = false;
    // Called once on a load thread when the result is ready, e.g. to post an event to a
    // window. It must not wait for the thread that owns the job.
    std::function<void()> on_finished;
    // Called on a load thread before each ".mp3" file is read and before each directory is
    // listed, so a test can hold a load at a chosen point or change the tree under it.
    std::function<void(const std::string& path)> before_read;
    std::function<void(const std::string& path)> before_listing;
};

// What a load gives the tag list, exactly what SearchFiles (or FilterFileList) followed by
// the tag list's reads would have given.
struct LoadResult {
    // In load order. Every ".mp3" path comes with the file's last 128 bytes (tail_read set;
    // tail absent when the file could not be read or is shorter), and its head when asked;
    // other paths were not opened. AddFoundFiles hands them to the tag list.
    std::vector<FoundFile> files;
    // SearchFiles' code for a directory (1, 10, 58 or 60); 1 for a list of paths and for
    // named paths, whose codes are the failures'.
    int code = 1;
    int paths_too_long = 0;
    // The named paths that could not be taken (LoadRequest::Named), in path order.
    std::vector<PathFailure> failures;
    // False when the load was cancelled before its end: files are then the start, in order,
    // of what the whole load gives, and code, paths_too_long and failures speak of that part
    // only. A load cancelled before its directory was listed gives no file and 1.
    bool complete = true;
};

struct LoadProgress {
    std::size_t files_read = 0;
    // Files the walk has handed to the readers so far.
    std::size_t files_found = 0;
    bool done = false;
};

// Threads a load may read files on: one per core, at least 1 and at most 8.
int DefaultReaderCount();

// One load, run on threads of its own: the directory walk on one, the file reads on
// DefaultReaderCount() more, fed by the walk as it goes. The caller never waits on the file
// system: Start, Progress, Cancel and IsDone return at once, whatever the disk does.
// Progress, Cancel and IsDone may be called from any thread; the rest from the owner's.
class LoadJob {
public:
    explicit LoadJob(LoadRequest request, LoadOptions options = {});
    // Cancels a load still running and waits for its threads.
    ~LoadJob();
    LoadJob(const LoadJob&) = delete;
    LoadJob& operator=(const LoadJob&) = delete;

    // Starts the load and returns; a second call does nothing. Where the system cannot
    // start a thread the load runs here, to its end.
    void Start();
    LoadProgress Progress() const;
    // Moves the files read so far from the start of the load on, in order and as the
    // LoadMode test keeps them, to the end of out, and lets go of them; the load goes on.
    // A caller that takes them as they come holds no more than the files read and not yet
    // taken, and TakeResult gives only the files not taken before.
    void TakeReady(std::vector<FoundFile>* out);
    // Waits at most timeout until TakeReady has files to give or the load has ended; true
    // then.
    bool WaitForReady(std::chrono::milliseconds timeout);
    // Asks the load to stop soon; it keeps the files read so far in order.
    void Cancel();
    bool IsDone() const;
    // Waits until the load has ended.
    void Wait();
    // Waits at most timeout for the load to end; true when it has (or was never started).
    bool WaitFor(std::chrono::milliseconds timeout);
    // Cancels the load and lets its threads end by themselves, whatever holds them (a read
    // from a dead network mount): the job can go at once, and the load's own state goes when
    // its last thread ends. on_finished is still called then.
    void Abandon();
    // Waits, then hands the result over; later calls, an abandoned job and a job never
    // started give an empty result.
    LoadResult TakeResult();

private:
    class Run;
    // Shared with the walk's thread, which keeps it alive after an Abandon.
    std::shared_ptr<Run> run_;
    std::thread walker_;
    bool started_ = false;
    bool abandoned_ = false;
};

// Runs a load to its end on its threads and returns its result, for a caller that may wait.
LoadResult RunLoad(LoadRequest request, LoadOptions options = {});

// Adds the files to the tag list in their order, taking over the bytes already read, so no
// file is read twice; returns how many of the added files have a tag.
int AddFoundFiles(TTagList& list, const std::vector<FoundFile>& files);
// The same for the files from first up to last.
int AddFoundFiles(TTagList& list, std::vector<FoundFile>::const_iterator first,
                  std::vector<FoundFile>::const_iterator last);

}  // namespace ambrel
