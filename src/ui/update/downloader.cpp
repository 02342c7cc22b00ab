#include "ui/update/downloader.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "ui/common/qt_text.h"
#include "update/update_server.h"

namespace ambrel::ui {

namespace {

constexpr int kHttpOk = 200;

int StatusOf(const QNetworkReply& reply) {
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// The answers that send the client elsewhere, as long as they say where.
bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

Downloader::Downloader(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)) {}

bool Downloader::IsPermitted(const QUrl& url) {
    return url.isValid() && update::IsPermittedAddress(FromQ(url.scheme()), FromQ(url.host()));
}

void Downloader::Cancel() {
    if (cancel_) cancel_();
}

bool Downloader::IsWhole(const QNetworkReply& reply, qint64 received, Body body) {
    if (reply.error() != QNetworkReply::NoError || StatusOf(reply) != kHttpOk) return false;
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != received) return false;
    return received > 0 || body == Body::kMayBeEmpty;
}

Downloader::Outcome Downloader::Fetch(const QUrl& url, QIODevice* sink, qint64 max_bytes,
                                      Body body) {
    if (Busy() || !IsPermitted(url)) return Outcome::kFailed;
    QUrl target = url;
    for (int redirects = 0;; ++redirects) {
        QUrl next;
        const Outcome outcome = FetchOnce(target, sink, max_bytes, body, &next);
        if (outcome != Outcome::kDone || next.isEmpty()) return outcome;
        // A redirect keeps the scheme it started with and the rules of every address.
        if (redirects == kMaxRedirects || next.scheme() != url.scheme() || !IsPermitted(next))
            return Outcome::kFailed;
        target = next;
    }
}

Downloader::Outcome Downloader::FetchOnce(const QUrl& url, QIODevice* sink, qint64 max_bytes,
                                          Body body, QUrl* redirect) {
    QNetworkRequest request(url);
    // Redirects are followed here, one request each, where they are counted and checked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // The body is stored as sent and measured against its Content-Length: nothing for Qt
    // to unpack on the way.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply* reply = manager_->get(request);
    // Qt stops reading from the network while this much waits unread, so a body that
    // arrives faster than the sink takes it waits in the network, not in memory.
    reply->setReadBufferSize(kReadBufferBytes);

    Outcome outcome = Outcome::kDone;
    qint64 received = 0;
    QByteArray piece(kReadBufferBytes, Qt::Uninitialized);
    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(stall_timeout_ms_);
    const auto stop = [&](Outcome why) {
        if (outcome == Outcome::kDone) outcome = why;
        reply->abort();
    };
    const auto take = [&] {
        stall.start();
        while (outcome == Outcome::kDone && reply->bytesAvailable() > 0) {
            // One byte past the limit tells that it was passed; that byte is not written.
            const qint64 wanted = std::min<qint64>(piece.size(), max_bytes - received + 1);
            const qint64 got = reply->read(piece.data(), wanted);
            if (got <= 0) break;
            received += got;
            if (received > max_bytes || sink->write(piece.constData(), got) != got)
                stop(Outcome::kFailed);
        }
    };
    // The head decides before any of the body is taken: a redirect's body is dropped, and
    // an answer other than 200 fails at once.
    connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const int status = StatusOf(*reply);
        // Raw, for Qt's typed header drops a Location relative to the address asked.
        const QByteArray location = reply->rawHeader("Location");
        if (IsRedirect(status) && !location.isEmpty()) {
            *redirect = url.resolved(QUrl::fromEncoded(location, QUrl::StrictMode));
            return reply->abort();
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (status != kHttpOk || (length.isValid() && length.toLongLong() > max_bytes))
            stop(Outcome::kFailed);
    });
    connect(reply, &QNetworkReply::readyRead, &loop, take);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&stall, &QTimer::timeout, &loop, [&] { stop(Outcome::kFailed); });

    cancel_ = [&] { stop(Outcome::kCancelled); };
    stall.start();
    if (!reply->isFinished()) loop.exec();
    cancel_ = nullptr;
    if (outcome == Outcome::kDone && redirect->isEmpty()) {
        take();
        if (outcome == Outcome::kDone && !IsWhole(*reply, received, body))
            outcome = Outcome::kFailed;
    }
    reply->deleteLater();
    return outcome;
}

}  // namespace ambrel::ui
