#include "host_folder.h"

#include <string.h>
#include <wchar.h>

#include <windows.h>

size_t HostProgramFolder(wchar_t* folder, size_t capacity)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 0;  // failed or cut short
    const wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash)
        return 0;
    const size_t length = static_cast<size_t>(slash - path) + 1;
    if (!folder || length >= capacity)
        return 0;
    wmemcpy(folder, path, length);
    folder[length] = L'\0';
    return length;
}
