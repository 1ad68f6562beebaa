#include "update_decision.h"

#include <new>
#include <string.h>
#include <wchar.h>

#include "file_utils.h"

namespace {

void RealBeep(UINT type)
{
    MessageBeep(type);
}

int RealAsk(const wchar_t* text, const wchar_t* caption)
{
    return MessageBoxW(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION);
}

BOOL RealStartProcess(const wchar_t* application, wchar_t* commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(application, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return FALSE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

stUpdateHooks g_hooks = DefaultUpdateHooks();

// Copies at most capacity - 1 characters, always terminated; no text gives an empty one.
void CopyText(wchar_t* target, size_t capacity, const wchar_t* source)
{
    wmemset(target, 0, capacity);
    if (source)
        wcsncpy(target, source, capacity - 1);
}

// ANSI text to wide characters into a zero-filled buffer; false when it does not fit.
bool FromAnsi(const char* text, wchar_t* out, int capacity)
{
    wmemset(out, 0, capacity);
    if (!text || !text[0])
        return true;
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0 || length > capacity)
        return false;
    return MultiByteToWideChar(CP_ACP, 0, text, -1, out, capacity) > 0;
}

bool Append(wchar_t* target, size_t capacity, const wchar_t* text)
{
    const size_t have = wcslen(target);
    const size_t add = wcslen(text);
    if (have + add >= capacity)
        return false;
    wmemcpy(target + have, text, add + 1);
    return true;
}

}  // namespace

stUpdateHooks DefaultUpdateHooks()
{
    stUpdateHooks hooks;
    hooks.beep = RealBeep;
    hooks.ask = RealAsk;
    hooks.startProcess = RealStartProcess;
    return hooks;
}

void SetUpdateHooks(const stUpdateHooks& hooks)
{
    g_hooks = hooks;
}

const stUpdateHooks& UpdateHooks()
{
    return g_hooks;
}

int BuildSavePath(const char* downUrl, const wchar_t* updateFolder, wchar_t* savePath)
{
    if (!savePath)
        return 0;
    wmemset(savePath, 0, kSavePathChars);
    if (!downUrl || !updateFolder || !updateFolder[0])
        return 0;
    const char* separator = strrchr(downUrl, '/');
    if (!separator)
        separator = strrchr(downUrl, '\\');
    if (!separator || !separator[1])
        return 0;
    wchar_t fileName[kSavePathChars];
    if (!FromAnsi(separator + 1, fileName, kSavePathChars) || !IsValidFolderName(fileName))
        return 0;
    wchar_t path[kSavePathChars] = {};
    CopyText(path, kSavePathChars, updateFolder);
    const size_t folderLength = wcslen(path);
    if (path[folderLength - 1] != L'\\' && !Append(path, kSavePathChars, L"\\"))
        return 0;
    if (!Append(path, kSavePathChars, fileName))
        return 0;
    CreateFolderPath(updateFolder);
    wcscpy(savePath, path);
    return (int)wcslen(savePath);
}

int BuildDownloaderCommand(const wchar_t* savePath, const char* downUrl, const char* md5, wchar_t* command)
{
    if (!command)
        return 0;
    wmemset(command, 0, kDownloaderCommandChars);
    wchar_t wideUrl[kDownloaderCommandChars];
    wchar_t wideMd5[kVerMd5Bytes];
    if (!FromAnsi(downUrl, wideUrl, kDownloaderCommandChars) || !FromAnsi(md5, wideMd5, kVerMd5Bytes))
        return 0;
    const wchar_t* save = savePath ? savePath : L"";
    if (wcschr(save, L'"') || wcschr(wideUrl, L'"') || wcschr(wideMd5, L'"'))
        return 0;
    const wchar_t* pieces[] = {L" -sav\"", save, L"\" -url\"", wideUrl, L"\" -md5\"", wideMd5, L"\""};
    for (const wchar_t* piece : pieces)
        if (!Append(command, kDownloaderCommandChars, piece)) {
            wmemset(command, 0, kDownloaderCommandChars);
            return 0;
        }
    return (int)wcslen(command);
}

BOOL StartDownloader(const char* downUrl, const char* md5, const wchar_t* dataFolder, const wchar_t* programFolder)
{
    wchar_t updateFolder[kSavePathChars] = {};
    CopyText(updateFolder, kSavePathChars, dataFolder);
    if (!updateFolder[0] || !Append(updateFolder, kSavePathChars, L"Update\\"))
        updateFolder[0] = 0;
    wchar_t savePath[kSavePathChars];
    BuildSavePath(downUrl, updateFolder, savePath);

    wchar_t downloader[kSavePathChars] = {};
    CopyText(downloader, kSavePathChars, programFolder);
    if (!Append(downloader, kSavePathChars, L"wexor.exe"))
        return FALSE;

    wchar_t* command = new (std::nothrow) wchar_t[kDownloaderCommandChars];
    if (!command)
        return FALSE;
    BOOL started = FALSE;
    if (BuildDownloaderCommand(savePath, downUrl, md5, command) > 0)
        started = g_hooks.startProcess(downloader, command);
    delete[] command;
    return started;
}

CUpdateDecision::CUpdateDecision(const stVerCheck* check, uint32_t appVer, const wchar_t* question,
                                 const wchar_t* caption, const wchar_t* dataFolder, const wchar_t* programFolder)
    : m_pCheck(check), m_nAppVer(appVer)
{
    CopyText(m_szQuestion, 1024, question);
    CopyText(m_szCaption, 260, caption);
    CopyText(m_szDataFolder, 260, dataFolder);
    CopyText(m_szProgramFolder, 260, programFolder);
}

void CUpdateDecision::OnVersion(int32_t nVersion)
{
    const uint16_t localMajor = (uint16_t)(m_nAppVer >> 16), localMinor = (uint16_t)m_nAppVer;
    const uint16_t major = (uint16_t)((uint32_t)nVersion >> 16), minor = (uint16_t)nVersion;

    // Copies of the reply's values, always terminated.
    char downUrl[kVerDownUrlBytes + 1] = {};
    char md5[kVerMd5Bytes + 1] = {};
    if (m_pCheck && m_pCheck->nDownUrlLen >= 0 && m_pCheck->nDownUrlLen <= kVerDownUrlBytes)
        memcpy(downUrl, m_pCheck->szDownUrl, m_pCheck->nDownUrlLen);
    if (m_pCheck && m_pCheck->nMd5Len >= 0 && m_pCheck->nMd5Len <= kVerMd5Bytes)
        memcpy(md5, m_pCheck->szMd5, m_pCheck->nMd5Len);

    if (major > localMajor) {
        StartDownloader(downUrl, md5, m_szDataFolder, m_szProgramFolder);
    } else if (minor > localMinor) {
        g_hooks.beep(MB_ICONEXCLAMATION);
        if (g_hooks.ask(m_szQuestion, m_szCaption) == IDYES)
            StartDownloader(downUrl, md5, m_szDataFolder, m_szProgramFolder);
    }
}
