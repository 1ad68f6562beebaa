// morvane_showcase.exe: drives the real main window through its own code path without a
// person: adds the given PDFs as the Add button does, converts them into an output folder,
// saves a picture of the window while the first file is being converted, and answers the
// end-of-run question with No. Used by scripts/run.sh on machines without a display and for
// the product screenshot. Not part of the installed set.
//   morvane_showcase.exe --out FOLDER [--shot FILE.bmp] [--text] FILE.pdf...
//   morvane_showcase.exe --about-shot FILE.bmp   (a picture of the About dialog)
//   morvane_showcase.exe --measure FILE.pdf...   (start-up and add times, memory; no conversion)
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "about_dlg.h"
#include "file_utils.h"
#include "morvane_app.h"
#include "morvane_dlg.h"
#include "resource.h"
#include "seams.h"
#include "services.h"
#include "settings_file.h"

namespace {

std::vector<std::wstring> g_messages;

int AnswerNo(HWND, const wchar_t* text, const wchar_t*, UINT type)
{
    g_messages.push_back(text ? text : L"");
    return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
}

HINSTANCE OpenNothing(HWND, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int)
{
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Saves what the screen shows of the window as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const wchar_t* path)
{
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        SelectObject(memory, old);
        const DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + stride * h;
        FILE* out = _wfopen(path, L"wb");
        if (out) {
            saved = fwrite(&file, sizeof(file), 1, out) == 1 &&
                    fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                    fwrite(bits, stride * h, 1, out) == 1;
            fclose(out);
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

double MsSinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG a = ((ULONGLONG)created.dwHighDateTime << 32) | created.dwLowDateTime;
    const ULONGLONG b = ((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime;
    return (double)(b - a) / 10000.0;
}

double MsNow()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

// The working set: what Wine reports reliably (it leaves the private usage at 0).
double PrivateMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return (double)counters.WorkingSetSize / (1024.0 * 1024.0);
}

// Start-up to the painted window, the time to add the files, and the memory around both.
int Measure(const std::vector<CString>& files)
{
    CMorvaneApp app;
    if (!app.StartServices())
        return 3;
    const double beforeWindow = PrivateMiB();
    CMorvaneDlg dlg;
    if (!dlg.Create(MAKEINTRESOURCEW(IDD_MORVANE_DIALOG), nullptr))
        return 4;
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    const double startup = MsSinceProcessStart();
    const double withWindow = PrivateMiB();
    const double addStart = MsNow();
    const int added = dlg.AddFiles(files);
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double addMs = MsNow() - addStart;
    const double withFiles = PrivateMiB();
    wprintf(L"start-up to painted main window: %.0f ms\n", startup);
    wprintf(L"add %d files (%d listed): %.0f ms\n", (int)files.size(), added, addMs);
    wprintf(L"working set: %.1f MiB before the window, %.1f MiB with it, %.1f MiB with the files listed\n",
            beforeWindow, withWindow, withFiles);
    dlg.DestroyWindow();
    app.StopServices();
    return 0;
}

int PictureAbout(const std::wstring& shot)
{
    CMorvaneApp app;
    if (!app.StartServices())
        return 3;
    int result = 0;
    {
        CAboutDlg about;
        if (about.Create(MAKEINTRESOURCEW(IDD_ABOUTBOX), nullptr)) {
            about.ShowWindow(SW_SHOW);
            for (int i = 0; i < 30; ++i) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                Pump();
            }
            result = SaveWindowPicture(about.m_hWnd, shot.c_str()) ? 0 : 6;
            about.DestroyWindow();
        } else {
            result = 4;
        }
    }
    app.StopServices();
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring out, shot;
    int kind = 0;
    bool measure = false;
    std::vector<CString> files;
    for (int i = 1; i < argc; ++i) {
        if (!wcscmp(argv[i], L"--about-shot") && i + 1 < argc) {
            g_pfnAfxShellExecute = OpenNothing;
            return PictureAbout(argv[i + 1]);
        }
        if (!wcscmp(argv[i], L"--measure")) {
            measure = true;
            continue;
        }
        if (!wcscmp(argv[i], L"--out") && i + 1 < argc)
            out = argv[++i];
        else if (!wcscmp(argv[i], L"--shot") && i + 1 < argc)
            shot = argv[++i];
        else if (!wcscmp(argv[i], L"--text"))
            kind = 1;
        else
            files.push_back(argv[i]);
    }
    if (measure) {
        g_pfnAfxMessageBox = AnswerNo;
        g_pfnAfxShellExecute = OpenNothing;
        return Measure(files);
    }
    if (out.empty() || files.empty()) {
        fwprintf(stderr, L"usage: morvane_showcase --out FOLDER [--shot FILE.bmp] [--text] FILE.pdf...\n");
        return 2;
    }
    CreateFolderPath(out.c_str());
    g_pfnAfxMessageBox = AnswerNo;
    g_pfnAfxShellExecute = OpenNothing;

    CMorvaneApp app;
    if (!app.StartServices())
        return 3;
    int result = 0;
    {
        CMorvaneDlg dlg;
        if (!dlg.Create(MAKEINTRESOURCEW(IDD_MORVANE_DIALOG), nullptr)) {
            app.StopServices();
            return 4;
        }
        app.m_pMainWnd = &dlg;
        const int added = dlg.AddFiles(files);
        dlg.SetDlgItemText(IDC_OUTPUT_DIR, out.c_str());
        dlg.m_comboConvertTo.SetCurSel(kind);
        for (int i = 0; i < 30; ++i) {  // let the window show itself fully first
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
        }
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CONVERT, BN_CLICKED), 0);
        bool pictured = shot.empty();
        const DWORD start = GetTickCount();
        while (dlg.IsRunning() || dlg.Jobs().m_hThread) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
            // The top row is converted first; take the picture while its pages are written.
            if (!pictured && dlg.m_listFiles.GetItemText(0, 4).Find(L"页面转换") == 0) {
                dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
                // Waiting for messages (none wanted) lets the display catch up with the painting;
                // the worker meanwhile waits for its next row text.
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 300, 0);
                pictured = SaveWindowPicture(dlg.m_hWnd, shot.c_str());
            }
            if (GetTickCount() - start > 600000) {
                result = 5;
                break;
            }
        }
        for (int row = 0; row < dlg.m_listFiles.GetItemCount(); ++row)
            wprintf(L"  %ls: %ls\n", dlg.m_listFiles.GetItemText(row, 0).GetString(),
                    dlg.m_listFiles.GetItemText(row, 4) == L"已完成转换" ? L"converted" : L"not converted");
        wprintf(L"%d of %d files listed; results in %ls\n", added, (int)files.size(), out.c_str());
        if (!pictured)
            result = 6;
        // Messages other than the end-of-run question mean the run did not go as planned.
        for (const std::wstring& message : g_messages)
            if (message.find(L"\\") != std::wstring::npos || message.find(L"invalid") != std::wstring::npos ||
                message.find(L"could not") != std::wstring::npos)
                fwprintf(stderr, L"message: %ls\n", message.c_str());
        dlg.DestroyWindow();
        app.m_pMainWnd = nullptr;
    }
    app.StopServices();
    return result;
}
