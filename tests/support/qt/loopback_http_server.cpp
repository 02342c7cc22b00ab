#include "support/qt/loopback_http_server.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QtGlobal>
#include <algorithm>
#include <memory>

namespace ambrel::test {

namespace {

QByteArray StatusLine(int status) {
    const char* reason = status == 200   ? "OK"
                         : status == 404 ? "Not Found"
                         : status < 300  ? "Success"
                         : status < 400  ? "Moved"
                                         : "Error";
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
}

// An endless body is written a piece at a time, whenever the socket's queue runs low, so
// that the server itself holds only this much of it.
constexpr qint64 kEndlessQueue = 256 * 1024;

// The path of a request line "GET /path HTTP/1.1".
QByteArray RequestedPath(const QByteArray& head) {
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    return words.size() >= 2 ? words[1] : QByteArray();
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    if (!server_.listen(QHostAddress::LocalHost, 0))
        qFatal("the test server cannot listen: %s", qPrintable(server_.errorString()));
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { Accept(); });
}

QString LoopbackHttpServer::Address() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

void LoopbackHttpServer::Serve(const QByteArray& path, Resource resource) {
    resources_[path] = std::move(resource);
}

void LoopbackHttpServer::Serve(const QByteArray& path, const QByteArray& body) {
    Resource resource;
    resource.body = body;
    Serve(path, std::move(resource));
}

qint64 LoopbackHttpServer::BodyBytesSent(const QByteArray& path) const {
    const auto found = body_bytes_sent_.find(path);
    return found == body_bytes_sent_.end() ? 0 : found->second;
}

int LoopbackHttpServer::Requests(const QByteArray& prefix) const {
    int count = 0;
    for (const auto& [path, n] : requests_)
        if (path.startsWith(prefix)) count += n;
    return count;
}

void LoopbackHttpServer::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++connections_;
        auto head = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
            if (head->endsWith("\r\n\r\n")) return;  // answered already
            head->append(socket->readAll());
            if (head->contains("\r\n\r\n")) {
                head->truncate(head->indexOf("\r\n\r\n") + 4);
                Answer(socket, RequestedPath(*head));
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LoopbackHttpServer::Answer(QTcpSocket* socket, const QByteArray& path) {
    ++requests_[path];
    const auto found = resources_.find(path);
    Resource resource;
    if (found != resources_.end())
        resource = found->second;
    else
        resource.status = 404;
    QByteArray answer = StatusLine(resource.status);
    if (!resource.location.isEmpty()) answer += "Location: " + resource.location + "\r\n";
    if (resource.ending != Ending::kNoLength && resource.ending != Ending::kEndless)
        answer += "Content-Length: " + QByteArray::number(resource.body.size()) + "\r\n";
    for (const QByteArray& line : resource.headers) answer += line + "\r\n";
    answer += "Connection: close\r\n\r\n";
    socket->write(answer);
    if (resource.ending == Ending::kEndless) return SendEndlessly(socket, path, resource.body);
    const bool halfway =
        resource.ending == Ending::kStall || resource.ending == Ending::kCloseMidway;
    const QByteArray body = halfway ? resource.body.left(resource.body.size() / 2) : resource.body;
    socket->write(body);
    body_bytes_sent_[path] += body.size();
    // A stalled answer keeps its connection open until the client gives up or the server
    // goes; every other one is closed once written.
    if (resource.ending != Ending::kStall) socket->disconnectFromHost();
}

void LoopbackHttpServer::SendEndlessly(QTcpSocket* socket, const QByteArray& path,
                                       const QByteArray& body) {
    // The body repeated to some 64 KiB, so that each write is a sizeable one.
    const QByteArray unit = body.isEmpty() ? QByteArray("x") : body;
    const QByteArray piece = unit.repeated(std::max<qsizetype>(1, 64 * 1024 / unit.size()));
    const auto top_up = [this, socket, path, piece] {
        if (socket->state() != QAbstractSocket::ConnectedState) return;
        while (socket->bytesToWrite() < kEndlessQueue) {
            socket->write(piece);
            body_bytes_sent_[path] += piece.size();
        }
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, top_up);
    top_up();
}

}  // namespace ambrel::test
