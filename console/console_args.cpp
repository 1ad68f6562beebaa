#include "console_args.h"

#include <windows.h>

#include "job_list.h"

const wchar_t kConsoleUsage[] =
    L"Usage: morvanec.exe [--to docx|txt] [--layout faithful|classic] [--out FOLDER] FILE.pdf...\n"
    L"Converts each PDF file to a Word document (.docx, the default) or to plain text\n"
    L"(.txt, UTF-16 with byte-order mark; pages separated by a form-feed line).\n"
    L"\n"
    L"  --to docx|txt  output kind\n"
    L"  --layout faithful|classic\n"
    L"                 layout of the Word output: faithful to the page (sections, columns,\n"
    L"                 tables, alignment) or classic continuous paragraphs; without it, the\n"
    L"                 layout chosen in the program's settings\n"
    L"  --out FOLDER   folder for the output files; without it, the output folder of the\n"
    L"                 program's settings, or else the folder of each PDF\n"
    L"  --help         this text\n"
    L"\n"
    L"An output file is named after its PDF without the last four characters (\".pdf\");\n"
    L"an existing file of that name is replaced. The exit code is 0 when every file was\n"
    L"converted, 1 when any failed, 2 for a command line that cannot be used.\n";

std::wstring FullWindowsPath(const std::wstring& path)
{
    if (path.empty())
        return std::wstring();
    std::wstring slashed = path;
    for (wchar_t& c : slashed)
        if (c == L'/')
            c = L'\\';
    const DWORD needed = GetFullPathNameW(slashed.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(slashed.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    return full;
}

stConsoleArgs ParseConsoleArgs(int argc, const wchar_t* const* argv)
{
    stConsoleArgs args;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i] ? argv[i] : L"";
        if (!optionsEnded && (arg == L"--help" || arg == L"-h" || arg == L"/?")) {
            args.bHelp = true;
        } else if (!optionsEnded && arg == L"--to") {
            const std::wstring kind = i + 1 < argc && argv[i + 1] ? argv[++i] : L"";
            if (kind == L"docx")
                args.nConvType = CONV_TYPE_WORD;
            else if (kind == L"txt")
                args.nConvType = CONV_TYPE_TEXT;
            else
                args.strError = L"--to takes docx or txt";
        } else if (!optionsEnded && arg == L"--layout") {
            const std::wstring layout = i + 1 < argc && argv[i + 1] ? argv[++i] : L"";
            if (layout == L"faithful")
                args.nWordLayout = WORD_LAYOUT_FAITHFUL;
            else if (layout == L"classic")
                args.nWordLayout = WORD_LAYOUT_CLASSIC;
            else
                args.strError = L"--layout takes faithful or classic";
        } else if (!optionsEnded && arg == L"--out") {
            if (i + 1 >= argc || !argv[i + 1] || !*argv[i + 1]) {
                args.strError = L"--out takes a folder";
                continue;
            }
            args.strOutDir = FullWindowsPath(argv[++i]);
            if (args.strOutDir.empty())
                args.strError = L"--out: not a usable folder path";
        } else if (!optionsEnded && arg == L"--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == L'-') {
            args.strError = L"unknown option " + arg;
        } else {
            const std::wstring full = FullWindowsPath(arg);
            if (full.empty())
                args.strError = L"not a usable file path: " + arg;
            else
                args.files.push_back(full);
        }
        if (!args.strError.empty())
            return args;
    }
    if (!args.bHelp && args.files.empty())
        args.strError = L"no PDF file given";
    return args;
}
