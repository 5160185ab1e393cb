#include "LoopbackHttpServer.h"

#include <winsock2.h>

#include <algorithm>
#include <stdexcept>

namespace {

// Winsock for the server's lifetime; counted by Winsock itself.
struct Winsock {
    Winsock() {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            throw std::runtime_error("WSAStartup failed");
        }
    }
    ~Winsock() { ::WSACleanup(); }
};

SOCKET BoundLoopbackSocket(uint16_t& port) {
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    if (socket == INVALID_SOCKET || ::bind(socket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        throw std::runtime_error("no loopback socket");
    }
    port = ::ntohs(address.sin_port);
    return socket;
}

// Waits up to 20 ms for `socket` to become readable, so the serving loop sees stop_.
bool Readable(SOCKET socket) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait{0, 20'000};
    return ::select(0, &set, nullptr, nullptr, &wait) == 1;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(std::string response, bool stall)
    : routes_{{"", std::move(response)}}, stall_(stall) {
    Start();
}

LoopbackHttpServer::LoopbackHttpServer(std::vector<Route> routes, size_t block, unsigned pauseMs)
    : routes_(std::move(routes)), notFound_(Response("", "404 Not Found")), block_(block), pauseMs_(pauseMs),
      stall_(false) {
    Start();
}

void LoopbackHttpServer::Start() {
    static Winsock winsock;
    const SOCKET listener = BoundLoopbackSocket(port_);
    ::listen(listener, SOMAXCONN);
    listener_ = listener;
    // A response may name the server itself.
    for (Route& route : routes_) {
        std::string& response = route.response;
        const size_t body = response.find("\r\n\r\n");
        bool bodyGrew = false;
        for (size_t at = response.find("#BASE#"); at != std::string::npos; at = response.find("#BASE#", at)) {
            response.replace(at, 6, BaseUrl());
            bodyGrew = bodyGrew || at > body;
        }
        // The body's length is stated again; a response that states a wrong one on purpose
        // keeps it.
        const size_t length = response.find("Content-Length: ");
        if (bodyGrew && length != std::string::npos && length < body) {
            const size_t value = length + 16;
            response.replace(value, response.find("\r\n", value) - value,
                             std::to_string(response.size() - body - 4));
        }
    }
    thread_ = std::thread([this] { Serve(); });
}

const LoopbackHttpServer::Route* LoopbackHttpServer::RouteFor(const std::string& requestLine) const {
    const size_t path = requestLine.find(' ') + 1;
    for (const Route& route : routes_) {
        if (requestLine.compare(path, route.pathPrefix.size(), route.pathPrefix) == 0) {
            return &route;
        }
    }
    return nullptr;
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop_ = true;
    thread_.join();
    ::closesocket(static_cast<SOCKET>(listener_));
}

std::string LoopbackHttpServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> LoopbackHttpServer::RequestLines() const {
    std::lock_guard guard(lock_);
    return requestLines_;
}

std::string LoopbackHttpServer::Response(std::string_view body, std::string_view status,
                                         std::string_view headers) {
    return "HTTP/1.1 " + std::string(status) +
           "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + std::string(headers) + "\r\n" + std::string(body);
}

uint16_t LoopbackHttpServer::ClosedPort() {
    static Winsock winsock;
    uint16_t port = 0;
    ::closesocket(BoundLoopbackSocket(port));
    return port;
}

void LoopbackHttpServer::Serve() {
    const auto listener = static_cast<SOCKET>(listener_);
    while (!stop_) {
        if (!Readable(listener)) {
            continue;
        }
        const SOCKET client = ::accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            continue;
        }
        std::string request;
        char block[4096];
        while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
            if (!Readable(client)) {
                continue;
            }
            const int received = ::recv(client, block, sizeof(block), 0);
            if (received <= 0) {
                break;
            }
            request.append(block, static_cast<size_t>(received));
        }
        const std::string requestLine = request.substr(0, request.find("\r\n"));
        {
            std::lock_guard guard(lock_);
            requestLines_.push_back(requestLine);
        }
        while (stall_ && !stop_) {
            ::Sleep(10);
        }
        const Route* route = RouteFor(requestLine);
        const std::string& response = route ? route->response : notFound_;
        for (size_t sent = 0; !stall_ && !stop_ && sent < response.size();) {
            const size_t size = std::min(block_, response.size() - sent);
            const int count = ::send(client, response.data() + sent, static_cast<int>(size), 0);
            if (count <= 0) {
                break;
            }
            sent += static_cast<size_t>(count);
            if (pauseMs_ && sent < response.size()) {
                ::Sleep(pauseMs_);
            }
        }
        for (unsigned waited = 0; route && waited < route->lingerMs && !stop_; waited += 10) {
            ::Sleep(10);
        }
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
}
