// The command line of the console converter:
//   morvanec.exe [--to docx|txt] [--layout faithful|classic] [--out FOLDER] FILE.pdf...
// Paths are made full Windows paths (relative to the current folder, '/' as '\'), because the
// output naming cuts the PDF path at its last backslash.
#ifndef MORVANE_CONSOLE_CONSOLE_ARGS_H
#define MORVANE_CONSOLE_CONSOLE_ARGS_H

#include <string>
#include <vector>

// The Word layout of a command line without --layout: the one of the program's settings.
enum { CONSOLE_LAYOUT_FROM_SETTINGS = -1 };

struct stConsoleArgs {
    bool bHelp = false;
    int nConvType = 0;  // CONV_TYPE_WORD or CONV_TYPE_TEXT
    int nWordLayout = CONSOLE_LAYOUT_FROM_SETTINGS;  // or WORD_LAYOUT_*
    std::wstring strOutDir;  // full path; empty: the settings file's output folder
    std::vector<std::wstring> files;  // full paths, in command-line order
    std::wstring strError;  // set when the command line is not usable
};

stConsoleArgs ParseConsoleArgs(int argc, const wchar_t* const* argv);

// The full Windows form of path: absolute, backslashes only. Empty when it cannot be made.
std::wstring FullWindowsPath(const std::wstring& path);

extern const wchar_t kConsoleUsage[];

#endif
