// Words broken across two lines with a hyphen (justified text set by TeX, word processors and
// typesetters) are put back together: the rest of the word moves up to the line that holds its
// start, as text readers do, so that both the Word layout and the plain text read whole words.
#ifndef HALVANE_HYPHENATION_H
#define HALVANE_HYPHENATION_H

#include <vector>

#include "halvane/layout/page_model.h"

namespace halvane {

// lines: one region's lines, in any order of their tops (they are read in order of top). A
// line ending in a letter and a hyphen followed, in the same column, by a line starting with a
// lower-case letter gives up its hyphen and receives that line's first word. Text with CJK
// characters is left alone: CJK typesetting breaks at a hyphen that is part of the text.
void JoinHyphenatedWords(std::vector<LineModel>& lines);

}  // namespace halvane

#endif
