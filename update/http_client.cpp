#include "http_client.h"

#include <windows.h>

#include <new>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

namespace {

const char kUserAgent[] =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322; .NET CLR 2.0.50727)";

// Wide text to the system ANSI code page; false when it does not fit.
bool ToAnsi(const std::wstring& text, char* out, int capacity)
{
    if (capacity <= 0)
        return false;
    out[0] = 0;
    if (text.empty())
        return true;
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    if (needed <= 0 || needed >= capacity)
        return false;
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), out, needed, nullptr, nullptr);
    out[needed] = 0;
    return true;
}

void CloseSocket(SOCKET socket)
{
    if (socket != 0 && socket != INVALID_SOCKET)
        closesocket(socket);
}

}  // namespace

bool StartSockets()
{
    static LONG started = 0;
    if (InterlockedCompareExchange(&started, 1, 0) != 0)
        return true;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        InterlockedExchange(&started, 0);
        return false;
    }
    return true;
}

bool ParseHttpUrl(const wchar_t* url, UrlParts* parts)
{
    if (!url || !parts)
        return false;
    const size_t length = wcsnlen(url, kHttpMaxUrlChars + 1);
    if (length > (size_t)kHttpMaxUrlChars)
        return false;
    const std::wstring text(url, length);
    const size_t slashes = text.find(L"//");
    if (slashes == std::wstring::npos)
        return false;
    const size_t hostStart = slashes + 2;
    const size_t hostEnd = text.find(L'/', hostStart);
    std::wstring host =
        text.substr(hostStart, hostEnd == std::wstring::npos ? std::wstring::npos : hostEnd - hostStart);
    parts->port = 80;
    parts->path = hostEnd == std::wstring::npos ? std::wstring() : text.substr(hostEnd + 1);
    const size_t colon = host.find(L':');
    if (colon != std::wstring::npos) {
        // Leading digits, as the C library reads an integer; anything else is no usable port.
        long port = 0;
        for (size_t i = colon + 1; i < host.size() && host[i] >= L'0' && host[i] <= L'9' && port <= 65535; ++i)
            port = port * 10 + (host[i] - L'0');
        if (port < 1 || port > 65535)
            return false;
        parts->port = (int)port;
        host.resize(colon);
    }
    if (host.empty())
        return false;
    parts->host = host;
    return true;
}

SOCKET ConnectToHost(const std::wstring& host, int port)
{
    char ansiHost[kHttpRequestBytes];
    if (!ToAnsi(host, ansiHost, sizeof(ansiHost)))
        return 0;
    const hostent* entry = gethostbyname(ansiHost);
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0])
        return 0;

    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons((u_short)port);
    memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof(address.sin_addr));

    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return 0;
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        closesocket(s);
        return 0;
    }
    return s;
}

int BuildGetRequest(const std::wstring& path, const std::wstring& host, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    char ansiPath[kHttpRequestBytes];
    char ansiHost[kHttpRequestBytes];
    if (!ToAnsi(path, ansiPath, sizeof(ansiPath)) || !ToAnsi(host, ansiHost, sizeof(ansiHost)))
        return 0;
    memset(buffer, 0, capacity);
    const int length = snprintf(buffer, capacity,
                                "%s /%s HTTP/1.1\r\n"
                                "Host: %s\r\n"
                                "Connection: Keep-Alive\r\n"
                                "User-Agent: %s\r\n"
                                "Accept: */*\r\n"
                                "Accept-Encoding: gzip, deflate\r\n"
                                "Accept-Language: en-us,en\r\n"
                                "Accept-Charset: GBK,utf-8;q=0.7,*;q=0.3\r\n"
                                "\r\n",
                                "GET", ansiPath, ansiHost, kUserAgent);
    // A request cut short would be a different request: send none.
    if (length <= 0 || length >= capacity) {
        memset(buffer, 0, capacity);
        return 0;
    }
    return length;
}

int SendAll(SOCKET socket, const char* bytes, int length)
{
    int sent = 0;
    while (sent < length) {
        const int result = send(socket, bytes + sent, length - sent, 0);
        if (result == SOCKET_ERROR)
            return -1;
        if (result == 0)
            break;
        sent += result;
    }
    return length;
}

int SendGetRequest(const std::wstring& path, const std::wstring& host, SOCKET socket)
{
    char request[kHttpRequestBytes];
    const int length = BuildGetRequest(path, host, request, sizeof(request));
    if (length <= 0)
        return 0;
    return SendAll(socket, request, length);
}

int ReceiveChunk(SOCKET socket, HttpChunkList& chunks, int maxBytes, int receiveTimeoutMs)
{
    if (maxBytes <= 0)
        return 0;
    const int wanted = maxBytes < kHttpChunkBytes ? maxBytes : kHttpChunkBytes;
    const DWORD timeout = receiveTimeoutMs > 0 ? (DWORD)receiveTimeoutMs : 1;
    if (setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout)) != 0)
        return 0;
    HttpChunk chunk;
    chunk.data.reset(new (std::nothrow) char[kHttpChunkBytes]);
    if (!chunk.data)
        return 0;
    memset(chunk.data.get(), 0, kHttpChunkBytes);
    chunk.capacity = kHttpChunkBytes;
    const int received = recv(socket, chunk.data.get(), wanted, 0);
    if (received <= 0)
        return 0;
    chunk.length = received;
    try {
        chunks.push_back(std::move(chunk));
    } catch (...) {
        return 0;
    }
    return received;
}

int FetchUrl(const wchar_t* url, HttpChunkList& chunks, const HttpFetchLimits& limits)
{
    UrlParts parts;
    if (!ParseHttpUrl(url, &parts))
        return 0;
    SOCKET s = ConnectToHost(parts.host, parts.port);
    if (s == 0)
        return 0;
    int total = 0;
    if (SendGetRequest(parts.path, parts.host, s) > 0) {
        chunks.clear();
        for (;;) {
            const int received = ReceiveChunk(s, chunks, limits.maxBytes - total, limits.receiveTimeoutMs);
            if (received <= 0)
                break;
            total += received;
        }
    }
    CloseSocket(s);
    return total;
}

bool FetchResponse(const wchar_t* url, HttpResponse* response, const HttpFetchLimits& limits)
{
    if (!response)
        return false;
    response->data.reset();
    response->length = 0;
    HttpChunkList chunks;
    const int total = FetchUrl(url, chunks, limits);
    if (total <= 0)
        return false;
    std::unique_ptr<char[]> joined(new (std::nothrow) char[total]);
    if (!joined)
        return false;
    int at = 0;
    for (const HttpChunk& chunk : chunks) {
        memcpy(joined.get() + at, chunk.data.get(), chunk.length);
        at += chunk.length;
    }
    response->data = std::move(joined);
    response->length = total;
    return true;
}
