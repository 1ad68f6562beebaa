#include "halvane/fonts/cmap.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "unicode_text.h"

namespace halvane {
namespace {

void MoveStart(uint32_t n, uint32_t* value)
{
    *value += n;
}

// Makes ranges disjoint and sorted by lo; where ranges overlap, the one added later wins.
template <typename Range, typename Advance> void ResolveOverlaps(std::vector<Range>* ranges, Advance advance)
{
    std::vector<Range> sorted = *ranges;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Range& a, const Range& b) { return a.lo < b.lo; });
    bool disjoint = true;
    for (size_t i = 1; i < sorted.size() && disjoint; ++i)
        disjoint = sorted[i].lo > sorted[i - 1].hi;
    if (disjoint) {
        *ranges = std::move(sorted);
        return;
    }
    std::map<uint32_t, Range> byLo;
    for (const Range& r : *ranges) {
        auto it = byLo.upper_bound(r.lo);
        if (it != byLo.begin() && std::prev(it)->second.hi >= r.lo)
            --it;
        while (it != byLo.end() && it->second.lo <= r.hi) {
            Range old = it->second;
            it = byLo.erase(it);
            if (old.lo < r.lo) {
                Range left = old;
                left.hi = r.lo - 1;
                byLo.emplace(left.lo, left);
            }
            if (old.hi > r.hi) {
                Range right = old;
                advance(&right, r.hi + 1 - old.lo);
                right.lo = r.hi + 1;
                byLo.emplace(right.lo, right);
            }
        }
        byLo.emplace(r.lo, r);
    }
    ranges->clear();
    for (const auto& entry : byLo)
        ranges->push_back(entry.second);
}

template <typename Range> const Range* FindRange(const std::vector<Range>& ranges, uint32_t code)
{
    auto it = std::upper_bound(ranges.begin(), ranges.end(), code, [](uint32_t c, const Range& r) { return c < r.lo; });
    if (it == ranges.begin())
        return nullptr;
    --it;
    return code <= it->hi ? &*it : nullptr;
}

}  // namespace

void CMap::AddCodespace(int bytes, uint32_t lo, uint32_t hi)
{
    if (bytes < 1 || bytes > 4 || codespaces_.size() >= 256)
        return;
    Codespace cs{static_cast<uint8_t>(bytes), {}, {}};
    for (int i = 0; i < bytes; ++i) {
        int shift = 8 * (bytes - 1 - i);
        cs.lo[i] = static_cast<uint8_t>(lo >> shift);
        cs.hi[i] = static_cast<uint8_t>(hi >> shift);
        if (cs.lo[i] > cs.hi[i])
            return;
    }
    codespaces_.push_back(cs);
}

void CMap::AddCidRange(uint32_t lo, uint32_t hi, uint32_t cid, int codeBytes)
{
    if (lo > hi || cids_.size() >= kMaxEntries)
        return;
    cids_.push_back({lo, hi, cid});
    codeLengthsSeen_ |= 1u << (codeBytes & 7);
}

void CMap::AddNotdefRange(uint32_t lo, uint32_t hi, uint32_t cid, int codeBytes)
{
    if (lo > hi || notdefs_.size() >= kMaxEntries)
        return;
    notdefs_.push_back({lo, hi, cid});
    codeLengthsSeen_ |= 1u << (codeBytes & 7);
}

void CMap::AddUnicodeRange(uint32_t lo, uint32_t hi, std::u16string_view text, int codeBytes)
{
    if (lo > hi || text.empty() || unicode_.size() >= kMaxEntries || text_.size() + text.size() > kMaxTextUnits) {
        return;
    }
    unicode_.push_back({lo, hi, static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(text.size()), 0});
    text_.append(text);
    codeLengthsSeen_ |= 1u << (codeBytes & 7);
}

void CMap::UseCMap(const CMap& parent)
{
    codespaces_.insert(codespaces_.begin(), parent.codespaces_.begin(), parent.codespaces_.end());
    cids_.insert(cids_.begin(), parent.cids_.begin(), parent.cids_.end());
    notdefs_.insert(notdefs_.begin(), parent.notdefs_.begin(), parent.notdefs_.end());
    if (!parent.unicode_.empty() && text_.size() + parent.text_.size() <= kMaxTextUnits) {
        // The parent's text goes after ours in text_; its ranges go in front of ours.
        uint32_t base = static_cast<uint32_t>(text_.size());
        text_.append(parent.text_);
        std::vector<UnicodeRange> merged = parent.unicode_;
        for (UnicodeRange& r : merged)
            r.textOffset += base;
        merged.insert(merged.end(), unicode_.begin(), unicode_.end());
        unicode_ = std::move(merged);
    }
    codeLengthsSeen_ |= parent.codeLengthsSeen_;
    if (ordering_.empty())
        ordering_ = parent.ordering_;
    vertical_ = vertical_ || parent.vertical_;
}

void CMap::Finish()
{
    ResolveOverlaps(&cids_, [](CidRange* r, uint32_t n) { MoveStart(n, &r->cid); });
    ResolveOverlaps(&notdefs_, [](CidRange*, uint32_t) {});  // one CID for the whole range
    ResolveOverlaps(&unicode_, [](UnicodeRange* r, uint32_t n) { MoveStart(n, &r->delta); });
    if (codespaces_.empty()) {
        // A map without codespace ranges: accept every code of the lengths its entries use.
        for (int bytes = 1; bytes <= 4; ++bytes) {
            if (codeLengthsSeen_ & (1u << bytes)) {
                AddCodespace(bytes, 0, bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1);
            }
        }
    }
}

size_t CMap::NextCode(const uint8_t* p, size_t n, uint32_t* code) const
{
    *code = 0;
    if (n == 0)
        return 0;
    size_t take = 0;
    for (size_t len = 1; len <= 4 && len <= n && take == 0; ++len) {
        for (const Codespace& cs : codespaces_) {
            if (cs.bytes != len)
                continue;
            size_t i = 0;
            while (i < len && p[i] >= cs.lo[i] && p[i] <= cs.hi[i])
                ++i;
            if (i == len) {
                take = len;
                break;
            }
        }
    }
    if (take == 0) {
        // No range matches: take the length of the range that matches most leading bytes (the
        // shortest of those), else of the shortest range.
        size_t bestMatched = 0, bestLength = 0, shortest = 0;
        for (const Codespace& cs : codespaces_) {
            size_t i = 0;
            while (i < cs.bytes && i < n && p[i] >= cs.lo[i] && p[i] <= cs.hi[i])
                ++i;
            if (i > bestMatched || (i == bestMatched && i > 0 && cs.bytes < bestLength)) {
                bestMatched = i;
                bestLength = cs.bytes;
            }
            if (shortest == 0 || cs.bytes < shortest)
                shortest = cs.bytes;
        }
        take = bestMatched > 0 ? bestLength : shortest;
        if (take == 0)
            take = 1;
        take = std::min(take, n);
    }
    uint32_t value = 0;
    for (size_t i = 0; i < take; ++i)
        value = (value << 8) | p[i];
    *code = value;
    return take;
}

bool CMap::LookupCid(uint32_t code, uint32_t* cid) const
{
    if (const CidRange* r = FindRange(cids_, code)) {
        *cid = r->cid + (code - r->lo);
        return true;
    }
    if (const CidRange* r = FindRange(notdefs_, code)) {
        *cid = r->cid;
        return true;
    }
    return false;
}

bool CMap::LookupUnicode(uint32_t code, std::u16string* out) const
{
    out->clear();
    const UnicodeRange* r = FindRange(unicode_, code);
    if (!r)
        return false;
    out->assign(text_, r->textOffset, r->textLength);
    uint32_t step = r->delta + (code - r->lo);
    if (step == 0)
        return true;
    // Increment the last character; a surrogate pair counts as one character.
    size_t last = out->size() - 1;
    if (out->size() >= 2 && morvane::IsLowSurrogate((*out)[last]) && morvane::IsHighSurrogate((*out)[last - 1])) {
        uint32_t scalar = morvane::CombineSurrogates((*out)[last - 1], (*out)[last]);
        scalar += step;
        if (scalar > 0x10FFFF)
            scalar = 0xFFFD;
        out->resize(last - 1);
        morvane::AppendUtf16(scalar, out);
        return true;
    }
    uint32_t unit = static_cast<uint32_t>((*out)[last]) + step;
    if (out->size() == 1 && unit > 0xFFFF && unit <= 0x10FFFF) {
        // A range that runs past U+FFFF continues in the supplementary planes.
        out->clear();
        morvane::AppendUtf16(unit, out);
        return true;
    }
    (*out)[last] = static_cast<char16_t>(unit);
    return true;
}

}  // namespace halvane
