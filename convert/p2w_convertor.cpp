#include "convertor.h"

#include "convert_services.h"
#include "output_name.h"
#include "page_layout.h"

CP2WConvertor::CP2WConvertor() : m_pDocx(nullptr)
{ }

CP2WConvertor::~CP2WConvertor()
{
    CloseOutput();
}

int CP2WConvertor::OpenOutput(const wchar_t* pdfPath, wchar_t* outDir)
{
    CloseOutput();
    qrn_string path;
    if (!BuildOutputPath(pdfPath, outDir, L".docx", &path) || !g_convertServices.pfnDocxCreate)
        return 0;
    DeleteFileW(path.c_str());
    const int created = g_convertServices.pfnDocxCreate(&m_pDocx, path.c_str());
    if (!created)
        m_pDocx = nullptr;
    return created && m_pDocx;
}

void CP2WConvertor::CloseOutput()
{
    if (!m_pDocx)
        return;
    m_pDocx->Save();
    if (g_convertServices.pfnDocxDelete)
        g_convertServices.pfnDocxDelete(m_pDocx);
    m_pDocx = nullptr;
}

int CP2WConvertor::ConvertPage(stPdfPage* page, int isLast)
{
    if (!m_pDocx)
        return 0;
    try {
        LayoutPage(m_pDocx, page);
    } catch (...) {  // out of memory: the rest of this page is left out
    }
    if (!isLast)
        m_pDocx->AddPageBreak();
    return 0;
}
