#include "page_text.h"

#include "line_order.h"
#include "page_layout.h"

void AppendPageText(stPdfPage* page, int isLast, qrn_string* out)
{
    if (!out)
        return;
    if (page && page->ppLines && page->nLineCount > 0) {
        SortLinesByTop(page);
        for (int i = 0; i < page->nLineCount; ++i) {
            stPdfLine* line = page->ppLines[i];
            if (!line || IsBlankLine(line))
                continue;
            SortRunsByX(line);
            for (int r = 0; r < line->nRunCount; ++r) {
                const stPdfRun* run = line->ppRuns[r];
                if (!run || run->nType != PDF_RUN_TEXT || !run->pData)
                    continue;
                const stPdfText* text = static_cast<const stPdfText*>(run->pData);
                if (text->nLength > 0)
                    out->append(text->szText, (size_t)text->nLength);
            }
            out->push_back('\r');
            out->push_back('\n');
        }
    }
    if (!isLast) {
        out->push_back(0x0C);
        out->push_back('\r');
        out->push_back('\n');
    }
}
