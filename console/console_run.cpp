#include "console_run.h"

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "console_out.h"
#include "convert_services.h"
#include "job_list.h"
#include "output_name.h"
#include "services.h"
#include "settings_file.h"

namespace {

// What the terminal learns about each job; written on the worker thread, read after the run.
struct stJobReport {
    std::wstring strName;  // file name for the progress lines
    std::wstring strError;  // set before the run when the file could not be added
    std::wstring strOutput;  // where the output goes
    int nPages = 0;
    int nLoaded = 0;
    int nWritten = 0;
    bool bDone = false;
};

class ConsoleSink : public IP2DMsgSink {
public:
    explicit ConsoleSink(std::vector<stJobReport*>& jobs) : m_jobs(jobs) { }

    void SetTotalSteps(int) override { }
    void ConvertDone(int) override { }
    void JobProgress(int job, int stage, int value) override
    {
        if (job < 0 || job >= (int)m_jobs.size())
            return;
        stJobReport& report = *m_jobs[job];
        const std::wstring prefix = L"\r" + report.strName + L": ";
        if (stage == JOB_STAGE_ANALYSE) {
            report.nLoaded = value;
            PrintOut(prefix + L"reading page " + std::to_wstring(value) + L"/" + std::to_wstring(report.nPages) +
                     L"   ");
        } else if (stage == JOB_STAGE_CONVERT) {
            report.nWritten = value;
            PrintOut(prefix + L"writing page " + std::to_wstring(value) + L"/" + std::to_wstring(report.nLoaded) +
                     L"   ");
        } else {
            report.bDone = true;
            PrintOut(prefix + std::to_wstring(report.nWritten) + L" pages -> " + report.strOutput + L"\n");
        }
    }

private:
    std::vector<stJobReport*>& m_jobs;
};

CJobList* g_pRunningList = nullptr;

BOOL WINAPI StopOnCtrlC(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    if (g_pRunningList)
        g_pRunningList->m_bStop = 1;
    return TRUE;
}

wchar_t g_szOutDir[OUTPUT_DIR_CHARS];
wchar_t g_szConsoleCfgPath[MAX_PATH];

void ConsoleOutputDir(qrn_wchar* folder)
{
    wcsncpy(folder, g_szOutDir, OUTPUT_DIR_CHARS - 1);
}

// The settings file of the program (%APPDATA%\Quenby\Talvern\morvane.cfg), read for the
// default output folder and Word layout only.
void UseProgramSettingsFile()
{
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return;
    const std::wstring path = std::wstring(appData) + L"\\Quenby\\Talvern\\morvane.cfg";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES || path.size() >= MAX_PATH)
        return;  // never create the program's settings file from here
    wcscpy(g_szConsoleCfgPath, path.c_str());
    g_szCfgPath = g_szConsoleCfgPath;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileName(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

}  // namespace

int RunConsoleConversion(const stConsoleArgs& args)
{
    UseProgramSettingsFile();
    // The output folder: --out, else the one the main window uses, else beside each PDF.
    if (!args.strOutDir.empty()) {
        if (args.strOutDir.size() >= OUTPUT_DIR_CHARS - 1 || !IsFolder(args.strOutDir)) {
            PrintErr(L"morvanec: error: output folder does not exist: " + args.strOutDir + L"\n");
            return 2;
        }
        wcscpy(g_szOutDir, args.strOutDir.c_str());
    } else {
        if (g_convertServices.pfnGetOutputDir)
            g_convertServices.pfnGetOutputDir(g_szOutDir);
        g_szOutDir[OUTPUT_DIR_CHARS - 1] = 0;
    }
    g_convertServices.pfnGetOutputDir = ConsoleOutputDir;

    const wchar_t* extension = args.nConvType == CONV_TYPE_TEXT ? L".txt" : L".docx";
    std::vector<stJobReport> reports(args.files.size());
    std::vector<stJobReport*> byJob;  // job index -> report
    CJobList list;
    // The Word layout: --layout, else the one chosen in the program's settings.
    list.m_nWordLayout = args.nWordLayout != CONSOLE_LAYOUT_FROM_SETTINGS ? args.nWordLayout
                         : g_szCfgPath                                    ? CfgGetWordLayout(g_szCfgPath)
                                                                          : (int)WORD_LAYOUT_DEFAULT;
    for (size_t i = 0; i < args.files.size(); ++i) {
        stJobReport& report = reports[i];
        const std::wstring& path = args.files[i];
        report.strName = FileName(path);
        qrn_IPdfDoc* doc = nullptr;
        if (path.size() >= 260) {
            report.strError = L"path too long";
        } else if (!g_convertServices.pfnLoadDoc(path.c_str(), &doc) || !doc) {
            report.strError = GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? L"file not found"
                                                                                          : L"not a readable PDF file";
        } else {
            report.nPages = doc->GetPageCount();
            g_convertServices.pfnFreeDoc(doc);
            wchar_t folder[OUTPUT_DIR_CHARS];
            wcscpy(folder, g_szOutDir);
            qrn_string output;
            BuildOutputPath(path.c_str(), folder, extension, &output);
            report.strOutput = output;
            stJobInfo job = {};
            wcscpy(job.szPath, path.c_str());
            job.nPages = report.nPages;
            job.nFirstPage = 1;
            job.nLastPage = report.nPages;
            if (report.nPages <= 0)
                report.strError = L"the document has no pages";
            else if (list.AddJob(job) >= 0)
                byJob.push_back(&report);
            else
                report.strName.clear();  // named twice: converted once
        }
    }

    // The worker converts the last added job first; add them in reverse so files go in
    // command-line order.
    std::vector<stJobInfo> jobs(list.m_jobs.rbegin(), list.m_jobs.rend());
    list.m_jobs = jobs;
    std::vector<stJobReport*> reversed(byJob.rbegin(), byJob.rend());
    byJob = reversed;

    ConsoleSink sink(byJob);
    bool stopped = false;
    if (list.GetJobCount() > 0) {
        g_pRunningList = &list;
        SetConsoleCtrlHandler(StopOnCtrlC, TRUE);
        if (!list.StartConvert(&sink, args.nConvType)) {
            PrintErr(L"morvanec: error: cannot start the conversion\n");
            return 1;
        }
        while (list.m_hThread)
            Sleep(20);
        stopped = list.m_bStop != 0;
        SetConsoleCtrlHandler(StopOnCtrlC, FALSE);
        g_pRunningList = nullptr;
    }

    int failed = 0;
    for (stJobReport& report : reports) {
        if (report.strName.empty())
            continue;
        std::wstring error = report.strError;
        if (error.empty()) {
            if (!report.bDone)
                error = stopped ? L"stopped" : L"not a readable PDF file";
            else if (report.nLoaded == 0)
                error = L"no page could be read";
            else if (report.nWritten < report.nLoaded)
                error = stopped ? L"stopped, output incomplete" : L"cannot write " + report.strOutput;
            else if (GetFileAttributesW(report.strOutput.c_str()) == INVALID_FILE_ATTRIBUTES)
                error = L"cannot write " + report.strOutput;
        }
        if (!error.empty()) {
            ++failed;
            PrintErr(L"morvanec: error: " + report.strName + L": " + error + L"\n");
        }
    }
    return failed ? 1 : 0;
}
