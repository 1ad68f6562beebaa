// The factors by which the line layout decides which glyphs share a line, where a line is cut
// into fragments and where a word ends. Lengths are in font sizes (the em of the glyphs
// concerned); ratios and fractions say what they compare.
#ifndef HALVANE_LAYOUT_LAYOUT_FACTORS_H
#define HALVANE_LAYOUT_LAYOUT_FACTORS_H

#include <cstddef>

namespace halvane {

// --- Glyph boxes
// Glyph boxes span this much of the font size above and below the baseline.
constexpr double kAscent = 0.8;
constexpr double kDescent = 0.2;

// --- Bands: glyphs that share a baseline
// Two glyphs whose sizes differ by at most this fraction of the larger one are of one size.
constexpr double kSameSizeTolerance = 0.15;
// Glyphs of one size share a line when their baselines are this close: tightly set rows of a
// timetable overlap but are separate lines.
constexpr double kSameBaseline = 0.3;
// A glyph of another size (a raised superscript, a footnote mark) joins the band whose box
// covers this fraction of the smaller of the two boxes.
constexpr double kBandBoxOverlap = 0.5;
// A glyph larger than the band's reference by this ratio becomes the reference, so a line that
// starts with small text still takes in its large letters.
constexpr double kLargerReference = 1.15;

// --- Stray scripts: a small raised or lowered glyph that fell into a neighbouring band
// A glyph with no neighbour within this reach in its own band stands alone there.
constexpr double kStrayAloneReach = 0.5;
// ... and belongs to the next band when it comes this close to a larger glyph of it,
constexpr double kStrayTouchReach = 0.1;
// ... larger by this ratio,
constexpr double kStrayLargerNeighbour = 1.1;
// ... whose box covers this fraction of the stray glyph's box height.
constexpr double kStrayBoxOverlap = 0.5;
// No glyph is wider than this, which bounds the search for neighbours to the left.
constexpr double kMaxGlyphWidth = 4;
// Neighbours looked at per glyph: a pile of glyphs drawn at one place stays cheap.
constexpr int kMaxNeighboursScanned = 64;

// --- Lines woven into each other within one band
// Baselines further apart than this belong to different lines of one band.
constexpr double kDistinctBaseline = 0.15;
// Two glyphs overlap when they share this fraction of the narrower one's width.
constexpr double kGlyphOverlap = 0.3;
// Glyphs at least this large next to their line's median size can belong to a line of their
// own when they overlap the line's glyphs; smaller ones are sub- and superscripts.
constexpr double kMinOwnLineSize = 0.75;
// Overlapping glyphs whose sizes differ by at most this fraction of the larger one are both
// of text size: a label set a size smaller under a field has a line of its own.
constexpr double kLineSizedTolerance = 0.25;
// Glyphs smaller than this next to their line's median size are left out when looking for
// lines woven into each other.
constexpr double kMinCrossingSize = 0.3;
// Text of another size crossing a line this many times, each within this span (in font sizes)
// of the last, is a line of its own.
constexpr int kMinWovenCrossings = 4;
constexpr double kWovenCrossingSpan = 1.5;
// Small glyphs this close to each other go to a line together (a sub- or superscript word).
constexpr double kScriptClusterGap = 1.0;

// --- Fragments and words
// A gap wider than this ends a fragment: columns and table cells are apart.
constexpr double kFragmentGap = 0.95;
// A gap wider than this between two glyphs is a word break. Kerning pairs move glyphs by less;
// a thin space of 0.15 (TeX's logos, "LaTeX 2e") or the slightly narrower gap between the
// letters of a formula ("P Q" for a segment) already reads apart.
constexpr double kWordGap = 0.12;
// Between two CJK characters only a much wider gap reads as a break.
constexpr double kCjkWordGap = 0.6;
// A space glyph sized between these ratios of the last glyph separates words; a space of
// another line's size (a big bullet's, an OCR layer's) that falls between two glyphs does not.
constexpr double kMinSpaceSizeRatio = 0.5;
constexpr double kMaxSpaceSizeRatio = 2;
// Space glyphs narrower than this say nothing about where the next word starts.
constexpr double kMinSpaceWidth = 0.1;
// A glyph closer than this to the last one is set flush against it.
constexpr double kFlushGap = 0.02;
// A glyph after a space may start this far back over the last glyph and still follow the space.
constexpr double kSpaceBacktrack = 0.1;
// The same glyph drawn again within this offset (fake bold, shadows) is one glyph.
constexpr double kOverdrawOffset = 0.15;

// --- Runs: glyphs of one style
// A glyph continues a run when its type size is within this fraction of the run's
constexpr double kRunSizeTolerance = 0.05;
// ... and its baseline within this fraction of the run's size.
constexpr double kRunBaselineTolerance = 0.15;

// --- Pictures
// A picture covering more than this share of the page's area (a background or a scan) gets a
// region of its own before the layout.
constexpr double kOwnRegionImageShare = 0.4;

}  // namespace halvane

#endif
