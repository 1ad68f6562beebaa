// The faithful Word layout: each PDF page becomes one Word page that looks like it and stays
// editable. The page's geometry becomes a section (page size, orientation, margins from where
// the content lies, one to four columns), its blocks become paragraphs with their alignment,
// indents and exact line spacing, list items, contents lines with a dot-leader tab, tables,
// pictures inline or anchored, and its running heads header and footer parts. A page that
// would overflow is fitted by its spacing, never by shrinking its text.
//
// Portable: it talks to the document only through qrn_IDocx.
#ifndef MORVANE_CONVERT_FAITHFUL_FAITHFUL_LAYOUT_H
#define MORVANE_CONVERT_FAITHFUL_FAITHFUL_LAYOUT_H

#include <string>

#include "halvane.h"
#include "strome.h"

namespace faithful {

// What the document so far says about the page to come: one object per document, the size of
// a few records whatever the page count.
struct DocumentState {
    bool started = false;  // a first section was begun
    stSectionProps last = {};  // the section props last begun
    std::u16string heads;  // the running heads of the last section, page numbers left out
};

// Lays out one page from the reader's page layout. Returns 0 when nothing could be written.
int LayoutFaithfulPage(qrn_IDocx* docx, const stPdfPageLayout* page, DocumentState* state);

// A page without a layout (a reader that offers none, or a layout refused): its geometry from
// the page record, its text by the classic layout.
int LayoutPlainPage(qrn_IDocx* docx, stPdfPage* page, DocumentState* state);

}  // namespace faithful

#endif
