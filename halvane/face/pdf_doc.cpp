#include "halvane/face/pdf_doc.h"

#include <new>

#include "halvane/face/page_records.h"

namespace halvane {

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

}  // namespace halvane
