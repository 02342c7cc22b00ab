#include "ui/update/downloader.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "ui/common/qt_text.h"
#include "update/update_server.h"

namespace ambrel::ui {

Downloader::Downloader(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)) {}

bool Downloader::IsPermitted(const QUrl& url) {
    return url.isValid() && update::IsPermittedAddress(FromQ(url.scheme()), FromQ(url.host()));
}

void Downloader::Cancel() {
    if (cancel_) cancel_();
}

Downloader::Outcome Downloader::Fetch(const QUrl& url, QIODevice* sink, qint64 max_bytes) {
    if (Busy() || !IsPermitted(url)) return Outcome::kFailed;
    QNetworkRequest request(url);
    // Every redirect is looked at before it is followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = manager_->get(request);

    Outcome outcome = Outcome::kDone;
    qint64 received = 0;
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
        const QByteArray data = reply->readAll();
        received += data.size();
        if (received > max_bytes || sink->write(data) != data.size()) stop(Outcome::kFailed);
    };
    connect(reply, &QNetworkReply::redirected, &loop, [&](const QUrl& target) {
        if (target.scheme() != url.scheme() || !IsPermitted(target)) return stop(Outcome::kFailed);
        stall.start();
        emit reply->redirectAllowed();
    });
    connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > max_bytes) stop(Outcome::kFailed);
    });
    connect(reply, &QNetworkReply::readyRead, &loop, take);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&stall, &QTimer::timeout, &loop, [&] { stop(Outcome::kFailed); });

    cancel_ = [&] { stop(Outcome::kCancelled); };
    stall.start();
    if (!reply->isFinished()) loop.exec();
    cancel_ = nullptr;
    if (outcome == Outcome::kDone && reply->bytesAvailable() > 0) take();
    if (outcome == Outcome::kDone && reply->error() != QNetworkReply::NoError)
        outcome = Outcome::kFailed;
    reply->deleteLater();
    return outcome;
}

}  // namespace ambrel::ui
