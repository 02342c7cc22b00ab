#include "support/qt/loopback_http_server.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QtGlobal>
#include <memory>

namespace ambrel::test {

namespace {

QByteArray StatusLine(int status) {
    const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Moved";
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
}

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
    if (resource.ending != Ending::kNoLength)
        answer += "Content-Length: " + QByteArray::number(resource.body.size()) + "\r\n";
    answer += "Connection: close\r\n\r\n";
    const bool halfway =
        resource.ending == Ending::kStall || resource.ending == Ending::kCloseMidway;
    answer += halfway ? resource.body.left(resource.body.size() / 2) : resource.body;
    socket->write(answer);
    // A stalled answer keeps its connection open until the client gives up or the server
    // goes; every other one is closed once written.
    if (resource.ending != Ending::kStall) socket->disconnectFromHost();
}

}  // namespace ambrel::test
