// A small HTTP server on 127.0.0.1 for tests: it answers each request with what the test's
// handler scripts (pieces of bytes, pauses, keep the connection open or close it).
#ifndef MORVANE_UPDATE_TESTS_LOOPBACK_HTTP_SERVER_H
#define MORVANE_UPDATE_TESTS_LOOPBACK_HTTP_SERVER_H

#include <winsock2.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LoopbackReply {
    std::vector<std::string> pieces;  // sent one after the other
    int pauseMs = 0;  // pause before every piece after the first
    bool keepOpen = false;  // after the last piece, wait until the client closes
    // Further pieces made on demand after the listed ones, until it gives an empty one: a reply
    // of any size without holding it in the test's memory.
    std::function<std::string()> more;
};

// A complete reply with Content-Length; with close, the server also closes the connection.
LoopbackReply PlainReply(const std::string& body, const std::string& status = "200 OK");

class LoopbackHttpServer {
public:
    typedef std::function<LoopbackReply(const std::string& request)> Handler;

    ~LoopbackHttpServer();
    bool Start(Handler handler);
    void Stop();
    int Port() const { return m_port; }
    // http://127.0.0.1:<port>/<path>
    std::wstring Url(const std::string& path) const;
    std::string UrlA(const std::string& path) const;
    std::vector<std::string> Requests();

private:
    void Serve();
    void Answer(SOCKET client);

    Handler m_handler;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    bool m_stopping = false;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
};

#endif
