#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace quillet::testing {

TestHttpServer::TestHttpServer() {
    // A proxy configured on the test machine must not carry requests meant for loopback.
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listenFd_, 16) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

TestHttpServer::~TestHttpServer() {
    stop_ = true;
    thread_.join();
    for (int fd : heldOpen_) close(fd);
    close(listenFd_);
}

void TestHttpServer::route(const std::string& path, Route r) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(r);
}

std::string TestHttpServer::base() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::vector<std::string> TestHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t TestHttpServer::lastBodyBytesSent(size_t answers) const {
    for (int i = 0; i < 200 && answers_ < answers; ++i) usleep(10000);
    return bodySent_;
}

void TestHttpServer::run() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const int fd = accept(listenFd_, nullptr, nullptr);
        if (fd >= 0) serve(fd);
    }
}

void TestHttpServer::serve(int fd) {
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 2000) <= 0) break;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
    }
    const auto start = request.find(' ');
    const auto end = request.find(' ', start + 1);
    const std::string path = start == std::string::npos || end == std::string::npos
                                 ? ""
                                 : request.substr(start + 1, end - start - 1);
    Route r{404, "not found", 0, false};
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (auto it = routes_.find(path); it != routes_.end()) r = it->second;
    }
    if (r.silent) {
        heldOpen_.push_back(fd);
        return;
    }
    const size_t total = std::max(r.body.size(), r.padTo);
    std::string head = "HTTP/1.1 " + std::to_string(r.status) +
                       " X\r\nContent-Length: " + std::to_string(total) +
                       "\r\nConnection: close\r\n\r\n";
    send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    std::string chunk = r.body;
    size_t sent = 0;
    while (sent < total && !stop_) {
        if (chunk.empty()) chunk.assign(std::min<size_t>(65536, total - sent), ' ');
        const ssize_t n =
            send(fd, chunk.data(), std::min(chunk.size(), total - sent), MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
        chunk.erase(0, static_cast<size_t>(n));
    }
    bodySent_ = sent;
    close(fd);
    ++answers_;
}

}  // namespace quillet::testing
