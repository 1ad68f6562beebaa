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
    char szFontName[32];  // font name without subset prefix, zero-terminated
    double dSize;  // effective font size on the page
    uint32_t nColor;  // fill colour 0x00BBGGRR (not used by the Word layout)
    uint32_t nFlags;  // PDF_TEXT_* (not used by the Word layout)
    int32_t nLength;  // characters in szText
    qrn_wchar szText[1];  // nLength UTF-16 code units, not terminated
};

enum { PDF_TEXT_BOLD = 1, PDF_TEXT_ITALIC = 2, PDF_TEXT_INVISIBLE = 4 };

struct stPdfImage {
    int32_t nWidth;  // shown width on the page, in page units
    int32_t nHeight;  // shown height on the page, in page units
    int32_t nDataSize;  // bytes of encoded image data
    unsigned char data[1];  // PNG or JPEG file bytes
};

struct stPdfRun {
    int32_t nType;  // PDF_RUN_TEXT or PDF_RUN_IMAGE
    float fX;  // left edge of the run
    float fTop;  // run box, for tools; the Word layout reads only fX
    float fRight;
    float fBottom;
    float fBaseline;
    int32_t nReserved;
    void* pData;  // stPdfText* or stPdfImage*
};

struct stPdfLine {
    float fLeft;
    float fTop;
    float fRight;
    float fBottom;
    int32_t nRunCount;
    stPdfRun** ppRuns;  // nRunCount entries, none null
};

struct stPdfPage {
    float fLeft;  // left edge that positions are measured from
    float fTop;
    float fWidth;  // visible page size
    float fHeight;
    int32_t nLineCount;
    stPdfLine** ppLines;  // nLineCount entries; a null entry separates text regions
};

// ---------------------------------------------------------------------------------------------
// Page layout: the page's structure beyond lines and runs (geometry, columns, blocks in reading
// order, paragraphs with their properties, styled runs, tables, images, rules), delivered by
// LoadPageLayout. Positions are in page units (1/72 inch), y down from the top of the visible
// page, as in the page records above. Every record starts with its own size (cbSize, bytes):
// fields are only ever appended, so a reader checks cbSize before it reads a later field.
// Arrays are arrays of record pointers, none null; records refer to each other by index into
// these arrays (-1 for none). All of a layout lives in one allocation freed by FreePageLayout.

enum { PDF_LAYOUT_VERSION = 1 };

// Block kinds.
enum {
    PDF_BLOCK_PARAGRAPH = 0,
    PDF_BLOCK_HEADING = 1,  // a paragraph set apart as a title or heading (nHeadingLevel)
    PDF_BLOCK_LIST_ITEM = 2,  // a paragraph after a bullet or number label (pLabel)
    PDF_BLOCK_CONTENTS = 3,  // a contents line: title (its lines), leader, page number (pPageRef)
    PDF_BLOCK_TABLE = 4,  // nTable
    PDF_BLOCK_IMAGE = 5,  // nImage
    PDF_BLOCK_HEADER = 6,  // repeated at the top of most pages
    PDF_BLOCK_FOOTER = 7,  // repeated at the bottom of most pages
    PDF_BLOCK_FOOTNOTE = 8  // notes below the body, after a short rule or in smaller type
};

enum { PDF_ALIGN_LEFT = 0, PDF_ALIGN_CENTER = 1, PDF_ALIGN_RIGHT = 2, PDF_ALIGN_JUSTIFY = 3 };
enum { PDF_LIST_NONE = 0, PDF_LIST_BULLET = 1, PDF_LIST_NUMBER = 2 };
enum { PDF_LEADER_NONE = 0, PDF_LEADER_DOTS = 1, PDF_LEADER_DASHES = 2, PDF_LEADER_LINE = 3, PDF_LEADER_SPACE = 4 };

// Block flags.
enum {
    PDF_BLOCK_HAS_PAGE_NUMBER = 1,  // header/footer: pPageRef is the page number, which varies by page
    PDF_BLOCK_KEEP_WITH_NEXT = 2,  // a heading that sits on the block after it
    PDF_BLOCK_CONTINUED = 4  // the paragraph goes on from the previous column or page
};

// Run style flags; the first three are the PDF_TEXT_* values.
enum {
    PDF_STYLE_BOLD = 1,
    PDF_STYLE_ITALIC = 2,
    PDF_STYLE_INVISIBLE = 4,  // render mode 3 (an OCR layer): kept out of the visible text
    PDF_STYLE_UNDERLINE = 8,  // a thin rule under the text
    PDF_STYLE_STRIKE = 16,  // a thin rule through the text
    PDF_STYLE_SUPERSCRIPT = 32,  // raised baseline, smaller size
    PDF_STYLE_SUBSCRIPT = 64,  // lowered baseline, smaller size
    PDF_STYLE_SERIF = 128,  // from the font's flags or name
    PDF_STYLE_FIXED_PITCH = 256,
    PDF_STYLE_SMALL_CAPS = 512
};

// Reading direction of a run's characters (its text is always in logical order).
enum { PDF_DIR_LTR = 0, PDF_DIR_RTL = 1, PDF_DIR_TTB = 2 };
// Writing mode of a page: horizontal, or vertical with columns right to left.
enum { PDF_WRITING_HORIZONTAL = 0, PDF_WRITING_VERTICAL = 1 };

// Line flags.
enum {
    PDF_LINE_BREAK_AFTER = 1,  // the text does not flow on into the next line of the block
    PDF_LINE_HYPHEN_JOINED = 2  // a hyphen at the end was dropped and the word joined to the next line
};

enum { PDF_TABLE_RULED = 1 };  // cells come from drawn rules, not only from aligned text
enum { PDF_EDGE_TOP = 0, PDF_EDGE_LEFT = 1, PDF_EDGE_BOTTOM = 2, PDF_EDGE_RIGHT = 3 };
enum { PDF_NO_COLOR = 0xFFFFFFFFu };

// Rule kinds: a stroked straight segment, a filled rectangle, a stroked rectangle's outline.
enum { PDF_RULE_LINE = 0, PDF_RULE_FILL = 1, PDF_RULE_FRAME = 2 };
// Rule flags: what the rule was found to be part of.
enum { PDF_RULE_OF_TABLE = 1, PDF_RULE_OF_TEXT = 2 };

struct stPdfTextRun {
    int32_t cbSize;
    float fLeft, fTop, fRight, fBottom;
    float fBaseline;
    char szFontFamily[64];  // UTF-8, clean family ("Times New Roman"): no subset tag, no style suffix
    char szFontName[64];  // UTF-8, the font's name without subset tag ("TimesNewRomanPS-BoldMT")
    float fSize;  // type size in points
    uint32_t nColor;  // fill colour 0x00BBGGRR
    uint32_t nFlags;  // PDF_STYLE_*
    float fCharSpacing;  // extra space after each character, in points
    float fRise;  // baseline above (+) or below (-) its line's baseline
    int32_t nDirection;  // PDF_DIR_*
    int32_t nLength;  // UTF-16 code units in pText
    const qrn_wchar* pText;  // not terminated; logical order
};

struct stPdfTextLine {
    int32_t cbSize;
    float fLeft, fTop, fRight, fBottom;
    float fBaseline;
    int32_t nFirstRun;  // into ppRuns
    int32_t nRunCount;
    uint32_t nFlags;  // PDF_LINE_*
};

struct stPdfBlock {
    int32_t cbSize;
    int32_t nKind;  // PDF_BLOCK_*
    int32_t nSection;  // into ppSections; -1 outside them (headers, footers, cell paragraphs)
    int32_t nColumn;  // column of the section, 0-based; -1 across the section's full width
    float fLeft, fTop, fRight, fBottom;
    // Paragraph properties (text blocks).
    int32_t nAlign;  // PDF_ALIGN_*
    float fLeftIndent;  // from the column's (cell's) left edge to the left of the lines after the first
    float fRightIndent;  // from the longest line's right end to the column's right edge
    float fFirstLineIndent;  // the first line's left against fLeftIndent; negative: hanging
    float fLineSpacing;  // baseline to baseline; 0 for a single line
    float fSpaceBefore;  // from the previous block's bottom in the same flow; 0 for the first
    float fSpaceAfter;  // to the next block's top in the same flow; 0 for the last
    int32_t nHeadingLevel;  // 1 for the largest headings; 0 for none
    int32_t nFirstLine;  // into ppLines
    int32_t nLineCount;
    int32_t nTable;  // into ppTables, tables only
    int32_t nImage;  // into ppImages, images only
    uint32_t nFlags;  // PDF_BLOCK_HAS_PAGE_NUMBER, ...
    // List items: the label is not part of the lines.
    int32_t nListKind;  // PDF_LIST_*
    int32_t nLabelLength;
    const qrn_wchar* pLabel;
    float fLabelLeft;  // left edge of the label
    float fTextLeft;  // where the text after the label starts (the hanging indent's stop)
    // Contents lines: the lines hold the title only.
    int32_t nLeader;  // PDF_LEADER_*
    int32_t nPageRefLength;  // contents page number, or a header's or footer's page number
    const qrn_wchar* pPageRef;
    float fPageRefRight;  // right end of the page number (where a right tab stop goes)
    int32_t nCell;  // cell paragraphs: into ppCells; -1 in the page flow
};

// A band of the page from fTop to fBottom set in nColumnCount columns; the page flow is its
// sections top to bottom (one column for full-width parts).
struct stPdfSection {
    int32_t cbSize;
    float fTop, fBottom;
    int32_t nColumnCount;  // 1 to 4
    float fColumnLeft[4];
    float fColumnRight[4];
    int32_t nFirstBlock;  // into ppBlocks
    int32_t nBlockCount;
};

struct stPdfBorder {
    float fWidth;  // 0: no border drawn
    uint32_t nColor;
};

struct stPdfTableCell {
    int32_t cbSize;
    int32_t nRow, nColumn;
    int32_t nRowSpan, nColumnSpan;
    float fLeft, fTop, fRight, fBottom;
    stPdfBorder border[4];  // PDF_EDGE_*: as drawn
    uint32_t nShading;  // fill 0x00BBGGRR, PDF_NO_COLOR when none
    int32_t nFirstBlock;  // into ppCellBlocks
    int32_t nBlockCount;
};

struct stPdfTable {
    int32_t cbSize;
    float fLeft, fTop, fRight, fBottom;
    int32_t nRowCount;
    int32_t nColumnCount;
    int32_t nHeaderRows;  // rows at the top set apart as headings (repeat on a new page)
    uint32_t nFlags;  // PDF_TABLE_RULED
    const float* pColumnEdges;  // nColumnCount + 1 x positions, left to right
    const float* pRowEdges;  // nRowCount + 1 y positions, top to bottom
    int32_t nFirstCell;  // into ppCells, row by row; a merged cell appears once
    int32_t nCellCount;
};

struct stPdfPlacedImage {
    int32_t cbSize;
    float fLeft, fTop, fRight, fBottom;  // where the page shows it
    float fCropLeft, fCropTop, fCropRight, fCropBottom;  // share (0 to 1) of the picture not shown per side
    const stPdfImage* pImage;  // nWidth x nHeight as shown, with the encoded bytes
};

struct stPdfRule {
    int32_t cbSize;
    int32_t nKind;  // PDF_RULE_*
    float fX0, fY0, fX1, fY1;  // segment ends, or the rectangle with x0 <= x1, y0 <= y1
    float fWidth;  // stroke width; 0 for fills
    uint32_t nColor;  // stroke or fill colour 0x00BBGGRR
    uint32_t nFlags;  // PDF_RULE_OF_*
};

struct stPdfPageLayout {
    int32_t cbSize;
    int32_t nVersion;  // PDF_LAYOUT_VERSION
    int32_t nPageNumber;  // 1-based
    int32_t nRotate;  // 0, 90, 180, 270
    float fWidth, fHeight;  // visible page, as stPdfPage
    float fMediaBox[4];  // x0 y0 x1 y1 in default user space (y up), as in the file
    float fCropBox[4];
    float fContentLeft, fContentTop, fContentRight, fContentBottom;  // extent of what the page shows
    int32_t nColumnCount;  // most columns of any section
    int32_t nWritingMode;  // PDF_WRITING_*
    int32_t nSectionCount;
    stPdfSection** ppSections;
    int32_t nBlockCount;  // the page flow in reading order: header, body, footnotes, footer
    stPdfBlock** ppBlocks;
    int32_t nCellBlockCount;  // paragraphs of table cells
    stPdfBlock** ppCellBlocks;
    int32_t nLineCount;
    stPdfTextLine** ppLines;
    int32_t nRunCount;
    stPdfTextRun** ppRuns;
    int32_t nTableCount;
    stPdfTable** ppTables;
    int32_t nCellCount;
    stPdfTableCell** ppCells;
    int32_t nImageCount;
    stPdfPlacedImage** ppImages;
    int32_t nRuleCount;
    stPdfRule** ppRules;
    // Degrees the visible page is turned clockwise for this layout so that its text runs left
    // to right: 0 usually; 90, 180 or 270 when most of the text runs up, leftwards or down (a
    // table set sideways, vertical CJK). fWidth, fHeight and all positions are then those of
    // the turned page; nWritingMode tells vertical CJK lines apart.
    int32_t nTextTurn;
};

// A document opened by LoadDoc. The slot order of these operations is part of the contract.
class qrn_IPdfDoc {
public:
    // Page number is 1-based. Non-zero and a page record in *page on success.
    virtual int LoadPage(int number, stPdfPage** page) = 0;
    virtual int FreePage(stPdfPage* page) = 0;
    // Cheap: reads the page tree only, never page contents.
    virtual int GetPageCount() = 0;
    // Slot 3. Non-zero and the page's layout in *layout on success; independent of LoadPage.
    // A document that offers no layout returns zero.
    virtual int LoadPageLayout(int number, stPdfPageLayout** layout)
    {
        (void)number;
        if (layout)
            *layout = nullptr;
        return 0;
    }
    // Slot 4. Releases a layout from LoadPageLayout; its result is not used.
    virtual int FreePageLayout(stPdfPageLayout* layout)
    {
        (void)layout;
        return 0;
    }
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
static_assert(sizeof(stPdfTextRun) == 184 && offsetof(stPdfTextRun, szFontFamily) == 24 &&
                  offsetof(stPdfTextRun, fSize) == 152 && offsetof(stPdfTextRun, pText) == 180,
              "stPdfTextRun layout");
static_assert(sizeof(stPdfTextLine) == 36 && offsetof(stPdfTextLine, nFirstRun) == 24, "stPdfTextLine layout");
static_assert(sizeof(stPdfBlock) == 124 && offsetof(stPdfBlock, nAlign) == 32 &&
                  offsetof(stPdfBlock, nFirstLine) == 64 && offsetof(stPdfBlock, pLabel) == 92 &&
                  offsetof(stPdfBlock, pPageRef) == 112 && offsetof(stPdfBlock, nCell) == 120,
              "stPdfBlock layout");
static_assert(sizeof(stPdfSection) == 56 && offsetof(stPdfSection, fColumnLeft) == 16 &&
                  offsetof(stPdfSection, nFirstBlock) == 48,
              "stPdfSection layout");
static_assert(sizeof(stPdfTableCell) == 80 && offsetof(stPdfTableCell, border) == 36 &&
                  offsetof(stPdfTableCell, nShading) == 68,
              "stPdfTableCell layout");
static_assert(sizeof(stPdfTable) == 52 && offsetof(stPdfTable, pColumnEdges) == 36 &&
                  offsetof(stPdfTable, nCellCount) == 48,
              "stPdfTable layout");
static_assert(sizeof(stPdfPlacedImage) == 40 && offsetof(stPdfPlacedImage, pImage) == 36, "stPdfPlacedImage layout");
static_assert(sizeof(stPdfRule) == 36 && offsetof(stPdfRule, nFlags) == 32, "stPdfRule layout");
static_assert(sizeof(stPdfPageLayout) == 156 && offsetof(stPdfPageLayout, fMediaBox) == 24 &&
                  offsetof(stPdfPageLayout, nSectionCount) == 80 && offsetof(stPdfPageLayout, ppBlocks) == 92 &&
                  offsetof(stPdfPageLayout, ppRules) == 148 && offsetof(stPdfPageLayout, nTextTurn) == 152,
              "stPdfPageLayout layout");
#endif

#endif
