// An output writer of the conversion: made per job, it opens one output file, takes the job's
// loaded pages in page order and closes the file.
#ifndef MORVANE_CONVERT_CONVERTOR_H
#define MORVANE_CONVERT_CONVERTOR_H

#include <windows.h>

#include "halvane.h"
#include "strome.h"
#include "faithful/faithful_layout.h"

class CConvertor {
public:
    // Derives the output path from pdfPath and outDir (a 260-character buffer that may gain a
    // trailing backslash) and opens the output. Non-zero when the output is open.
    virtual int OpenOutput(const wchar_t* pdfPath, wchar_t* outDir) = 0;
    // Finishes and closes the output.
    virtual void CloseOutput() = 0;
    // Writes one loaded page; isLast is non-zero for the job's last loaded page.
    virtual int ConvertPage(stPdfPage* page, int isLast) = 0;
    virtual ~CConvertor() = default;
    // Writes page number (1-based) of doc, whose loaded record is page. A writer that reads
    // more of the document than the page record (the faithful layout) takes it from doc.
    virtual int ConvertDocPage(qrn_IPdfDoc* doc, int number, stPdfPage* page, int isLast)
    {
        (void)doc;
        (void)number;
        return ConvertPage(page, isLast);
    }
};

// Plain text: UTF-16 little-endian with a byte-order mark, the page text of page_text.h.
class CP2TConvertor : public CConvertor {
public:
    CP2TConvertor();
    ~CP2TConvertor() override;
    int OpenOutput(const wchar_t* pdfPath, wchar_t* outDir) override;
    void CloseOutput() override;
    int ConvertPage(stPdfPage* page, int isLast) override;

private:
    HANDLE m_hFile;
};

// Word: each page laid out into paragraphs (page_layout.h), pages separated by page breaks.
class CP2WConvertor : public CConvertor {
public:
    CP2WConvertor();
    ~CP2WConvertor() override;
    int OpenOutput(const wchar_t* pdfPath, wchar_t* outDir) override;
    void CloseOutput() override;
    int ConvertPage(stPdfPage* page, int isLast) override;

private:
    qrn_IDocx* m_pDocx;
};

// Word in the faithful layout (faithful/faithful_layout.h): one Word page per PDF page with the
// page's geometry, columns, tables, styles and running heads, read from the reader's page layout.
class CFaithfulConvertor : public CConvertor {
public:
    CFaithfulConvertor();
    ~CFaithfulConvertor() override;
    int OpenOutput(const wchar_t* pdfPath, wchar_t* outDir) override;
    void CloseOutput() override;
    int ConvertPage(stPdfPage* page, int isLast) override;
    int ConvertDocPage(qrn_IPdfDoc* doc, int number, stPdfPage* page, int isLast) override;

private:
    qrn_IDocx* m_pDocx;
    faithful::DocumentState m_state;
};

#endif
