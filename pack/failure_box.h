// How the resource manager reports a resource it cannot load: a modal error box on the
// calling thread. Tests replace the function so that nothing waits for a user.
#ifndef MORVANE_PACK_FAILURE_BOX_H
#define MORVANE_PACK_FAILURE_BOX_H

#include <windows.h>

typedef int(WINAPI* ResFailureBoxFn)(HWND hOwner, LPCWSTR pszText, LPCWSTR pszCaption, UINT uType);

// MessageBoxW unless replaced.
extern ResFailureBoxFn g_pfnResFailureBox;

// Shows pszText under the caption "Load resource failed!" with the error icon, no owner.
void ShowResFailure(const wchar_t* pszText);

#endif
