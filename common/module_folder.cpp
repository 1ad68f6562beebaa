#include "module_folder.h"

#include <windows.h>
#include <psapi.h>

#include <string.h>
#include <wchar.h>

namespace {
const DWORD kModulePathChars = 512;
const size_t kFolderChars = 260;
}  // namespace

int ModuleFolderFromPath(const wchar_t* fullPath, const wchar_t* baseName, wchar_t* folder, size_t capacity)
{
    if (!fullPath || !baseName || !folder || capacity == 0)
        return 0;
    const size_t fullLength = wcslen(fullPath);
    const size_t baseLength = wcslen(baseName);
    if (baseLength == 0 || baseLength >= fullLength)
        return 0;
    // The base name must be the last component: a folder named like the program file
    // (C:\x\Loader.exe\Loader.exe) must not end the search early.
    const size_t folderLength = fullLength - baseLength;
    if (wcscmp(fullPath + folderLength, baseName) != 0 || fullPath[folderLength - 1] != L'\\')
        return 0;
    if (folderLength >= capacity)
        return 0;
    memset(folder, 0, capacity * sizeof(wchar_t));
    wmemcpy(folder, fullPath, folderLength);
    return (int)folderLength;
}

int GetModuleFolder(wchar_t* folder)
{
    if (!folder)
        return 0;
    wchar_t fullPath[kModulePathChars + 1] = {};
    wchar_t baseName[kModulePathChars + 1] = {};
    const DWORD fullLength = GetModuleFileNameW(nullptr, fullPath, kModulePathChars);
    // A full buffer means the path was cut: no folder rather than a wrong one.
    if (fullLength == 0 || fullLength >= kModulePathChars)
        return 0;
    if (GetModuleBaseNameW(GetCurrentProcess(), nullptr, baseName, kModulePathChars) == 0)
        return 0;
    return ModuleFolderFromPath(fullPath, baseName, folder, kFolderChars);
}
