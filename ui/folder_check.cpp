#include "folder_check.h"

#include <io.h>
#include <stdio.h>
#include <wchar.h>

#include "afx_app.h"
#include "file_utils.h"

namespace {

const size_t kMaxPathChars = 259;

bool FolderExists(const wchar_t* path)
{
    return _waccess(path, 0) == 0;
}

}  // namespace

BOOL IsDrivePathForm(const wchar_t* path)
{
    if (!path || wcsnlen(path, 3) < 3)
        return FALSE;
    const wchar_t drive = path[0];
    const bool letter = (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    return letter && path[1] == L':' && path[2] == L'\\';
}

int CheckFolderPath(const wchar_t* path, BOOL create)
{
    if (!path || !IsDrivePathForm(path))
        return kFolderPathInvalid;
    const size_t length = wcsnlen(path, kMaxPathChars + 1);
    if (length > kMaxPathChars)
        return kFolderPathInvalid;
    if (length == 3)
        return create ? kFolderPathInvalid : kFolderPathOk;

    wchar_t work[kMaxPathChars + 1] = {};
    wmemcpy(work, path, length);
    size_t start = 3;
    while (start <= length) {
        size_t end = start;
        while (end < length && work[end] != L'\\')
            ++end;
        if (end == length && start == length)
            break;  // a trailing backslash ends the path
        const wchar_t saved = work[end];
        work[end] = 0;
        if (!IsValidFolderName(work + start))
            return kFolderPathInvalid;
        if (create) {
            CreateDirectoryW(work, nullptr);
            if (!FolderExists(work))
                return kFolderPathInvalid;
        }
        work[end] = saved;
        start = end + 1;
    }
    return kFolderPathOk;
}

int ConfirmOutputFolder(const wchar_t* path)
{
    int result = CheckFolderPath(path, FALSE);
    if (result == kFolderPathOk && !FolderExists(path))
        result = kFolderPathMissing;
    if (result == kFolderPathOk)
        return 0;

    wchar_t text[1024];
    if (result == kFolderPathMissing) {
        swprintf(text, 1024, L"%.900ls\n\nThe directory not exist,are you want to create it?", path);
        if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            CheckFolderPath(path, TRUE);
            result = CheckFolderPath(path, FALSE);
            if (result == kFolderPathOk && !FolderExists(path))
                result = kFolderPathMissing;
            if (result == kFolderPathOk)
                return 0;
        }
    }
    swprintf(text, 1024, L"%.900ls\n\nThe path is invalidate,please input again! ", path ? path : L"");
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    return result;
}
