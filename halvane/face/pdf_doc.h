// The reader's document object behind the contract: qrn_IPdfDoc over a core Document.
#ifndef HALVANE_PDF_DOC_H
#define HALVANE_PDF_DOC_H

#include <memory>

#include "halvane/syntax/byte_source.h"
#include "halvane/document/document_file.h"
#include "halvane.h"
#include "halvane/page/page_extractor.h"

namespace halvane {

// Files larger than this are not read (a 32-bit process could not hold them anyway).
constexpr size_t kMaxFileBytes = 1024u << 20;

class PdfDoc : public qrn_IPdfDoc {
public:
    // Null when the bytes are no readable PDF (damaged beyond repair, or a password is needed);
    // whyNot, when given, then receives the diagnostics that say why.
    static PdfDoc* Open(ByteSource bytes, const ExtractOptions& options, DiagnosticList* whyNot = nullptr);
    virtual ~PdfDoc();

    int LoadPage(int number, stPdfPage** page) override;
    int FreePage(stPdfPage* page) override;
    int GetPageCount() override;

    Document& Doc() { return *document_; }
    const DiagnosticList& Diagnostics() const { return document_->Diagnostics(); }
    // The page model itself, for tools that do not need the records.
    bool ExtractPageModel(int number, PageModel* model);

private:
    PdfDoc() = default;
    void ReportPageFailed(int number) noexcept;
    std::unique_ptr<Document> document_;
    std::unique_ptr<PageExtractor> extractor_;
};

}  // namespace halvane

#endif
