// The conversion jobs and the worker's control block. The main window fills the list while no
// worker exists; the worker converts the jobs from the last added to the first and reports
// each step through IP2DMsgSink.
#ifndef MORVANE_CONVERT_JOB_LIST_H
#define MORVANE_CONVERT_JOB_LIST_H

#include <windows.h>

#include <atomic>
#include <vector>

enum { CONV_TYPE_WORD = 0, CONV_TYPE_TEXT = 1 };  // any value but 1 converts to Word
enum { JOB_STAGE_ANALYSE = 0, JOB_STAGE_CONVERT = 1, JOB_STAGE_DONE = 2 };
// How the Word output lays a page out: classic continuous paragraphs, or faithful to the page
// (sections, columns, tables, alignment).
enum { WORD_LAYOUT_CLASSIC = 0, WORD_LAYOUT_FAITHFUL = 1 };
// The layout of a run when nothing chose one. Classic until the faithful layout measures better
// on every figure of the corpus (placement, page count, tables, text); then it becomes faithful.
enum { WORD_LAYOUT_DEFAULT = WORD_LAYOUT_CLASSIC };

struct stJobInfo {
    wchar_t szPath[260];  // full path of the PDF, zero-terminated
    int nPages;  // page count when the file was added
    int nFirstPage;  // 1-based
    int nLastPage;  // 1-based, inclusive
};

// Receives the worker's notifications, on the worker thread. The slot order is fixed.
class IP2DMsgSink {
public:
    // A run starts; it makes at most steps JobProgress calls.
    virtual void SetTotalSteps(int steps) = 0;
    // The run is over: 0 every job was visited, 1 the run was stopped.
    virtual void ConvertDone(int result) = 0;
    // Stage 0: value pages loaded so far; stage 1: value pages written so far; stage 2: done.
    virtual void JobProgress(int job, int stage, int value) = 0;

protected:
    ~IP2DMsgSink() = default;
};

class CJobList {
public:
    CJobList();
    ~CJobList();
    CJobList(const CJobList&) = delete;
    CJobList& operator=(const CJobList&) = delete;

    // -1 when a listed job has the same path (case-sensitive); otherwise the new job's index.
    int AddJob(const stJobInfo& job);
    // 1 when index was a job, which is removed (later jobs move down); else 0.
    int RemoveJob(int index);
    void ClearJobs();
    int GetJobCount() const;
    // The job at index, or null outside 0 .. count - 1.
    stJobInfo* GetJob(int index);
    // Pages over all jobs' ranges (an empty range counts 0).
    int GetTotalPages() const;

    // Starts the worker on the current jobs with sink and output kind. The handle is stored
    // before the thread runs, so the worker's clearing of m_hThread always comes after.
    // False when a worker exists or none could be started.
    bool StartConvert(IP2DMsgSink* sink, int convType);

    // Worker side: converts every job, the most recently added first. 1 when stopped, else 0.
    int RunJobs();
    // Converts one job: loads its pages, writes them, reports stages 0, 1 and 2.
    void ConvertJob(int index);

    std::vector<stJobInfo> m_jobs;
    std::atomic<HANDLE> m_hThread;  // the worker; null when none exists
    IP2DMsgSink* m_pSink;
    std::atomic<int> m_bStop;  // set by the window to stop; polled by the worker
    int m_nConvType;
    int m_nWordLayout;  // WORD_LAYOUT_*, for the Word output

private:
    void Notify(int job, int stage, int value);
};

// Thread entry of the worker; param is the CJobList. Clears m_hThread as its last act.
DWORD WINAPI ConvertThreadProc(void* param);

#endif
