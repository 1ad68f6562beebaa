#include "loader_core.h"

#include <shellapi.h>

#include <io.h>
#include <new>
#include <string.h>
#include <wchar.h>

#include "md5.h"

namespace {

const wchar_t kQuestion[] = L"软件已经更新,您是否现在升级?";
const wchar_t kQuestionCaption[] = L"更新提示";

int RealAsk(const wchar_t* text, const wchar_t* caption)
{
    return MessageBoxW(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION);
}

BOOL RealShellOpen(const wchar_t* file)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file;
    info.lpParameters = L"";
    info.nShow = SW_SHOW;
    const BOOL ok = ShellExecuteExW(&info);
    if (ok && info.hProcess)
        CloseHandle(info.hProcess);
    return ok;
}

BOOL RealStartProcess(const wchar_t* application, wchar_t* commandLine, const wchar_t* currentFolder)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(application, commandLine, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                        currentFolder, &startup, &process))
        return FALSE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

stLoaderHooks g_hooks = DefaultLoaderHooks();

// Joins pieces into a zero-filled buffer of kLoaderPathChars; false when they do not fit.
bool Join(wchar_t* out, const wchar_t* a, const wchar_t* b, const wchar_t* c = L"")
{
    wmemset(out, 0, kLoaderPathChars);
    if (!a || !b || !c)
        return false;
    const size_t total = wcslen(a) + wcslen(b) + wcslen(c);
    if (total >= (size_t)kLoaderPathChars)
        return false;
    wcscpy(out, a);
    wcscat(out, b);
    wcscat(out, c);
    return true;
}

bool FileExists(const wchar_t* path)
{
    return path[0] && _waccess(path, 0) == 0;
}

// Asks about and runs the waiting release; true when it was started.
bool OfferUpdate(const wchar_t* appDataFolder)
{
    wchar_t ini[kLoaderPathChars];
    if (!appDataFolder || !appDataFolder[0])
        return false;
    const size_t length = wcslen(appDataFolder);
    const wchar_t* tail = appDataFolder[length - 1] == L'\\' ? L"Quenby\\Talvern\\Update\\update.ini"
                                                             : L"\\Quenby\\Talvern\\Update\\update.ini";
    if (!Join(ini, appDataFolder, tail) || !FileExists(ini))
        return false;
    wchar_t file[kLoaderPathChars] = {};
    wchar_t md5[kLoaderPathChars] = {};
    GetPrivateProfileStringW(L"update", L"file", L"", file, kLoaderPathChars, ini);
    GetPrivateProfileStringW(L"update", L"md5", L"", md5, kLoaderPathChars, ini);
    if (!file[0] || !FileExists(file) || !VerifyUpdateFile(file, md5))
        return false;
    if (g_hooks.ask(kQuestion, kQuestionCaption) != IDYES)
        return false;
    return RunUpdateFile(file) != FALSE;
}

}  // namespace

stLoaderHooks DefaultLoaderHooks()
{
    stLoaderHooks hooks;
    hooks.ask = RealAsk;
    hooks.shellOpen = RealShellOpen;
    hooks.startProcess = RealStartProcess;
    return hooks;
}

void SetLoaderHooks(const stLoaderHooks& hooks)
{
    g_hooks = hooks;
}

int FileMd5Text(const wchar_t* path, char* text, int* blocks)
{
    if (blocks)
        *blocks = 0;
    if (!text)
        return 0;
    text[0] = 0;
    if (!path || !path[0])
        return 0;
    // No sharing: nobody may change the release while it is checked.
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return 0;
    }
    const unsigned long long total = (unsigned long long)size.QuadPart;
    const DWORD blockBytes = total < kMd5BlockBytes ? (DWORD)total : kMd5BlockBytes;
    char* block = new (std::nothrow) char[blockBytes > 0 ? blockBytes : 1];
    if (!block) {
        CloseHandle(file);
        return 0;
    }
    Md5 md5;
    unsigned long long offset = 0;
    bool complete = true;
    while (offset < total) {
        DWORD read = 0;
        // A failed read, or one that gives nothing before the end, ends the hashing as a failure.
        if (!ReadFile(file, block, blockBytes, &read, nullptr) || read == 0) {
            complete = false;
            break;
        }
        md5.Update(block, read);
        offset += read;
        if (blocks)
            ++*blocks;
    }
    delete[] block;
    CloseHandle(file);
    if (!complete)
        return 0;
    unsigned char digest[kMd5DigestBytes];
    md5.Final(digest);
    Md5DigestText(digest, text);
    return kMd5TextChars;
}

bool VerifyUpdateFile(const wchar_t* path, const wchar_t* expectedMd5)
{
    char actual[kMd5TextChars + 1];
    if (!expectedMd5 || FileMd5Text(path, actual) == 0)
        return false;
    char expected[kLoaderPathChars * 2] = {};
    if (expectedMd5[0] &&
        WideCharToMultiByte(CP_ACP, 0, expectedMd5, -1, expected, sizeof(expected) - 1, nullptr, nullptr) == 0)
        return false;
    return strcmp(actual, expected) == 0;
}

BOOL RunUpdateFile(const wchar_t* path)
{
    if (!path || !path[0])
        return FALSE;
    return g_hooks.shellOpen(path);
}

BOOL LaunchMainProgram(const wchar_t* programFolder, const wchar_t* fileName)
{
    wchar_t application[kLoaderPathChars];
    wchar_t commandLine[kLoaderPathChars];
    if (!programFolder || !fileName || !fileName[0] || !Join(application, programFolder, fileName) ||
        !Join(commandLine, programFolder, fileName, L" -Loader"))
        return FALSE;
    // The program is named explicitly, so a folder with blanks in it cannot make the system
    // start a different program from a shorter path.
    return g_hooks.startProcess(application, commandLine, programFolder);
}

void RunLoader(const wchar_t* appDataFolder, const wchar_t* programFolder)
{
    if (OfferUpdate(appDataFolder))
        return;
    if (!programFolder || !programFolder[0])
        return;
    wchar_t ini[kLoaderPathChars];
    if (!Join(ini, programFolder, L"loader.ini"))
        return;
    wchar_t file[kLoaderPathChars] = {};
    GetPrivateProfileStringW(L"run", L"file", L"", file, kLoaderPathChars, ini);
    LaunchMainProgram(programFolder, file);
}
