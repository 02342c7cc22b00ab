#pragma once

#include <set>
#include <string>
#include <vector>

namespace ambrel {

class ProcessView;
class TErrorLog;
class TFileViewer;

// The work of the process dialog: a run over a list of paths that copies, moves or deletes
// each file, fills one result code per path, and shows the progress and the failures in a
// ProcessView. A failing file never stops a run; it is listed, and the next one follows.
class TProcessRun {
public:
    // Captions and "From" labels of the three kinds of run.
    static constexpr char kCopyingCaption[] = "Copying files process dialog";
    static constexpr char kMovingCaption[] = "Moving files process dialog";
    static constexpr char kDeletingCaption[] = "Deleting files process dialog";
    static constexpr char kCopyingLabel[] = "Copying:";
    static constexpr char kMovingLabel[] = "Moving:";
    static constexpr char kDeletingLabel[] = "Deleting:";

    TProcessRun(TFileViewer& viewer, TErrorLog& errors, ProcessView& view);

    // Copies (keep_source) or moves every path into the viewer's current directory with
    // TFileViewer::CopyOrMoveFile. The current file's bar follows each file in whole KiB; the
    // overall bar's maximum is the sum of every file's size in whole KiB (file by file, so a
    // file under 1 KiB adds nothing) and it advances by each file's share. A move never
    // replaces a file that the same run has put in place (51), whatever that file's result:
    // its source is gone, or has changed, and the copy may be the only one of its data.
    // results gets one code per path. 1 when every file gave 1, else 0.
    int RunCopyMove(const std::vector<std::string>& paths, bool keep_source,
                    std::vector<int>* results);
    // Deletes every path with TFileViewer::DeleteOneFile; the overall bar counts files.
    // 1 when every file gave 1, else 0.
    int RunDelete(const std::vector<std::string>& paths, std::vector<int>* results);

private:
    // One copy or move; the file name goes into placed when a new file stands at the target
    // afterwards.
    int CopyOrMoveOne(const std::string& path, bool keep_source, std::set<std::string>* placed);
    void Begin(const char* caption, const char* label);
    // Lists a failed path with the error table's line for its code.
    void ListFailure(const std::string& path, int code);

    TFileViewer& viewer_;
    TErrorLog& errors_;
    ProcessView& view_;
};

}  // namespace ambrel
