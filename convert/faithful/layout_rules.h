// The decisions of the faithful Word layout, as named constants with their reasons. Lengths
// are in points unless the name says em (a share of the text's type size).
#ifndef MORVANE_CONVERT_FAITHFUL_LAYOUT_RULES_H
#define MORVANE_CONVERT_FAITHFUL_LAYOUT_RULES_H

namespace faithful {

// Where a line's baseline sits in a line of exact height, from its top: Word and LibreOffice
// put most of the extra height above the text, so the baseline sits low in the line.
const double kBaselineShareOfLine = 0.8;
// The height of a line of one-line paragraphs, which have no pitch of their own: the usual
// "single" spacing of a font.
const double kSingleLineEm = 1.2;
// Exact spacing below this cuts the tops of the glyphs off in Word; a tighter PDF pitch is
// widened to it (and the page fitted by its paragraph spacing instead).
const double kMinLineEm = 1.0;
// The line spacing that fitting may go down to, as a share of the measured pitch: tighter
// looks crushed.
const double kMinFitLineShare = 0.9;
// Lines of text the page keeps free at its foot: another font's widths may wrap a paragraph
// onto one more line, and an overfull page would push its last lines onto a page of their own.
const double kPageSafetyLines = 1.5;
// A flowing paragraph may need this share more lines when another font's widths re-wrap it.
const double kRewrapLineShare = 0.04;
// Paragraphs may run this share of their column's width past its right edge (a negative right
// indent), so that slightly wider substitute fonts wrap where the PDF wrapped; at most a third
// of the gutter to the next column, never past the page's edge.
const double kWrapSlackShare = 0.03;
const double kWrapSlackGutterShare = 0.33;
// ... and never by as much as a character: a wider slack takes one more character into every
// line of Chinese or Japanese text, whose characters are all one em wide.
const double kWrapSlackEm = 0.4;
// Word's superscript and subscript set the text at about two thirds of the run's size; the
// reader gives the size as shown, so the run asks for the larger size.
const double kScriptShrink = 2.0 / 3.0;
// Character spacing below this is noise of the PDF's positioning, not a style.
const double kMinCharSpacing = 0.1;
// The narrowest page margin kept, so Word and LibreOffice never see a zero-width margin.
const double kMinMargin = 4.0;
// A picture narrower than this share of its column, with text beside it, is anchored with the
// text wrapping around it; any other picture stands in its own paragraph.
const double kAnchorWidthShare = 0.6;
// Header and footer pieces on one baseline (within this share of their size) are one line
// of the header, set with tab stops.
const double kSameBaselineEm = 0.5;
// A header piece ending this close to the text area's right edge is right-aligned there; one
// whose centre is this close to the page's centre is centred.
const double kEdgeSnap = 6.0;
const double kCentreSnapShare = 0.05;
// The height of the empty paragraph that carries a page or column break before a table or a
// picture: as small as Word draws.
const double kCarrierLine = 1.0;

// Blocks of one column flow overlapping vertically by more than this (points) lie side by side.
const double kBandOverlap = 2.0;

}  // namespace faithful

#endif
