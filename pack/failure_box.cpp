#include "failure_box.h"

ResFailureBoxFn g_pfnResFailureBox = MessageBoxW;

void ShowResFailure(const wchar_t* pszText)
{
    g_pfnResFailureBox(nullptr, pszText ? pszText : L"", L"Load resource failed!", MB_ICONERROR);
}
