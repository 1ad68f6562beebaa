#include "halvane/structure/running_heads.h"

#include <algorithm>
#include <cmath>

#include "halvane/structure/layout_text.h"

namespace halvane {

namespace {

// Headers and footers lie within this share of the page's height from its top or bottom edge.
constexpr double kMarginBand = 0.12;
// Repeated blocks sit within this distance (page units) of each other's place.
constexpr double kPlaceTolerance = 6.0;
// At most this many blocks at each edge are candidates.
constexpr size_t kMaxCandidatesPerEdge = 3;
// A block repeats when it is found on at least this share of the sampled pages.
constexpr double kMinRepeatShare = 0.5;
// Text longer than this (characters) is body text even when it repeats.
constexpr size_t kMaxHeadChars = 200;

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsRoman(char16_t c)
{
    return std::u16string(u"ivxlcIVXLC").find(c) != std::u16string::npos;
}

bool IsWordEdge(const std::u16string& s, size_t i)
{
    return i >= s.size() || !((s[i] >= u'a' && s[i] <= u'z') || (s[i] >= u'A' && s[i] <= u'Z'));
}

}  // namespace

std::vector<HeadCandidate> HeadCandidates(const std::vector<LayoutBlock>& blocks, double pageHeight)
{
    std::vector<HeadCandidate> out;
    const double band = kMarginBand * pageHeight;
    std::vector<const LayoutBlock*> text;
    for (const LayoutBlock& b : blocks)
        if (!b.lines.empty())
            text.push_back(&b);
    std::vector<const LayoutBlock*> byTop(text), byBottom(text);
    std::sort(byTop.begin(), byTop.end(),
              [](const LayoutBlock* a, const LayoutBlock* b) { return a->box.y0 < b->box.y0; });
    std::sort(byBottom.begin(), byBottom.end(),
              [](const LayoutBlock* a, const LayoutBlock* b) { return a->box.y1 > b->box.y1; });
    for (size_t i = 0; i < byTop.size() && i < kMaxCandidatesPerEdge && byTop[i]->box.y1 <= band; ++i)
        out.push_back(HeadCandidate{true, byTop[i]->box, byTop[i]->Text()});
    for (size_t i = 0; i < byBottom.size() && i < kMaxCandidatesPerEdge && byBottom[i]->box.y0 >= pageHeight - band;
         ++i)
        out.push_back(HeadCandidate{false, byBottom[i]->box, byBottom[i]->Text()});
    return out;
}

std::u16string RunningHeads::Signature(const std::u16string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsDigit(c)) {
            if (out.empty() || out.back() != u'#')
                out.push_back(u'#');
            continue;
        }
        // Roman page numbers standing alone ("xiv").
        if (IsRoman(c) && (i == 0 || IsWordEdge(text, i - 1))) {
            size_t j = i;
            while (j < text.size() && IsRoman(text[j]))
                ++j;
            if (IsWordEdge(text, j)) {
                out.push_back(u'#');
                i = j - 1;
                continue;
            }
        }
        if (!IsSpaceChar(c))
            out.push_back(c);
    }
    return out;
}

std::u16string RunningHeads::PageNumberIn(const std::u16string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            size_t j = i;
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            return text.substr(i, j - i);
        }
        if (IsRoman(text[i]) && (i == 0 || IsWordEdge(text, i - 1))) {
            size_t j = i;
            while (j < text.size() && IsRoman(text[j]))
                ++j;
            if (IsWordEdge(text, j) &&
                std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i),
                            text.begin() + static_cast<std::ptrdiff_t>(j), [](char16_t c) { return c >= u'a'; }))
                return text.substr(i, j - i);
            i = j;
        }
    }
    return std::u16string();
}

void RunningHeads::AddPage(std::vector<HeadCandidate> candidates)
{
    pages_.push_back(std::move(candidates));
}

bool RunningHeads::Repeats(const HeadCandidate& c, bool* numberVaries) const
{
    if (numberVaries)
        *numberVaries = false;
    if (pages_.size() < 2 || c.text.size() > kMaxHeadChars)
        return false;
    const std::u16string sig = Signature(c.text);
    const bool numberOnly = sig == u"#";
    size_t found = 0;
    for (const auto& page : pages_) {
        for (const HeadCandidate& o : page) {
            if (o.top != c.top)
                continue;
            // The same text at the same height; a bare page number may move between the left and
            // right of facing pages, other text keeps its place across.
            const bool sameHeight =
                std::fabs(o.box.y0 - c.box.y0) <= kPlaceTolerance || std::fabs(o.box.y1 - c.box.y1) <= kPlaceTolerance;
            const bool sameX = std::fabs(o.box.x0 - c.box.x0) <= kPlaceTolerance ||
                               std::fabs(o.box.x1 - c.box.x1) <= kPlaceTolerance ||
                               std::fabs(o.box.x0 + o.box.x1 - c.box.x0 - c.box.x1) <= 2 * kPlaceTolerance;
            if (sameHeight && (sameX || numberOnly) && Signature(o.text) == sig) {
                ++found;
                if (numberVaries && PageNumberIn(o.text) != PageNumberIn(c.text))
                    *numberVaries = true;
                break;
            }
        }
    }
    // The page itself is one of the sampled ones or not; either way most pages must show it.
    return found >= 2 && static_cast<double>(found) >= kMinRepeatShare * static_cast<double>(pages_.size());
}

}  // namespace halvane
