#include "download_job.h"

#include <windows.h>

#include <string.h>

#include "http_client.h"
#include "http_reply.h"
#include "md5.h"
#include "redirect_address.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// At `at`, the switch name and its opening quote, then the value up to the next quote; `at`
// moves past the closing quote. False when the switch is not there or never closed.
bool ReadSwitch(const std::wstring& line, size_t* at, const wchar_t* name, std::wstring* value)
{
    const std::wstring key = std::wstring(name) + L"\"";
    if (line.compare(*at, key.size(), key) != 0)
        return false;
    const size_t start = *at + key.size();
    const size_t end = line.find(L'"', start);
    if (end == std::wstring::npos)
        return false;
    *value = line.substr(start, end - start);
    *at = end + 1;
    return true;
}

size_t SkipBlanks(const std::wstring& line, size_t at)
{
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at;
}

// One GET; the reply's head and body, read as they arrive until the reply is complete or the
// server closes.
bool FetchReply(const std::wstring& url, HttpReplyHead* head, std::string* body, int receiveTimeoutMs)
{
    UrlParts parts;
    if (!ParseHttpUrl(url.c_str(), &parts))
        return false;
    SOCKET s = ConnectToHost(parts.host, parts.port);
    if (s == 0)
        return false;
    bool ok = false;
    if (SendGetRequest(parts.path, parts.host, s) > 0) {
        body->clear();
        HttpReplyReader reader([&](const char* data, size_t length) {
            if (length > kMaxDownloadBytes - body->size())
                return false;
            try {
                body->append(data, length);
            } catch (...) {
                return false;
            }
            return true;
        });
        HttpChunkList chunks;
        for (;;) {
            const int received = ReceiveChunk(s, chunks, kHttpChunkBytes, receiveTimeoutMs);
            const ReplyState state =
                received <= 0 ? reader.ServerClosed() : reader.Feed(chunks.back().data.get(), (size_t)received);
            chunks.clear();
            if (state != ReplyState::Incomplete) {
                ok = state == ReplyState::Complete;
                break;
            }
        }
        *head = reader.Head();
    }
    closesocket(s);
    return ok;
}

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    size_t at = 0;
    bool ok = true;
    while (ok && at < bytes.size()) {
        const DWORD piece = (DWORD)(bytes.size() - at < (1u << 20) ? bytes.size() - at : (1u << 20));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + at, piece, &written, nullptr) && written == piece;
        at += written;
    }
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileW(path.c_str());
    return ok;
}

bool IsLowercaseMd5Text(const std::wstring& text)
{
    if (text.size() != (size_t)kMd5TextChars)
        return false;
    for (wchar_t c : text)
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')))
            return false;
    return true;
}

}  // namespace

bool ParseDownloaderCommandLine(const wchar_t* commandLine, stDownloadJob* job)
{
    if (!commandLine || !job)
        return false;
    const std::wstring line = commandLine;
    size_t at = SkipBlanks(line, 0);
    // The program name, when the line carries one: quoted up to its closing quote, or up to a blank.
    if (line.compare(at, 5, L"-sav\"") != 0) {
        if (at < line.size() && line[at] == L'"') {
            const size_t close = line.find(L'"', at + 1);
            if (close == std::wstring::npos)
                return false;
            at = close + 1;
        } else {
            while (at < line.size() && !IsBlank(line[at]))
                ++at;
        }
        at = SkipBlanks(line, at);
    }
    // The three switches in their order, each value ending at its own closing quote, so a save
    // path that happens to end in "-url" or "-md5" stays a save path.
    stDownloadJob parsed;
    if (!ReadSwitch(line, &at, L"-sav", &parsed.savePath))
        return false;
    at = SkipBlanks(line, at);
    if (!ReadSwitch(line, &at, L"-url", &parsed.url))
        return false;
    at = SkipBlanks(line, at);
    if (!ReadSwitch(line, &at, L"-md5", &parsed.md5))
        return false;
    if (SkipBlanks(line, at) != line.size())
        return false;
    *job = parsed;
    return true;
}

bool DownloadBody(const std::wstring& url, std::string* body, int receiveTimeoutMs)
{
    std::wstring current = url;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        HttpReplyHead head;
        if (!FetchReply(current, &head, body, receiveTimeoutMs))
            return false;
        if (IsRedirect(head.status)) {
            current = ResolveRedirect(current, head.location);
            if (current.empty())
                return false;
            continue;
        }
        return head.status == 200;
    }
    return false;
}

DownloadResult RunDownloadJob(const stDownloadJob& job, int receiveTimeoutMs)
{
    // The save path must be a full path with a file name; the md5 the form Loader compares.
    const size_t slash = job.savePath.find_last_of(L'\\');
    if (job.savePath.size() < 4 || job.savePath.size() > 250 || slash == std::wstring::npos ||
        slash + 1 >= job.savePath.size() || job.url.empty() || !IsLowercaseMd5Text(job.md5))
        return DownloadResult::BadCommandLine;

    StartSockets();
    std::string body;
    if (!DownloadBody(job.url, &body, receiveTimeoutMs))
        return DownloadResult::FetchFailed;

    char digest[kMd5TextChars + 1];
    Md5Text(body.data(), body.size(), digest);
    const std::wstring got(digest, digest + kMd5TextChars);
    if (got != job.md5)
        return DownloadResult::Md5Mismatch;

    // Written under a temporary name and moved in place whole, so the final name never holds
    // part of a file.
    const std::wstring partial = job.savePath + L".part";
    if (!WriteWholeFile(partial, body))
        return DownloadResult::WriteFailed;
    if (!MoveFileExW(partial.c_str(), job.savePath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(partial.c_str());
        return DownloadResult::WriteFailed;
    }

    const std::wstring ini = job.savePath.substr(0, slash + 1) + L"update.ini";
    if (!WritePrivateProfileStringW(L"update", L"file", job.savePath.c_str(), ini.c_str()) ||
        !WritePrivateProfileStringW(L"update", L"md5", job.md5.c_str(), ini.c_str())) {
        DeleteFileW(ini.c_str());
        return DownloadResult::WriteFailed;
    }
    return DownloadResult::Done;
}
