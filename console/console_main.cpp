// morvanec.exe: converts PDF files to .docx or .txt from the command line.
#include <windows.h>

#include "console_args.h"
#include "console_out.h"
#include "console_run.h"
#include "strome.h"

int wmain(int argc, wchar_t** argv)
{
    const stConsoleArgs args = ParseConsoleArgs(argc, argv);
    if (args.bHelp) {
        PrintOut(kConsoleUsage);
        return 0;
    }
    if (!args.strError.empty()) {
        PrintErr(L"morvanec: error: " + args.strError + L"\n" + kConsoleUsage);
        return 2;
    }
    Docx_Init();
    int result = 1;
    try {
        result = RunConsoleConversion(args);
    } catch (...) {
        PrintErr(L"morvanec: error: out of memory\n");
    }
    Docx_Fini();
    return result;
}
