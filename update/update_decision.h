// The update decision on an announced version and the hand-off to the downloader wexor.exe.
#ifndef MORVANE_UPDATE_UPDATE_DECISION_H
#define MORVANE_UPDATE_UPDATE_DECISION_H

#include <windows.h>

#include <stdint.h>

#include "version_check.h"

const int kDownloaderCommandChars = 5120;
const int kSavePathChars = 260;

// Points where the update meets the user and the system; tests replace them.
struct stUpdateHooks {
    void (*beep)(UINT type);  // MessageBeep
    int (*ask)(const wchar_t* text, const wchar_t* caption);  // IDYES or IDNO
    BOOL (*startProcess)(const wchar_t* application, wchar_t* commandLine);  // start, do not wait
};
stUpdateHooks DefaultUpdateHooks();
void SetUpdateHooks(const stUpdateHooks& hooks);
const stUpdateHooks& UpdateHooks();

// The save path of a download: the part of the address after its last "/" (or "\" when it
// has no "/") in updateFolder, which is created. Empty when the address names no file, when
// that name is not a plain file name (no folders, no reserved characters), or when the path
// would not fit kSavePathChars. Returns the length.
int BuildSavePath(const char* downUrl, const wchar_t* updateFolder, wchar_t* savePath);

// The downloader's command line: ` -sav"<save path>" -url"<address>" -md5"<MD5 text>"`.
// Returns the length, 0 when a value holds a double quote (it would end the switch and add
// others) or the line does not fit kDownloaderCommandChars.
int BuildDownloaderCommand(const wchar_t* savePath, const char* downUrl, const char* md5, wchar_t* command);

// Starts programFolder\wexor.exe for the download; not waited for. Returns the start's result.
BOOL StartDownloader(const char* downUrl, const char* md5, const wchar_t* dataFolder, const wchar_t* programFolder);

// The decision of the main program on the result of a check. Holds copies of everything it
// needs, so it does not depend on any window.
class CUpdateDecision final : public qrn_IVerSink {
public:
    CUpdateDecision(const stVerCheck* check, uint32_t appVer, const wchar_t* question, const wchar_t* caption,
                    const wchar_t* dataFolder, const wchar_t* programFolder);
    void OnVersion(int32_t nVersion) override;

private:
    const stVerCheck* m_pCheck;
    uint32_t m_nAppVer;
    wchar_t m_szQuestion[1024];
    wchar_t m_szCaption[260];
    wchar_t m_szDataFolder[260];
    wchar_t m_szProgramFolder[260];
};

#endif
