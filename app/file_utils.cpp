#include "file_utils.h"

#include <windows.h>

#include <io.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

namespace {

const size_t kMaxPathChars = 259;

bool PathExists(const wchar_t* path) { return _waccess(path, 0) == 0; }

// A file of the same name is not the folder the caller asked for.
bool FolderExists(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsBlankOrDot(wchar_t c) { return c == L'\t' || c == L' ' || c == L'.'; }

}  // namespace

bool IsDriveRootPath(const wchar_t* path)
{
    if (!path || wcsnlen(path, 3) < 3)
        return false;
    const wchar_t drive = path[0];
    const bool isLetter = (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    if (!isLetter || path[1] != L':' || path[2] != L'\\')
        return false;
    const wchar_t root[4] = {drive, L':', L'\\', 0};
    return PathExists(root);
}

bool IsValidFolderName(const wchar_t* name)
{
    if (!name || !name[0])
        return false;
    const size_t length = wcslen(name);
    if (IsBlankOrDot(name[0]) || IsBlankOrDot(name[length - 1]))
        return false;
    return wcspbrk(name, L"\"*/:<>?\\|") == nullptr;
}

int CreateFolderPath(const wchar_t* path)
{
    if (!path)
        return kFolderPathRefused;
    const size_t length = wcsnlen(path, kMaxPathChars + 1);
    if (length > kMaxPathChars)
        return kFolderPathRefused;
    wchar_t work[kMaxPathChars + 1] = {};
    wmemcpy(work, path, length);

    if (!IsDriveRootPath(work))
        return kFolderPathRefused;
    if (length == 3)
        return kFolderPathReady;

    size_t start = 3;
    while (start < length) {
        size_t end = start;
        while (end < length && work[end] != L'\\')
            ++end;
        // Each component is checked on its own, then the path up to it is created.
        wchar_t component[kMaxPathChars + 1] = {};
        wmemcpy(component, work + start, end - start);
        if (!IsValidFolderName(component))
            return kFolderPathRefused;
        const wchar_t saved = work[end];
        work[end] = 0;
        CreateDirectoryW(work, nullptr);  // an existing folder is fine; existence decides below
        const bool exists = FolderExists(work);
        work[end] = saved;
        if (!exists)
            return kFolderPathRefused;
        start = end + 1;  // a trailing backslash ends the loop here
    }
    return kFolderPathReady;
}

int FormatFileSize(wchar_t* text, unsigned long low, unsigned long high)
{
    if (!text)
        return 0;
    const double size = (double)(unsigned long long)high * 4294967296.0 + (double)(low & 0xFFFFFFFFul);
    const unsigned long low32 = low & 0xFFFFFFFFul;
    const unsigned long high32 = high & 0xFFFFFFFFul;
    double value = size;
    const wchar_t* unit = L"Bytes";
    if (high32 != 0 || low32 > 0x40000000ul) {
        value = size / 1073741824.0;
        unit = L"GB";
    } else if (low32 > 0x100000ul) {
        value = size / 1048576.0;
        unit = L"MB";
    } else if (low32 > 0x400ul) {
        value = size / 1024.0;
        unit = L"KB";
    }
    // Single precision, as the list has always shown it (1025 bytes reads 1.00KB).
    const float shown = (float)value;
    wchar_t number[64] = {};
    swprintf(number, 64, L"%.2f", (double)shown);
    memset(text, 0, kFileSizeTextChars * sizeof(wchar_t));
    wcsncpy(text, number, kFileSizeTextChars - 8);
    wcscat(text, unit);
    return 1;
}

void GetFileSizeText(wchar_t* text, const wchar_t* path)
{
    if (!text || !path || !path[0])
        return;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR)
        FormatFileSize(text, low, high);
    CloseHandle(file);
}
