#include "docx_output.h"

#include <windows.h>

#include "convert_services.h"
#include "output_name.h"

int OpenDocxOutput(const wchar_t* pdfPath, wchar_t* outDir, qrn_IDocx** docx)
{
    *docx = nullptr;
    qrn_string path;
    if (!BuildOutputPath(pdfPath, outDir, L".docx", &path) || !g_convertServices.pfnDocxCreate)
        return 0;
    DeleteFileW(path.c_str());
    const int created = g_convertServices.pfnDocxCreate(docx, path.c_str());
    if (!created)
        *docx = nullptr;
    return created && *docx;
}

void CloseDocxOutput(qrn_IDocx** docx)
{
    if (!*docx)
        return;
    (*docx)->Save();
    if (g_convertServices.pfnDocxDelete)
        g_convertServices.pfnDocxDelete(*docx);
    *docx = nullptr;
}
