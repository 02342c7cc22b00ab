#pragma once

#include <unistd.h>

namespace ambrel {

// A file or directory descriptor that is closed when it goes, unless Close took it first.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded: a write-back error of a network or
    // full file system may only show here. On Linux a close is never retried.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

}  // namespace ambrel
