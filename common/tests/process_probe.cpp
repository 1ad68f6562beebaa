// Test helper: records how it was started into "<its own path>.txt", one item a line (UTF-8):
// the command line, the current folder, and GetModuleFolder's result.
#include <windows.h>

#include <stdio.h>
#include <string>

#include "module_folder.h"

namespace {
std::string Utf8(const wchar_t* text)
{
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out) - 1, nullptr, nullptr);
    return out;
}
}  // namespace

int wmain()
{
    wchar_t self[1024] = {};
    GetModuleFileNameW(nullptr, self, 1000);
    wchar_t current[1024] = {};
    GetCurrentDirectoryW(1000, current);
    wchar_t folder[260] = {};
    const int length = GetModuleFolder(folder);

    std::wstring report = std::wstring(self) + L".txt";
    FILE* out = _wfopen(report.c_str(), L"wb");
    if (!out)
        return 1;
    fprintf(out, "%s\n%s\n%s\n%d\n", Utf8(GetCommandLineW()).c_str(), Utf8(current).c_str(), Utf8(folder).c_str(),
            length);
    fclose(out);
    return 0;
}
