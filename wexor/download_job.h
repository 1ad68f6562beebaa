// The downloader's one job: fetch a release over HTTP, check its MD5, put it in place and
// only then leave update.ini beside it for Loader.
#ifndef MORVANE_WEXOR_DOWNLOAD_JOB_H
#define MORVANE_WEXOR_DOWNLOAD_JOB_H

#include <string>

struct stDownloadJob {
    std::wstring savePath;  // -sav"..."
    std::wstring url;  // -url"..."
    std::wstring md5;  // -md5"...", 32 lowercase hexadecimal digits
};

enum class DownloadResult { Done, BadCommandLine, FetchFailed, Md5Mismatch, WriteFailed };

const int kMaxRedirects = 2;
// A release is an installer of some tens of MiB; a body beyond this is no release, and stopping
// there keeps a reply that never ends from filling the disk. The body is streamed to disk, so
// the limit costs no memory.
const unsigned long long kMaxDownloadBytes = 1ull << 30;
const int kDownloadReceiveTimeoutMs = 30000;

// Reads the three switches from the command line (with or without a program name in
// front): -sav, -url and -md5 in this order, blanks between them, each value up to its closing
// quote. False when one is missing, out of order or unterminated, or when anything follows.
bool ParseDownloaderCommandLine(const wchar_t* commandLine, stDownloadJob* job);

// Fetches url following at most kMaxRedirects redirects and streams the body of the final 200
// reply into the file at path while hashing it; md5Text gets its MD5 text. Done, or
// FetchFailed / WriteFailed with no file left at path.
DownloadResult DownloadToFile(const std::wstring& url, const std::wstring& path, std::wstring* md5Text,
                              int receiveTimeoutMs = kDownloadReceiveTimeoutMs);

// The whole job. A failed or mismatched download leaves neither update.ini nor a file under
// the final name (a temporary "<save path>.part" is removed again).
DownloadResult RunDownloadJob(const stDownloadJob& job, int receiveTimeoutMs = kDownloadReceiveTimeoutMs);

#endif
