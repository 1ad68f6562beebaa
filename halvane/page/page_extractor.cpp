#include "halvane/page/page_extractor.h"

#include <algorithm>

#include "halvane/content/content_interpreter.h"
#include "halvane/fonts/font.h"
#include "halvane/images/image_encoder.h"
#include "halvane/layout/line_builder.h"
#include "halvane/layout/text_collector.h"

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

// A page whose text runs mostly in one other direction than left to right (a table turned on
// its side, vertical Japanese) is read in the frame of that text: the degrees the visible page
// is turned clockwise so that the text runs left to right, 0 when it already does.
constexpr double kMinTurnedShare = 0.6;

int TextTurn(const std::vector<PlacedGlyph>& glyphs)
{
    size_t counts[4] = {0, 0, 0, 0};
    size_t all = 0;
    for (const PlacedGlyph& g : glyphs) {
        if (g.isSpace)
            continue;
        ++all;
        if (g.dir == kDirRight)
            ++counts[0];
        else if (g.dir == kDirDown)
            ++counts[1];
        else if (g.dir == kDirLeft)
            ++counts[2];
        else if (g.dir == kDirUp)
            ++counts[3];
    }
    const int turns[4] = {0, 270, 180, 90};
    for (int k = 1; k < 4; ++k)
        if (all > 0 && static_cast<double>(counts[k]) >= kMinTurnedShare * static_cast<double>(all))
            return turns[k];
    return 0;
}

// Visible page space to the page turned clockwise by turn degrees; width and height follow.
Matrix TurnMatrix(int turn, double* width, double* height)
{
    const double w = *width, h = *height;
    switch (turn) {
    case 90:
        *width = h;
        *height = w;
        return Matrix{0, 1, -1, 0, h, 0};
    case 180:
        return Matrix{-1, 0, 0, -1, w, h};
    case 270:
        *width = h;
        *height = w;
        return Matrix{0, -1, 1, 0, 0, w};
    default:
        return Matrix();
    }
}

// Annotation flags (ISO 32000-1, 12.5.3): hidden ones are not shown.
constexpr int kAnnotHidden = 2;
constexpr int kAnnotNoView = 32;
constexpr size_t kMaxAnnotations = 5000;

}  // namespace

// Form fields, comments and stamps show their text through appearance streams: what the page
// shows, the reader delivers.
void PageExtractor::RunAnnotations(const PageEntry& page, const Matrix& pageMatrix, ContentInterpreter& interpreter)
{
    const Object& annots = doc_.Resolve(page.page["Annots"]);
    for (size_t i = 0; i < annots.ArraySize() && i < kMaxAnnotations; ++i) {
        const Object& annot = doc_.Resolve(annots.At(i));
        if (!annot.IsDict())
            continue;
        const int flags = doc_.Resolve(annot["F"]).GetIntClamped(0);
        const Object& subtype = doc_.Resolve(annot["Subtype"]);
        if ((flags & (kAnnotHidden | kAnnotNoView)) || subtype.IsName("Popup") || subtype.IsName("Link"))
            continue;
        const Object& normal = doc_.Resolve(doc_.Resolve(annot["AP"])["N"]);
        Object formRef;
        if (normal.IsStream()) {
            formRef = doc_.Resolve(annot["AP"])["N"];
        } else if (normal.IsDict()) {
            const Object& state = doc_.Resolve(annot["AS"]);
            if (!state.IsName())
                continue;
            formRef = normal.GetDict().Get(state.Str());
        }
        const Object& form = doc_.Resolve(formRef);
        if (!form.IsStream())
            continue;
        double rect[4], bbox[4] = {0, 0, 1, 1}, m[6] = {1, 0, 0, 1, 0, 0};
        const Object& rectObj = doc_.Resolve(annot["Rect"]);
        if (rectObj.ArraySize() < 4)
            continue;
        for (size_t k = 0; k < 4; ++k)
            rect[k] = doc_.Resolve(rectObj.At(k)).GetNumber();
        const Object& bboxObj = doc_.Resolve(form["BBox"]);
        if (bboxObj.ArraySize() >= 4)
            for (size_t k = 0; k < 4; ++k)
                bbox[k] = doc_.Resolve(bboxObj.At(k)).GetNumber();
        const Object& matrixObj = doc_.Resolve(form["Matrix"]);
        if (matrixObj.ArraySize() >= 6)
            for (size_t k = 0; k < 6; ++k)
                m[k] = doc_.Resolve(matrixObj.At(k)).GetNumber();
        // The appearance box, transformed by the form matrix, is fitted onto the annotation's rectangle.
        const Matrix formMatrix{m[0], m[1], m[2], m[3], m[4], m[5]};
        const Point corners[4] = {formMatrix.Apply(bbox[0], bbox[1]), formMatrix.Apply(bbox[2], bbox[1]),
                                  formMatrix.Apply(bbox[0], bbox[3]), formMatrix.Apply(bbox[2], bbox[3])};
        double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
        for (const Point& c : corners) {
            x0 = std::min(x0, c.x);
            x1 = std::max(x1, c.x);
            y0 = std::min(y0, c.y);
            y1 = std::max(y1, c.y);
        }
        if (x1 - x0 < 1e-6 || y1 - y0 < 1e-6)
            continue;
        const double rx0 = std::min(rect[0], rect[2]), rx1 = std::max(rect[0], rect[2]);
        const double ry0 = std::min(rect[1], rect[3]), ry1 = std::max(rect[1], rect[3]);
        const double sx = (rx1 - rx0) / (x1 - x0), sy = (ry1 - ry0) / (y1 - y0);
        const Matrix fit{sx, 0, 0, sy, rx0 - x0 * sx, ry0 - y0 * sy};
        const Matrix ctm = fit.Then(pageMatrix);
        if (ctm.IsFinite())
            interpreter.RunForm(formRef, ctm);
    }
}

PageExtractor::PageExtractor(Document& doc, const ExtractOptions& options)
    : doc_(doc), options_(options), fonts_(std::make_unique<FontCache>(doc))
{ }

PageExtractor::~PageExtractor() = default;

bool PageExtractor::Extract(int index, PageModel* model, const ExtractOptions& options)
{
    const PageEntry* page = doc_.Page(index);
    if (!page)
        return false;
    double width, height;
    const Matrix pageMatrix = PageMatrix(*page, &width, &height);
    model->width = width;
    model->height = height;
    model->mediaBox[0] = page->mediaBox.x0;
    model->mediaBox[1] = page->mediaBox.y0;
    model->mediaBox[2] = page->mediaBox.x1;
    model->mediaBox[3] = page->mediaBox.y1;
    model->cropBox[0] = page->cropBox.x0;
    model->cropBox[1] = page->cropBox.y0;
    model->cropBox[2] = page->cropBox.x1;
    model->cropBox[3] = page->cropBox.y1;
    model->rotate = page->rotate;
    ImageEncoderFn encoder;
    if (options.images) {
        Document* doc = &doc_;
        encoder = [doc](const ImageEvent& ev, std::string* out) { return EncodeImage(*doc, ev, out); };
    }
    TextCollector collector(width, height, encoder);
    collector.CollectRules(options.rules);
    ContentInterpreter interpreter(doc_, *fonts_, collector);
    interpreter.RunPage(page->page["Contents"], page->resources, pageMatrix);
    RunAnnotations(*page, pageMatrix, interpreter);
    if (collector.DroppedGlyphs() > 0)
        doc_.Report(DiagCode::GlyphLimit, page->objectNum);
    if (collector.DroppedImages() > 0)
        doc_.Report(DiagCode::ImageLimit, page->objectNum);
    const int turn = options.textFrame ? TextTurn(collector.Glyphs()) : 0;
    if (turn != 0) {
        // The page again, turned so that its text runs left to right.
        double w = width, h = height;
        const Matrix turned = pageMatrix.Then(TurnMatrix(turn, &w, &h));
        model->width = w;
        model->height = h;
        model->textTurn = turn;
        size_t vertical = 0;
        for (const PlacedGlyph& g : collector.Glyphs())
            vertical += g.font && g.font->vertical ? 1 : 0;
        model->verticalWriting = vertical * 2 > collector.Glyphs().size();
        TextCollector again(w, h, encoder);
        again.CollectRules(options.rules);
        ContentInterpreter second(doc_, *fonts_, again);
        second.RunPage(page->page["Contents"], page->resources, turned);
        RunAnnotations(*page, turned, second);
        BuildPageModel(again.Glyphs(), again.Images(), model);
        model->rules.swap(again.Rules());
        return true;
    }
    BuildPageModel(collector.Glyphs(), collector.Images(), model);
    model->rules.swap(collector.Rules());
    return true;
}

}  // namespace halvane
