#include "LoopbackHttpServer.h"

#include <winsock2.h>

#include <algorithm>
#include <stdexcept>

namespace {

SOCKET BoundLoopbackSocket(uint16_t& port) {
    static WSADATA winsock;
    static const int started = ::WSAStartup(MAKEWORD(2, 2), &winsock); // for the whole process
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    if (started != 0 || socket == INVALID_SOCKET ||
        ::bind(socket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
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
    : LoopbackHttpServer({{"", std::move(response), stall ? ~0u : 0u}}) {}

LoopbackHttpServer::LoopbackHttpServer(std::vector<Route> routes, size_t block, unsigned pauseMs)
    : routes_(std::move(routes)), block_(block), pauseMs_(pauseMs) {
    const SOCKET listener = BoundLoopbackSocket(port_);
    ::listen(listener, SOMAXCONN);
    listener_ = listener;
    routes_.push_back({"", Response("", "404 Not Found")});
    // A response may name the server itself, so Response() leaves the length to fill in here.
    for (Route& route : routes_) {
        std::string& response = route.response;
        for (size_t at = response.find("#BASE#"); at != std::string::npos; at = response.find("#BASE#", at)) {
            response.replace(at, 6, BaseUrl());
        }
        if (const size_t at = response.find("#LENGTH#"); at != std::string::npos) {
            response.replace(at, 8, std::to_string(response.size() - response.find("\r\n\r\n") - 4));
        }
    }
    thread_ = std::thread([this] { Serve(); });
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
           "\r\nContent-Type: text/xml\r\nContent-Length: #LENGTH#\r\nConnection: close\r\n" +
           std::string(headers) + "\r\n" + std::string(body);
}

std::string LoopbackHttpServer::ClosedUrl() {
    uint16_t port = 0;
    ::closesocket(BoundLoopbackSocket(port));
    return "http://127.0.0.1:" + std::to_string(port);
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
        const size_t path = requestLine.find(' ') + 1;
        const Route& route = *std::find_if(routes_.begin(), routes_.end(), [&](const Route& candidate) {
            return requestLine.compare(path, candidate.pathPrefix.size(), candidate.pathPrefix) == 0;
        });
        const std::string& response = route.response;
        for (size_t sent = 0; !stop_ && sent < response.size();) {
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
        for (unsigned waited = 0; waited < route.lingerMs && !stop_; waited += 10) {
            ::Sleep(10);
        }
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
}
