// Content-stream interpreter (ISO 32000-1, 8 and 9): keeps the graphics and text state and
// reports every shown glyph and every image to a sink, in page space (the visible page, y down).
#ifndef HALVANE_CONTENT_INTERPRETER_H
#define HALVANE_CONTENT_INTERPRETER_H

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "halvane/document/document_file.h"
#include "halvane/fonts/font.h"
#include "halvane/content/geometry.h"

namespace halvane {

struct GlyphEvent {
    Point origin;  // start of the glyph on its baseline
    Point advance;  // from origin to the glyph's end along the baseline
    Point up;  // from the baseline to the top of an em, length = effective size
    double size = 0;  // effective font size on the page: the height of an em
    // The type size a document would name: an em stretched or squeezed across (a non-uniform
    // text matrix, horizontal scaling) counts as the square root of its area.
    double typeSize = 0;
    std::u16string text;  // may be empty when the font gives no text
    const Font* font = nullptr;
    uint32_t color = 0;  // fill colour 0x00BBGGRR
    bool invisible = false;
    bool wordSpace = false;  // the code was a word space (code 32)
};

struct ImageEvent {
    Matrix ctm;  // maps the unit square to page space
    const Object* xobject = nullptr;  // image XObject stream, or null for an inline image
    const Dict* inlineDict = nullptr;
    const std::string* inlineData = nullptr;
    const Object* resources = nullptr;  // for named colour spaces of inline images
    uint32_t fillColor = 0;  // 0x00BBGGRR: what a stencil mask paints with
};

// A straight rule or an upright rectangle a path paints, in page space: what table grids,
// underlines and shaded boxes are made of. Curves and slanted lines are not reported.
struct RuleEvent {
    enum Kind { kLine = 0, kFill = 1, kFrame = 2 };  // stroked segment, filled box, stroked box
    int kind = kLine;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // segment ends, or the box with x0 <= x1, y0 <= y1
    double width = 0;  // stroke width in page units; 0 for fills
    uint32_t color = 0;  // 0x00BBGGRR
};

class ContentSink {
public:
    virtual ~ContentSink() = default;
    virtual void OnGlyph(const GlyphEvent& glyph) = 0;
    virtual void OnImage(const ImageEvent& image) = 0;
    virtual bool WantsImages() const = 0;
    // Sinks that do not look at vector content leave it alone.
    virtual void OnRule(const RuleEvent& rule) { (void)rule; }
    virtual bool WantsRules() const { return false; }
};

class ContentInterpreter {
public:
    struct Operators;  // the operator table, with what each operator does

    ContentInterpreter(Document& doc, FontCache& fonts, ContentSink& sink)
        : doc_(doc), fonts_(fonts), sink_(sink), formCacheLease_(doc.Budget(), 0)
    { }

    // Runs a page's /Contents (a stream or an array of streams) with the page's resources.
    // pageMatrix maps default user space to page space.
    void RunPage(const Object& contents, const Object& resources, const Matrix& pageMatrix);
    // Runs a form XObject (an annotation's appearance) with the given current transformation.
    void RunForm(const Object& formRef, const Matrix& ctm);

private:
    struct TextState {
        const Font* font = nullptr;
        double size = 0;
        double charSpacing = 0;
        double wordSpacing = 0;
        double hScale = 1;
        double leading = 0;
        double rise = 0;
        int render = 0;
    };
    struct GState {
        Matrix ctm;
        TextState text;
        uint32_t fillColor = 0;
        uint32_t strokeColor = 0;
        double lineWidth = 1;
    };
    // The path under construction, in page space: subpaths of points; a subpath with a curve
    // stays in the path (it moves the current point) but paints no rule.
    struct Subpath {
        std::vector<Point> points;
        bool closed = false;
        bool curved = false;
        bool rectangle = false;  // from re
    };

    void Run(const std::string& content, const Object& resources, int depth);
    void Execute(uint32_t op, const Object& resources, int depth);
    void ShowText(const std::string& s);
    void ShowArray(const Array& items);
    void DoXObject(const std::string& name, const Object& resources, int depth);
    void DoForm(const Object& ref, const Object& xobject, const Object& resources, int depth);
    void InlineImage(class Lexer& lexer, const Object& resources);
    void SetFont(const Object& resources, const std::string& name, double size);
    void NextLine(double tx, double ty);
    double Num(size_t i) const;
    void BeginMarkedContent(const Object& resources);
    void EndMarkedContent();
    void EmitGlyph();
    void PaintPath(bool stroke, bool fill);
    void FlushActualText();

    Document& doc_;
    FontCache& fonts_;
    ContentSink& sink_;
    GState gs_;
    std::vector<GState> stack_;
    Matrix tm_, tlm_;
    std::vector<Object> operands_;
    std::unordered_set<int> activeForms_;
    // Decoded form contents, so a form drawn many times on a page is decoded once.
    std::unordered_map<int, std::shared_ptr<const std::string>> formCache_;
    size_t formCacheBytes_ = 0;
    BudgetLease formCacheLease_;  // the cached forms' bytes, counted in the document's budget
    GlyphEvent glyph_;
    size_t operations_ = 0;
    std::vector<Subpath> path_;
    size_t pathPoints_ = 0;
    int contentObject_ = -1;  // the content stream or form being run, for diagnostics
    // Marked-content nesting; an /ActualText span replaces the text of the glyphs drawn in it,
    // which then stand as one glyph from the first one's start to the last one's end.
    size_t markedDepth_ = 0;
    size_t actualTextDepth_ = 0;  // nesting level of the open span, 0 when none is open
    std::u16string actualText_;
    bool actualTextHasGlyph_ = false;
    GlyphEvent actualGlyph_;
};

}  // namespace halvane

#endif
