#include "download_job.h"

#include <windows.h>

#include <string.h>

#include "http_client.h"
#include "download_request.h"
#include "http_reply.h"
#include "md5.h"
#include "redirect_address.h"

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

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

// Where the body of the final reply goes: the ".part" file, hashed on the way, so memory stays
// at one receive buffer whatever the size of the release.
class PartFile {
public:
    explicit PartFile(const std::wstring& path) : m_path(path) { }
    ~PartFile() { Discard(); }

    // Opens (and empties) the file for a reply that is about to deliver a body.
    bool Begin()
    {
        Discard();
        m_md5.Reset();
        m_bytes = 0;
        m_file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file == INVALID_HANDLE_VALUE)
            m_failure = DownloadResult::WriteFailed;
        return m_file != INVALID_HANDLE_VALUE;
    }
    bool Write(const char* data, size_t length)
    {
        if (length > kMaxDownloadBytes - m_bytes) {
            m_failure = DownloadResult::FetchFailed;
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(m_file, data, (DWORD)length, &written, nullptr) || written != length) {
            m_failure = DownloadResult::WriteFailed;
            return false;
        }
        m_md5.Update(data, length);
        m_bytes += length;
        return true;
    }
    // Closes the complete file; its MD5 text.
    bool Finish(std::wstring* md5Text)
    {
        const bool closed = CloseHandle(m_file) != 0;
        m_file = INVALID_HANDLE_VALUE;
        if (!closed) {
            m_failure = DownloadResult::WriteFailed;
            DeleteFileW(m_path.c_str());
            return false;
        }
        uint8_t digest[kMd5DigestBytes];
        m_md5.Final(digest);
        char text[kMd5TextChars + 1];
        Md5DigestText(digest, text);
        md5Text->assign(text, text + kMd5TextChars);
        return true;
    }
    // Removes a file that is still open (a reply that failed half-way).
    void Discard()
    {
        if (m_file == INVALID_HANDLE_VALUE)
            return;
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        DeleteFileW(m_path.c_str());
    }
    // Why the last Write refused: the disk, or a body beyond the limit.
    DownloadResult Failure() const { return m_failure; }

private:
    std::wstring m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    Md5 m_md5;
    unsigned long long m_bytes = 0;
    DownloadResult m_failure = DownloadResult::FetchFailed;
};

bool IsRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

enum class FetchOutcome { Body, Redirect, Failed };

// One GET, read as it arrives. A redirect ends the exchange as soon as its head is there; the
// body of a 200 reply streams into part. Every other reply fails.
FetchOutcome FetchOnce(const std::wstring& url, PartFile* part, std::string* location, int receiveTimeoutMs)
{
    UrlParts parts;
    if (!ParseHttpUrl(url.c_str(), &parts))
        return FetchOutcome::Failed;
    SOCKET s = ConnectToHost(parts.host, parts.port);
    if (s == 0)
        return FetchOutcome::Failed;
    FetchOutcome outcome = FetchOutcome::Failed;
    bool begun = false;
    // Only a 200 reply's body in a form taken as it is becomes the release.
    const auto isRelease = [](const HttpReplyHead& head) {
        return head.status == 200 && IsPlainContentEncoding(head.contentEncoding);
    };
    HttpReplyReader reader([&](const char* data, size_t length) {
        if (!isRelease(reader.Head()))
            return false;
        if (!begun && !(begun = part->Begin()))
            return false;
        return part->Write(data, length);
    });
    const std::string request = BuildDownloadRequest(parts);
    if (!request.empty() && SendAll(s, request.data(), (int)request.size()) > 0) {
        HttpChunkList chunks;
        for (;;) {
            const int received = ReceiveChunk(s, chunks, kHttpChunkBytes, receiveTimeoutMs);
            const ReplyState state =
                received <= 0 ? reader.ServerClosed() : reader.Feed(chunks.back().data.get(), (size_t)received);
            chunks.clear();
            if (reader.HeadArrived() && IsRedirect(reader.Head().status)) {
                *location = reader.Head().location;
                outcome = FetchOutcome::Redirect;
                break;
            }
            if (state != ReplyState::Incomplete) {
                if (state == ReplyState::Complete && isRelease(reader.Head()))
                    outcome = (begun || part->Begin()) ? FetchOutcome::Body : FetchOutcome::Failed;
                break;
            }
        }
    }
    closesocket(s);
    if (outcome != FetchOutcome::Body)
        part->Discard();
    return outcome;
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

DownloadResult DownloadToFile(const std::wstring& url, const std::wstring& path, std::wstring* md5Text,
                              int receiveTimeoutMs)
{
    PartFile part(path);
    std::wstring current = url;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        std::string location;
        switch (FetchOnce(current, &part, &location, receiveTimeoutMs)) {
        case FetchOutcome::Failed:
            return part.Failure();
        case FetchOutcome::Redirect:
            current = ResolveRedirect(current, location);
            if (current.empty())
                return DownloadResult::FetchFailed;
            continue;
        case FetchOutcome::Body:
            return part.Finish(md5Text) ? DownloadResult::Done : DownloadResult::WriteFailed;
        }
    }
    return DownloadResult::FetchFailed;
}

DownloadResult RunDownloadJob(const stDownloadJob& job, int receiveTimeoutMs)
{
    // The save path must be a full path with a file name; the md5 the form Loader compares.
    const size_t slash = job.savePath.find_last_of(L'\\');
    if (job.savePath.size() < 4 || job.savePath.size() > 250 || slash == std::wstring::npos ||
        slash + 1 >= job.savePath.size() || job.url.empty() || !IsLowercaseMd5Text(job.md5))
        return DownloadResult::BadCommandLine;

    StartSockets();
    // Received under a temporary name and moved in place whole, so the final name never holds
    // part of a file, nor a file whose MD5 does not match.
    const std::wstring partial = job.savePath + L".part";
    std::wstring got;
    const DownloadResult fetched = DownloadToFile(job.url, partial, &got, receiveTimeoutMs);
    if (fetched != DownloadResult::Done)
        return fetched;
    if (got != job.md5) {
        DeleteFileW(partial.c_str());
        return DownloadResult::Md5Mismatch;
    }
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
