#include "file_utils.h"

#include <windows.h>

#include <io.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

namespace {

const size_t kMaxPathChars = 259;

bool PathExists(const wchar_t* path)
{
    return _waccess(path, 0) == 0;
}

// A file of the same name is not the folder the caller asked for.
bool FolderExists(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsBlankOrDot(wchar_t c)
{
    return c == L'\t' || c == L' ' || c == L'.';
}

wchar_t UpperAscii(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? (wchar_t)(c - L'a' + L'A') : c;
}

// Windows gives these names to devices in every folder: "CON", "nul.txt" or "Com1 .log" open
// the device, not a file, so a folder or a download may never be called that. The part before
// the first dot decides, trailing blanks ignored, in any case; the superscript digits count
// as digits there too.
bool IsReservedDeviceName(const wchar_t* name)
{
    size_t stem = 0;
    while (name[stem] && name[stem] != L'.')
        ++stem;
    while (stem > 0 && name[stem - 1] == L' ')
        --stem;
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        const size_t length = wcslen(device);
        if (stem != length)
            continue;
        size_t i = 0;
        while (i < length && UpperAscii(name[i]) == device[i])
            ++i;
        if (i == length)
            return true;
    }
    if (stem != 4)
        return false;
    const wchar_t a = UpperAscii(name[0]), b = UpperAscii(name[1]), c = UpperAscii(name[2]), digit = name[3];
    const bool port = (a == L'C' && b == L'O' && c == L'M') || (a == L'L' && b == L'P' && c == L'T');
    const bool portDigit = (digit >= L'1' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
    return port && portDigit;
}

bool HasControlCharacter(const wchar_t* name)
{
    for (; *name; ++name)
        if (*name < 0x20)
            return true;
    return false;
}

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
    return wcspbrk(name, L"\"*/:<>?\\|") == nullptr && !HasControlCharacter(name) && !IsReservedDeviceName(name);
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
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR)
        FormatFileSize(text, low, high);
    CloseHandle(file);
}
