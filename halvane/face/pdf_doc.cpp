#include "halvane/face/pdf_doc.h"

#include <algorithm>
#include <new>

#include "halvane/face/page_records.h"
#include "halvane/structure/layout_records.h"
#include "halvane/structure/page_analysis.h"

namespace halvane {

namespace {

// Headers and footers are looked for on at most this many pages, spread over the document.
constexpr int kHeadSamplePages = 6;

}  // namespace

PdfDoc* PdfDoc::Open(ByteSource bytes, const ExtractOptions& options, DiagnosticList* whyNot)
{
    OpenStatus status;
    std::unique_ptr<Document> document = Document::Open(std::move(bytes), &status, whyNot);
    if (!document)
        return nullptr;
    if (document->PageCount() <= 0) {
        if (whyNot)
            *whyNot = document->Diagnostics();
        return nullptr;
    }
    PdfDoc* doc = new (std::nothrow) PdfDoc();
    if (!doc)
        return nullptr;
    doc->document_ = std::move(document);
    doc->options_ = options;
    doc->extractor_ = std::make_unique<PageExtractor>(*doc->document_, options);
    return doc;
}

PdfDoc::~PdfDoc() = default;

int PdfDoc::GetPageCount()
{
    return document_->PageCount();
}

bool PdfDoc::ExtractPageModel(int number, PageModel* model)
{
    if (number < 1 || number > document_->PageCount())
        return false;
    return extractor_->Extract(number - 1, model);
}

int PdfDoc::LoadPage(int number, stPdfPage** page)
{
    if (!page)
        return 0;
    *page = nullptr;
    // Callers sit across a DLL boundary: nothing may be thrown to them (out of memory included).
    try {
        PageModel model;
        if (!ExtractPageModel(number, &model))
            return 0;
        *page = BuildPageRecords(model);
        return *page ? 1 : 0;
    } catch (...) {
        ReportPageFailed(number);
        return 0;
    }
}

void PdfDoc::ReportPageFailed(int number) noexcept
{
    try {
        const PageEntry* page = document_->Page(number - 1);
        document_->Report(DiagCode::PageFailed, page ? page->objectNum : DiagnosticList::kNoObject);
    } catch (...) {
        // Out of memory even for the report: the page's result already says it failed.
    }
}

int PdfDoc::FreePage(stPdfPage* page)
{
    FreePageRecords(page);
    return 1;
}

const RunningHeads& PdfDoc::Heads()
{
    if (heads_)
        return *heads_;
    heads_ = std::make_unique<RunningHeads>();
    const int count = document_->PageCount();
    if (count < 2)
        return *heads_;
    const int samples = std::min(count, kHeadSamplePages);
    ExtractOptions textOnly;
    textOnly.images = false;
    textOnly.textFrame = true;  // in the frame the layouts are given in
    for (int k = 0; k < samples; ++k) {
        const int index =
            samples == count ? k : static_cast<int>(static_cast<long long>(k) * (count - 1) / (samples - 1));
        PageModel model;
        if (!extractor_->Extract(index, &model, textOnly))
            continue;
        const PageLayout layout = AnalysePage(model, index + 1, nullptr);
        heads_->AddPage(HeadCandidates(layout.blocks, layout.height));
    }
    return *heads_;
}

bool PdfDoc::ExtractPageLayout(int number, PageLayout* layout)
{
    const RunningHeads& heads = Heads();
    if (number < 1 || number > document_->PageCount())
        return false;
    ExtractOptions withRules = options_;
    withRules.rules = true;
    withRules.textFrame = true;
    PageModel model;
    if (!extractor_->Extract(number - 1, &model, withRules))
        return false;
    const bool previousEndsOpen = lastLaidOut_ == number - 1 && lastEndsOpen_;
    *layout = AnalysePage(model, number, &heads, previousEndsOpen);
    lastLaidOut_ = number;
    lastEndsOpen_ = layout->endsOpen;
    return true;
}

int PdfDoc::LoadPageLayout(int number, stPdfPageLayout** layout)
{
    if (!layout)
        return 0;
    *layout = nullptr;
    try {
        PageLayout model;
        if (!ExtractPageLayout(number, &model))
            return 0;
        *layout = BuildLayoutRecords(model);
        return *layout ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int PdfDoc::FreePageLayout(stPdfPageLayout* layout)
{
    FreeLayoutRecords(layout);
    return 1;
}

}  // namespace halvane
