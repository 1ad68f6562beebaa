#include "download_request.h"

#include <windows.h>

namespace {

// Wide text in the system ANSI code page, as the other requests of the program set send it.
bool ToAnsi(const std::wstring& text, std::string* out)
{
    out->clear();
    if (text.empty())
        return true;
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    if (needed <= 0 || needed >= kHttpRequestBytes)
        return false;
    out->resize(needed);
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), &(*out)[0], needed, nullptr, nullptr);
    return true;
}

}  // namespace

std::string BuildDownloadRequest(const UrlParts& parts)
{
    std::string path, host;
    if (!ToAnsi(parts.path, &path) || !ToAnsi(parts.host, &host) || host.empty())
        return std::string();
    // A port other than 80 belongs in Host (RFC 9112, 3.2); the server may pick the site by it.
    if (parts.port != 80)
        host += ":" + std::to_string(parts.port);
    const std::string request = "GET /" + path +
                                " HTTP/1.1\r\n"
                                "Host: " +
                                host +
                                "\r\n"
                                "User-Agent: wexor\r\n"
                                "Accept: */*\r\n"
                                "Accept-Encoding: identity\r\n"
                                "Connection: close\r\n"
                                "\r\n";
    return request.size() < (size_t)kHttpRequestBytes ? request : std::string();
}

bool IsPlainContentEncoding(const std::string& contentEncoding)
{
    return contentEncoding.empty() || contentEncoding == "identity";
}
