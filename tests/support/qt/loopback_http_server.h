#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <map>

namespace ambrel::test {

// A small HTTP server on 127.0.0.1 (a free port) for tests that fetch from a server. It
// runs on the test's own thread: it answers whenever the event loop runs, which a download
// waiting in its own event loop does. Each answer closes its connection.
class LoopbackHttpServer {
public:
    // How an answer ends: all of it; half the body and then silence with the connection
    // kept open; half the body and then the connection closed; the whole body with no
    // length given, ended by closing the connection; or, with no length given either, the
    // body over and over without end, as fast as the client takes it, until the client
    // goes.
    enum class Ending { kWhole, kStall, kCloseMidway, kNoLength, kEndless };
    struct Resource {
        QByteArray body;
        int status = 200;
        Ending ending = Ending::kWhole;
        QByteArray location;  // sent as the Location of a redirect when not empty
        // Further header lines, each sent as given ("Name: value"), after the others.
        QList<QByteArray> headers;
    };

    LoopbackHttpServer();

    quint16 Port() const { return server_.serverPort(); }
    // "http://127.0.0.1:port", without a trailing '/'.
    QString Address() const;
    // Answers GET requests for the path (as sent: "/data/x.txt"); other paths get 404.
    void Serve(const QByteArray& path, Resource resource);
    void Serve(const QByteArray& path, const QByteArray& body);
    // How many requests came for paths that begin with the prefix.
    int Requests(const QByteArray& prefix) const;
    // How many connections were opened, whether or not a request came over them.
    int Connections() const { return connections_; }
    // How many bytes of body were written for the path, over all its answers.
    qint64 BodyBytesSent(const QByteArray& path) const;

private:
    void Accept();
    void Answer(QTcpSocket* socket, const QByteArray& path);
    void SendEndlessly(QTcpSocket* socket, const QByteArray& path, const QByteArray& body);

    QTcpServer server_;
    std::map<QByteArray, Resource> resources_;
    std::map<QByteArray, int> requests_;
    std::map<QByteArray, qint64> body_bytes_sent_;
    int connections_ = 0;
};

}  // namespace ambrel::test
