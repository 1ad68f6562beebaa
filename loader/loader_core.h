// Loader: runs a downloaded and verified release when the user agrees, otherwise starts
// the main program named in loader.ini. It never changes a file.
#ifndef MORVANE_LOADER_LOADER_CORE_H
#define MORVANE_LOADER_LOADER_CORE_H

#include <windows.h>

const int kLoaderPathChars = 260;
const DWORD kMd5BlockBytes = 0x100000;  // the release is hashed in blocks of at most 1 MiB

// Points where Loader meets the user and the system; tests replace them.
struct stLoaderHooks {
    int (*ask)(const wchar_t* text, const wchar_t* caption);  // IDYES or IDNO
    BOOL (*shellOpen)(const wchar_t* file);  // ShellExecuteExW, default verb
    BOOL (*startProcess)(const wchar_t* application, wchar_t* commandLine, const wchar_t* currentFolder);
};
stLoaderHooks DefaultLoaderHooks();
void SetLoaderHooks(const stLoaderHooks& hooks);

// The MD5 text (32 lowercase hexadecimal digits) of the file's whole contents into text
// (33 characters); returns its length, 0 with an empty text when the file cannot be opened
// exclusively or read to its end. blocks, when given, receives the number of blocks read.
int FileMd5Text(const wchar_t* path, char* text, int* blocks = nullptr);

// True only when the file's MD5 text equals the expected text byte for byte (so capital
// hexadecimal digits do not match) and the file could be hashed.
bool VerifyUpdateFile(const wchar_t* path, const wchar_t* expectedMd5);

// Opens the release file through the shell.
BOOL RunUpdateFile(const wchar_t* path);

// Starts programFolder + fileName with " -Loader" appended, in programFolder.
BOOL LaunchMainProgram(const wchar_t* programFolder, const wchar_t* fileName);

// The whole start-up: appDataFolder is the user's application-data folder (update.ini lies
// in its Quenby\Talvern\Update\), programFolder Loader's own folder with its backslash.
void RunLoader(const wchar_t* appDataFolder, const wchar_t* programFolder);

#endif
