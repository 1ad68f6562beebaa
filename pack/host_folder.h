// The folder of the program that loaded the pack, where bitmaps lie in load type 1.
#ifndef MORVANE_PACK_HOST_FOLDER_H
#define MORVANE_PACK_HOST_FOLDER_H

#include <stddef.h>

// Writes the host program's folder, trailing backslash included, into folder (capacity
// characters) and returns its length; 0 and an untouched buffer when it cannot be found or
// does not fit.
size_t HostProgramFolder(wchar_t* folder, size_t capacity);

#endif
