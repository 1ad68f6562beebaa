#include "console_out.h"

#include <windows.h>

namespace {

void Print(DWORD stream, const std::wstring& text)
{
    HANDLE handle = GetStdHandle(stream);
    if (handle == INVALID_HANDLE_VALUE || !handle || text.empty())
        return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.data(), (DWORD)text.size(), &written, nullptr);
        return;
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &utf8[0], bytes, nullptr, nullptr);
    WriteFile(handle, utf8.data(), (DWORD)utf8.size(), &written, nullptr);
}

}  // namespace

void PrintOut(const std::wstring& text)
{
    Print(STD_OUTPUT_HANDLE, text);
}

void PrintErr(const std::wstring& text)
{
    Print(STD_ERROR_HANDLE, text);
}
