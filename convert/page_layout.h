// The Word layout of one loaded page: the reader's positioned lines become paragraphs.
// Lines are put in reading order, blank lines dropped, lines that lie close together grouped
// into blocks, and each block written as one paragraph whose indent and spacing come from the
// positions. Inside a paragraph a line either flows on from the previous one or follows a line
// break (after a contents line, before an indented line, after a short line).
//
// Portable: it talks to the document only through qrn_IDocx.
#ifndef MORVANE_CONVERT_PAGE_LAYOUT_H
#define MORVANE_CONVERT_PAGE_LAYOUT_H

#include "halvane.h"
#include "strome.h"

// Lays the page out into docx. Sorts the page's lines and runs in place. Returns 0.
int LayoutPage(qrn_IDocx* docx, stPdfPage* page);

// A line with no image and no text but spaces (null runs and runs of other kinds do not count).
bool IsBlankLine(const stPdfLine* line);

// A line of a table of contents: its text ends in a dot leader ("...", then dots and spaces)
// followed by a page number above 0 and nothing but spaces.
bool IsContentsLine(const stPdfLine* line);

// Whether the paragraph keeps a line break between line and next.
bool BreakAfterLine(const stPdfPage* page, const stPdfLine* line, const stPdfLine* next);

#endif
