// Contract of the PDF reader halvane.dll: how a document is opened and what a loaded page
// looks like. The main program and the reader share this one definition; the byte layout of
// the records is fixed for the 32-bit program set and checked below.
//
// Page records: positions are in PDF page units (1/72 inch), y grows downwards from the top
// of the visible (cropped, rotated) page. A page holds lines; a line holds runs; a run is text
// (stPdfText) or an encoded image (stPdfImage, PNG or JPEG bytes).
#ifndef MORVANE_COMMON_HALVANE_H
#define MORVANE_COMMON_HALVANE_H

#include <stddef.h>
#include <stdint.h>

#include "text16.h"

#ifdef _WIN32
#ifdef HALVANE_BUILD_DLL
#define HALVANE_API __declspec(dllexport)
#else
#define HALVANE_API __declspec(dllimport)
#endif
#else
#define HALVANE_API
#endif

enum { PDF_RUN_TEXT = 0, PDF_RUN_IMAGE = 1 };

struct stPdfText {
    char szFontName[32];      // font name without subset prefix, zero-terminated
    double dSize;             // effective font size on the page
    uint32_t nColor;          // fill colour 0x00BBGGRR (not used by the Word layout)
    uint32_t nFlags;          // PDF_TEXT_* (not used by the Word layout)
    int32_t nLength;          // characters in szText
    qrn_wchar szText[1];      // nLength UTF-16 code units, not terminated
};

enum { PDF_TEXT_BOLD = 1, PDF_TEXT_ITALIC = 2, PDF_TEXT_INVISIBLE = 4 };

struct stPdfImage {
    int32_t nWidth;           // shown width on the page, in page units
    int32_t nHeight;          // shown height on the page, in page units
    int32_t nDataSize;        // bytes of encoded image data
    unsigned char data[1];    // PNG or JPEG file bytes
};

struct stPdfRun {
    int32_t nType;            // PDF_RUN_TEXT or PDF_RUN_IMAGE
    float fX;                 // left edge of the run
    float fTop;               // run box, for tools; the Word layout reads only fX
    float fRight;
    float fBottom;
    float fBaseline;
    int32_t nReserved;
    void* pData;              // stPdfText* or stPdfImage*
};

struct stPdfLine {
    float fLeft;
    float fTop;
    float fRight;
    float fBottom;
    int32_t nRunCount;
    stPdfRun** ppRuns;        // nRunCount entries, none null
};

struct stPdfPage {
    float fLeft;              // left edge that positions are measured from
    float fTop;
    float fWidth;             // visible page size
    float fHeight;
    int32_t nLineCount;
    stPdfLine** ppLines;      // nLineCount entries; a null entry separates text regions
};

// A document opened by LoadDoc. The slot order of these operations is part of the contract.
class qrn_IPdfDoc {
public:
    // Page number is 1-based. Non-zero and a page record in *page on success.
    virtual int LoadPage(int number, stPdfPage** page) = 0;
    virtual int FreePage(stPdfPage* page) = 0;
    // Cheap: reads the page tree only, never page contents.
    virtual int GetPageCount() = 0;
};

extern "C" {
// Non-zero and a document in *doc when the file at path can be read; zero otherwise.
HALVANE_API int LoadDoc(const qrn_wchar* path, qrn_IPdfDoc** doc);
// Releases a document after all of its pages were released.
HALVANE_API void FreeDoc(qrn_IPdfDoc* doc);
}

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(stPdfPage) == 24 && offsetof(stPdfPage, nLineCount) == 16 && offsetof(stPdfPage, ppLines) == 20,
              "stPdfPage layout");
static_assert(sizeof(stPdfLine) == 24 && offsetof(stPdfLine, nRunCount) == 16 && offsetof(stPdfLine, ppRuns) == 20,
              "stPdfLine layout");
static_assert(sizeof(stPdfRun) == 32 && offsetof(stPdfRun, fX) == 4 && offsetof(stPdfRun, pData) == 28,
              "stPdfRun layout");
static_assert(offsetof(stPdfText, dSize) == 32 && offsetof(stPdfText, nLength) == 48 &&
                  offsetof(stPdfText, szText) == 52,
              "stPdfText layout");
static_assert(offsetof(stPdfImage, nDataSize) == 8 && offsetof(stPdfImage, data) == 12, "stPdfImage layout");
#endif

#endif
