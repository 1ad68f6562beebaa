// Checks of an output folder typed by the user: the form of the path, each folder name, and
// the offer to create a folder that does not exist yet.
#ifndef MORVANE_UI_FOLDER_CHECK_H
#define MORVANE_UI_FOLDER_CHECK_H

#include <windows.h>

enum { kFolderPathOk = 0, kFolderPathMissing = 1, kFolderPathInvalid = 2 };

// "X:\..." with an ASCII drive letter.
BOOL IsDrivePathForm(const wchar_t* path);

// 0 when the path is well formed (and, with create, every level exists now), 2 when it is
// not. A drive root alone is well formed but cannot be created. Paths longer than 259
// characters are not well formed.
int CheckFolderPath(const wchar_t* path, BOOL create);

// 0 when the folder exists, possibly after the user agreed to create it; otherwise non-zero
// after the invalid-path message.
int ConfirmOutputFolder(const wchar_t* path);

#endif
