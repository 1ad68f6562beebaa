// Contract of the document writer strome.dll: a Word document is built from paragraphs,
// text runs, line breaks, pictures and page breaks, then saved. The slot order of the
// interfaces and the byte layout of the records are part of the contract.
//
// Units: sizes are half-points (as in a run's font size); indents and spacing are in the
// units documented in strome/units.h, chosen so that the Word layout's numbers computed from
// PDF page positions give a document that looks like the page.
#ifndef MORVANE_COMMON_STROME_H
#define MORVANE_COMMON_STROME_H

#include <stddef.h>
#include <stdint.h>

#include "text16.h"

#ifdef _WIN32
#ifdef STROME_BUILD_DLL
#define STROME_API __declspec(dllexport)
#else
#define STROME_API __declspec(dllimport)
#endif
#else
#define STROME_API
#endif

struct stParaIndent {
    int32_t nLeft;            // left indent, 0 for none
    int32_t nFirstLine;       // first-line indent, 0 for none
    int32_t nReserved;
};

struct stParaSpacing {
    int32_t nReserved;
    int32_t nBefore;          // space before the paragraph, 0 for none
    unsigned char reserved[260];
};

struct stRunProps {
    char szFontName[260];     // zero-terminated, 8-bit; empty for the default font
    int32_t nSize;            // half-points
    int32_t nColor;           // 0x00BBGGRR; 0 is black
};

typedef void* DOCX_OBJECT;    // an object made by qrn_IDocxPic::CreateObject

class qrn_IDocxPic {
public:
    virtual int Release() = 0;
    virtual DOCX_OBJECT CreateObject(int reserved1, int reserved2) = 0;
    virtual int FreeObject(DOCX_OBJECT object) = 0;
};

class qrn_IDocxPara {
public:
    virtual int Release() = 0;                       // the paragraph is complete
    virtual int AddRef() = 0;
    virtual int SetIndent(const stParaIndent* indent) = 0;
    virtual int SetSpacing(const stParaSpacing* spacing) = 0;
    virtual int AddText(const qrn_wchar* text, int length, const stRunProps* props) = 0;
    virtual int AddBreak() = 0;                      // line break inside the paragraph
    virtual int AddObject(DOCX_OBJECT object) = 0;   // an inline picture
};

class qrn_IDocx {
public:
    virtual int GetParagraphCount() = 0;
    virtual int Save() = 0;
    // alignment: "left" or null for the default.
    virtual qrn_IDocxPara* AddParagraph(const stParaIndent* indent, const stParaSpacing* spacing,
                                        const char* alignment) = 0;
    virtual int AddPageBreak() = 0;
    // data: PNG or JPEG file bytes; width and height: the shown size in page units.
    virtual qrn_IDocxPic* AddPicture(const void* data, int size, int width, int height) = 0;
};

extern "C" {
STROME_API int Docx_Init(void);
STROME_API void Docx_Fini(void);
// Starts a document that Save will write to path; *doc stays null on failure.
STROME_API int Docx_Create(qrn_IDocx** doc, const qrn_wchar* path);
STROME_API void Docx_Delete(qrn_IDocx* doc);
}

static_assert(sizeof(stParaIndent) == 12, "stParaIndent layout");
static_assert(sizeof(stParaSpacing) == 268 && offsetof(stParaSpacing, nBefore) == 4, "stParaSpacing layout");
static_assert(sizeof(stRunProps) == 268 && offsetof(stRunProps, nSize) == 260 && offsetof(stRunProps, nColor) == 264,
              "stRunProps layout");

#endif
