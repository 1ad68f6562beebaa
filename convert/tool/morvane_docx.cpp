// morvane-docx: the Word conversion of one PDF on the build machine, without Windows, for
// measuring the layouts: the same reader, writer and layouts as the worker, in its page order.
//   morvane-docx [--layout classic|faithful] [--dump-layout] FILE.pdf OUT.docx
// --dump-layout prints the reader's page layout, block by block, as the faithful layout reads it.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "faithful/faithful_layout.h"
#include "halvane.h"
#include "page_layout.h"
#include "strome.h"

namespace {

std::u16string Utf16(const char* s)
{
    std::u16string out;
    for (size_t i = 0; s[i];) {
        unsigned c = (unsigned char)s[i++];
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
        for (; extra > 0 && s[i]; --extra)
            c = (c << 6) | ((unsigned char)s[i++] & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += (char16_t)(0xD800 + (c >> 10));
            out += (char16_t)(0xDC00 + (c & 0x3FF));
        } else {
            out += (char16_t)c;
        }
    }
    return out;
}

// One line per block of a page's layout: kind, section and column, box, lines and their text.
void DumpLayout(const stPdfPageLayout& page)
{
    printf("page %d %.1fx%.1f sections=%d blocks=%d lines=%d runs=%d tables=%d images=%d\n", page.nPageNumber,
           page.fWidth, page.fHeight, page.nSectionCount, page.nBlockCount, page.nLineCount, page.nRunCount,
           page.nTableCount, page.nImageCount);
    for (int s = 0; s < page.nSectionCount; ++s) {
        const stPdfSection* x = page.ppSections[s];
        printf(" section %d cols=%d blocks %d+%d\n", s, x->nColumnCount, x->nFirstBlock, x->nBlockCount);
    }
    for (int i = 0; i < page.nBlockCount; ++i) {
        const stPdfBlock* b = page.ppBlocks[i];
        std::string text;
        for (int l = b->nFirstLine; l < b->nFirstLine + b->nLineCount && l < page.nLineCount; ++l) {
            const stPdfTextLine* line = page.ppLines[l];
            for (int r = line->nFirstRun; r < line->nFirstRun + line->nRunCount && r < page.nRunCount; ++r)
                for (int c = 0; c < page.ppRuns[r]->nLength; ++c)
                    text += page.ppRuns[r]->pText[c] < 128 ? (char)page.ppRuns[r]->pText[c] : '?';
            text += '|';
        }
        printf(" block %d kind=%d sec=%d col=%d box=%.0f,%.0f,%.0f,%.0f align=%d lines=%d+%d pitch=%.1f %.60s\n", i,
               b->nKind, b->nSection, b->nColumn, b->fLeft, b->fTop, b->fRight, b->fBottom, b->nAlign, b->nFirstLine,
               b->nLineCount, b->fLineSpacing, text.c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    bool faithfulLayout = false, dump = false;
    const char* files[2] = {nullptr, nullptr};
    int fileCount = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--layout") == 0 && i + 1 < argc) {
            faithfulLayout = strcmp(argv[++i], "faithful") == 0;
        } else if (strcmp(argv[i], "--dump-layout") == 0) {
            dump = true;
        } else if (fileCount < 2) {
            files[fileCount++] = argv[i];
        }
    }
    if (fileCount != 2) {
        fprintf(stderr, "usage: morvane-docx [--layout classic|faithful] FILE.pdf OUT.docx\n");
        return 2;
    }
    qrn_IPdfDoc* doc = nullptr;
    const std::u16string pdf = Utf16(files[0]), out = Utf16(files[1]);
    if (!LoadDoc(pdf.c_str(), &doc) || !doc) {
        fprintf(stderr, "morvane-docx: cannot read %s\n", files[0]);
        return 1;
    }
    Docx_Init();
    qrn_IDocx* docx = nullptr;
    if (!Docx_Create(&docx, out.c_str()) || !docx) {
        fprintf(stderr, "morvane-docx: cannot create %s\n", files[1]);
        FreeDoc(doc);
        return 1;
    }
    // As the worker: every page loaded first, then written in order.
    const int count = doc->GetPageCount();
    std::vector<std::pair<int, stPdfPage*>> pages;
    for (int number = 1; number <= count; ++number) {
        stPdfPage* page = nullptr;
        if (doc->LoadPage(number, &page) && page)
            pages.emplace_back(number, page);
    }
    faithful::DocumentState state;
    for (size_t j = 0; j < pages.size(); ++j) {
        if (faithfulLayout) {
            stPdfPageLayout* layout = nullptr;
            int written = 0;
            if (doc->LoadPageLayout(pages[j].first, &layout) && layout) {
                if (dump)
                    DumpLayout(*layout);
                written = faithful::LayoutFaithfulPage(docx, layout, &state);
                doc->FreePageLayout(layout);
            }
            if (!written)
                faithful::LayoutPlainPage(docx, pages[j].second, &state);
        } else {
            LayoutPage(docx, pages[j].second);
            if (j + 1 < pages.size())
                docx->AddPageBreak();
        }
    }
    const int saved = docx->Save();
    Docx_Delete(docx);
    Docx_Fini();
    for (auto& p : pages)
        doc->FreePage(p.second);
    FreeDoc(doc);
    return saved ? 0 : 1;
}
