#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>

namespace ambrel::test {

// Holds the load thread that reaches the chosen path (a load hook's argument) until the test
// releases it, as a read from a slow or dead disk would.
class Gate {
public:
    explicit Gate(std::string path) : path_(std::move(path)) {}
    void At(const std::string& path) {
        if (path != path_) return;
        std::unique_lock<std::mutex> lock(mutex_);
        reached_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
    }
    void AwaitReached() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return reached_; });
    }
    bool Reached() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reached_;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::string path_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool reached_ = false;
    bool released_ = false;
};

}  // namespace ambrel::test
