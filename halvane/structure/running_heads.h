// Headers and footers: blocks repeated at the same place near the top or bottom of most pages,
// their page numbers varying. Found over a sample of the document's pages and kept for all.
#ifndef HALVANE_STRUCTURE_RUNNING_HEADS_H
#define HALVANE_STRUCTURE_RUNNING_HEADS_H

#include <string>
#include <vector>

#include "halvane/structure/layout_model.h"

namespace halvane {

// A block near the top or bottom edge of a page that may repeat on other pages.
struct HeadCandidate {
    bool top = true;
    Box box;
    std::u16string text;
};

// The blocks of a page that could be headers or footers: those in the page's top or bottom
// margin band with no other text between them and the edge.
std::vector<HeadCandidate> HeadCandidates(const std::vector<LayoutBlock>& blocks, double pageHeight);

class RunningHeads {
public:
    // One entry per sampled page.
    void AddPage(std::vector<HeadCandidate> candidates);
    // Whether a block at box with this text repeats on most sampled pages (at least two);
    // numberVaries (may be null) tells whether its number differs between those pages.
    bool Repeats(const HeadCandidate& candidate, bool* numberVaries) const;
    int SampledPages() const { return static_cast<int>(pages_.size()); }

    // The text with its numbers replaced, so "Page 3 of 9" and "Page 4 of 9" compare equal.
    static std::u16string Signature(const std::u16string& text);
    // The first number of the text (digits or roman numerals standing alone); empty for none.
    static std::u16string PageNumberIn(const std::u16string& text);

private:
    std::vector<std::vector<HeadCandidate>> pages_;
};

}  // namespace halvane

#endif
