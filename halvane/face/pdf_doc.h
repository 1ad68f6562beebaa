// The reader's document object behind the contract: qrn_IPdfDoc over a core Document.
#ifndef HALVANE_PDF_DOC_H
#define HALVANE_PDF_DOC_H

#include <memory>

#include "halvane/syntax/byte_source.h"
#include "halvane/document/document_file.h"
#include "halvane.h"
#include "halvane/page/page_extractor.h"
#include "halvane/structure/layout_model.h"
#include "halvane/structure/running_heads.h"

namespace halvane {

// Files larger than this are not read (a 32-bit process could not hold them anyway).
constexpr size_t kMaxFileBytes = 1024u << 20;

class PdfDoc : public qrn_IPdfDoc {
public:
    // Null when the bytes are no readable PDF (damaged beyond repair, or a password is needed).
    static PdfDoc* Open(ByteSource bytes, const ExtractOptions& options);
    virtual ~PdfDoc();

    int LoadPage(int number, stPdfPage** page) override;
    int FreePage(stPdfPage* page) override;
    int GetPageCount() override;
    int LoadPageLayout(int number, stPdfPageLayout** layout) override;
    int FreePageLayout(stPdfPageLayout* layout) override;

    Document& Doc() { return *document_; }
    // The page model itself, for tools that do not need the records.
    bool ExtractPageModel(int number, PageModel* model);
    // The page's layout, for tools that do not need the records.
    bool ExtractPageLayout(int number, PageLayout* layout);

private:
    PdfDoc() = default;
    std::unique_ptr<Document> document_;
    // Headers and footers, from a sample of the pages read once, on the first layout asked for.
    const RunningHeads& Heads();

    ExtractOptions options_;
    std::unique_ptr<PageExtractor> extractor_;
    std::unique_ptr<RunningHeads> heads_;
};

}  // namespace halvane

#endif
