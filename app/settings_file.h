// The settings file morvane.cfg: a keyed store of up to 100 byte strings. Every operation
// opens the file, loads the whole store, works on the copy and writes a change back whole;
// nothing is cached. Readers share the file, a change holds it alone, and an opener that meets
// a sharing violation waits 200 ms and tries again (up to 1000 times), so the window, the
// conversion worker and other running copies can use the file at the same time.
#ifndef MORVANE_APP_SETTINGS_FILE_H
#define MORVANE_APP_SETTINGS_FILE_H

#include <wchar.h>

enum { CFG_ID_OUTPUT_DIR = 5 };  // item 5: the output folder, 260 wide characters zero-padded
enum { CFG_OUTPUT_DIR_BYTES = 520 };
enum { CFG_ID_WORD_LAYOUT = 6 };  // item 6: the Word layout (WORD_LAYOUT_*), a 4-byte little-endian number
enum { CFG_WORD_LAYOUT_BYTES = 4 };

// The file exists, carries the tag, its header agrees with the file and its version is 1.x.
// A missing file is created empty (and so is not valid).
bool CfgIsValid(const wchar_t* path);
// Writes the store back with version 0x00010001 (an empty store if the file was not one).
// Non-zero on success.
int CfgReset(const wchar_t* path);
// Adds or overwrites item id. The number of bytes written to the file, 0 when nothing was written.
int CfgWriteItem(const wchar_t* path, int id, const void* data, int length);
// Copies item id into buffer. Its length, or 0 when it is missing, longer than bufferSize or the
// file cannot be opened.
int CfgReadItem(const wchar_t* path, int id, void* buffer, int bufferSize);

// Stores folder as item 5; a folder that does not fit 259 characters is stored as empty.
void CfgSetOutputDir(const wchar_t* path, const wchar_t* folder);
// Zero-fills folder (260 characters) and copies item 5 into it, always zero-terminated.
// Returns the number of bytes read.
int CfgGetOutputDir(const wchar_t* path, wchar_t* folder);

// Stores layout (WORD_LAYOUT_CLASSIC or WORD_LAYOUT_FAITHFUL) as item 6; any other value is
// not stored. Non-zero when it was written.
int CfgSetWordLayout(const wchar_t* path, int layout);
// The stored Word layout; WORD_LAYOUT_DEFAULT when the item is missing, is not 4 bytes long or
// holds a value that is not a layout, or when the file cannot be read.
int CfgGetWordLayout(const wchar_t* path);

// How long an opener waits between attempts while another one holds the file, and how often
// it tries. Tests shorten the wait.
extern unsigned g_nCfgRetryWaitMs;
extern int g_nCfgOpenAttempts;

#endif
