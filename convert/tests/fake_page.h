// Builds page records in memory the way the reader delivers them, for layout and writer tests.
#ifndef MORVANE_CONVERT_TESTS_FAKE_PAGE_H
#define MORVANE_CONVERT_TESTS_FAKE_PAGE_H

#include <stdlib.h>
#include <string.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "halvane.h"

class FakePage {
public:
    explicit FakePage(float width = 595, float height = 842, float left = 0)
    {
        page.fLeft = left;
        page.fWidth = width;
        page.fHeight = height;
    }

    // A line; its runs are added with Text/Image, which go to the last line added.
    stPdfLine* Line(float left, float top, float right, float bottom)
    {
        lines.push_back(stPdfLine{left, top, right, bottom, 0, nullptr});
        runLists.emplace_back();
        lineOrder.push_back(&lines.back());
        Refresh();
        return &lines.back();
    }

    void NullLine()
    {
        lineOrder.push_back(nullptr);
        Refresh();
    }

    stPdfRun* Text(const std::string& text, float x = -1, const char* font = "Arial", double size = 10)
    {
        const size_t bytes = offsetof(stPdfText, szText) + (text.size() + 1) * sizeof(qrn_wchar);
        stPdfText* t = static_cast<stPdfText*>(Alloc(bytes));
        strncpy(t->szFontName, font, sizeof(t->szFontName) - 1);
        t->dSize = size;
        t->nLength = (int32_t)text.size();
        for (size_t i = 0; i < text.size(); ++i)
            t->szText[i] = (unsigned char)text[i];
        return AddRun(PDF_RUN_TEXT, x, t);
    }

    stPdfRun* Image(int width, int height, int dataSize = 3, float x = -1)
    {
        stPdfImage* image = static_cast<stPdfImage*>(Alloc(offsetof(stPdfImage, data) + dataSize + 1));
        image->nWidth = width;
        image->nHeight = height;
        image->nDataSize = dataSize;
        return AddRun(PDF_RUN_IMAGE, x, image);
    }

    stPdfRun* Run(int type, float x = -1) { return AddRun(type, x, nullptr); }

    stPdfPage* Get() { return &page; }

private:
    stPdfRun* AddRun(int type, float x, void* data)
    {
        stPdfLine& line = lines.back();
        runs.push_back(
            stPdfRun{type, x < 0 ? line.fLeft : x, line.fTop, line.fRight, line.fBottom, line.fBottom, 0, data});
        std::vector<stPdfRun*>& list = runLists.back();
        list.push_back(&runs.back());
        line.ppRuns = list.data();
        line.nRunCount = (int32_t)list.size();
        return &runs.back();
    }

    void* Alloc(size_t bytes)
    {
        blobs.emplace_back(static_cast<char*>(calloc(1, bytes)), free);
        return blobs.back().get();
    }

    void Refresh()
    {
        page.ppLines = lineOrder.data();
        page.nLineCount = (int32_t)lineOrder.size();
    }

    stPdfPage page = {};
    std::deque<stPdfLine> lines;
    std::deque<std::vector<stPdfRun*>> runLists;
    std::deque<stPdfRun> runs;
    std::vector<stPdfLine*> lineOrder;
    std::vector<std::unique_ptr<char, void (*)(void*)>> blobs;
};

#endif
