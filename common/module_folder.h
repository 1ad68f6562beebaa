// The folder of the running program file, shared by the main program, Loader and the
// resource pack.
#ifndef MORVANE_COMMON_MODULE_FOLDER_H
#define MORVANE_COMMON_MODULE_FOLDER_H

#include <stddef.h>

// Writes the folder of the program file, trailing backslash included, into the caller's
// buffer of 260 characters and returns its length in characters. Returns 0 and leaves the
// buffer unchanged when the folder cannot be found or does not fit.
int GetModuleFolder(wchar_t* folder);

// The pure step behind GetModuleFolder: the part of fullPath in front of baseName where
// baseName ends the path after a backslash. Returns that part's length (0 when baseName
// does not end the path or the part does not fit capacity with its terminating zero).
int ModuleFolderFromPath(const wchar_t* fullPath, const wchar_t* baseName, wchar_t* folder, size_t capacity);

#endif
