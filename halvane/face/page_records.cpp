#include "halvane/face/page_records.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace halvane {

namespace {

constexpr size_t kAlign = alignof(double) > alignof(void*) ? alignof(double) : alignof(void*);

size_t AlignUp(size_t n)
{
    return (n + kAlign - 1) & ~(kAlign - 1);
}

// Bump allocator over the page's single block.
class BlockWriter {
public:
    explicit BlockWriter(unsigned char* base) : base_(base) { }
    template <typename T> T* Take(size_t bytes)
    {
        T* p = reinterpret_cast<T*>(base_ + used_);
        used_ += AlignUp(bytes);
        return p;
    }

private:
    unsigned char* base_;
    size_t used_ = 0;
};

size_t TextBytes(const RunModel& run)
{
    return offsetof(stPdfText, szText) + (run.text.size() + 1) * sizeof(qrn_wchar);
}

size_t ImageBytes(const RunModel& run)
{
    return offsetof(stPdfImage, data) + run.imageData.size() + 1;
}

void CopyFontName(const std::string& name, char* out)
{
    size_t n = name.size() < 31 ? name.size() : 31;
    // Never cut a UTF-8 sequence in half.
    if (n < name.size())
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(out, name.data(), n);
    out[n] = 0;
}

}  // namespace

stPdfPage* BuildPageRecords(const PageModel& model)
{
    size_t lineCount = 0;
    size_t total = AlignUp(sizeof(stPdfPage));
    for (size_t r = 0; r < model.regions.size(); ++r) {
        if (r > 0)
            ++lineCount;  // null separator
        for (const LineModel& line : model.regions[r]) {
            ++lineCount;
            total += AlignUp(sizeof(stPdfLine)) + AlignUp(line.runs.size() * sizeof(stPdfRun*));
            for (const RunModel& run : line.runs)
                total += AlignUp(sizeof(stPdfRun)) + AlignUp(run.isImage ? ImageBytes(run) : TextBytes(run));
        }
    }
    total += AlignUp(lineCount * sizeof(stPdfLine*) + 1);
    unsigned char* block = static_cast<unsigned char*>(std::calloc(1, total));
    if (!block)
        return nullptr;
    BlockWriter w(block);
    stPdfPage* page = w.Take<stPdfPage>(sizeof(stPdfPage));
    page->fLeft = 0;
    page->fTop = 0;
    page->fWidth = static_cast<float>(model.width);
    page->fHeight = static_cast<float>(model.height);
    page->nLineCount = static_cast<int32_t>(lineCount);
    page->ppLines = w.Take<stPdfLine*>(lineCount * sizeof(stPdfLine*) + 1);
    size_t li = 0;
    for (size_t r = 0; r < model.regions.size(); ++r) {
        if (r > 0)
            page->ppLines[li++] = nullptr;
        for (const LineModel& lm : model.regions[r]) {
            stPdfLine* line = w.Take<stPdfLine>(sizeof(stPdfLine));
            line->fLeft = static_cast<float>(lm.left);
            line->fTop = static_cast<float>(lm.top);
            line->fRight = static_cast<float>(lm.right);
            line->fBottom = static_cast<float>(lm.bottom);
            line->nRunCount = static_cast<int32_t>(lm.runs.size());
            line->ppRuns = w.Take<stPdfRun*>(lm.runs.size() * sizeof(stPdfRun*));
            for (size_t k = 0; k < lm.runs.size(); ++k) {
                const RunModel& rm = lm.runs[k];
                stPdfRun* run = w.Take<stPdfRun>(sizeof(stPdfRun));
                run->nType = rm.isImage ? PDF_RUN_IMAGE : PDF_RUN_TEXT;
                run->fX = static_cast<float>(rm.left);
                run->fTop = static_cast<float>(rm.top);
                run->fRight = static_cast<float>(rm.right);
                run->fBottom = static_cast<float>(rm.bottom);
                run->fBaseline = static_cast<float>(rm.baseline);
                if (rm.isImage) {
                    stPdfImage* image = w.Take<stPdfImage>(ImageBytes(rm));
                    image->nWidth = static_cast<int32_t>(rm.right - rm.left + 0.5);
                    image->nHeight = static_cast<int32_t>(rm.bottom - rm.top + 0.5);
                    image->nDataSize = static_cast<int32_t>(rm.imageData.size());
                    std::memcpy(image->data, rm.imageData.data(), rm.imageData.size());
                    run->pData = image;
                } else {
                    stPdfText* text = w.Take<stPdfText>(TextBytes(rm));
                    CopyFontName(rm.fontName, text->szFontName);
                    text->dSize = rm.size;
                    text->nColor = rm.color;
                    text->nFlags = rm.flags;
                    text->nLength = static_cast<int32_t>(rm.text.size());
                    for (size_t c = 0; c < rm.text.size(); ++c)
                        text->szText[c] = static_cast<qrn_wchar>(rm.text[c]);
                    run->pData = text;
                }
                line->ppRuns[k] = run;
            }
            page->ppLines[li++] = line;
        }
    }
    return page;
}

void FreePageRecords(stPdfPage* page)
{
    std::free(page);
}

}  // namespace halvane
