// The downloader's one job: fetch a release over HTTP, check its MD5, put it in place and
// only then leave update.ini beside it for Loader.
#ifndef MORVANE_WEXOR_DOWNLOAD_JOB_H
#define MORVANE_WEXOR_DOWNLOAD_JOB_H

#include <string>

struct stDownloadJob {
    std::wstring savePath;  // -sav"..."
    std::wstring url;       // -url"..."
    std::wstring md5;       // -md5"...", 32 lowercase hexadecimal digits
};

enum class DownloadResult { Done, BadCommandLine, FetchFailed, Md5Mismatch, WriteFailed };

const int kMaxRedirects = 2;
const unsigned long long kMaxDownloadBytes = 256ull << 20;  // held in memory, then written once
const int kDownloadReceiveTimeoutMs = 30000;

// Reads the three switches from the command line (with or without a program name in
// front): -sav, -url and -md5 in this order, blanks between them, each value up to its closing
// quote. False when one is missing, out of order or unterminated, or when anything follows.
bool ParseDownloaderCommandLine(const wchar_t* commandLine, stDownloadJob* job);

// Fetches url following at most kMaxRedirects redirects; the body of the final 200 reply.
bool DownloadBody(const std::wstring& url, std::string* body, int receiveTimeoutMs = kDownloadReceiveTimeoutMs);

// The whole job. A failed or mismatched download leaves neither update.ini nor a file under
// the final name (a temporary "<save path>.part" is removed again).
DownloadResult RunDownloadJob(const stDownloadJob& job, int receiveTimeoutMs = kDownloadReceiveTimeoutMs);

#endif
