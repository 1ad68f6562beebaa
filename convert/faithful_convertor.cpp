#include "convertor.h"

#include "convert_services.h"
#include "output_name.h"

CFaithfulConvertor::CFaithfulConvertor() : m_pDocx(nullptr)
{ }

CFaithfulConvertor::~CFaithfulConvertor()
{
    CloseOutput();
}

int CFaithfulConvertor::OpenOutput(const wchar_t* pdfPath, wchar_t* outDir)
{
    CloseOutput();
    m_state = faithful::DocumentState();
    qrn_string path;
    if (!BuildOutputPath(pdfPath, outDir, L".docx", &path) || !g_convertServices.pfnDocxCreate)
        return 0;
    DeleteFileW(path.c_str());
    const int created = g_convertServices.pfnDocxCreate(&m_pDocx, path.c_str());
    if (!created)
        m_pDocx = nullptr;
    return created && m_pDocx;
}

void CFaithfulConvertor::CloseOutput()
{
    if (!m_pDocx)
        return;
    m_pDocx->Save();
    if (g_convertServices.pfnDocxDelete)
        g_convertServices.pfnDocxDelete(m_pDocx);
    m_pDocx = nullptr;
}

int CFaithfulConvertor::ConvertPage(stPdfPage* page, int isLast)
{
    return ConvertDocPage(nullptr, 0, page, isLast);
}

int CFaithfulConvertor::ConvertDocPage(qrn_IPdfDoc* doc, int number, stPdfPage* page, int /*isLast*/)
{
    if (!m_pDocx)
        return 0;
    try {
        // The page's layout is read now and released at once: memory stays that of one page.
        stPdfPageLayout* layout = nullptr;
        if (doc && number > 0 && doc->LoadPageLayout(number, &layout) && layout) {
            const int written = faithful::LayoutFaithfulPage(m_pDocx, layout, &m_state);
            doc->FreePageLayout(layout);
            if (written)
                return 0;
        }
        faithful::LayoutPlainPage(m_pDocx, page, &m_state);
    } catch (...) {  // out of memory: the rest of this page is left out
    }
    return 0;
}
