#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the update check tests: answers each path with a
// fixed status and body, can stream a huge body, or accept and never answer.
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillet::testing {

class TestHttpServer {
public:
    struct Route {
        int status = 200;
        std::string body;
        size_t padTo = 0;     // spaces follow the body up to this many bytes
        bool silent = false;  // read the request, then never answer
    };

    TestHttpServer();
    ~TestHttpServer();

    void route(const std::string& path, Route r);
    std::string base() const;  // "http://127.0.0.1:PORT/"
    std::vector<std::string> requests() const;
    // Body bytes the last answer got out before the client went away; waits for that answer.
    size_t lastBodyBytesSent(size_t answers) const;

private:
    void run();
    void serve(int fd);

    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> bodySent_{0};
    std::atomic<size_t> answers_{0};
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::vector<std::string> requests_;
    std::vector<int> heldOpen_;
    std::thread thread_;
};

}  // namespace quillet::testing
