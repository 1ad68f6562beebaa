#include "job_list.h"

#include <wchar.h>

CJobList::CJobList()
    : m_hThread(nullptr), m_pSink(nullptr), m_bStop(1), m_nConvType(CONV_TYPE_WORD), m_nWordLayout(WORD_LAYOUT_DEFAULT)
{ }

CJobList::~CJobList()
{
    ClearJobs();
}

int CJobList::AddJob(const stJobInfo& job)
{
    stJobInfo copy = job;
    copy.szPath[259] = 0;
    for (const stJobInfo& listed : m_jobs)
        if (wcscmp(listed.szPath, copy.szPath) == 0)
            return -1;
    m_jobs.push_back(copy);
    return (int)m_jobs.size() - 1;
}

int CJobList::RemoveJob(int index)
{
    if (index < 0 || index >= GetJobCount())
        return 0;
    m_jobs.erase(m_jobs.begin() + index);
    return 1;
}

void CJobList::ClearJobs()
{
    m_jobs.clear();
}

int CJobList::GetJobCount() const
{
    return (int)m_jobs.size();
}

stJobInfo* CJobList::GetJob(int index)
{
    return index >= 0 && index < GetJobCount() ? &m_jobs[index] : nullptr;
}

int CJobList::GetTotalPages() const
{
    long long total = 0;
    for (const stJobInfo& job : m_jobs) {
        const long long pages = (long long)job.nLastPage - job.nFirstPage + 1;
        if (pages > 0)
            total += pages;
    }
    return total > 0x3FFFFFFF ? 0x3FFFFFFF : (int)total;  // still fits twice over in SetTotalSteps
}

bool CJobList::StartConvert(IP2DMsgSink* sink, int convType)
{
    if (m_hThread)
        return false;
    m_nConvType = convType;
    m_pSink = sink;
    m_bStop = 0;
    HANDLE thread = CreateThread(nullptr, 0, ConvertThreadProc, this, CREATE_SUSPENDED, nullptr);
    if (!thread) {
        m_bStop = 1;
        return false;
    }
    m_hThread = thread;
    ResumeThread(thread);
    return true;
}
