#include "halvane/layout/line_builder.h"

#include "halvane/layout/accents.h"
#include "halvane/layout/fragment.h"
#include "halvane/layout/hyphenation.h"
#include "halvane/layout/layout_factors.h"
#include "halvane/layout/region_splitter.h"
#include "unicode_text.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace halvane {

namespace {

using Band = std::vector<size_t>;  // glyph indices

double GlyphTop(const PlacedGlyph& g)
{
    return g.baseline - kAscent * g.size;
}

double GlyphBottom(const PlacedGlyph& g)
{
    return g.baseline + kDescent * g.size;
}

void SortByLeftEdge(const std::vector<PlacedGlyph>& glyphs, Band* band)
{
    std::stable_sort(band->begin(), band->end(), [&](size_t a, size_t b) { return glyphs[a].u0 < glyphs[b].u0; });
}

bool EndsWithWhite(const std::u16string& s)
{
    return !s.empty() && (s.back() == u' ' || s.back() == 0x3000);
}

// Appends glyph text to a run, with a space first when the gap or a space glyph says so.
void AppendGlyph(RunModel& run, const PlacedGlyph& g, bool breakBefore)
{
    if (breakBefore && !run.text.empty() && !EndsWithWhite(run.text))
        run.text.push_back(u' ');
    run.text += g.text;
    run.right = std::max(run.right, g.u1);
    run.top = std::min(run.top, GlyphTop(g));
    run.bottom = std::max(run.bottom, GlyphBottom(g));
}

RunModel StartRun(const PlacedGlyph& g)
{
    RunModel run;
    run.fontName = g.font ? g.font->name : std::string();
    run.size = g.typeSize;
    run.left = g.u0;
    run.right = g.u1;
    run.top = GlyphTop(g);
    run.bottom = GlyphBottom(g);
    run.baseline = g.baseline;
    run.color = g.color;
    uint32_t flags = 0;
    if (g.font && g.font->bold)
        flags |= 1;  // PDF_TEXT_BOLD
    if (g.font && g.font->italic)
        flags |= 2;  // PDF_TEXT_ITALIC
    if (g.invisible)
        flags |= 4;  // PDF_TEXT_INVISIBLE
    run.flags = flags;
    run.text = g.text;
    return run;
}

bool SameRunStyle(const RunModel& run, const PlacedGlyph& g, const Font* runFont)
{
    return g.font == runFont && std::fabs(g.typeSize - run.size) <= kRunSizeTolerance * run.size &&
           std::fabs(g.baseline - run.baseline) <= kRunBaselineTolerance * run.size &&
           ((run.flags & 4) != 0) == g.invisible;
}

// Stage 1: glyphs sorted by baseline, grouped into bands of one line each. Glyphs of one size
// share a line when their baselines nearly agree; a smaller glyph raised or lowered (a
// superscript, a footnote mark) joins the line its box sits in.
std::vector<Band> GroupIntoBands(const std::vector<PlacedGlyph>& glyphs, const std::vector<size_t>& ids)
{
    std::vector<size_t> order(ids);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return glyphs[a].baseline < glyphs[b].baseline; });
    std::vector<Band> bands;
    const PlacedGlyph* ref = nullptr;  // the glyph the current band is measured against
    for (size_t id : order) {
        const PlacedGlyph& g = glyphs[id];
        bool join = false;
        if (ref) {
            const bool sameSize = std::fabs(g.size - ref->size) <= kSameSizeTolerance * std::max(g.size, ref->size);
            if (sameSize) {
                join = std::fabs(g.baseline - ref->baseline) <= kSameBaseline * ref->size;
            } else {
                const double top = GlyphTop(g), bottom = GlyphBottom(g);
                const double refTop = GlyphTop(*ref), refBottom = GlyphBottom(*ref);
                const double overlap = std::min(bottom, refBottom) - std::max(top, refTop);
                join = overlap >= kBandBoxOverlap * std::min(bottom - top, refBottom - refTop);
            }
        }
        if (!join)
            bands.emplace_back();
        if (!join || (g.size > ref->size * kLargerReference && !g.isSpace))
            ref = &g;
        bands.back().push_back(id);
    }
    return bands;
}

// Stage 2: a small glyph raised or lowered out of its line (the "A" of a logo, a footnote mark)
// can fall into the band of a line set just above or below when that line's size is close to
// its own. Standing alone in that band but touching larger glyphs of the neighbouring band, it
// belongs to the neighbouring band.
void ReattachStrayScripts(const std::vector<PlacedGlyph>& glyphs, std::vector<Band>* bands)
{
    for (auto& band : *bands)
        SortByLeftEdge(glyphs, &band);
    auto touches = [&](const Band& band, const PlacedGlyph& g, double reach, bool larger) {
        // Glyphs are sorted by their left edge and none is wider than a few font sizes.
        const double from = g.u0 - reach - kMaxGlyphWidth * g.size;
        auto it =
            std::lower_bound(band.begin(), band.end(), from, [&](size_t id, double u) { return glyphs[id].u0 < u; });
        for (int seen = 0; it != band.end() && glyphs[*it].u0 <= g.u1 + reach && seen < kMaxNeighboursScanned;
             ++it, ++seen) {
            const PlacedGlyph& h = glyphs[*it];
            if (&h == &g || h.isSpace || h.u1 < g.u0 - reach)
                continue;
            if (!larger)
                return true;
            const double top = GlyphTop(g), bottom = GlyphBottom(g);
            const double hTop = GlyphTop(h), hBottom = GlyphBottom(h);
            if (h.size > kStrayLargerNeighbour * g.size &&
                std::min(bottom, hBottom) - std::max(top, hTop) >= kStrayBoxOverlap * (bottom - top))
                return true;
        }
        return false;
    };
    // Moves are found on the bands as built and applied afterwards, so each glyph moves once.
    std::vector<std::pair<size_t, size_t>> moves;  // glyph, target band
    std::unordered_set<size_t> moved;
    for (size_t i = 0; i < bands->size(); ++i) {
        for (size_t id : (*bands)[i]) {
            const PlacedGlyph& g = glyphs[id];
            if (g.isSpace || touches((*bands)[i], g, kStrayAloneReach * g.size, false))
                continue;
            if (i + 1 < bands->size() && touches((*bands)[i + 1], g, kStrayTouchReach * g.size, true))
                moves.emplace_back(id, i + 1);
            else if (i > 0 && touches((*bands)[i - 1], g, kStrayTouchReach * g.size, true))
                moves.emplace_back(id, i - 1);
            else
                continue;
            moved.insert(id);
        }
    }
    if (moves.empty())
        return;
    for (auto& band : *bands)
        band.erase(std::remove_if(band.begin(), band.end(), [&](size_t id) { return moved.count(id) != 0; }),
                   band.end());
    for (const auto& move : moves)
        (*bands)[move.second].push_back(move.first);
    bands->erase(std::remove_if(bands->begin(), bands->end(), [](const Band& b) { return b.empty(); }), bands->end());
}

// True when glyphs of different baselines in a band (sorted by left edge) overlap each other
// the way two lines do: both of text size (a label set a size smaller under a field), or one
// line woven glyph by glyph through the other. Stacked sub- and superscripts are smaller than
// the line's text and stay with it.
bool HoldsCrossingLines(const std::vector<PlacedGlyph>& glyphs, const Band& band, double bandSize)
{
    const PlacedGlyph* prev = nullptr;
    int crossings = 0;
    double lastCrossing = 0;
    for (size_t id : band) {
        const PlacedGlyph& g = glyphs[id];
        if (g.isSpace || g.size < kMinCrossingSize * bandSize)
            continue;
        if (prev && std::fabs(g.baseline - prev->baseline) > kDistinctBaseline * std::max(g.size, prev->size) &&
            g.u0 < prev->u1 - kGlyphOverlap * std::min(g.u1 - g.u0, prev->u1 - prev->u0)) {
            const bool bothLineSized =
                g.size >= kMinOwnLineSize * bandSize && prev->size >= kMinOwnLineSize * bandSize &&
                std::fabs(g.size - prev->size) <= kLineSizedTolerance * std::max(g.size, prev->size);
            // Woven lines cross at every other glyph; stacked scripts of a formula lie apart.
            crossings = (crossings > 0 && g.u0 - lastCrossing <= kWovenCrossingSpan * bandSize) ? crossings + 1 : 1;
            lastCrossing = g.u0;
            if (bothLineSized || crossings >= kMinWovenCrossings)
                return true;
        }
        prev = &g;
    }
    return false;
}

// Splits a band holding lines woven into each other by baseline. Small glyphs that sit beside
// a line's glyphs (sub- and superscripts) stay with the nearest line of text size; small text
// lying over other glyphs (a label over an arrow or a field) is a line of its own.
void SplitBandByBaseline(const std::vector<PlacedGlyph>& glyphs, const Band& band, double bandSize,
                         std::vector<Band>* out)
{
    Band byBaseline(band);
    std::stable_sort(byBaseline.begin(), byBaseline.end(),
                     [&](size_t a, size_t b) { return glyphs[a].baseline < glyphs[b].baseline; });
    std::vector<Band> groups;
    double base = glyphs[byBaseline[0]].baseline;
    for (size_t id : byBaseline) {
        if (groups.empty() || glyphs[id].baseline - base > kDistinctBaseline * glyphs[id].size) {
            groups.emplace_back();
            base = glyphs[id].baseline;
        }
        groups.back().push_back(id);
    }
    auto isTextSized = [&](const Band& group) {
        return std::any_of(group.begin(), group.end(),
                           [&](size_t id) { return glyphs[id].size >= kMinOwnLineSize * bandSize; });
    };
    std::vector<size_t> mainGroups;
    for (size_t k = 0; k < groups.size(); ++k)
        if (isTextSized(groups[k]))
            mainGroups.push_back(k);
    auto liesOverMainGlyphs = [&](double u0, double u1) {
        for (size_t k : mainGroups)
            for (size_t id : groups[k]) {
                const PlacedGlyph& g = glyphs[id];
                if (!g.isSpace && std::min(u1, g.u1) - std::max(u0, g.u0) > kGlyphOverlap * (g.u1 - g.u0))
                    return true;
            }
        return false;
    };
    std::vector<Band> lines(groups.size());
    for (size_t k : mainGroups)
        lines[k] = groups[k];
    for (size_t k = 0; k < groups.size(); ++k) {
        if (mainGroups.empty())
            lines[k] = groups[k];
        if (mainGroups.empty() || isTextSized(groups[k]))
            continue;
        // Clusters of neighbouring small glyphs go one by one.
        Band byX(groups[k]);
        SortByLeftEdge(glyphs, &byX);
        size_t start = 0;
        while (start < byX.size()) {
            size_t end = start + 1;
            double u1 = glyphs[byX[start]].u1;
            while (end < byX.size() && glyphs[byX[end]].u0 - u1 <= kScriptClusterGap * glyphs[byX[end]].size) {
                u1 = std::max(u1, glyphs[byX[end]].u1);
                ++end;
            }
            size_t target = k;
            if (!liesOverMainGlyphs(glyphs[byX[start]].u0, u1)) {
                const double clusterBase = glyphs[byX[start]].baseline;
                auto distance = [&](size_t m) { return std::fabs(glyphs[groups[m][0]].baseline - clusterBase); };
                target = mainGroups[0];
                for (size_t m : mainGroups)
                    if (distance(m) < distance(target))
                        target = m;
            }
            lines[target].insert(lines[target].end(), byX.begin() + static_cast<std::ptrdiff_t>(start),
                                 byX.begin() + static_cast<std::ptrdiff_t>(end));
            start = end;
        }
    }
    for (auto& line : lines)
        if (!line.empty())
            out->push_back(std::move(line));
}

// Stage 3: two lines set so close that their boxes share a band still have their own
// baselines: a band holding crossing lines is split by baseline.
std::vector<Band> SplitWovenBands(const std::vector<PlacedGlyph>& glyphs, std::vector<Band>& bands)
{
    std::vector<Band> split;
    for (auto& band : bands) {
        SortByLeftEdge(glyphs, &band);
        std::vector<double> sizes;
        for (size_t id : band)
            sizes.push_back(glyphs[id].size);
        const double bandSize = Median(sizes);
        if (HoldsCrossingLines(glyphs, band, bandSize))
            SplitBandByBaseline(glyphs, band, bandSize, &split);
        else
            split.push_back(std::move(band));
    }
    return split;
}

// Stage 4: one band, left to right, cut into fragments at wide gaps; within a fragment glyphs
// join runs of one style, with a space where a gap or a space glyph breaks a word.
class FragmentCutter {
public:
    FragmentCutter(int bandId, int dir, std::vector<Fragment>* out) : bandId_(bandId), dir_(dir), out_(out) { }

    void Add(const PlacedGlyph& g)
    {
        if (g.isSpace) {
            NoteSpace(g);
            return;
        }
        if (IsOverdraw(g))
            return;
        const double size = last_ ? 0.5 * (last_->size + g.size) : g.size;
        const double gap = last_ ? g.u0 - frag_.u1 : 0;
        if (open_ && gap > kFragmentGap * size && !SpaceFillsGap(g, size))
            Close();
        if (!open_)
            Open(g);
        else
            Extend(g, gap, size);
        last_ = &g;
    }

    void Close()
    {
        if (open_)
            out_->push_back(std::move(frag_));
        frag_ = Fragment();
        open_ = false;
        pendingSpace_ = false;
        last_ = nullptr;
    }

private:
    // A space glyph remembered for the next glyph, unless it is of another line's size (a big
    // bullet's, an OCR layer's) and only happens to fall between two glyphs.
    void NoteSpace(const PlacedGlyph& g)
    {
        if (open_ && last_ && g.size > kMinSpaceSizeRatio * last_->size && g.size < kMaxSpaceSizeRatio * last_->size) {
            spaceCount_ = pendingSpace_ ? spaceCount_ + 1 : 1;
            if (!pendingSpace_)
                spaceStart_ = g.u0;
            pendingSpace_ = true;
            spaceMiddle_ = 0.5 * (g.u0 + g.u1);
            spaceWidth_ = g.u1 - g.u0;
        }
    }

    // A wide gap that one space glyph fills from end to end is a space the text holds (an
    // ideographic space in a title), not a gap between columns or cells.
    bool SpaceFillsGap(const PlacedGlyph& g, double size) const
    {
        return pendingSpace_ && spaceCount_ == 1 && g.u0 - frag_.u1 <= kMaxFilledGap * size &&
               std::fabs(spaceStart_ - frag_.u1) <= kFilledGapSlack * size &&
               std::fabs(g.u0 - (spaceMiddle_ + 0.5 * spaceWidth_)) <= kFilledGapSlack * size;
    }

    // The same glyph drawn again on top of itself (fake bold, shadows) is one glyph.
    bool IsOverdraw(const PlacedGlyph& g) const
    {
        return last_ && last_->text == g.text && std::fabs(last_->u0 - g.u0) < kOverdrawOffset * g.size &&
               std::fabs(last_->baseline - g.baseline) < kOverdrawOffset * g.size;
    }

    void Open(const PlacedGlyph& g)
    {
        frag_.u0 = g.u0;
        frag_.u1 = g.u1;
        frag_.top = GlyphTop(g);
        frag_.bottom = GlyphBottom(g);
        frag_.band = bandId_;
        frag_.dir = dir_;
        frag_.runs.push_back(StartRun(g));
        runFont_ = g.font;
        frag_.chars = g.text.size();
        open_ = true;
    }

    // Whether a word ends between the last glyph and g, gap apart; size is their mean size.
    bool IsWordBreak(const PlacedGlyph& g, double gap, double size) const
    {
        // A combining accent drawn over its letter belongs to that letter.
        const bool combining = g.text.size() == 1 && ((g.text[0] >= 0x300 && g.text[0] <= 0x36F) ||
                                                      (g.text[0] >= 0x20D0 && g.text[0] <= 0x20FF));
        if (combining)
            return false;
        // A space glyph separates only when the next glyph does not start on top of the last
        // glyph, nor on top of the space (a label "9 " with its "a" set over the space).
        const bool spaced = pendingSpace_ && gap > -kSpaceBacktrack * size &&
                            (spaceWidth_ < kMinSpaceWidth * size || g.u0 >= spaceMiddle_ || gap > kFlushGap * size);
        const bool bothCjk = EndsWithCjk(frag_.runs.back().text) && StartsWithCjk(g.text);
        return spaced || gap > (bothCjk ? kCjkWordGap : kWordGap) * size;
    }

    void Extend(const PlacedGlyph& g, double gap, double size)
    {
        const bool wordBreak = IsWordBreak(g, gap, size);
        RunModel& run = frag_.runs.back();
        if (SameRunStyle(run, g, runFont_)) {
            AppendGlyph(run, g, wordBreak);
        } else {
            if (wordBreak && !EndsWithWhite(run.text))
                run.text.push_back(u' ');
            frag_.runs.push_back(StartRun(g));
            runFont_ = g.font;
        }
        frag_.u1 = std::max(frag_.u1, g.u1);
        frag_.top = std::min(frag_.top, GlyphTop(g));
        frag_.bottom = std::max(frag_.bottom, GlyphBottom(g));
        frag_.chars += g.text.size();
        pendingSpace_ = false;
    }

    const int bandId_;
    const int dir_;
    std::vector<Fragment>* out_;
    Fragment frag_;
    bool open_ = false;
    bool pendingSpace_ = false;
    int spaceCount_ = 0;  // space glyphs since the last glyph
    double spaceStart_ = 0;  // where the first of them starts
    double spaceMiddle_ = 0, spaceWidth_ = 0;
    const PlacedGlyph* last_ = nullptr;
    const Font* runFont_ = nullptr;
};

// Glyphs of one direction into fragments: bands of one baseline, cut at wide gaps.
void BuildFragments(std::vector<PlacedGlyph>& glyphs, const std::vector<size_t>& ids, int dir, int* nextBand,
                    std::vector<Fragment>* out)
{
    std::vector<Band> bands = GroupIntoBands(glyphs, ids);
    ReattachStrayScripts(glyphs, &bands);
    for (Band& band : SplitWovenBands(glyphs, bands)) {
        SortByLeftEdge(glyphs, &band);
        FragmentCutter cutter((*nextBand)++, dir, out);
        for (size_t id : band)
            cutter.Add(glyphs[id]);
        cutter.Close();
    }
}

// Joins a region's fragments that share a band into lines, left to right.
std::vector<LineModel> AssembleLines(std::vector<Fragment>& frags, const std::vector<int>& ids)
{
    std::vector<int> order(ids);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Fragment& fa = frags[static_cast<size_t>(a)];
        const Fragment& fb = frags[static_cast<size_t>(b)];
        if (fa.band != fb.band)
            return fa.top + fa.bottom < fb.top + fb.bottom;
        return fa.u0 < fb.u0;
    });
    std::vector<LineModel> lines;
    int currentBand = -1;
    int currentDir = -1;
    for (int id : order) {
        Fragment& f = frags[static_cast<size_t>(id)];
        if (f.band != currentBand || f.isImage || lines.empty() || currentDir != f.dir) {
            lines.emplace_back();
            LineModel& l = lines.back();
            l.left = f.u0;
            l.right = f.u1;
            l.top = f.top;
            l.bottom = f.bottom;
            currentBand = f.isImage ? -1 : f.band;
            currentDir = f.dir;
        } else {
            LineModel& l = lines.back();
            // Fragments of one line are apart by a wide gap (table cells, a label and its
            // value, a spaced-out title): keep them apart, in Chinese and Japanese as well.
            RunModel& prev = l.runs.back();
            if (!EndsWithWhite(prev.text) && !f.runs.empty())
                prev.text.push_back(u' ');
            l.left = std::min(l.left, f.u0);
            l.right = std::max(l.right, f.u1);
            l.top = std::min(l.top, f.top);
            l.bottom = std::max(l.bottom, f.bottom);
        }
        for (auto& run : f.runs)
            lines.back().runs.push_back(std::move(run));
    }
    // Lines of one paragraph are joined with nothing between them: a line that does not end in
    // a CJK character ends with a space so that words of neighbouring lines stay apart.
    for (LineModel& l : lines) {
        if (l.runs.empty())
            continue;
        RunModel* lastText = nullptr;
        for (auto& r : l.runs)
            if (!r.isImage)
                lastText = &r;
        if (lastText && !lastText->text.empty() && !EndsWithCjk(lastText->text) && !EndsWithWhite(lastText->text))
            lastText->text.push_back(u' ');
    }
    return lines;
}

void ToPageSpace(int dir, double u0, double v0, double u1, double v1, double* left, double* top, double* right,
                 double* bottom)
{
    const Point a = FromDirectionFrame(dir, Point{u0, v0});
    const Point b = FromDirectionFrame(dir, Point{u1, v1});
    *left = std::min(a.x, b.x);
    *right = std::max(a.x, b.x);
    *top = std::min(a.y, b.y);
    *bottom = std::max(a.y, b.y);
}

}  // namespace

bool StartsWithCjk(const std::u16string& s)
{
    if (s.empty())
        return false;
    if (morvane::IsHighSurrogate(s[0]) && s.size() > 1)
        return morvane::IsCjk(morvane::CombineSurrogates(s[0], s[1]));
    return morvane::IsCjk(s[0]);
}

bool EndsWithCjk(const std::u16string& s)
{
    if (s.empty())
        return false;
    const size_t n = s.size();
    if (morvane::IsLowSurrogate(s[n - 1]) && n > 1)
        return morvane::IsCjk(morvane::CombineSurrogates(s[n - 2], s[n - 1]));
    return morvane::IsCjk(s[n - 1]);
}

void BuildPageModel(std::vector<PlacedGlyph>& glyphs, std::vector<PlacedImage>& images, PageModel* model)
{
    model->regions.clear();
    AttachFloatingAccents(glyphs);
    int nextBand = 0;
    // Main direction first: horizontal text, then the other directions, each read on its own.
    // The direction most of the page's text is written in is read first (a page set in vertical
    // Japanese starts with its vertical columns); horizontal text comes first among equals.
    std::vector<int> dirs{kDirRight};
    std::unordered_map<int, size_t> counts;
    for (const PlacedGlyph& g : glyphs) {
        if (std::find(dirs.begin(), dirs.end(), g.dir) == dirs.end())
            dirs.push_back(g.dir);
        ++counts[g.dir];
    }
    std::stable_sort(dirs.begin(), dirs.end(), [&](int a, int b) {
        if (counts[a] != counts[b])
            return counts[a] > counts[b];
        return a < b;
    });
    for (int dir : dirs) {
        std::vector<size_t> ids;
        for (size_t i = 0; i < glyphs.size(); ++i)
            if (glyphs[i].dir == dir)
                ids.push_back(i);
        if (ids.empty() && (dir != kDirRight || images.empty()))
            continue;
        std::vector<Fragment> frags;
        BuildFragments(glyphs, ids, dir, &nextBand, &frags);
        std::vector<std::vector<int>> regions;
        if (dir == kDirRight) {
            // Images take part in the layout like text blocks; a picture that covers most of the
            // page (a background or a scan) gets a region of its own first.
            const double pageArea = model->width * model->height;
            for (auto& img : images) {
                Fragment f;
                f.isImage = true;
                f.u0 = img.left;
                f.u1 = img.right;
                f.top = img.top;
                f.bottom = img.bottom;
                f.band = nextBand++;
                RunModel run;
                run.isImage = true;
                run.left = img.left;
                run.right = img.right;
                run.top = img.top;
                run.bottom = img.bottom;
                run.baseline = img.bottom;
                run.imageData.swap(img.data);
                f.runs.push_back(std::move(run));
                const bool large = (img.right - img.left) * (img.bottom - img.top) > kOwnRegionImageShare * pageArea;
                frags.push_back(std::move(f));
                if (large)
                    regions.push_back(std::vector<int>{static_cast<int>(frags.size() - 1)});
            }
        }
        std::vector<int> all;
        for (size_t i = 0; i < frags.size(); ++i) {
            const bool alreadyPlaced = frags[i].isImage && !regions.empty() &&
                                       std::any_of(regions.begin(), regions.end(), [&](const std::vector<int>& r) {
                                           return r.size() == 1 && r[0] == static_cast<int>(i);
                                       });
            if (!alreadyPlaced)
                all.push_back(static_cast<int>(i));
        }
        size_t verticalGlyphs = 0;
        for (size_t id : ids)
            verticalGlyphs += glyphs[id].font && glyphs[id].font->vertical ? 1 : 0;
        SplitIntoRegions(frags, verticalGlyphs * 2 <= ids.size(), std::move(all), &regions);
        for (const auto& region : regions) {
            std::vector<LineModel> lines = AssembleLines(frags, region);
            if (lines.empty())
                continue;
            if (dir == kDirRight) {
                JoinHyphenatedWords(lines);
                model->regions.push_back(std::move(lines));
                continue;
            }
            // Back to page space. Each line stands alone so the top sort cannot reorder it, and
            // runs get increasing x so that a sort by x keeps their order.
            for (LineModel& l : lines) {
                ToPageSpace(dir, l.left, l.top, l.right, l.bottom, &l.left, &l.top, &l.right, &l.bottom);
                double x = l.left;
                for (RunModel& r : l.runs) {
                    double rl, rt, rr, rb;
                    ToPageSpace(dir, r.left, r.top, r.right, r.bottom, &rl, &rt, &rr, &rb);
                    const Point base = FromDirectionFrame(dir, Point{r.left, r.baseline});
                    r.left = x;
                    r.right = std::max(rr, x);
                    r.top = rt;
                    r.bottom = rb;
                    r.baseline = (dir == kDirDown || dir == kDirUp) ? base.x : base.y;
                    x += 0.001;
                }
                model->regions.push_back(std::vector<LineModel>{std::move(l)});
            }
        }
    }
}

}  // namespace halvane
