// The version check: asks the version server on a thread of its own for the newest release
// and reports the announced version to a qrn_IVerSink.
#ifndef MORVANE_UPDATE_VERSION_CHECK_H
#define MORVANE_UPDATE_VERSION_CHECK_H

#include <windows.h>

#include <stdint.h>

#include "http_client.h"

const int kVerAddressChars = 1024;
const int kVerDownUrlBytes = 5120;
const int kVerMd5Bytes = 260;

// Receives the announced version (high 16 bits major, low 16 bits minor; 0 when nothing
// was announced). Called on the check thread.
class qrn_IVerSink {
public:
    virtual void OnVersion(int32_t nVersion) = 0;

protected:
    ~qrn_IVerSink() { }
};

struct stVerCheck {
    wchar_t szAddress[kVerAddressChars];  // the version-check address
    qrn_IVerSink* pSink;
    int32_t nVersion;  // announced version, 0 when none
    char szDownUrl[kVerDownUrlBytes];  // value of <dwn>, ANSI
    int nDownUrlLen;
    char szMd5[kVerMd5Bytes];  // value of <md5>, ANSI
    int nMd5Len;
    HANDLE hThread;  // closed as soon as the thread starts
};

// What the check needs from the running program. The check copies all of it, so the caller
// (the main window) may go away while the check runs.
struct stVerCheckSetup {
    const wchar_t* szAddressTemplate;  // text 2 of the text table, two "%d"
    int32_t nAppId;  // sid of the address
    int nSrc;  // src of the address (pub.ini)
    uint32_t nAppVer;  // own version
    const wchar_t* szQuestion;  // text 0x1000000e, the question before a minor update
    const wchar_t* szCaption;  // product name, the caption of the question
    const wchar_t* szDataFolder;  // per-user data folder ...\Quenby\Talvern\ (the Update folder goes below)
    const wchar_t* szProgramFolder;  // folder of wexor.exe, trailing backslash included
};

// The "src" of section "PubInfo" of pub.ini at path; 0 when absent.
int ReadPubIniSrc(const wchar_t* pubIniPath);

// The body of the check thread: fetches the address, extracts <ver>, <dwn> and <md5>, and
// calls the sink (also when nothing was announced).
void RunVersionCheck(stVerCheck* check, const HttpFetchLimits& limits = HttpFetchLimits());

// Starts one detached check whose result goes to the built-in update decision (major
// update: start the downloader; minor update: ask first). The record and the decision live
// on the heap and are freed by the thread when it ends, so closing the window early is safe.
// Returns 1 when the thread was started, 0 when the address could not be built or no
// thread could be started.
int StartVersionCheck(const stVerCheckSetup& setup);

#endif
