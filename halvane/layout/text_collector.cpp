#include "halvane/layout/text_collector.h"

#include <algorithm>
#include <cmath>

namespace halvane {

namespace {

// More glyphs than this on one page are dropped (a guard against pathological files).
constexpr size_t kMaxGlyphsPerPage = 500000;
constexpr size_t kMaxImagesPerPage = 2000;
// More rules than this on one page are a drawing: the rest are dropped.
constexpr size_t kMaxRulesPerPage = 20000;

bool IsWhiteText(const std::u16string& text)
{
    if (text.empty())
        return false;
    for (char16_t c : text)
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r' && c != 0xA0 && c != 0x3000)
            return false;
    return true;
}

}  // namespace

Point ToDirectionFrame(int dir, Point p)
{
    switch (dir) {
    case kDirRight:
        return p;
    case kDirDown:
        return Point{p.y, -p.x};
    case kDirLeft:
        return Point{-p.x, -p.y};
    case kDirUp:
        return Point{-p.y, p.x};
    default: {
        const double a = dir * 3.14159265358979323846 / 180.0, c = std::cos(a), s = std::sin(a);
        return Point{p.x * c + p.y * s, -p.x * s + p.y * c};
    }
    }
}

Point FromDirectionFrame(int dir, Point p)
{
    switch (dir) {
    case kDirRight:
        return p;
    case kDirDown:
        return Point{-p.y, p.x};
    case kDirLeft:
        return Point{-p.x, -p.y};
    case kDirUp:
        return Point{p.y, -p.x};
    default: {
        const double a = dir * 3.14159265358979323846 / 180.0, c = std::cos(a), s = std::sin(a);
        return Point{p.x * c - p.y * s, p.x * s + p.y * c};
    }
    }
}

void TextCollector::OnGlyph(const GlyphEvent& g)
{
    if (glyphs_.size() >= kMaxGlyphsPerPage) {
        ++droppedGlyphs_;
        return;
    }
    if (g.text.empty() || g.size <= 0.01)
        return;
    // Text outside the visible page (cropped away, or parked off-page by the producer) is not
    // what a reader of the page sees: a glyph counts when its middle lies on the page.
    const double cx = g.origin.x + 0.5 * g.advance.x + 0.3 * g.up.x;
    const double cy = g.origin.y + 0.5 * g.advance.y + 0.3 * g.up.y;
    if (cx < 0 || cx > width_ || cy < 0 || cy > height_)
        return;
    // Direction from the baseline vector, or from the up vector for zero-width glyphs.
    double ax = g.advance.x, ay = g.advance.y;
    // The baseline an upright glyph would have: its up vector turned a quarter.
    const double upAx = -g.up.y, upAy = g.up.x;
    if (std::fabs(ax) + std::fabs(ay) < 1e-9) {
        ax = upAx;
        ay = upAy;
    }
    // A glyph mirrored left to right (the reversed E of a logo) advances backwards on a line that
    // still reads to the right: its up vector tells.
    const bool mirrored = ax * upAx + ay * upAy < 0;
    if (mirrored && upAx > 0 && std::fabs(upAy) < 0.05 * upAx) {
        ax = upAx;
        ay = upAy;
    }
    int dir = static_cast<int>(std::lround(std::atan2(ay, ax) * 180.0 / 3.14159265358979323846));
    dir = ((dir % 360) + 360) % 360;
    for (int axis = 0; axis <= 360; axis += 90)
        if (std::abs(dir - axis) <= 3)
            dir = axis % 360;
    // A glyph whose up vector points down in its own frame is mirrored; read it by its advance.
    PlacedGlyph p;
    p.dir = dir;
    const Point a = ToDirectionFrame(dir, g.origin);
    const Point b = ToDirectionFrame(dir, Point{g.origin.x + g.advance.x, g.origin.y + g.advance.y});
    p.u0 = std::min(a.x, b.x);
    p.u1 = std::max(a.x, b.x);
    p.baseline = a.y;
    p.size = g.size;
    p.typeSize = std::isfinite(g.typeSize) && g.typeSize > 0 ? g.typeSize : g.size;
    p.isSpace = IsWhiteText(g.text);
    p.text = g.text;
    p.font = g.font;
    p.color = g.color;
    p.invisible = g.invisible;
    glyphs_.push_back(std::move(p));
}

void TextCollector::OnImage(const ImageEvent& ev)
{
    if (!encoder_)
        return;
    if (images_.size() >= kMaxImagesPerPage) {
        ++droppedImages_;
        return;
    }
    const Point corners[4] = {ev.ctm.Apply(0, 0), ev.ctm.Apply(1, 0), ev.ctm.Apply(0, 1), ev.ctm.Apply(1, 1)};
    PlacedImage img;
    img.left = img.right = corners[0].x;
    img.top = img.bottom = corners[0].y;
    for (const Point& c : corners) {
        img.left = std::min(img.left, c.x);
        img.right = std::max(img.right, c.x);
        img.top = std::min(img.top, c.y);
        img.bottom = std::max(img.bottom, c.y);
    }
    // Clip to the page; an image entirely outside it is not shown. The whole picture is
    // delivered, so one that reaches past the page is fitted into the visible part with its
    // proportions kept rather than squeezed into it.
    const double fullWidth = img.right - img.left, fullHeight = img.bottom - img.top;
    img.left = std::max(img.left, 0.0);
    img.top = std::max(img.top, 0.0);
    img.right = std::min(img.right, width_);
    img.bottom = std::min(img.bottom, height_);
    if (img.right - img.left < 1 || img.bottom - img.top < 1)
        return;
    const double fit = std::min((img.right - img.left) / fullWidth, (img.bottom - img.top) / fullHeight);
    if (fit < 1) {
        img.right = img.left + fullWidth * fit;
        img.bottom = img.top + fullHeight * fit;
    }
    if (!encoder_(ev, &img.data) || img.data.empty())
        return;
    images_.push_back(std::move(img));
}

// Rules wholly off the visible page draw nothing there.
void TextCollector::OnRule(const RuleEvent& rule)
{
    if (rules_.size() >= kMaxRulesPerPage)
        return;
    const double x0 = std::min(rule.x0, rule.x1), x1 = std::max(rule.x0, rule.x1);
    const double y0 = std::min(rule.y0, rule.y1), y1 = std::max(rule.y0, rule.y1);
    if (x1 < 0 || y1 < 0 || x0 > width_ || y0 > height_)
        return;
    RuleModel r;
    r.kind = rule.kind;
    r.x0 = rule.x0;
    r.y0 = rule.y0;
    r.x1 = rule.x1;
    r.y1 = rule.y1;
    r.width = rule.width;
    r.color = rule.color;
    rules_.push_back(r);
}

}  // namespace halvane
