// Checked access to the reader's page layout records: every index is checked against its count,
// every pointer against null, and a record shorter than the version this layout was written
// for reads as absent. The layout comes from a PDF, so nothing in it is trusted.
#ifndef MORVANE_CONVERT_FAITHFUL_LAYOUT_ACCESS_H
#define MORVANE_CONVERT_FAITHFUL_LAYOUT_ACCESS_H

#include <stddef.h>

#include "halvane.h"

namespace faithful {

template <typename T> const T* Entry(T* const* array, int32_t count, int index)
{
    if (!array || index < 0 || index >= count)
        return nullptr;
    const T* entry = array[index];
    if (!entry || entry->cbSize < (int32_t)sizeof(T))
        return nullptr;
    return entry;
}

inline const stPdfSection* SectionAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppSections, p.nSectionCount, i);
}
inline const stPdfBlock* BlockAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppBlocks, p.nBlockCount, i);
}
inline const stPdfBlock* CellBlockAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppCellBlocks, p.nCellBlockCount, i);
}
inline const stPdfTextLine* LineAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppLines, p.nLineCount, i);
}
inline const stPdfTextRun* RunAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppRuns, p.nRunCount, i);
}
inline const stPdfTable* TableAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppTables, p.nTableCount, i);
}
inline const stPdfTableCell* CellAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppCells, p.nCellCount, i);
}
inline const stPdfPlacedImage* ImageAt(const stPdfPageLayout& p, int i)
{
    return Entry(p.ppImages, p.nImageCount, i);
}

// Whether [first, first + count) lies inside [0, total).
inline bool RangeInside(int32_t first, int32_t count, int32_t total)
{
    return first >= 0 && count >= 0 && total >= 0 && first <= total && count <= total - first;
}

// A usable page layout: a version-1 record of sane size.
inline bool UsableLayout(const stPdfPageLayout* p)
{
    return p && p->cbSize >= (int32_t)sizeof(stPdfPageLayout) && p->fWidth > 1 && p->fHeight > 1 && p->fWidth < 1e5f &&
           p->fHeight < 1e5f;
}

}  // namespace faithful

#endif
