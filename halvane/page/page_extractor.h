// Turns one page of a document into its page model: runs the content interpreter with a text
// and image collector, then builds lines and regions in reading order.
#ifndef HALVANE_PAGE_EXTRACTOR_H
#define HALVANE_PAGE_EXTRACTOR_H

#include <memory>

#include "halvane/document/document_file.h"
#include "halvane/layout/page_model.h"

namespace halvane {

class ContentInterpreter;
class FontCache;
struct Matrix;

struct ExtractOptions {
    bool images = true;  // encode image runs (text-only tools turn this off)
    bool rules = false;  // collect the rules and filled boxes the page draws (the page layout reads them)
    // Read a page whose text runs up, down or right to left in the frame of that text (the
    // model's textTurn says how it is turned); the page records keep the visible page.
    bool textFrame = false;
};

class PageExtractor {
public:
    PageExtractor(Document& doc, const ExtractOptions& options);
    ~PageExtractor();
    // index is 0-based. False only when the page does not exist.
    bool Extract(int index, PageModel* model) { return Extract(index, model, options_); }
    // The same with other options for this page (a text-only look at a page).
    bool Extract(int index, PageModel* model, const ExtractOptions& options);

private:
    void RunAnnotations(const PageEntry& page, const Matrix& pageMatrix, ContentInterpreter& interpreter);

    Document& doc_;
    ExtractOptions options_;
    std::unique_ptr<FontCache> fonts_;
};

}  // namespace halvane

#endif
