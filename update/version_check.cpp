#include "version_check.h"

#include <new>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "address_template.h"
#include "tag_value.h"
#include "update_decision.h"

namespace {

// One check with its own decision; the thread owns it and frees it when it ends.
struct stVerCheckJob {
    stVerCheck check;
    CUpdateDecision decision;

    explicit stVerCheckJob(const stVerCheckSetup& setup)
        : check(),
          decision(&check, setup.nAppVer, setup.szQuestion, setup.szCaption, setup.szDataFolder, setup.szProgramFolder)
    { }
};

DWORD WINAPI VersionCheckThreadProc(void* param)
{
    stVerCheckJob* job = static_cast<stVerCheckJob*>(param);
    try {
        RunVersionCheck(&job->check);
    } catch (...) {
    }
    delete job;
    return 0;
}

}  // namespace

int ReadPubIniSrc(const wchar_t* pubIniPath)
{
    if (!pubIniPath || !pubIniPath[0])
        return 0;
    return (int)GetPrivateProfileIntW(L"PubInfo", L"src", 0, pubIniPath);
}

void RunVersionCheck(stVerCheck* check, const HttpFetchLimits& limits)
{
    if (!check)
        return;
    check->nVersion = 0;
    check->szAddress[kVerAddressChars - 1] = 0;
    HttpResponse response;
    if (FetchResponse(check->szAddress, &response, limits)) {
        const char* text = response.data.get();
        char value[kVerDownUrlBytes];
        if (FindTagValue("<ver>*", "</ver>*", text, response.length, value, sizeof(value)) > 0)
            check->nVersion = (int32_t)strtol(value, nullptr, 16);
        if (FindTagValue("<dwn>*", "</dwn>*", text, response.length, value, sizeof(value)) > 0) {
            memset(check->szDownUrl, 0, sizeof(check->szDownUrl));
            check->nDownUrlLen = (int)strlen(value);
            memcpy(check->szDownUrl, value, check->nDownUrlLen);
        }
        char md5[kVerMd5Bytes];
        if (FindTagValue("<md5>*", "</md5>*", text, response.length, md5, sizeof(md5)) > 0) {
            memset(check->szMd5, 0, sizeof(check->szMd5));
            check->nMd5Len = (int)strlen(md5);
            memcpy(check->szMd5, md5, check->nMd5Len);
        }
    }
    if (check->pSink)
        check->pSink->OnVersion(check->nVersion);
}

int StartVersionCheck(const stVerCheckSetup& setup)
{
    StartSockets();
    stVerCheckJob* job = new (std::nothrow) stVerCheckJob(setup);
    if (!job)
        return 0;
    if (FormatAddressTemplate(setup.szAddressTemplate, setup.nAppId, setup.nSrc, job->check.szAddress,
                              kVerAddressChars) == 0) {
        delete job;
        return 0;
    }
    job->check.pSink = &job->decision;
    HANDLE thread = CreateThread(nullptr, 0, VersionCheckThreadProc, job, 0, nullptr);
    if (!thread) {
        delete job;
        return 0;
    }
    CloseHandle(thread);
    return 1;
}
