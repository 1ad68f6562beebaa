#include "page_extractor.h"

#include "content_interpreter.h"
#include "font.h"
#include "image_encoder.h"
#include "line_builder.h"
#include "text_collector.h"

namespace halvane {

namespace {

// Default user space to the visible page: origin at the top-left of the rotated crop box, y down.
Matrix PageMatrix(const PageEntry& page, double* width, double* height)
{
    const Rect& c = page.cropBox;
    switch (page.rotate) {
    case 90:
        *width = c.Height();
        *height = c.Width();
        return Matrix{0, 1, 1, 0, -c.y0, -c.x0};
    case 180:
        *width = c.Width();
        *height = c.Height();
        return Matrix{-1, 0, 0, 1, c.x1, -c.y0};
    case 270:
        *width = c.Height();
        *height = c.Width();
        return Matrix{0, -1, -1, 0, c.y1, c.x1};
    default:
        *width = c.Width();
        *height = c.Height();
        return Matrix{1, 0, 0, -1, -c.x0, c.y1};
    }
}

}  // namespace

PageExtractor::PageExtractor(Document& doc, const ExtractOptions& options)
    : doc_(doc), options_(options), fonts_(std::make_unique<FontCache>(doc))
{
}

PageExtractor::~PageExtractor() = default;

bool PageExtractor::Extract(int index, PageModel* model)
{
    const PageEntry* page = doc_.Page(index);
    if (!page)
        return false;
    double width, height;
    const Matrix pageMatrix = PageMatrix(*page, &width, &height);
    model->width = width;
    model->height = height;
    ImageEncoderFn encoder;
    if (options_.images) {
        Document* doc = &doc_;
        encoder = [doc](const ImageEvent& ev, std::string* out) { return EncodeImage(*doc, ev, out); };
    }
    TextCollector collector(width, height, encoder);
    ContentInterpreter interpreter(doc_, *fonts_, collector);
    interpreter.RunPage(page->page["Contents"], page->resources, pageMatrix);
    BuildPageModel(collector.Glyphs(), collector.Images(), model);
    return true;
}

}  // namespace halvane
