// Contract of the document writer strome.dll: a Word document is built from paragraphs,
// text runs, line breaks, pictures and page breaks, then saved. The slot order of the
// interfaces and the byte layout of the records are part of the contract.
//
// Units: sizes are half-points (as in a run's font size); indents and spacing are in the
// units documented in strome/units.h, chosen so that the Word layout's numbers computed from
// PDF page positions give a document that looks like the page.
//
// The operations after the first fixed slots (qrn_IDocx slot 5 on, qrn_IDocxPara slot 7 on)
// were added later: sections, formatted paragraphs and runs, tables, placed pictures, headers,
// footers, fields and footnotes. Their records start with cbSize, the record's size as the
// caller knows it: the writer reads only that many bytes (fields beyond it take their zero
// value) and ignores bytes it does not know. All lengths in these records are twips
// (1/20 point) unless the field says otherwise. Every operation answers 0 (or null) when it
// refuses a call; a refused call changes nothing, and the document can still be saved.
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
    int32_t nLeft;  // left indent, 0 for none
    int32_t nFirstLine;  // first-line indent, 0 for none
    int32_t nReserved;
};

struct stParaSpacing {
    int32_t nReserved;
    int32_t nBefore;  // space before the paragraph, 0 for none
    unsigned char reserved[260];
};

struct stRunProps {
    char szFontName[260];  // zero-terminated, 8-bit; empty for the default font
    int32_t nSize;  // half-points
    int32_t nColor;  // 0x00BBGGRR; 0 is black
};

// ---- records of the later operations (each starts with cbSize)

// Colours in these records are 0x00BBGGRR, like stRunProps::nColor; this one means none or
// automatic, as the field says.
#define STROME_COLOR_AUTO (-1)

enum {
    STROME_ALIGN_DEFAULT = 0,
    STROME_ALIGN_LEFT = 1,
    STROME_ALIGN_CENTER = 2,
    STROME_ALIGN_RIGHT = 3,
    STROME_ALIGN_JUSTIFY = 4,  // both edges straight
};

enum {
    STROME_SECTION_NEXT_PAGE = 0,  // the section starts on a new page
    STROME_SECTION_CONTINUOUS = 1,  // on the same page (a full-width title, then two columns)
    STROME_SECTION_EVEN_PAGE = 2,
    STROME_SECTION_ODD_PAGE = 3,
};

#define STROME_MAX_COLUMNS 4

// The page geometry of the content that follows BeginSection. Orientation follows from the
// size: wider than high is landscape.
struct stSectionProps {
    uint32_t cbSize;
    int32_t nPageWidth;  // 720..31 680 (half an inch to 22 inches)
    int32_t nPageHeight;
    int32_t nMarginTop;  // from the page edge, 0..; the margins leave at least 360 of text each way
    int32_t nMarginRight;
    int32_t nMarginBottom;
    int32_t nMarginLeft;
    int32_t nHeaderDistance;  // page edge to the header's top; 0: 360 (a quarter inch)
    int32_t nFooterDistance;  // page edge to the footer's bottom; 0: 360
    int32_t nBreak;  // STROME_SECTION_*; ignored for the document's first section
    int32_t nColumns;  // 1..STROME_MAX_COLUMNS; 0 is 1
    int32_t nColumnSpace;  // gap between columns of equal width
    int32_t nColumnWidth[STROME_MAX_COLUMNS];  // all 0: equal columns; else each column's width
    int32_t nColumnGap[STROME_MAX_COLUMNS];  // with nColumnWidth: the gap after each column
    int32_t nFlags;  // STROME_SECTION_FLAG_*
};
#define STROME_SECTION_FLAG_LINE_BETWEEN 1  // a rule between the columns

enum {
    STROME_TAB_LEFT = 0,
    STROME_TAB_CENTER = 1,
    STROME_TAB_RIGHT = 2,
    STROME_TAB_DECIMAL = 3,
};
enum {
    STROME_LEADER_NONE = 0,
    STROME_LEADER_DOT = 1,  // a contents line: title, right tab with dots, page number
    STROME_LEADER_HYPHEN = 2,
    STROME_LEADER_UNDERSCORE = 3,
    STROME_LEADER_MIDDLE_DOT = 4,
};

struct stTabStop {
    int32_t nPos;  // from the paragraph's left indent's origin (the text area's left edge)
    int32_t nKind;  // STROME_TAB_*
    int32_t nLeader;  // STROME_LEADER_*
};

enum {
    STROME_LINE_AUTO = 0,  // nLine in 240ths of a single line (240 = single); 0: single
    STROME_LINE_EXACT = 1,  // nLine twips, exactly
    STROME_LINE_AT_LEAST = 2,  // nLine twips at least
};

#define STROME_MAX_TABS 8

struct stParagraphProps {
    uint32_t cbSize;
    int32_t nAlignment;  // STROME_ALIGN_*
    int32_t nLeft;  // indents from the text area's (or cell's) edges, may be negative
    int32_t nRight;
    int32_t nFirstLine;  // relative to nLeft; negative: a hanging indent
    int32_t nBefore;  // space before and after, 0..
    int32_t nAfter;
    int32_t nLine;  // line spacing, read as nLineRule says
    int32_t nLineRule;  // STROME_LINE_*
    int32_t nFlags;  // STROME_PARA_*
    int32_t nHeadingLevel;  // 0: body text; 1..6: styled "Heading N" (Word's navigation sees it)
    int32_t nTabCount;  // 0..STROME_MAX_TABS
    stTabStop tabs[STROME_MAX_TABS];
};
#define STROME_PARA_KEEP_NEXT 1  // on the page of the next paragraph
#define STROME_PARA_KEEP_LINES 2  // not split across pages
#define STROME_PARA_PAGE_BREAK_BEFORE 4
#define STROME_PARA_WIDOW_CONTROL 8  // the document default is without
#define STROME_PARA_CONTEXTUAL_SPACING 16  // no space between paragraphs of the same style

enum {
    STROME_UNDERLINE_NONE = 0,
    STROME_UNDERLINE_SINGLE = 1,
    STROME_UNDERLINE_DOUBLE = 2,
    STROME_UNDERLINE_THICK = 3,
    STROME_UNDERLINE_DOTTED = 4,
    STROME_UNDERLINE_DASHED = 5,
    STROME_UNDERLINE_WORDS = 6,
};
enum {
    STROME_VERTALIGN_BASELINE = 0,
    STROME_VERTALIGN_SUPERSCRIPT = 1,
    STROME_VERTALIGN_SUBSCRIPT = 2,
};

#define STROME_FONT_NAME_SIZE 64

struct stRunFormat {
    uint32_t cbSize;
    char szFont[STROME_FONT_NAME_SIZE];  // UTF-8 family of Latin text; empty: the default
    char szEastAsiaFont[STROME_FONT_NAME_SIZE];  // UTF-8 family of Chinese text; empty: the default
    int32_t nSize;  // half-points, 2..3276; 0: the default (10.5 points)
    int32_t nColor;  // 0x00BBGGRR; STROME_COLOR_AUTO: automatic (black on white)
    int32_t nFlags;  // STROME_RUN_*
    int32_t nUnderline;  // STROME_UNDERLINE_*
    int32_t nVertAlign;  // STROME_VERTALIGN_*
    int32_t nCharSpacing;  // added between characters, twips, -1 584..1 584
    int32_t nScale;  // width of the characters in percent, 1..600; 0: 100
};
#define STROME_RUN_BOLD 1
#define STROME_RUN_ITALIC 2
#define STROME_RUN_STRIKE 4
// szFont is a font name as a PDF gives it ("ABCDEF+TimesNewRomanPS-BoldMT", GBK bytes of a
// Chinese name): the writer maps it to a family (adding the bold and italic the name carries),
// as AddText does with stRunProps::szFontName; szEastAsiaFont is then ignored.
#define STROME_RUN_PDF_FONT_NAME 8

enum {
    STROME_BORDER_INHERIT = 0,  // as the table says (for a table: no border)
    STROME_BORDER_NONE = 1,  // explicitly none, whatever the table says
    STROME_BORDER_SINGLE = 2,
    STROME_BORDER_DOUBLE = 3,
    STROME_BORDER_DOTTED = 4,
    STROME_BORDER_DASHED = 5,
    STROME_BORDER_THICK = 6,
};

struct stBorder {
    int32_t nStyle;  // STROME_BORDER_*
    int32_t nWidth;  // eighths of a point, 2..96; 0: 4 (half a point)
    int32_t nColor;  // 0x00BBGGRR; STROME_COLOR_AUTO: automatic
};

enum {
    STROME_EDGE_TOP = 0,
    STROME_EDGE_LEFT = 1,
    STROME_EDGE_BOTTOM = 2,
    STROME_EDGE_RIGHT = 3,
    STROME_EDGE_INSIDE_H = 4,
    STROME_EDGE_INSIDE_V = 5
};

struct stTableProps {
    uint32_t cbSize;
    int32_t nAlignment;  // STROME_ALIGN_LEFT/CENTER/RIGHT of the table in the text area
    int32_t nIndent;  // from the text area's left edge (with left alignment)
    int32_t nFlags;  // STROME_TABLE_*
    int32_t nCellMargin[4];  // with STROME_TABLE_CELL_MARGINS: top, left, bottom, right of every cell
    stBorder borders[6];  // by STROME_EDGE_*: outer edges and the lines between cells
};
#define STROME_TABLE_FIXED_LAYOUT 1  // the grid's widths hold, whatever the text
#define STROME_TABLE_CELL_MARGINS 2  // nCellMargin is given (else Word's 0 / 108 twips)

enum { STROME_HEIGHT_AUTO = 0, STROME_HEIGHT_AT_LEAST = 1, STROME_HEIGHT_EXACT = 2 };

struct stRowProps {
    uint32_t cbSize;
    int32_t nHeight;  // twips, read as nHeightRule says
    int32_t nHeightRule;  // STROME_HEIGHT_*
    int32_t nFlags;  // STROME_ROW_*
};
#define STROME_ROW_HEADER 1  // repeated at the top of every page the table runs onto
#define STROME_ROW_CANT_SPLIT 2  // not split across pages

enum { STROME_VMERGE_NONE = 0, STROME_VMERGE_RESTART = 1, STROME_VMERGE_CONTINUE = 2 };
enum { STROME_VALIGN_TOP = 0, STROME_VALIGN_CENTER = 1, STROME_VALIGN_BOTTOM = 2 };

struct stCellProps {
    uint32_t cbSize;
    int32_t nGridSpan;  // grid columns the cell covers; 0 is 1
    int32_t nVMerge;  // STROME_VMERGE_*: merged with the cells above
    int32_t nVAlign;  // STROME_VALIGN_*
    int32_t nShading;  // with STROME_CELL_SHADED: the fill, 0x00BBGGRR
    int32_t nFlags;  // STROME_CELL_*
    int32_t nMargin[4];  // with STROME_CELL_MARGINS: top, left, bottom, right
    stBorder borders[4];  // by STROME_EDGE_TOP..RIGHT
};
#define STROME_CELL_MARGINS 1
#define STROME_CELL_NO_WRAP 2
#define STROME_CELL_SHADED 4

enum {
    STROME_PLACE_INLINE = 0,  // in the line, as AddObject places it
    STROME_PLACE_ANCHOR = 1,  // at a position, text wrapping as nWrap says
};
enum { STROME_FROM_PAGE = 0, STROME_FROM_MARGIN = 1, STROME_FROM_COLUMN = 2, STROME_FROM_PARAGRAPH = 3 };
enum {
    STROME_WRAP_SQUARE = 0,  // text on both sides of its box
    STROME_WRAP_TOP_BOTTOM = 1,  // text above and below only
    STROME_WRAP_NONE_FRONT = 2,  // no wrapping, in front of the text
    STROME_WRAP_NONE_BEHIND = 3,  // no wrapping, behind the text
};

struct stPictureProps {
    uint32_t cbSize;
    int32_t nWidth;  // shown size of the (cropped) picture, twips; 0: the object's size
    int32_t nHeight;
    int32_t nCrop[4];  // left, top, right, bottom cut off, in 1/1000 % of the image (0..100 000)
    int32_t nPlacement;  // STROME_PLACE_*
    int32_t nHorzFrom;  // STROME_FROM_PAGE, _MARGIN or _COLUMN
    int32_t nX;  // left edge from there
    int32_t nVertFrom;  // STROME_FROM_PAGE, _MARGIN or _PARAGRAPH
    int32_t nY;  // top edge from there
    int32_t nWrap;  // STROME_WRAP_*
    int32_t nDistance;  // gap kept between picture and wrapping text, 0..
};

enum {
    STROME_HEADER_DEFAULT = 1,  // every page of the section
    STROME_HEADER_FIRST = 2,  // the section's first page only
    STROME_FOOTER_DEFAULT = 3,
    STROME_FOOTER_FIRST = 4,
};

enum {
    STROME_FIELD_PAGE = 1,  // the page's number
    STROME_FIELD_NUMPAGES = 2,  // the document's page count
};

typedef void* DOCX_OBJECT;  // an object made by qrn_IDocxPic::CreateObject

class qrn_IDocxPic {
public:
    virtual int Release() = 0;
    virtual DOCX_OBJECT CreateObject(int reserved1, int reserved2) = 0;
    virtual int FreeObject(DOCX_OBJECT object) = 0;
};

class qrn_IDocxPara {
public:
    virtual int Release() = 0;  // the paragraph is complete
    virtual int AddRef() = 0;
    virtual int SetIndent(const stParaIndent* indent) = 0;
    virtual int SetSpacing(const stParaSpacing* spacing) = 0;
    virtual int AddText(const qrn_wchar* text, int length, const stRunProps* props) = 0;
    virtual int AddBreak() = 0;  // line break inside the paragraph
    virtual int AddObject(DOCX_OBJECT object) = 0;  // an inline picture

    // ---- later operations (an implementation without them answers 0)
    // slot 7: a run of text; a tab character gives a tab, CR/LF a line break.
    virtual int AddTextEx(const qrn_wchar* /*text*/, int /*length*/, const stRunFormat* /*format*/) { return 0; }
    // slot 8: a field (STROME_FIELD_*) that Word and LibreOffice compute; shown holds the text
    // shown until they do ("1"), may be null.
    virtual int AddField(int /*kind*/, const qrn_wchar* /*shown*/, int /*length*/, const stRunFormat* /*format*/)
    {
        return 0;
    }
    // slot 9: a picture made by CreateObject, inline or anchored, sized and cropped as props says
    // (null: inline at the object's size). Refused in footnotes.
    virtual int AddObjectEx(DOCX_OBJECT /*object*/, const stPictureProps* /*props*/) { return 0; }
    // slot 10: a footnote reference mark; answers the footnote's id (1..) for BeginFootnote, 0
    // when refused (in a header, footer or footnote). format may be null (a superscript number).
    virtual int AddFootnoteReference(const stRunFormat* /*format*/) { return 0; }
    // slot 11: the text after it starts in the next column (the next page in one column).
    virtual int AddColumnBreak() { return 0; }
    // slot 12: the format of the paragraph's end mark: it sets the height of an empty
    // paragraph's line. Default: the paragraph's first run's size.
    virtual int SetMarkFormat(const stRunFormat* /*format*/) { return 0; }
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

    // ---- later operations (an implementation without them answers 0 or null)
    // Content goes into the innermost open container: the body, a table cell, a header or
    // footer, a footnote. Starting a paragraph, table, row or cell completes the container's
    // open paragraph; a qrn_IDocxPara of another container than the innermost refuses content.

    // slot 5: the content that follows takes this page geometry, up to the next BeginSection.
    // Called before any content it sets the first section's geometry; without it the document
    // is one A4 section. Only in the body, outside tables.
    virtual int BeginSection(const stSectionProps* /*props*/) { return 0; }
    // slot 6: a paragraph with the given format (null: the defaults); null when refused.
    virtual qrn_IDocxPara* AddParagraphEx(const stParagraphProps* /*props*/) { return nullptr; }
    // slot 7: a table on a grid of columnCount columns (1..63) of the given widths (twips, > 0).
    // Then rows: BeginRow, cells: BeginCell, the cell's paragraphs (or a nested table),
    // EndCell, ... EndRow, ... EndTable. A cell without paragraphs gets an empty one; a table
    // without rows writes nothing. Tables nest up to 8 deep.
    virtual int BeginTable(const stTableProps* /*props*/, const int32_t* /*columnWidths*/, int /*columnCount*/)
    {
        return 0;
    }
    // slot 8
    virtual int BeginRow(const stRowProps* /*props*/) { return 0; }
    // slot 9: the next cell of the open row; its grid span may not pass the grid's end.
    virtual int BeginCell(const stCellProps* /*props*/) { return 0; }
    // slot 10
    virtual int EndCell() { return 0; }
    // slot 11: a row whose cells cover fewer grid columns than the grid is completed by Word.
    virtual int EndRow() { return 0; }
    // slot 12: completes open cells and rows of the table too.
    virtual int EndTable() { return 0; }
    // slot 13: the paragraphs and tables that follow, up to EndHeaderFooter, are a header or
    // footer (STROME_HEADER_* / STROME_FOOTER_*) of the current section; a section without one
    // shows its previous section's. Not inside a header, footer or footnote.
    virtual int BeginHeaderFooter(int /*kind*/) { return 0; }
    // slot 14
    virtual int EndHeaderFooter() { return 0; }
    // slot 15: the paragraphs that follow, up to EndFootnote, are the text of footnote id (from
    // AddFootnoteReference, each once). A footnote never given text gets an empty paragraph.
    virtual int BeginFootnote(int /*id*/) { return 0; }
    // slot 16
    virtual int EndFootnote() { return 0; }
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
// The later records hold only 32-bit fields: the same layout on every target.
static_assert(sizeof(stSectionProps) == 84 && offsetof(stSectionProps, nColumnWidth) == 48 &&
                  offsetof(stSectionProps, nFlags) == 80,
              "stSectionProps layout");
static_assert(sizeof(stTabStop) == 12, "stTabStop layout");
static_assert(sizeof(stParagraphProps) == 144 && offsetof(stParagraphProps, tabs) == 48, "stParagraphProps layout");
static_assert(sizeof(stRunFormat) == 160 && offsetof(stRunFormat, nSize) == 132 && offsetof(stRunFormat, nScale) == 156,
              "stRunFormat layout");
static_assert(sizeof(stBorder) == 12, "stBorder layout");
static_assert(sizeof(stTableProps) == 104 && offsetof(stTableProps, borders) == 32, "stTableProps layout");
static_assert(sizeof(stRowProps) == 16, "stRowProps layout");
static_assert(sizeof(stCellProps) == 88 && offsetof(stCellProps, borders) == 40, "stCellProps layout");
static_assert(sizeof(stPictureProps) == 56 && offsetof(stPictureProps, nDistance) == 52, "stPictureProps layout");

#endif
