#include "halvane/content/content_interpreter.h"

#include <algorithm>
#include <cmath>

#include "halvane/syntax/find_bytes.h"
#include "halvane/fonts/encodings.h"
#include "halvane/syntax/lexer.h"
#include "halvane/syntax/parser.h"
#include "unicode_text.h"

namespace halvane {

namespace {

constexpr int kMaxFormDepth = 12;
constexpr size_t kMaxStateStack = 512;
// Points of one path kept for its rules; a path of more is a drawing, and the rest is let go.
constexpr size_t kMaxPathPoints = 20000;
// Points closer than this (page units) across a segment's direction make it straight up or across.
constexpr double kUprightTolerance = 0.5;
constexpr size_t kMaxOperands = 1024;
// A page with more operators than this is cut off (no real page comes near it).
constexpr size_t kMaxOperations = 20u * 1000 * 1000;
constexpr size_t kMaxContentBytes = 128u << 20;
constexpr size_t kMaxFormCacheBytes = 32u << 20;
// Replacement texts longer than this (in UTF-16 units) are cut.
constexpr size_t kMaxActualText = 4096;

constexpr uint32_t Op(const char* s)
{
    return s[0] == 0 ? 0
                     : (s[1] == 0 ? static_cast<uint32_t>(static_cast<uint8_t>(s[0]))
                                  : (s[2] == 0 ? (static_cast<uint32_t>(static_cast<uint8_t>(s[0])) |
                                                  static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8)
                                               : (static_cast<uint32_t>(static_cast<uint8_t>(s[0])) |
                                                  static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8 |
                                                  static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16)));
}

uint32_t PackOp(const std::string& kw)
{
    if (kw.empty() || kw.size() > 3)
        return 0xFFFFFFFFu;
    uint32_t v = 0;
    for (size_t i = 0; i < kw.size(); ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(kw[i])) << (8 * i);
    return v;
}

uint32_t Rgb(double r, double g, double b)
{
    auto c = [](double v) {
        v = v < 0 ? 0 : (v > 1 ? 1 : v);
        return static_cast<uint32_t>(v * 255 + 0.5);
    };
    return c(r) | (c(g) << 8) | (c(b) << 16);
}

uint32_t Cmyk(double c, double m, double y, double k)
{
    return Rgb((1 - c) * (1 - k), (1 - m) * (1 - k), (1 - y) * (1 - k));
}

// A text string (ISO 32000-1, 7.9.2.2): UTF-16BE or UTF-8 after their byte-order marks,
// otherwise PDFDocEncoding.
std::u16string DecodeTextString(const std::string& s)
{
    std::u16string out;
    if (s.size() >= 2 && static_cast<uint8_t>(s[0]) == 0xFE && static_cast<uint8_t>(s[1]) == 0xFF) {
        for (size_t i = 2; i + 1 < s.size() && out.size() < kMaxActualText; i += 2)
            out.push_back(static_cast<char16_t>(static_cast<uint8_t>(s[i]) << 8 | static_cast<uint8_t>(s[i + 1])));
        return out;
    }
    if (s.size() >= 3 && static_cast<uint8_t>(s[0]) == 0xEF && static_cast<uint8_t>(s[1]) == 0xBB &&
        static_cast<uint8_t>(s[2]) == 0xBF) {
        for (size_t i = 3; i < s.size() && out.size() < kMaxActualText;) {
            const uint8_t b = static_cast<uint8_t>(s[i]);
            const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
            uint32_t c = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0Fu : extra == 1 ? b & 0x1Fu : b;
            size_t k = 1;
            for (; k <= static_cast<size_t>(extra) && i + k < s.size(); ++k)
                c = c << 6 | (static_cast<uint8_t>(s[i + k]) & 0x3Fu);
            i += k;
            if (c <= 0x10FFFF)
                morvane::AppendUtf16(c, &out);
        }
        return out;
    }
    for (size_t i = 0; i < s.size() && out.size() < kMaxActualText; ++i)
        if (const char16_t c = PdfDocToUnicode(static_cast<uint8_t>(s[i])))
            out.push_back(c);
    return out;
}

}  // namespace

double ContentInterpreter::Num(size_t i) const
{
    return i < operands_.size() ? operands_[i].GetNumber() : 0.0;
}

void ContentInterpreter::RunPage(const Object& contentsRef, const Object& resources, const Matrix& pageMatrix)
{
    gs_ = GState();
    gs_.ctm = pageMatrix;
    stack_.clear();
    operations_ = 0;
    std::string content;
    BudgetLease contentLease(doc_.Budget(), 0);  // the page's content, held while it runs
    const Object& contents = doc_.Resolve(contentsRef);
    contentObject_ = DiagnosticList::kNoObject;
    auto append = [&](const Object& s) {
        const Object& stream = doc_.Resolve(s);
        if (!stream.IsStream() || content.size() >= kMaxContentBytes)
            return;
        const int num = stream.GetStream()->ref.num;
        if (contentObject_ == DiagnosticList::kNoObject)
            contentObject_ = num;  // diagnostics name the page's first stream
        DecodedData decoded;
        if (doc_.DecodeStream(stream, kMaxContentBytes - content.size(), &decoded) && decoded.imageCodec.empty() &&
            contentLease.Grow(decoded.bytes.size() + 1)) {
            content.append(decoded.bytes);
            content.push_back('\n');  // streams of an array split only between tokens
        } else {
            doc_.Report(DiagCode::ContentUnreadable, num);
        }
    };
    if (contents.IsArray()) {
        for (size_t i = 0; i < contents.ArraySize(); ++i)
            append(contents.At(i));
    } else {
        append(contents);
    }
    markedDepth_ = 0;
    actualTextDepth_ = 0;
    Run(content, resources, 0);
    FlushActualText();
}

void ContentInterpreter::Run(const std::string& content, const Object& resources, int depth)
{
    Lexer lexer(reinterpret_cast<const uint8_t*>(content.data()), content.size());
    Parser parser(lexer, false);
    operands_.clear();
    Object obj;
    std::string keyword;
    const size_t stackBase = stack_.size();
    const size_t markedBase = markedDepth_;
    while (parser.ParseObject(&obj, &keyword)) {
        if (keyword.empty()) {
            if (operands_.size() < kMaxOperands)
                operands_.push_back(std::move(obj));
            continue;
        }
        if (++operations_ > kMaxOperations) {
            doc_.Report(DiagCode::OperationLimit, contentObject_);
            break;
        }
        if (keyword == "BI") {
            InlineImage(lexer, resources);
        } else {
            Execute(PackOp(keyword), resources, depth);
        }
        operands_.clear();
    }
    // Unbalanced q or BMC inside a stream must not leak into its caller.
    if (actualTextDepth_ > markedBase)
        FlushActualText();
    markedDepth_ = std::min(markedDepth_, markedBase);
    while (stack_.size() > stackBase) {
        gs_ = stack_.back();
        stack_.pop_back();
    }
}

void ContentInterpreter::NextLine(double tx, double ty)
{
    tlm_ = Translation(tx, ty).Then(tlm_);
    tm_ = tlm_;
}

void ContentInterpreter::SetFont(const Object& resources, const std::string& name, double size)
{
    const Object& fontDict = doc_.Resolve(doc_.Resolve(resources)["Font"]);
    const Object& entry = fontDict.GetDict().Get(name);
    if (entry.IsNull())
        doc_.Report(DiagCode::FontNotInResources, contentObject_);
    gs_.text.font = fonts_.Get(entry);
    gs_.text.size = size;
}

// The operators that change what text, images and rules look like, each with the number of
// operands it reads; an operator given fewer is skipped whole. Clipping, shading and
// compatibility operators draw none of these and are not listed.
struct ContentInterpreter::Operators {
    using Handler = void (*)(ContentInterpreter& ci, const Object& resources, int depth);
    struct Entry {
        uint32_t op;
        uint8_t operands;
        Handler run;
    };

    static void Save(ContentInterpreter& ci, const Object&, int)
    {
        if (ci.stack_.size() < kMaxStateStack)
            ci.stack_.push_back(ci.gs_);
        else
            ci.doc_.Report(DiagCode::StateStackFull, ci.contentObject_);
    }
    static void Restore(ContentInterpreter& ci, const Object&, int)
    {
        if (!ci.stack_.empty()) {
            ci.gs_ = ci.stack_.back();
            ci.stack_.pop_back();
        }
    }
    static void Concat(ContentInterpreter& ci, const Object&, int)
    {
        const Matrix m{ci.Num(0), ci.Num(1), ci.Num(2), ci.Num(3), ci.Num(4), ci.Num(5)};
        const Matrix next = m.Then(ci.gs_.ctm);
        if (next.IsFinite())
            ci.gs_.ctm = next;
    }
    static void BeginText(ContentInterpreter& ci, const Object&, int)
    {
        ci.tm_ = Matrix();
        ci.tlm_ = Matrix();
    }
    static void EndText(ContentInterpreter&, const Object&, int) { }
    static void SetFont(ContentInterpreter& ci, const Object& resources, int)
    {
        if (ci.operands_[0].IsName())
            ci.SetFont(resources, ci.operands_[0].Str(), ci.Num(1));
    }
    static void CharSpacing(ContentInterpreter& ci, const Object&, int) { ci.gs_.text.charSpacing = ci.Num(0); }
    static void WordSpacing(ContentInterpreter& ci, const Object&, int) { ci.gs_.text.wordSpacing = ci.Num(0); }
    static void HorizontalScale(ContentInterpreter& ci, const Object&, int) { ci.gs_.text.hScale = ci.Num(0) / 100.0; }
    static void Leading(ContentInterpreter& ci, const Object&, int) { ci.gs_.text.leading = ci.Num(0); }
    static void Rise(ContentInterpreter& ci, const Object&, int) { ci.gs_.text.rise = ci.Num(0); }
    static void RenderMode(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.text.render = static_cast<int>(ci.Num(0));
    }
    static void MoveLine(ContentInterpreter& ci, const Object&, int) { ci.NextLine(ci.Num(0), ci.Num(1)); }
    static void MoveLineSetLeading(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.text.leading = -ci.Num(1);
        ci.NextLine(ci.Num(0), ci.Num(1));
    }
    static void TextMatrix(ContentInterpreter& ci, const Object&, int)
    {
        const Matrix m{ci.Num(0), ci.Num(1), ci.Num(2), ci.Num(3), ci.Num(4), ci.Num(5)};
        if (m.IsFinite()) {
            ci.tm_ = m;
            ci.tlm_ = m;
        }
    }
    static void NextLine(ContentInterpreter& ci, const Object&, int) { ci.NextLine(0, -ci.gs_.text.leading); }
    static void Show(ContentInterpreter& ci, const Object&, int) { ci.ShowText(ci.operands_[0].Str()); }
    static void NextLineShow(ContentInterpreter& ci, const Object&, int)
    {
        ci.NextLine(0, -ci.gs_.text.leading);
        ci.ShowText(ci.operands_[0].Str());
    }
    static void SpacedNextLineShow(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.text.wordSpacing = ci.Num(0);
        ci.gs_.text.charSpacing = ci.Num(1);
        ci.NextLine(0, -ci.gs_.text.leading);
        ci.ShowText(ci.operands_[2].Str());
    }
    static void ShowArray(ContentInterpreter& ci, const Object&, int) { ci.ShowArray(ci.operands_[0].GetArray()); }
    static void DrawXObject(ContentInterpreter& ci, const Object& resources, int depth)
    {
        if (ci.operands_[0].IsName())
            ci.DoXObject(ci.operands_[0].Str(), resources, depth);
    }
    static void ExtGState(ContentInterpreter& ci, const Object& resources, int)
    {
        if (!ci.operands_[0].IsName())
            return;
        Document& doc = ci.doc_;
        const Object& states = doc.Resolve(doc.Resolve(resources)["ExtGState"]);
        const Object& state = doc.Resolve(states.GetDict().Get(ci.operands_[0].Str()));
        const Object& font = doc.Resolve(state["Font"]);
        if (font.IsArray() && font.ArraySize() >= 2) {
            ci.gs_.text.font = ci.fonts_.Get(font.At(0));
            ci.gs_.text.size = doc.Resolve(font.At(1)).GetNumber();
        }
    }
    static void GrayFill(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.fillColor = Rgb(ci.Num(0), ci.Num(0), ci.Num(0));
    }
    static void RgbFill(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.fillColor = Rgb(ci.Num(0), ci.Num(1), ci.Num(2));
    }
    static void CmykFill(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.fillColor = Cmyk(ci.Num(0), ci.Num(1), ci.Num(2), ci.Num(3));
    }
    // sc and scn take as many numbers as the colour space has components (a pattern name
    // alone is fine too): the count of numbers says which.
    static void ColorFill(ContentInterpreter& ci, const Object&, int)
    {
        size_t n = 0;
        while (n < ci.operands_.size() && ci.operands_[n].IsNumber())
            ++n;
        if (n == 1)
            GrayFill(ci, Object(), 0);
        else if (n == 3)
            RgbFill(ci, Object(), 0);
        else if (n == 4)
            CmykFill(ci, Object(), 0);
    }
    static void StrokeGray(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.strokeColor = Rgb(ci.Num(0), ci.Num(0), ci.Num(0));
    }
    static void StrokeRgb(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.strokeColor = Rgb(ci.Num(0), ci.Num(1), ci.Num(2));
    }
    static void StrokeCmyk(ContentInterpreter& ci, const Object&, int)
    {
        ci.gs_.strokeColor = Cmyk(ci.Num(0), ci.Num(1), ci.Num(2), ci.Num(3));
    }
    static void StrokeColor(ContentInterpreter& ci, const Object&, int)
    {
        size_t n = 0;
        while (n < ci.operands_.size() && ci.operands_[n].IsNumber())
            ++n;
        if (n == 1)
            StrokeGray(ci, Object(), 0);
        else if (n == 3)
            StrokeRgb(ci, Object(), 0);
        else if (n == 4)
            StrokeCmyk(ci, Object(), 0);
    }
    static void LineWidth(ContentInterpreter& ci, const Object&, int) { ci.gs_.lineWidth = ci.Num(0); }

    // Path construction (ISO 32000-1, 8.5.2): only what draws rules is kept.
    static bool PathRoom(ContentInterpreter& ci) { return ci.sink_.WantsRules() && ci.pathPoints_ < kMaxPathPoints; }
    static void MoveTo(ContentInterpreter& ci, const Object&, int)
    {
        if (!PathRoom(ci))
            return;
        ci.path_.emplace_back();
        ci.path_.back().points.push_back(ci.gs_.ctm.Apply(ci.Num(0), ci.Num(1)));
        ++ci.pathPoints_;
    }
    static void LineTo(ContentInterpreter& ci, const Object&, int)
    {
        if (!PathRoom(ci) || ci.path_.empty())
            return;
        ci.path_.back().points.push_back(ci.gs_.ctm.Apply(ci.Num(0), ci.Num(1)));
        ++ci.pathPoints_;
    }
    // Curves end where their last point is; the subpath paints no rule.
    static void CurveTo(ContentInterpreter& ci, const Object&, int)
    {
        if (!PathRoom(ci) || ci.path_.empty())
            return;
        ci.path_.back().points.push_back(ci.gs_.ctm.Apply(ci.Num(4), ci.Num(5)));
        ci.path_.back().curved = true;
        ++ci.pathPoints_;
    }
    static void CurveToShort(ContentInterpreter& ci, const Object&, int)
    {
        if (!PathRoom(ci) || ci.path_.empty())
            return;
        ci.path_.back().points.push_back(ci.gs_.ctm.Apply(ci.Num(2), ci.Num(3)));
        ci.path_.back().curved = true;
        ++ci.pathPoints_;
    }
    static void ClosePath(ContentInterpreter& ci, const Object&, int)
    {
        if (!ci.path_.empty())
            ci.path_.back().closed = true;
    }
    static void Rectangle(ContentInterpreter& ci, const Object&, int)
    {
        if (!PathRoom(ci))
            return;
        const double x = ci.Num(0), y = ci.Num(1), w = ci.Num(2), h = ci.Num(3);
        Subpath sp;
        sp.points = {ci.gs_.ctm.Apply(x, y), ci.gs_.ctm.Apply(x + w, y), ci.gs_.ctm.Apply(x + w, y + h),
                     ci.gs_.ctm.Apply(x, y + h)};
        sp.closed = true;
        sp.rectangle = true;
        ci.path_.push_back(std::move(sp));
        ci.pathPoints_ += 4;
    }
    static void Stroke(ContentInterpreter& ci, const Object&, int) { ci.PaintPath(true, false); }
    static void CloseStroke(ContentInterpreter& ci, const Object& r, int d)
    {
        ClosePath(ci, r, d);
        ci.PaintPath(true, false);
    }
    static void Fill(ContentInterpreter& ci, const Object&, int) { ci.PaintPath(false, true); }
    static void FillStroke(ContentInterpreter& ci, const Object&, int) { ci.PaintPath(true, true); }
    static void CloseFillStroke(ContentInterpreter& ci, const Object& r, int d)
    {
        ClosePath(ci, r, d);
        ci.PaintPath(true, true);
    }
    static void EndPath(ContentInterpreter& ci, const Object&, int) { ci.PaintPath(false, false); }

    // Marked content nests whatever its operands: an EMC closes it even when its BDC was damaged.
    static void BeginMarked(ContentInterpreter& ci, const Object& resources, int) { ci.BeginMarkedContent(resources); }
    static void EndMarked(ContentInterpreter& ci, const Object&, int) { ci.EndMarkedContent(); }

    // Sorted by op for the binary search.
    static const Entry* Find(uint32_t op);
};

namespace {

using Ops = ContentInterpreter::Operators;

// The table in the order of ISO 32000-1, table 51; Find sorts a copy by op once.
constexpr Ops::Entry kOperatorTable[] = {
    {Op("q"), 0, Ops::Save},
    {Op("Q"), 0, Ops::Restore},
    {Op("cm"), 6, Ops::Concat},
    {Op("gs"), 1, Ops::ExtGState},
    {Op("g"), 1, Ops::GrayFill},
    {Op("rg"), 3, Ops::RgbFill},
    {Op("k"), 4, Ops::CmykFill},
    {Op("sc"), 0, Ops::ColorFill},
    {Op("scn"), 0, Ops::ColorFill},
    {Op("BT"), 0, Ops::BeginText},
    {Op("ET"), 0, Ops::EndText},
    {Op("Tc"), 1, Ops::CharSpacing},
    {Op("Tw"), 1, Ops::WordSpacing},
    {Op("Tz"), 1, Ops::HorizontalScale},
    {Op("TL"), 1, Ops::Leading},
    {Op("Tf"), 2, Ops::SetFont},
    {Op("Tr"), 1, Ops::RenderMode},
    {Op("Ts"), 1, Ops::Rise},
    {Op("Td"), 2, Ops::MoveLine},
    {Op("TD"), 2, Ops::MoveLineSetLeading},
    {Op("Tm"), 6, Ops::TextMatrix},
    {Op("T*"), 0, Ops::NextLine},
    {Op("Tj"), 1, Ops::Show},
    {Op("TJ"), 1, Ops::ShowArray},
    {Op("'"), 1, Ops::NextLineShow},
    {Op("\""), 3, Ops::SpacedNextLineShow},
    {Op("Do"), 1, Ops::DrawXObject},
    {Op("BMC"), 0, Ops::BeginMarked},
    {Op("BDC"), 0, Ops::BeginMarked},
    {Op("EMC"), 0, Ops::EndMarked},
    {Op("w"), 1, Ops::LineWidth},
    {Op("G"), 1, Ops::StrokeGray},
    {Op("RG"), 3, Ops::StrokeRgb},
    {Op("K"), 4, Ops::StrokeCmyk},
    {Op("SC"), 0, Ops::StrokeColor},
    {Op("SCN"), 0, Ops::StrokeColor},
    {Op("m"), 2, Ops::MoveTo},
    {Op("l"), 2, Ops::LineTo},
    {Op("c"), 6, Ops::CurveTo},
    {Op("v"), 4, Ops::CurveToShort},
    {Op("y"), 4, Ops::CurveToShort},
    {Op("h"), 0, Ops::ClosePath},
    {Op("re"), 4, Ops::Rectangle},
    {Op("S"), 0, Ops::Stroke},
    {Op("s"), 0, Ops::CloseStroke},
    {Op("f"), 0, Ops::Fill},
    {Op("F"), 0, Ops::Fill},
    {Op("f*"), 0, Ops::Fill},
    {Op("B"), 0, Ops::FillStroke},
    {Op("B*"), 0, Ops::FillStroke},
    {Op("b"), 0, Ops::CloseFillStroke},
    {Op("b*"), 0, Ops::CloseFillStroke},
    {Op("n"), 0, Ops::EndPath},
};

}  // namespace

const ContentInterpreter::Operators::Entry* ContentInterpreter::Operators::Find(uint32_t op)
{
    static const std::vector<Entry> sorted = [] {
        std::vector<Entry> v(std::begin(kOperatorTable), std::end(kOperatorTable));
        std::sort(v.begin(), v.end(), [](const Entry& a, const Entry& b) { return a.op < b.op; });
        return v;
    }();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), op, [](const Entry& e, uint32_t o) { return e.op < o; });
    return it != sorted.end() && it->op == op ? &*it : nullptr;
}

void ContentInterpreter::Execute(uint32_t op, const Object& resources, int depth)
{
    const Operators::Entry* entry = Operators::Find(op);
    if (!entry)
        return;  // an operator that draws no text, or not an operator at all
    if (operands_.size() < entry->operands) {
        doc_.Report(DiagCode::OperandsMissing, contentObject_);  // the operator is skipped
        return;
    }
    entry->run(*this, resources, depth);
}

void ContentInterpreter::BeginMarkedContent(const Object& resources)
{
    ++markedDepth_;
    if (actualTextDepth_ != 0 || operands_.size() < 2)
        return;  // the outermost replacement text covers everything inside it
    const Object* properties = &operands_[1];
    if (properties->IsName()) {
        const Object& named = doc_.Resolve(doc_.Resolve(resources)["Properties"]);
        properties = named.IsDict() ? &doc_.Resolve(named.GetDict().Get(properties->Str())) : nullptr;
    }
    if (!properties || !properties->IsDict())
        return;
    const Object& actual = doc_.Resolve(properties->GetDict().Get("ActualText"));
    if (!actual.IsString())
        return;
    actualText_ = DecodeTextString(actual.Str());
    actualTextDepth_ = markedDepth_;
    actualTextHasGlyph_ = false;
}

void ContentInterpreter::EndMarkedContent()
{
    if (markedDepth_ == 0)
        return;  // an EMC without its BMC
    if (markedDepth_ == actualTextDepth_)
        FlushActualText();
    --markedDepth_;
}

void ContentInterpreter::FlushActualText()
{
    if (actualTextDepth_ == 0)
        return;
    actualTextDepth_ = 0;
    if (!actualTextHasGlyph_ || actualText_.empty())
        return;
    actualGlyph_.text = std::move(actualText_);
    actualGlyph_.wordSpace = false;
    sink_.OnGlyph(actualGlyph_);
    actualText_.clear();
}

namespace {

// A closed path of four corners with upright sides: its box.
bool UprightBox(const std::vector<Point>& pts, double* x0, double* y0, double* x1, double* y1)
{
    size_t n = pts.size();
    if (n == 5 && std::fabs(pts[4].x - pts[0].x) < 1e-6 && std::fabs(pts[4].y - pts[0].y) < 1e-6)
        n = 4;
    if (n != 4)
        return false;
    for (size_t i = 0; i < 4; ++i) {
        const Point& a = pts[i];
        const Point& b = pts[(i + 1) % 4];
        if (std::fabs(a.x - b.x) > kUprightTolerance && std::fabs(a.y - b.y) > kUprightTolerance)
            return false;
    }
    *x0 = std::min(std::min(pts[0].x, pts[1].x), std::min(pts[2].x, pts[3].x));
    *x1 = std::max(std::max(pts[0].x, pts[1].x), std::max(pts[2].x, pts[3].x));
    *y0 = std::min(std::min(pts[0].y, pts[1].y), std::min(pts[2].y, pts[3].y));
    *y1 = std::max(std::max(pts[0].y, pts[1].y), std::max(pts[2].y, pts[3].y));
    return std::isfinite(*x0) && std::isfinite(*x1) && std::isfinite(*y0) && std::isfinite(*y1);
}

}  // namespace

void ContentInterpreter::PaintPath(bool stroke, bool fill)
{
    std::vector<Subpath> path;
    path.swap(path_);
    pathPoints_ = 0;
    if (!sink_.WantsRules() || (!stroke && !fill))
        return;
    const Matrix& m = gs_.ctm;
    // The stroke's width on the page: a zero width is the thinnest line a device draws.
    const double scale = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
    const double width = std::max(gs_.lineWidth, 0.0) * scale;
    for (const Subpath& sp : path) {
        if (sp.curved || sp.points.size() < 2)
            continue;
        RuleEvent ev;
        if ((sp.closed || sp.rectangle || fill) && UprightBox(sp.points, &ev.x0, &ev.y0, &ev.x1, &ev.y1)) {
            if (fill) {
                ev.kind = RuleEvent::kFill;
                ev.color = gs_.fillColor;
                sink_.OnRule(ev);
            }
            if (stroke) {
                ev.kind = RuleEvent::kFrame;
                ev.width = width;
                ev.color = gs_.strokeColor;
                sink_.OnRule(ev);
            }
            continue;
        }
        if (!stroke)
            continue;
        const size_t n = sp.points.size();
        const size_t segments = sp.closed ? n : n - 1;
        for (size_t i = 0; i < segments; ++i) {
            const Point& a = sp.points[i];
            const Point& b = sp.points[(i + 1) % n];
            if (std::fabs(a.x - b.x) > kUprightTolerance && std::fabs(a.y - b.y) > kUprightTolerance)
                continue;
            if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
                continue;
            ev.kind = RuleEvent::kLine;
            ev.x0 = a.x;
            ev.y0 = a.y;
            ev.x1 = b.x;
            ev.y1 = b.y;
            ev.width = width;
            ev.color = gs_.strokeColor;
            sink_.OnRule(ev);
        }
    }
}

void ContentInterpreter::EmitGlyph()
{
    if (actualTextDepth_ == 0) {
        sink_.OnGlyph(glyph_);
        return;
    }
    if (!actualTextHasGlyph_) {
        actualGlyph_ = glyph_;
        actualTextHasGlyph_ = true;
        return;
    }
    // The span's glyph reaches to the end of the last glyph drawn on the first one's baseline.
    const Point end{glyph_.origin.x + glyph_.advance.x, glyph_.origin.y + glyph_.advance.y};
    const Point d{end.x - actualGlyph_.origin.x, end.y - actualGlyph_.origin.y};
    const double along = d.x * actualGlyph_.advance.x + d.y * actualGlyph_.advance.y;
    const double advanceLength = std::hypot(actualGlyph_.advance.x, actualGlyph_.advance.y);
    const double upLength = std::hypot(actualGlyph_.up.x, actualGlyph_.up.y);
    if (advanceLength <= 0 || upLength <= 0)
        return;
    const double across = (d.x * actualGlyph_.up.x + d.y * actualGlyph_.up.y) / upLength;
    if (std::fabs(across) < 0.3 * actualGlyph_.size && along > advanceLength * advanceLength) {
        const double scale = along / (advanceLength * advanceLength);
        actualGlyph_.advance = Point{actualGlyph_.advance.x * scale, actualGlyph_.advance.y * scale};
    }
}

void ContentInterpreter::ShowText(const std::string& s)
{
    const Font* font = gs_.text.font;
    if (!font) {
        doc_.Report(DiagCode::TextWithoutFont, contentObject_);
        font = fonts_.Get(Object());  // text before any Tf: show it with the fallback font
    }
    const TextState& ts = gs_.text;
    const Matrix base = Matrix{ts.size * ts.hScale, 0, 0, ts.size, 0, ts.rise};
    size_t pos = 0;
    while (pos < s.size()) {
        uint32_t code = 0;
        int length = font->NextCode(s, pos, &code);
        if (length < 1)
            length = 1;
        pos += static_cast<size_t>(length);
        const bool wordSpace = font->IsWordSpace(code, length);
        const Matrix trm = base.Then(tm_).Then(gs_.ctm);
        glyph_.text.clear();
        font->Text(code, &glyph_.text);
        if (!font->vertical) {
            const double w0 = font->Advance(code);
            glyph_.origin = trm.Apply(0, 0);
            glyph_.advance = trm.ApplyVector(w0, 0);
            glyph_.up = trm.ApplyVector(0, 1);
            const double tx = (w0 * ts.size + ts.charSpacing + (wordSpace ? ts.wordSpacing : 0)) * ts.hScale;
            tm_ = Translation(tx, 0).Then(tm_);
        } else {
            // Vertical writing: the glyph hangs below its origin; the advance points down.
            const double w1 = font->VerticalAdvance(code);
            const Point top = trm.Apply(-0.5, 0);
            glyph_.origin = top;
            glyph_.advance = trm.ApplyVector(0, w1);
            glyph_.up = trm.ApplyVector(1, 0);
            const double ty = w1 * ts.size + ts.charSpacing + (wordSpace ? ts.wordSpacing : 0);
            tm_ = Translation(0, ty).Then(tm_);
        }
        glyph_.size = std::sqrt(glyph_.up.x * glyph_.up.x + glyph_.up.y * glyph_.up.y);
        glyph_.typeSize = std::sqrt(std::fabs(trm.a * trm.d - trm.b * trm.c));
        glyph_.font = font;
        glyph_.color = gs_.fillColor;
        glyph_.invisible = ts.render == 3 || ts.render == 7;
        glyph_.wordSpace = wordSpace;
        if (std::isfinite(glyph_.origin.x) && std::isfinite(glyph_.origin.y) && std::isfinite(glyph_.size))
            EmitGlyph();
    }
}

void ContentInterpreter::ShowArray(const Array& items)
{
    const TextState& ts = gs_.text;
    const bool vertical = ts.font && ts.font->vertical;
    for (const Object& item : items) {
        if (item.IsString()) {
            ShowText(item.Str());
        } else if (item.IsNumber()) {
            const double adjust = -item.GetNumber() / 1000.0 * ts.size;
            if (!std::isfinite(adjust))
                continue;
            if (vertical)
                tm_ = Translation(0, adjust).Then(tm_);
            else
                tm_ = Translation(adjust * ts.hScale, 0).Then(tm_);
        }
    }
}

void ContentInterpreter::DoXObject(const std::string& name, const Object& resources, int depth)
{
    const Object& xobjects = doc_.Resolve(doc_.Resolve(resources)["XObject"]);
    const Object& ref = xobjects.GetDict().Get(name);
    const Object& xobject = doc_.Resolve(ref);
    if (!xobject.IsStream()) {
        doc_.Report(DiagCode::XObjectNotInResources, contentObject_);
        return;
    }
    const Object& subtype = doc_.Resolve(xobject["Subtype"]);
    if (subtype.IsName("Image")) {
        if (sink_.WantsImages()) {
            ImageEvent ev;
            ev.ctm = gs_.ctm;
            ev.xobject = &xobject;
            ev.resources = &resources;
            ev.fillColor = gs_.fillColor;
            sink_.OnImage(ev);
        }
        return;
    }
    if (subtype.IsName("Form"))
        DoForm(ref, xobject, resources, depth);
}

void ContentInterpreter::RunForm(const Object& formRef, const Matrix& ctm)
{
    gs_ = GState();
    gs_.ctm = ctm;
    stack_.clear();
    operations_ = 0;
    markedDepth_ = 0;
    actualTextDepth_ = 0;
    const Object& form = doc_.Resolve(formRef);
    if (form.IsStream())
        DoForm(formRef, form, Object(), 0);
    FlushActualText();
}

void ContentInterpreter::DoForm(const Object& ref, const Object& xobject, const Object& resources, int depth)
{
    const int formNum = ref.IsRef() ? ref.GetRef().num : -1;
    if (depth >= kMaxFormDepth) {
        doc_.Report(DiagCode::FormTooDeep, formNum);
        return;
    }
    if (formNum >= 0 && !activeForms_.insert(formNum).second) {
        doc_.Report(DiagCode::FormDrawsItself, formNum);
        return;
    }
    std::shared_ptr<const std::string> content;
    BudgetLease formLease;  // this form's content while it runs (nested forms each hold their own)
    auto cached = formNum >= 0 ? formCache_.find(formNum) : formCache_.end();
    if (cached != formCache_.end()) {
        content = cached->second;
    } else {
        DecodedData decoded;
        if (doc_.DecodeStream(xobject, kMaxContentBytes, &decoded) && decoded.imageCodec.empty() &&
            (formLease = BudgetLease(doc_.Budget(), decoded.bytes.size())).Held()) {
            content = std::make_shared<const std::string>(std::move(decoded.bytes));
            if (formNum >= 0 && formCacheBytes_ + content->size() <= kMaxFormCacheBytes &&
                formCacheLease_.Grow(content->size())) {
                formCacheBytes_ += content->size();
                formCache_[formNum] = content;
            }
        } else {
            doc_.Report(DiagCode::ContentUnreadable, formNum);
        }
    }
    if (content) {
        const GState saved = gs_;
        const Matrix savedTm = tm_, savedTlm = tlm_;
        std::vector<Object> savedOperands;
        savedOperands.swap(operands_);
        const Object& matrix = doc_.Resolve(xobject["Matrix"]);
        if (matrix.IsArray() && matrix.ArraySize() >= 6) {
            Matrix m;
            double v[6];
            for (size_t i = 0; i < 6; ++i)
                v[i] = doc_.Resolve(matrix.At(i)).GetNumber();
            m = Matrix{v[0], v[1], v[2], v[3], v[4], v[5]};
            const Matrix next = m.Then(gs_.ctm);
            if (next.IsFinite())
                gs_.ctm = next;
        }
        const Object& formResources = xobject["Resources"];
        const Object& useResources = doc_.Resolve(formResources).IsDict() ? formResources : resources;
        const int callerObject = contentObject_;
        contentObject_ = formNum;
        Run(*content, useResources, depth + 1);
        contentObject_ = callerObject;
        gs_ = saved;
        tm_ = savedTm;
        tlm_ = savedTlm;
        operands_.swap(savedOperands);
    }
    if (formNum >= 0)
        activeForms_.erase(formNum);
}

void ContentInterpreter::InlineImage(Lexer& lexer, const Object& resources)
{
    // BI <key value pairs> ID <data> EI
    Parser parser(lexer, false);
    Dict dict;
    Object key;
    std::string keyword;
    bool sawId = false;
    while (parser.ParseObject(&key, &keyword)) {
        if (keyword == "ID") {
            sawId = true;
            break;
        }
        if (!key.IsName())
            continue;
        Object value;
        std::string kw2;
        if (!parser.ParseObject(&value, &kw2))
            break;
        if (kw2 == "ID") {
            sawId = true;
            break;
        }
        dict.Set(key.Str(), std::move(value));
    }
    if (!sawId)
        return;
    const uint8_t* data = lexer.Data();
    const size_t size = lexer.Size();
    size_t start = lexer.Pos();
    if (start < size && IsPdfWhite(data[start]))
        ++start;
    // Without filters the size is known; otherwise look for EI between white space.
    size_t end = size;
    const Object& filter = dict.Has("F") ? dict.Get("F") : dict.Get("Filter");
    const Object& lengthObj = dict.Has("L") ? dict.Get("L") : dict.Get("Length");
    if (lengthObj.IsInt() && lengthObj.GetInt() >= 0 && static_cast<uint64_t>(lengthObj.GetInt()) <= size - start) {
        end = start + static_cast<size_t>(lengthObj.GetInt());
    } else {
        size_t p = start;
        end = size;
        while (p + 2 <= size) {
            const uint8_t* hit = FindBytes(data + p, size - p, "EI", 2);
            if (!hit)
                break;
            const size_t at = static_cast<size_t>(hit - data);
            const bool before = at > start && IsPdfWhite(data[at - 1]);
            const bool after = at + 2 >= size || IsPdfWhite(data[at + 2]) || IsPdfDelimiter(data[at + 2]);
            if (before && after) {
                end = at - 1;
                break;
            }
            p = at + 1;
        }
    }
    (void)filter;
    std::string bytes(reinterpret_cast<const char*>(data + start), end - start);
    // Continue after "EI".
    size_t resume = end;
    const uint8_t* ei = resume < size ? FindBytes(data + resume, size - resume, "EI", 2) : nullptr;
    lexer.Seek(ei ? static_cast<size_t>(ei - data) + 2 : size);
    if (sink_.WantsImages()) {
        ImageEvent ev;
        ev.ctm = gs_.ctm;
        ev.inlineDict = &dict;
        ev.inlineData = &bytes;
        ev.resources = &resources;
        ev.fillColor = gs_.fillColor;
        sink_.OnImage(ev);
    }
}

}  // namespace halvane
