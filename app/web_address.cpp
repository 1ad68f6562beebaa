#include "web_address.h"

#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#include "afx_app.h"
#include "res_text.h"

int FormatWebAddress(const wchar_t* templ, const int32_t* values, int valueCount, wchar_t* address, int capacity)
{
    if (!address || capacity <= 0)
        return 0;
    address[0] = 0;
    if (!templ)
        return 0;
    int length = 0;
    int next = 0;
    auto put = [&](const wchar_t* piece, int count) {
        if (length + count >= capacity)
            return false;
        wmemcpy(address + length, piece, count);
        length += count;
        return true;
    };
    for (const wchar_t* p = templ; *p; ++p) {
        bool ok;
        if (*p != L'%') {
            ok = put(p, 1);
        } else if (p[1] == L'%') {
            ok = put(p, 1);
            ++p;
        } else if (p[1] == L'd') {
            const int32_t value = next < valueCount && values ? values[next] : 0;
            ++next;
            wchar_t number[16];
            const int count = swprintf(number, 16, L"%d", (int)value);
            ok = count > 0 && put(number, count);
            ++p;
        } else {
            ok = false;
        }
        if (!ok) {
            address[0] = 0;
            return 0;
        }
    }
    address[length] = 0;
    return length;
}

int BuildWebAddress(int32_t textId, bool withSrc, wchar_t* address, int capacity)
{
    wchar_t templ[kWebAddressChars];
    QueryText(textId, templ, kWebAddressChars);
    const int32_t values[2] = {KernelAppId(), withSrc ? PubIniSrc() : 0};
    return FormatWebAddress(templ, values, withSrc ? 2 : 1, address, capacity);
}

void OpenWebAddress(const wchar_t* address)
{
    if (address && *address)
        AfxShellExecute(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
