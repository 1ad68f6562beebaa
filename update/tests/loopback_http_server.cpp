#include "loopback_http_server.h"

#include <windows.h>

LoopbackReply PlainReply(const std::string& body, const std::string& status)
{
    LoopbackReply reply;
    reply.pieces.push_back("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    return reply;
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    Stop();
}

bool LoopbackHttpServer::Start(Handler handler)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_handler = handler;
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listener == INVALID_SOCKET)
        return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int size = sizeof(address);
    if (bind(m_listener, (sockaddr*)&address, sizeof(address)) != 0 || listen(m_listener, 8) != 0 ||
        getsockname(m_listener, (sockaddr*)&address, &size) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void LoopbackHttpServer::Stop()
{
    if (m_listener != INVALID_SOCKET) {
        m_stopping = true;
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
    }
    if (m_thread.joinable())
        m_thread.join();
}

std::wstring LoopbackHttpServer::Url(const std::string& path) const
{
    const std::string url = UrlA(path);
    return std::wstring(url.begin(), url.end());
}

std::string LoopbackHttpServer::UrlA(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + path;
}

std::vector<std::string> LoopbackHttpServer::Requests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void LoopbackHttpServer::Serve()
{
    for (;;) {
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        Answer(client);
        closesocket(client);
    }
}

void LoopbackHttpServer::Answer(SOCKET client)
{
    DWORD timeout = 10000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, (const char*)&timeout, sizeof(timeout));
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const int got = recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0)
            return;
        request.append(buffer, got);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
    }
    LoopbackReply reply = m_handler(request);
    const auto sendAll = [&](const std::string& piece) {
        size_t sent = 0;
        while (sent < piece.size()) {
            const int n = send(client, piece.data() + sent, (int)(piece.size() - sent), 0);
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    };
    for (size_t i = 0; i < reply.pieces.size(); ++i) {
        if (i > 0 && reply.pauseMs > 0)
            Sleep(reply.pauseMs);
        if (!sendAll(reply.pieces[i]))
            return;
    }
    if (reply.more) {
        for (std::string piece = reply.more(); !piece.empty(); piece = reply.more())
            if (!sendAll(piece))
                return;
    }
    if (reply.keepOpen) {
        // Hold the connection until the client gives up on it (or the test ends).
        while (!m_stopping && recv(client, buffer, sizeof(buffer), 0) > 0) {
        }
    } else {
        shutdown(client, SD_SEND);
    }
}
