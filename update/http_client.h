// A minimal blocking HTTP/1.1 client: one GET over plain TCP, returning the raw bytes the
// server sent (status line and headers included). It does not interpret the reply.
#ifndef MORVANE_UPDATE_HTTP_CLIENT_H
#define MORVANE_UPDATE_HTTP_CLIENT_H

#include <winsock2.h>

#include <memory>
#include <string>
#include <vector>

const int kHttpMaxUrlChars = 5119;
const int kHttpRequestBytes = 5120;
const int kHttpChunkBytes = 5120;
const int kHttpReceiveTimeoutMs = 6000;
// A version reply is a few hundred bytes; a reply that never ends stops here.
const int kHttpResponseCap = 1 << 20;

struct UrlParts {
    std::wstring host;  // without the port
    int port = 80;
    std::wstring path;  // after the first "/" behind the host, query included, without that "/"
};

struct HttpChunk {
    std::unique_ptr<char[]> data;
    int capacity = 0;
    int length = 0;
};
typedef std::vector<HttpChunk> HttpChunkList;

struct HttpResponse {
    std::unique_ptr<char[]> data;  // exactly the received bytes, no terminating zero
    int length = 0;
};

struct HttpFetchLimits {
    int maxBytes = kHttpResponseCap;
    int receiveTimeoutMs = kHttpReceiveTimeoutMs;
};

// Starts the socket library once for the process (the main program does not do it itself).
bool StartSockets();

// Splits scheme://host[:port]/path. The scheme is ignored (every address is fetched with
// plain HTTP). False for addresses without "//", with an empty host, a port outside
// 1-65535, or longer than kHttpMaxUrlChars.
bool ParseHttpUrl(const wchar_t* url, UrlParts* parts);

// Resolves host and connects a TCP socket; 0 when the host does not resolve (no socket is
// created then) or the connection fails.
SOCKET ConnectToHost(const std::wstring& host, int port);

// Writes the GET request for path and host into buffer; its length, or 0 when it does not fit.
int BuildGetRequest(const std::wstring& path, const std::wstring& host, char* buffer, int capacity);

// Builds and sends the request; the bytes sent, or 0 or less on failure.
int SendGetRequest(const std::wstring& path, const std::wstring& host, SOCKET socket);

// Sends all bytes; length on success (also when send reports 0 bytes), -1 on a send error.
int SendAll(SOCKET socket, const char* bytes, int length);

// Receives one chunk of at most maxBytes (and kHttpChunkBytes) bytes into the list; its
// length, or 0 at the end (closed, failed, timed out, or out of memory).
int ReceiveChunk(SOCKET socket, HttpChunkList& chunks, int maxBytes = kHttpChunkBytes,
                 int receiveTimeoutMs = kHttpReceiveTimeoutMs);

// The whole exchange; the total number of bytes received (0 on any failure). Receiving ends
// when the server closes, a receive fails, the time-out passes without data, or the cap is reached.
int FetchUrl(const wchar_t* url, HttpChunkList& chunks, const HttpFetchLimits& limits = HttpFetchLimits());

// FetchUrl joined into one buffer; false when no byte was received.
bool FetchResponse(const wchar_t* url, HttpResponse* response, const HttpFetchLimits& limits = HttpFetchLimits());

#endif
