// The job list and the worker, driven by a fake reader and a recording document writer.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "convert_services.h"
#include "convertor.h"
#include "fake_docx.h"
#include "fake_page.h"
#include "job_list.h"
#include "test_paths.h"

namespace {

// ---- a fake reader: documents by path, each page one line "page N" -------------------------

struct FakePdfInfo {
    int pages = 3;
    std::set<int> failingPages;
};

class FakeDoc final : public qrn_IPdfDoc {
public:
    explicit FakeDoc(const FakePdfInfo& info) : info(info) { }
    int LoadPage(int number, stPdfPage** page) override
    {
        if (number < 1 || number > info.pages || info.failingPages.count(number))
            return 0;
        auto fake = std::make_unique<FakePage>();
        fake->Line(0, 100, 595, 110);
        fake->Text("page " + std::to_string(number));
        *page = fake->Get();
        live[*page] = std::move(fake);
        return 1;
    }
    int FreePage(stPdfPage* page) override
    {
        freedPages += live.erase(page);
        return 1;
    }
    int GetPageCount() override { return info.pages; }

    FakePdfInfo info;
    std::map<stPdfPage*, std::unique_ptr<FakePage>> live;
    int freedPages = 0;
};

struct FakeWorld {
    std::map<std::wstring, FakePdfInfo> files;  // readable PDFs
    int openDocs = 0;
    int freedDocs = 0;
    int pagesLeftLoaded = 0;
    std::wstring outputDir;
    bool docxCreateFails = false;
    std::vector<std::unique_ptr<FakeDocx>> documents;
    std::vector<std::wstring> documentPaths;
    int deletedDocuments = 0;
};

FakeWorld* g_world = nullptr;

int FakeLoadDoc(const qrn_wchar* path, qrn_IPdfDoc** doc)
{
    auto it = g_world->files.find(path);
    if (it == g_world->files.end())
        return 0;
    *doc = new FakeDoc(it->second);
    ++g_world->openDocs;
    return 1;
}

void FakeFreeDoc(qrn_IPdfDoc* doc)
{
    FakeDoc* fake = static_cast<FakeDoc*>(doc);
    g_world->pagesLeftLoaded += (int)fake->live.size();
    ++g_world->freedDocs;
    delete fake;
}

int FakeDocxCreate(qrn_IDocx** doc, const qrn_wchar* path)
{
    if (g_world->docxCreateFails)
        return 0;
    g_world->documents.push_back(std::make_unique<FakeDocx>());
    g_world->documentPaths.push_back(path);
    *doc = g_world->documents.back().get();
    return 1;
}

void FakeDocxDelete(qrn_IDocx*)
{
    ++g_world->deletedDocuments;
}

void FakeOutputDir(qrn_wchar* folder)
{
    wcsncpy(folder, g_world->outputDir.c_str(), 259);
}

// ---- a sink that records, and may press Stop at a chosen step ------------------------------

class RecordingSink : public IP2DMsgSink {
public:
    explicit RecordingSink(CJobList* list) : list(list) { }
    void SetTotalSteps(int steps) override { Record("total " + std::to_string(steps)); }
    void ConvertDone(int result) override { Record("done " + std::to_string(result)); }
    void JobProgress(int job, int stage, int value) override
    {
        Record("(" + std::to_string(job) + "," + std::to_string(stage) + "," + std::to_string(value) + ")");
        if (job == stopJob && stage == stopStage && value == stopValue)
            list->m_bStop = 1;
    }

    std::vector<std::string> events;
    int stopJob = -1, stopStage = -1, stopValue = -1;

private:
    void Record(const std::string& event)
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(event);
    }
    CJobList* list;
    std::mutex mutex;
};

std::string ReadUtf16File(const std::wstring& path, bool* exists)
{
    *exists = false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    *exists = true;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], (DWORD)bytes.size(), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

// The file's bytes as text: "<BOM>" for FF FE, then each UTF-16LE ASCII unit as a character.
std::string Describe(const std::string& bytes)
{
    std::string out;
    size_t i = 0;
    if (bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE) {
        out = "<BOM>";
        i = 2;
    }
    for (; i + 1 < bytes.size(); i += 2)
        out += bytes[i + 1] == 0 ? bytes[i] : '?';
    return out;
}

class Worker : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_world = &world;
        g_convertServices = {FakeLoadDoc, FakeFreeDoc, FakeDocxCreate, FakeDocxDelete, FakeOutputDir};
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = TestScratchFolderW(std::string("worker_") + info->name());
        world.outputDir = folder + L"out";
        CreateDirectoryW(world.outputDir.c_str(), nullptr);
    }

    void TearDown() override
    {
        EXPECT_EQ(world.openDocs, world.freedDocs) << "every opened document is released";
        EXPECT_EQ(world.pagesLeftLoaded, 0) << "every loaded page is released before its document";
        EXPECT_EQ((int)world.documents.size(), world.deletedDocuments);
        g_world = nullptr;
    }

    // A readable PDF named name (in a folder of its own) with pages first..last.
    void AddJob(const std::string& name, int first, int last, FakePdfInfo info = FakePdfInfo(), bool readable = true)
    {
        stJobInfo job = {};
        const std::wstring path = folder + L"pdf\\" + Widen(name);
        wcsncpy(job.szPath, path.c_str(), 259);
        job.nPages = info.pages;
        job.nFirstPage = first;
        job.nLastPage = last;
        if (readable)
            world.files[path] = info;
        ASSERT_GE(list.AddJob(job), 0);
    }

    // Runs the worker thread to its end.
    void Run(int convType)
    {
        ASSERT_TRUE(list.StartConvert(&sink, convType));
        for (int waited = 0; list.m_hThread && waited < 20000; waited += 5)
            Sleep(5);
        ASSERT_EQ(list.m_hThread.load(), nullptr) << "worker did not end";
    }

    std::string Output(const std::string& name, bool* exists)
    {
        return Describe(ReadUtf16File(world.outputDir + L"\\" + Widen(name), exists));
    }

    FakeWorld world;
    CJobList list;
    RecordingSink sink{&list};
    std::wstring folder;
};

typedef std::vector<std::string> Events;

}  // namespace

TEST_F(Worker, AllPagesLoad)
{
    AddJob("report.pdf", 1, 3);
    Run(CONV_TYPE_TEXT);
    EXPECT_EQ(sink.events, (Events{"total 7", "(0,0,1)", "(0,0,2)", "(0,0,3)", "(0,1,1)", "(0,1,2)", "(0,1,3)",
                                   "(0,2,0)", "done 0"}));
    bool exists = false;
    EXPECT_EQ(Output("report.txt", &exists), "<BOM>page 1\r\n\f\r\npage 2\r\n\f\r\npage 3\r\n");
    EXPECT_TRUE(exists);
}

TEST_F(Worker, APageFailsToLoadAndIsLeftOut)
{
    FakePdfInfo info;
    info.failingPages = {2};
    AddJob("report.pdf", 1, 3, info);
    Run(CONV_TYPE_WORD);
    EXPECT_EQ(sink.events,
              (Events{"total 7", "(0,0,1)", "(0,0,1)", "(0,0,2)", "(0,1,1)", "(0,1,2)", "(0,2,0)", "done 0"}));
    ASSERT_EQ(world.documents.size(), 1u);
    EXPECT_EQ(world.documentPaths[0], world.outputDir + L"\\report.docx");
    const std::string text = " font=Arial size=20 color=0";
    // Two pages written, a page break only after the first (the second is the last loaded page).
    EXPECT_EQ(world.documents[0]->calls,
              (Events{"para left=0 first=0 before=0 align=none", "text 'page 1'" + text, "end", "pagebreak",
                      "para left=0 first=0 before=0 align=none", "text 'page 3'" + text, "end", "save"}));
}

TEST_F(Worker, AFileThatCannotBeOpenedGetsNoNotification)
{
    AddJob("good.pdf", 1, 1);
    AddJob("broken.pdf", 1, 2, FakePdfInfo(), false);
    Run(CONV_TYPE_TEXT);
    EXPECT_EQ(sink.events, (Events{"total 8", "(0,0,1)", "(0,1,1)", "(0,2,0)", "done 0"}));
    bool exists = true;
    Output("broken.txt", &exists);
    EXPECT_FALSE(exists);
}

TEST_F(Worker, JobsRunFromTheLastAddedToTheFirst)
{
    AddJob("a.pdf", 1, 1);
    AddJob("b.pdf", 1, 1);
    Run(CONV_TYPE_WORD);
    EXPECT_EQ(sink.events,
              (Events{"total 6", "(1,0,1)", "(1,1,1)", "(1,2,0)", "(0,0,1)", "(0,1,1)", "(0,2,0)", "done 0"}));
    ASSERT_EQ(world.documentPaths.size(), 2u);
    EXPECT_EQ(world.documentPaths[0], world.outputDir + L"\\b.docx");
    EXPECT_EQ(world.documentPaths[1], world.outputDir + L"\\a.docx");
}

TEST_F(Worker, StopWhileTheSecondJobLoads)
{
    AddJob("a.pdf", 1, 2);
    AddJob("b.pdf", 1, 2);
    AddJob("c.pdf", 1, 2);
    sink.stopJob = 1, sink.stopStage = JOB_STAGE_ANALYSE, sink.stopValue = 1;
    Run(CONV_TYPE_TEXT);
    EXPECT_EQ(sink.events, (Events{"total 15", "(2,0,1)", "(2,0,2)", "(2,1,1)", "(2,1,2)", "(2,2,0)", "(1,0,1)",
                                   "(1,2,0)", "done 1"}));
    bool exists = false;
    EXPECT_EQ(Output("c.txt", &exists), "<BOM>page 1\r\n\f\r\npage 2\r\n");
    EXPECT_EQ(Output("b.txt", &exists), "<BOM>");  // opened, no pages written, closed
    EXPECT_TRUE(exists);
    Output("a.txt", &exists);
    EXPECT_FALSE(exists);
}

TEST_F(Worker, StopWhileWritingClosesTheOutputWithThePagesWritten)
{
    AddJob("a.pdf", 1, 3);
    sink.stopJob = 0, sink.stopStage = JOB_STAGE_CONVERT, sink.stopValue = 1;
    Run(CONV_TYPE_WORD);
    EXPECT_EQ(sink.events, (Events{"total 7", "(0,0,1)", "(0,0,2)", "(0,0,3)", "(0,1,1)", "(0,2,0)", "done 1"}));
    ASSERT_EQ(world.documents.size(), 1u);
    EXPECT_EQ(world.documents[0]->calls.back(), "save");
    EXPECT_EQ(world.deletedDocuments, 1);
}

TEST_F(Worker, AnOutputThatCannotBeOpenedGetsNoPages)
{
    AddJob("a.pdf", 1, 2);
    world.outputDir = folder + L"no\\such\\folder";
    Run(CONV_TYPE_TEXT);
    EXPECT_EQ(sink.events, (Events{"total 5", "(0,0,1)", "(0,0,2)", "(0,2,0)", "done 0"}));

    sink.events.clear();
    world.outputDir = folder + L"out";
    world.docxCreateFails = true;
    Run(CONV_TYPE_WORD);
    EXPECT_EQ(sink.events, (Events{"total 5", "(0,0,1)", "(0,0,2)", "(0,2,0)", "done 0"}));
    EXPECT_TRUE(world.documents.empty());
}

TEST_F(Worker, EmptyOutputFolderWritesBesideThePdf)
{
    AddJob("abc", 1, 1);  // shorter than four characters: keeps its name
    world.outputDir.clear();
    CreateDirectoryW((folder + L"pdf").c_str(), nullptr);
    Run(CONV_TYPE_TEXT);
    bool exists = false;
    const std::string text = Describe(ReadUtf16File(folder + L"pdf\\abc.txt", &exists));
    EXPECT_TRUE(exists);
    EXPECT_EQ(text, "<BOM>page 1\r\n");
}

TEST_F(Worker, EmptyRangeAndUnloadablePages)
{
    FakePdfInfo info;
    info.failingPages = {1, 2};
    AddJob("empty.pdf", 3, 2);
    AddJob("none.pdf", 1, 2, info);
    Run(CONV_TYPE_TEXT);
    EXPECT_EQ(sink.events, (Events{"total 6", "(1,0,0)", "(1,0,0)", "(1,2,0)", "(0,1,0)", "done 0"}));
    bool exists = false;
    EXPECT_EQ(Output("none.txt", &exists), "<BOM>");
    Output("empty.txt", &exists);
    EXPECT_FALSE(exists);
}

TEST_F(Worker, WithoutSinkTheWorkerStillConverts)
{
    AddJob("quiet.pdf", 1, 1);
    ASSERT_TRUE(list.StartConvert(nullptr, 7));  // any kind but 1 is Word
    for (int waited = 0; list.m_hThread && waited < 20000; waited += 5)
        Sleep(5);
    EXPECT_EQ(world.documents.size(), 1u);
}

TEST(JobList, AddRemoveAndTotals)
{
    CJobList list;
    EXPECT_EQ(list.m_bStop.load(), 1);
    EXPECT_EQ(list.m_hThread.load(), nullptr);
    stJobInfo job = {};
    wcscpy(job.szPath, L"C:\\a.pdf");
    job.nFirstPage = 1, job.nLastPage = 3;
    EXPECT_EQ(list.AddJob(job), 0);
    EXPECT_EQ(list.AddJob(job), -1);
    wcscpy(job.szPath, L"C:\\A.pdf");  // paths compare case-sensitively
    job.nFirstPage = 2, job.nLastPage = 2;
    EXPECT_EQ(list.AddJob(job), 1);
    wcscpy(job.szPath, L"C:\\b.pdf");
    job.nFirstPage = 5, job.nLastPage = 1;  // an empty range counts no pages
    EXPECT_EQ(list.AddJob(job), 2);
    EXPECT_EQ(list.GetJobCount(), 3);
    EXPECT_EQ(list.GetTotalPages(), 4);

    EXPECT_EQ(list.GetJob(3), nullptr);
    EXPECT_EQ(list.GetJob(-1), nullptr);
    EXPECT_EQ(list.RemoveJob(3), 0);
    EXPECT_EQ(list.RemoveJob(-1), 0);
    EXPECT_EQ(list.RemoveJob(0), 1);
    ASSERT_NE(list.GetJob(0), nullptr);
    EXPECT_STREQ(list.GetJob(0)->szPath, L"C:\\A.pdf");
    list.ClearJobs();
    EXPECT_EQ(list.GetJobCount(), 0);
    EXPECT_EQ(list.GetTotalPages(), 0);
}

TEST(JobList, UnterminatedPathIsCutToItsBuffer)
{
    CJobList list;
    stJobInfo job;
    wmemset(job.szPath, L'x', 260);
    job.nFirstPage = job.nLastPage = 1;
    EXPECT_EQ(list.AddJob(job), 0);
    EXPECT_EQ(wcslen(list.GetJob(0)->szPath), 259u);
    EXPECT_EQ(list.AddJob(job), -1);
}

TEST(JobList, StartRefusedWhileAWorkerExists)
{
    CJobList list;
    list.m_hThread = GetCurrentThread();  // stands for a running worker
    EXPECT_FALSE(list.StartConvert(nullptr, CONV_TYPE_TEXT));
    EXPECT_EQ(list.m_bStop.load(), 1);
    list.m_hThread = nullptr;
}
