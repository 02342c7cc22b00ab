#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/process_view.h"

namespace ambrel::test {

// A progress bar held in memory; keeps every position it was given, in order.
class MemoryProgressBar : public ProgressBar {
public:
    void SetMaximum(long long value) override { maximum = value; }
    void SetPosition(long long value) override {
        position = value;
        positions.push_back(value);
    }

    long long maximum = 0;
    long long position = 0;
    std::vector<long long> positions;
};

// A progress bar that acts once, at the first position past 0, that is after the copy's
// first step: another program at work on the file while the copy runs.
class ActingProgressBar : public ProgressBar {
public:
    explicit ActingProgressBar(std::function<void()> act) : act_(std::move(act)) {}
    void SetMaximum(long long) override {}
    void SetPosition(long long value) override {
        if (value > 0 && act_) std::exchange(act_, nullptr)();
    }
    bool acted() const { return !act_; }

private:
    std::function<void()> act_;
};

// The process dialog held in memory: ShowModal runs at once and notes whether the dialog
// would have closed by itself.
class MemoryProcessView : public ProcessView {
public:
    struct Line {
        std::string text;
        bool red = false;
        bool operator==(const Line& other) const { return text == other.text && red == other.red; }
    };

    void ShowModal(const std::function<int()>& run) override {
        ++shows;
        if (!run) return;
        ++runs;
        closes_by_itself = run() != 0;
    }
    void SetCaption(const std::string& text) override { caption = text; }
    void SetFromLabel(const std::string& text) override { from_label = text; }
    void SetSource(const std::string& path) override { sources.push_back(path); }
    void SetDestination(const std::string& path) override { destination = path; }
    ProgressBar& CurrentFileBar() override { return current; }
    ProgressBar& AllFilesBar() override { return overall; }
    void ClearErrors() override { errors.clear(); }
    void AppendError(const std::string& path, const std::string& message) override {
        errors.push_back({path, false});
        errors.push_back({message, true});
    }
    void SetCloseEnabled(bool enabled) override { close_states.push_back(enabled); }
    void ProcessEventsOnce() override { ++events_processed; }

    std::string caption = "Copy/Move files";
    std::string from_label = "Copying/Moving:";
    std::string destination;
    std::vector<std::string> sources;  // every path put in hand, in order
    MemoryProgressBar current, overall;
    std::vector<Line> errors;
    std::vector<bool> close_states;  // every state given to the close button, in order
    int events_processed = 0;
    int shows = 0;
    int runs = 0;
    bool closes_by_itself = false;
};

// The process dialog in memory, with a current file's bar that acts once.
class ActingProcessView : public MemoryProcessView {
public:
    explicit ActingProcessView(std::function<void()> act) : bar(std::move(act)) {}
    ProgressBar& CurrentFileBar() override { return bar; }

    ActingProgressBar bar;
};

}  // namespace ambrel::test
