#include "support/qt/flood_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtGlobal>
#include <chrono>
#include <string>
#include <vector>

namespace ambrel::test {

namespace {

constexpr char kHead[] =
    "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n";
constexpr std::size_t kPiece = 64 * 1024;

bool SendAll(int connection, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(connection, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads the request up to its blank line; false when the client went first.
bool ReadRequestHead(int connection) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

FloodHttpServer::FloodHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        qFatal("the flood server cannot listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

FloodHttpServer::~FloodHttpServer() {
    stopping_ = true;
    // Shutting the sockets down wakes the thread from a blocked accept or send.
    ::shutdown(listener_, SHUT_RDWR);
    const int connection = connection_.load();
    if (connection >= 0) ::shutdown(connection, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
}

QString FloodHttpServer::Address() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

bool FloodHttpServer::WaitUntilSent(std::int64_t bytes, int timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return progress_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                              [&] { return sent_.load() >= bytes; });
}

void FloodHttpServer::Run() {
    while (!stopping_) {
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (connection < 0) return;
        connection_ = connection;
        if (!stopping_) Answer(connection);
        connection_ = -1;
        ::close(connection);
    }
}

void FloodHttpServer::Answer(int connection) {
    if (!ReadRequestHead(connection) || !SendAll(connection, kHead, sizeof kHead - 1)) return;
    const std::vector<char> piece(kPiece, 'x');
    // Until the client goes: a send blocks while the client's side is full.
    while (!stopping_ && SendAll(connection, piece.data(), piece.size())) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            sent_ += static_cast<std::int64_t>(piece.size());
        }
        progress_.notify_all();
    }
}

}  // namespace ambrel::test
