#pragma once

#include <QObject>
#include <functional>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

namespace ambrel::ui {

// Fetches one web address at a time into a device. Each fetch waits in a local event loop,
// so the windows keep painting and answering (a dialog can be closed to cancel). Only
// permitted addresses are fetched: HTTPS, or plain HTTP to the loopback host; a redirect
// must keep both rules and its scheme. The body goes to the device as it arrives, a bounded
// piece at a time, so a server that never ends its body costs no memory.
class Downloader : public QObject {
public:
    enum class Outcome { kDone, kFailed, kCancelled };
    // Whether an empty body is a whole answer (an empty text file) or none at all (an
    // installer).
    enum class Body { kMayBeEmpty, kNotEmpty };

    // How long a download may go without receiving anything before it fails.
    static constexpr int kStallTimeoutMs = 30000;
    // Redirects followed before a fetch fails, so that a loop ends.
    static constexpr int kMaxRedirects = 5;
    // The most of a body that waits in memory between the network and the device.
    static constexpr qint64 kReadBufferBytes = 64 * 1024;

    explicit Downloader(QObject* parent = nullptr);

    // Writes the body of url into sink. Done only for a final "200 OK" answer, after at most
    // kMaxRedirects permitted redirects, whose body arrived whole: as long as its
    // Content-Length when one is given, and not empty unless body allows it. Fails on any
    // other answer, a network error, a refused address or redirect, a body longer than
    // max_bytes (of which no more than max_bytes reaches the sink), a write to the sink
    // that fails, or a stall; kCancelled when Cancel ended it. On failure the sink may hold
    // part of the body: the caller discards it. A fetch while one runs fails at once.
    Outcome Fetch(const QUrl& url, QIODevice* sink, qint64 max_bytes,
                  Body body = Body::kMayBeEmpty);
    // Ends the running fetch, if any, with kCancelled.
    void Cancel();
    bool Busy() const { return static_cast<bool>(cancel_); }
    // Tests shorten the stall timeout rather than wait for it.
    void SetStallTimeout(int milliseconds) { stall_timeout_ms_ = milliseconds; }

    static bool IsPermitted(const QUrl& url);

private:
    // One request: the body of a 200 answer goes to sink; a redirect puts its target in
    // redirect (absolute) and is done, with nothing written.
    Outcome FetchOnce(const QUrl& url, QIODevice* sink, qint64 max_bytes, Body body,
                      QUrl* redirect);
    // Whether the finished reply is the whole answer wanted, received bytes long.
    static bool IsWhole(const QNetworkReply& reply, qint64 received, Body body);

    QNetworkAccessManager* manager_;
    std::function<void()> cancel_;
    int stall_timeout_ms_ = kStallTimeoutMs;
};

}  // namespace ambrel::ui
