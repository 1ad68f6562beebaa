#include "convertor.h"

#include "output_name.h"
#include "page_text.h"

CP2TConvertor::CP2TConvertor() : m_hFile(INVALID_HANDLE_VALUE)
{ }

CP2TConvertor::~CP2TConvertor()
{
    CloseOutput();
}

int CP2TConvertor::OpenOutput(const wchar_t* pdfPath, wchar_t* outDir)
{
    CloseOutput();
    qrn_string path;
    if (!BuildOutputPath(pdfPath, outDir, L".txt", &path))
        return 0;
    m_hFile =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE)
        return 0;
    static const unsigned char kByteOrderMark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(m_hFile, kByteOrderMark, sizeof(kByteOrderMark), &written, nullptr);
    return 1;
}

void CP2TConvertor::CloseOutput()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

int CP2TConvertor::ConvertPage(stPdfPage* page, int isLast)
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return 0;
    qrn_string text;
    try {
        AppendPageText(page, isLast, &text);
    } catch (...) {  // out of memory: the page is left out
        return 0;
    }
    // Windows is little-endian, so the characters go out as UTF-16LE as they are.
    const char* bytes = reinterpret_cast<const char*>(text.data());
    size_t left = text.size() * sizeof(wchar_t);
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : (DWORD)left;
        if (!WriteFile(m_hFile, bytes, chunk, &written, nullptr) || written == 0)
            break;
        bytes += written;
        left -= written;
    }
    return 0;
}
