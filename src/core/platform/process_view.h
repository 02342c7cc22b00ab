#pragma once

#include <functional>
#include <string>

namespace ambrel {

// A progress bar: a position between 0 and a maximum. The file operations count in whole
// KiB, so the values stay small enough for any toolkit's bar.
class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual void SetMaximum(long long maximum) = 0;
    virtual void SetPosition(long long position) = 0;
};

// The process dialog of the file viewer's copy, move and delete commands, as the core sees
// it: a caption, the "From" and destination labels, the path in hand, a bar for the current
// file and one for all files, an error list and a close button. The Qt layer implements it
// over the dialog window; tests use an in-memory one.
class ProcessView {
public:
    virtual ~ProcessView() = default;

    // Shows the dialog modally and calls run once the dialog is up; returns when the dialog
    // has closed. A run that returns non-zero lets the dialog close by itself as soon as it
    // has painted; after one that returns 0 it stays open until the user closes it. An
    // empty run runs nothing and leaves that choice as the previous run made it.
    virtual void ShowModal(const std::function<int()>& run) = 0;

    virtual void SetCaption(const std::string& caption) = 0;
    // The bold label before the path in hand: "Copying:", "Moving:" or "Deleting:".
    virtual void SetFromLabel(const std::string& text) = 0;
    virtual void SetSource(const std::string& path) = 0;
    virtual void SetDestination(const std::string& path) = 0;
    virtual ProgressBar& CurrentFileBar() = 0;
    virtual ProgressBar& AllFilesBar() = 0;

    virtual void ClearErrors() = 0;
    // Appends one error entry: a line with the failed path, then a line with the message,
    // the message in red.
    virtual void AppendError(const std::string& path, const std::string& message) = 0;
    virtual void SetCloseEnabled(bool enabled) = 0;
    // Lets the user interface handle its pending events once, so the dialog paints before
    // a run that does not return to the event loop until it ends.
    virtual void ProcessEventsOnce() = 0;
};

}  // namespace ambrel
