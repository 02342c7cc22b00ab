#pragma once

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace ambrel::test {

// An HTTP server on 127.0.0.1 that runs on a thread of its own and answers every request
// with 200 and a body that never ends (no length given), sent as fast as the client's
// connection takes it. Unlike LoopbackHttpServer it goes on sending while the test's own
// thread is busy, so a client that keeps whatever arrives before it is read shows it:
// the server then gets ever further ahead of what the client has read.
class FloodHttpServer {
public:
    FloodHttpServer();
    ~FloodHttpServer();
    FloodHttpServer(const FloodHttpServer&) = delete;
    FloodHttpServer& operator=(const FloodHttpServer&) = delete;

    // "http://127.0.0.1:port", without a trailing '/'.
    QString Address() const;
    // Body bytes handed to the connection so far, over all answers.
    std::int64_t Sent() const { return sent_.load(); }
    // Waits until Sent() reaches bytes, or at most for timeout_ms when the client holds
    // the server back; true when it was reached.
    bool WaitUntilSent(std::int64_t bytes, int timeout_ms);

private:
    void Run();
    void Answer(int connection);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> connection_{-1};
    std::atomic<bool> stopping_{false};
    std::atomic<std::int64_t> sent_{0};
    std::mutex mutex_;
    std::condition_variable progress_;
    std::thread thread_;
};

}  // namespace ambrel::test
