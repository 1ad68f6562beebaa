// CMaps: character codes of composite fonts to CIDs (encoding CMaps) or to text (ToUnicode).
#ifndef HALVANE_FONTS_CMAP_H
#define HALVANE_FONTS_CMAP_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace halvane {

class CMap {
public:
    // Finds the CMap a /usecmap names; null when unknown.
    using Resolver = std::function<std::shared_ptr<const CMap>(std::string_view name)>;

    // Reads a CMap program (an embedded encoding CMap or a ToUnicode stream). Never fails as a
    // whole: entries that cannot be read are skipped, so the result may be empty. /usecmap goes
    // through resolver, or to the predefined CMaps when there is no resolver.
    static std::shared_ptr<CMap> Parse(std::string_view program, const Resolver& resolver = {});

    // Splits the next character code off p[0..n) by the codespace ranges and returns the number of
    // bytes it takes (0 only when n is 0). Bytes that match no range still form a code: as many
    // bytes as the range that matches most leading bytes, else the shortest range, else one byte.
    size_t NextCode(const uint8_t* p, size_t n, uint32_t* code) const;

    // CID of a code from cidrange/cidchar, else from notdefrange/notdefchar; false if neither.
    bool LookupCid(uint32_t code, uint32_t* cid) const;

    // Text of a code from bfchar/bfrange; false (and *out empty) if unmapped.
    bool LookupUnicode(uint32_t code, std::u16string* out) const;

    bool IsVertical() const { return vertical_; }
    const std::string& Name() const { return name_; }  // /CMapName, "" if absent
    const std::string& Ordering() const { return ordering_; }  // CIDSystemInfo /Ordering
    bool HasCidMappings() const { return !cids_.empty(); }
    bool HasUnicodeMappings() const { return !unicode_.empty(); }
    bool HasCodespace() const { return !codespaces_.empty(); }

    // --- building (parser and predefined tables) ---
    // Entries added later override earlier ones where they overlap; Finish() must follow.
    void SetName(std::string name) { name_ = std::move(name); }
    void SetOrdering(std::string ordering) { ordering_ = std::move(ordering); }
    void SetVertical(bool vertical) { vertical_ = vertical; }
    void AddCodespace(int bytes, uint32_t lo, uint32_t hi);
    void AddCidRange(uint32_t lo, uint32_t hi, uint32_t cid, int codeBytes);
    void AddNotdefRange(uint32_t lo, uint32_t hi, uint32_t cid, int codeBytes);
    // Codes lo..hi map to text with its last character incremented by code - lo.
    void AddUnicodeRange(uint32_t lo, uint32_t hi, std::u16string_view text, int codeBytes);
    // Copies another CMap's codespaces and mappings in underneath this one's own entries.
    void UseCMap(const CMap& parent);
    void Finish();

    // Bounds on untrusted programs.
    static constexpr size_t kMaxEntries = 1u << 20;
    static constexpr size_t kMaxTextUnits = 1u << 22;

private:
    struct Codespace {
        uint8_t bytes;
        uint8_t lo[4];
        uint8_t hi[4];
    };
    struct CidRange {
        uint32_t lo, hi, cid;
    };
    struct UnicodeRange {
        uint32_t lo, hi;
        uint32_t textOffset;  // into text_
        uint32_t textLength;
        uint32_t delta;  // added to the last character besides code - lo
    };

    std::vector<Codespace> codespaces_;
    std::vector<CidRange> cids_;
    std::vector<CidRange> notdefs_;
    std::vector<UnicodeRange> unicode_;
    std::u16string text_;
    unsigned codeLengthsSeen_ = 0;  // bit n: an entry had an n-byte source code
    bool vertical_ = false;
    std::string name_;
    std::string ordering_;
};

// A predefined CMap by name: Identity-H/V and the CJK CMaps of the Adobe-GB1, CNS1, Japan1 and
// Korea1 collections (GBK-EUC-H, UniGB-UCS2-H, 90ms-RKSJ-H, UniKS-UTF16-V, ...). Null if unknown.
// Built on first use and shared; safe to call from several threads.
std::shared_ptr<const CMap> PredefinedCMap(std::string_view name);

// Text of a CID in a character collection: ordering is "GB1", "CNS1", "Japan1", "Korea1" or
// "KR" (an "Adobe-" prefix is accepted). False (and *out empty) when the CID has no text.
bool CidToUnicode(std::string_view ordering, uint32_t cid, std::u16string* out);

}  // namespace halvane

#endif  // HALVANE_FONTS_CMAP_H
