// The worker thread: converts the job list one job after the other.
#include <new>
#include <memory>

#include "convert_services.h"
#include "convertor.h"
#include "job_list.h"
#include "output_name.h"

namespace {

CConvertor* CreateConvertor(int convType, int wordLayout)
{
    if (convType == CONV_TYPE_TEXT)
        return new (std::nothrow) CP2TConvertor;
    if (wordLayout == WORD_LAYOUT_FAITHFUL)
        return new (std::nothrow) CFaithfulConvertor;
    return new (std::nothrow) CP2WConvertor;
}

}  // namespace

DWORD WINAPI ConvertThreadProc(void* param)
{
    CJobList* list = static_cast<CJobList*>(param);
    if (!list)
        return 0;
    IP2DMsgSink* sink = list->m_pSink;
    int result = 1;
    // Nothing may leave the thread; a failure inside a run ends it as if stopped.
    try {
        if (sink)
            sink->SetTotalSteps(list->GetJobCount() + 2 * list->GetTotalPages());
        result = list->RunJobs();
    } catch (...) {
        result = 1;
    }
    try {
        if (sink)
            sink->ConvertDone(result);
    } catch (...) {
    }
    // The last act: from here on the window may start a new run or destroy the list.
    if (HANDLE self = list->m_hThread.exchange(nullptr))
        CloseHandle(self);
    return 0;
}

void CJobList::Notify(int job, int stage, int value)
{
    if (m_pSink)
        m_pSink->JobProgress(job, stage, value);
}

int CJobList::RunJobs()
{
    for (int index = GetJobCount() - 1; index >= 0; --index) {
        if (m_bStop)
            return 1;
        ConvertJob(index);
    }
    return m_bStop ? 1 : 0;
}

void CJobList::ConvertJob(int index)
{
    const stJobInfo* job = GetJob(index);
    qrn_IPdfDoc* doc = nullptr;
    if (!job || !g_convertServices.pfnLoadDoc || !g_convertServices.pfnLoadDoc(job->szPath, &doc) || !doc)
        return;

    const long long count = (long long)job->nLastPage - job->nFirstPage + 1;
    int done = 0;
    std::unique_ptr<stPdfPage*[]> pages;
    std::unique_ptr<int[]> numbers;  // the page number of each loaded page
    if (count > 0 && count <= 0x7FFFFFFF) {
        pages.reset(new (std::nothrow) stPdfPage*[(size_t)count]);
        numbers.reset(new (std::nothrow) int[(size_t)count]);
    }
    if (pages && numbers) {
        int loaded = 0;
        for (int number = job->nFirstPage; number <= job->nLastPage && !m_bStop; ++number) {
            stPdfPage* page = nullptr;
            if (doc->LoadPage(number, &page) && page) {
                numbers[loaded] = number;
                pages[loaded++] = page;
            }
            Notify(index, JOB_STAGE_ANALYSE, loaded);
            if (number == job->nLastPage)
                break;  // number + 1 would overflow for a range ending at INT_MAX
        }

        done = 1;
        if (CConvertor* writer = CreateConvertor(m_nConvType, m_nWordLayout)) {
            wchar_t folder[OUTPUT_DIR_CHARS] = {};
            if (g_convertServices.pfnGetOutputDir)
                g_convertServices.pfnGetOutputDir(folder);
            folder[OUTPUT_DIR_CHARS - 1] = 0;
            // An output that cannot be opened gets no pages; the job still ends with stage 2.
            if (writer->OpenOutput(job->szPath, folder)) {
                for (int j = 0; j < loaded; ++j) {
                    if (m_bStop)
                        break;
                    writer->ConvertDocPage(doc, numbers[j], pages[j], j == loaded - 1);
                    Notify(index, JOB_STAGE_CONVERT, j + 1);
                }
            }
            writer->CloseOutput();
            delete writer;
        }
        for (int j = 0; j < loaded; ++j)
            doc->FreePage(pages[j]);
    }
    if (g_convertServices.pfnFreeDoc)
        g_convertServices.pfnFreeDoc(doc);
    Notify(index, done + 1, 0);
}
