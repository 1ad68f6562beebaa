#include "line_order.h"

#include <algorithm>

void SortLinesByTop(stPdfPage* page)
{
    if (!page || !page->ppLines || page->nLineCount <= 0)
        return;
    stPdfLine** lines = page->ppLines;
    const int count = page->nLineCount;
    int start = 0;
    while (start < count) {
        if (!lines[start]) {
            ++start;
            continue;
        }
        int end = start;
        while (end < count && lines[end])
            ++end;
        std::stable_sort(lines + start, lines + end,
                         [](const stPdfLine* a, const stPdfLine* b) { return a->fTop < b->fTop; });
        start = end;
    }
}

void SortRunsByX(stPdfLine* line)
{
    if (!line || !line->ppRuns || line->nRunCount <= 1)
        return;
    // A null run (the reader never makes one) sorts last and keeps its place among nulls.
    std::stable_sort(line->ppRuns, line->ppRuns + line->nRunCount, [](const stPdfRun* a, const stPdfRun* b) {
        if (!a || !b)
            return a && !b;
        return a->fX < b->fX;
    });
}
