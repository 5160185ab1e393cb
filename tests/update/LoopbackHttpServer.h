#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A tiny HTTP server on 127.0.0.1 inside the test process ("#BASE#" in a response names
// the server).
class LoopbackHttpServer {
public:
    // Every request gets `response`; a stalled server reads the request and never answers.
    explicit LoopbackHttpServer(std::string response, bool stall = false);
    // Answers a request whose path starts with a route's prefix with the route's
    // response (the first that matches), anything else with 404. A response is sent in
    // blocks of `block` bytes with `pauseMs` between them, so a download takes a while.
    struct Route {
        std::string pathPrefix;
        std::string response;
        unsigned lingerMs = 0; // the connection stays open this long after the response
    };
    explicit LoopbackHttpServer(std::vector<Route> routes, size_t block = 1 << 20, unsigned pauseMs = 0);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // "http://127.0.0.1:<port>"
    std::string BaseUrl() const;
    // The first line of every request received so far.
    std::vector<std::string> RequestLines() const;

    // A route's response; the server states the length of its body.
    static std::string Response(std::string_view body, std::string_view status = "200 OK",
                                std::string_view headers = {});
    // "http://127.0.0.1:<port>" of a port nothing listens on: connections to it are refused.
    static std::string ClosedUrl();

private:
    void Serve();

    std::vector<Route> routes_;
    size_t block_;
    unsigned pauseMs_;
    uintptr_t listener_;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::vector<std::string> requestLines_;
    std::thread thread_;
};
