// Small file and path utilities of the main program: folder creation, folder-name checks
// and the size text of the file list. All work on the caller's fixed buffers.
#ifndef MORVANE_APP_FILE_UTILS_H
#define MORVANE_APP_FILE_UTILS_H

// Capacity of the size text written by FormatFileSize and GetFileSizeText, in characters.
const int kFileSizeTextChars = 130;

// Results of CreateFolderPath.
const int kFolderPathReady = 0;  // the path exists now (or is only a drive root)
const int kFolderPathRefused = 2;  // refused, or a folder could not be created

// Creates every missing folder of a drive-rooted path such as C:\a\b or C:\a\b\.
// Paths of 260 characters or more are refused rather than cut to a different folder.
int CreateFolderPath(const wchar_t* path);

// True when the path starts with "X:\" and that drive root exists.
bool IsDriveRootPath(const wchar_t* path);

// True for a usable folder or file name: not empty, no leading or trailing tab, space or dot,
// none of the characters " * / : < > ? \ | nor a control character, and not a name Windows
// keeps for a device (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or without extension).
bool IsValidFolderName(const wchar_t* name);

// The size of the file at path as text ("%.2f" and a unit) into a buffer of at least
// kFileSizeTextChars characters; the buffer stays unchanged when the file cannot be opened.
void GetFileSizeText(wchar_t* text, const wchar_t* path);

// The text for the 64-bit size high:low ("1.00KB", "1024.00Bytes", ...). Returns 1, or 0
// when there is no buffer.
int FormatFileSize(wchar_t* text, unsigned long low, unsigned long high);

#endif
