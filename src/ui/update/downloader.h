#pragma once

#include <QObject>
#include <functional>

class QIODevice;
class QNetworkAccessManager;
class QUrl;

namespace ambrel::ui {

// Fetches one web address at a time into a device. Each fetch waits in a local event loop,
// so the windows keep painting and answering (a dialog can be closed to cancel). Only
// permitted addresses are fetched: HTTPS, or plain HTTP to the loopback host; a redirect
// must keep both rules and its scheme.
class Downloader : public QObject {
public:
    enum class Outcome { kDone, kFailed, kCancelled };

    // How long a download may go without receiving anything before it fails.
    static constexpr int kStallTimeoutMs = 30000;

    explicit Downloader(QObject* parent = nullptr);

    // Writes the body of url into sink. Fails on any network or HTTP error, a refused
    // address or redirect, a body longer than max_bytes, a write to the sink that fails,
    // or a stall; kCancelled when Cancel ended it. A fetch while one runs fails at once.
    Outcome Fetch(const QUrl& url, QIODevice* sink, qint64 max_bytes);
    // Ends the running fetch, if any, with kCancelled.
    void Cancel();
    bool Busy() const { return static_cast<bool>(cancel_); }
    // Tests shorten the stall timeout rather than wait for it.
    void SetStallTimeout(int milliseconds) { stall_timeout_ms_ = milliseconds; }

    static bool IsPermitted(const QUrl& url);

private:
    QNetworkAccessManager* manager_;
    std::function<void()> cancel_;
    int stall_timeout_ms_ = kStallTimeoutMs;
};

}  // namespace ambrel::ui
