// The predefined CJK CMaps and the CID-to-Unicode tables, compiled in from generated/ and
// unpacked on first use.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "halvane/fonts/cmap.h"
#include "unicode_text.h"

namespace halvane {
namespace {

struct PredefinedCMapEntry {
    const char* name;
    const char* parent;  // /usecmap, or null
    const char* ordering;
    int wmode;
    uint32_t offset;  // into kCMapBlob
    uint32_t length;
};

struct CidToUnicodeEntry {
    const char* ordering;
    uint32_t offset;  // into kCidToUnicodeBlob
    uint32_t length;
};

#include "generated/cid_to_unicode.inc"
#include "generated/predefined_cmaps.inc"

// Reads the varints of the generated blobs: five bits per character, least significant first;
// the 32 digits after the first 32 mean that more follow.
class DigitReader {
public:
    DigitReader(const char* data, uint32_t length) : p_(data), end_(data + length) { }

    bool Read(uint32_t* value)
    {
        uint64_t v = 0;
        for (int shift = 0; shift < 35; shift += 5) {
            if (p_ == end_)
                return false;
            int d = Digit(*p_++);
            if (d < 0)
                return false;
            v |= static_cast<uint64_t>(d & 31) << shift;
            if (d < 32) {
                if (v > 0xFFFFFFFFu)
                    return false;
                *value = static_cast<uint32_t>(v);
                return true;
            }
        }
        return false;
    }

    bool ReadSigned(int64_t* value)
    {
        uint32_t z;
        if (!Read(&z))
            return false;
        *value = (z & 1) ? -static_cast<int64_t>((z + 1) >> 1) : static_cast<int64_t>(z >> 1);
        return true;
    }

private:
    static int Digit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'Z')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 36;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    }

    const char* p_;
    const char* end_;
};

struct Run {
    uint32_t lo, hi, value;
};

// Runs as the generator wrote them: gap, length - 1, value delta against the continuation.
bool ReadRuns(DigitReader* in, std::vector<Run>* runs)
{
    uint32_t count;
    if (!in->Read(&count))
        return false;
    int64_t previousEnd = -1, nextValue = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t gap, extra;
        int64_t delta;
        if (!in->Read(&gap) || !in->Read(&extra) || !in->ReadSigned(&delta))
            return false;
        int64_t lo = previousEnd + 1 + gap;
        int64_t hi = lo + extra;
        int64_t value = nextValue + delta;
        if (hi > 0xFFFFFFFF || value < 0 || value > 0xFFFFFFFF)
            return false;
        runs->push_back({static_cast<uint32_t>(lo), static_cast<uint32_t>(hi), static_cast<uint32_t>(value)});
        previousEnd = hi;
        nextValue = value + extra + 1;
    }
    return true;
}

std::shared_ptr<const CMap> IdentityCMap(bool vertical)
{
    auto cmap = std::make_shared<CMap>();
    cmap->SetName(vertical ? "Identity-V" : "Identity-H");
    cmap->SetVertical(vertical);
    cmap->AddCodespace(2, 0, 0xFFFF);
    cmap->AddCidRange(0, 0xFFFF, 0, 2);
    cmap->Finish();
    return cmap;
}

std::shared_ptr<const CMap> LoadPredefined(std::string_view name, int depth);

std::shared_ptr<const CMap> BuildPredefined(const PredefinedCMapEntry& e, int depth)
{
    auto cmap = std::make_shared<CMap>();
    cmap->SetName(e.name);
    cmap->SetOrdering(e.ordering);
    cmap->SetVertical(e.wmode == 1);
    if (e.parent && depth < 4) {
        if (std::shared_ptr<const CMap> parent = LoadPredefined(e.parent, depth + 1))
            cmap->UseCMap(*parent);
    }
    DigitReader in(kCMapBlob + e.offset, e.length);
    uint32_t count = 0;
    in.Read(&count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t bytes, lo, hi;
        if (!in.Read(&bytes) || !in.Read(&lo) || !in.Read(&hi))
            break;
        cmap->AddCodespace(static_cast<int>(bytes), lo, hi);
    }
    std::vector<Run> cids, notdefs;
    ReadRuns(&in, &cids);
    ReadRuns(&in, &notdefs);
    for (const Run& r : cids)
        cmap->AddCidRange(r.lo, r.hi, r.value, 0);
    for (const Run& r : notdefs)
        cmap->AddNotdefRange(r.lo, r.hi, r.value, 0);
    cmap->Finish();
    return cmap;
}

std::mutex& CacheMutex()
{
    static std::mutex m;
    return m;
}

// Call with the cache mutex held.
std::shared_ptr<const CMap> LoadPredefined(std::string_view name, int depth)
{
    static std::map<std::string, std::shared_ptr<const CMap>, std::less<>> cache;
    auto cached = cache.find(name);
    if (cached != cache.end())
        return cached->second;
    std::shared_ptr<const CMap> cmap;
    if (name == "Identity-H") {
        cmap = IdentityCMap(false);
    } else if (name == "Identity-V") {
        cmap = IdentityCMap(true);
    } else {
        const PredefinedCMapEntry* end = std::end(kPredefinedCMaps);
        const PredefinedCMapEntry* it =
            std::lower_bound(std::begin(kPredefinedCMaps), end, name,
                             [](const PredefinedCMapEntry& e, std::string_view n) { return n.compare(e.name) > 0; });
        if (it == end || name != it->name)
            return nullptr;
        cmap = BuildPredefined(*it, depth);
    }
    cache.emplace(std::string(name), cmap);
    return cmap;
}

struct CidTable {
    std::vector<Run> runs;  // CID ranges to consecutive code points
    std::map<uint32_t, std::u16string> sequences;
};

CidTable BuildCidTable(const CidToUnicodeEntry& e)
{
    CidTable table;
    DigitReader in(kCidToUnicodeBlob + e.offset, e.length);
    if (!ReadRuns(&in, &table.runs))
        return table;
    uint32_t count = 0, cid = 0;
    in.Read(&count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t delta, units;
        if (!in.Read(&delta) || !in.Read(&units) || units > 16)
            break;
        cid += delta;
        std::u16string text;
        for (uint32_t k = 0; k < units; ++k) {
            uint32_t u;
            if (!in.Read(&u))
                return table;
            text.push_back(static_cast<char16_t>(u));
        }
        table.sequences.emplace(cid, std::move(text));
    }
    return table;
}

const CidTable* CidTableFor(std::string_view ordering)
{
    if (ordering.substr(0, 6) == "Adobe-")
        ordering.remove_prefix(6);
    constexpr size_t kCount = sizeof(kCidToUnicode) / sizeof(kCidToUnicode[0]);
    static CidTable tables[kCount];
    static std::once_flag once[kCount];
    for (size_t i = 0; i < kCount; ++i) {
        if (ordering == kCidToUnicode[i].ordering) {
            std::call_once(once[i], [i] { tables[i] = BuildCidTable(kCidToUnicode[i]); });
            return &tables[i];
        }
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<const CMap> PredefinedCMap(std::string_view name)
{
    std::lock_guard<std::mutex> lock(CacheMutex());
    return LoadPredefined(name, 0);
}

bool CidToUnicode(std::string_view ordering, uint32_t cid, std::u16string* out)
{
    out->clear();
    const CidTable* table = CidTableFor(ordering);
    if (!table)
        return false;
    auto it = std::upper_bound(table->runs.begin(), table->runs.end(), cid,
                               [](uint32_t c, const Run& r) { return c < r.lo; });
    if (it != table->runs.begin() && cid <= std::prev(it)->hi) {
        const Run& r = *std::prev(it);
        uint32_t scalar = r.value + (cid - r.lo);
        if (scalar > 0x10FFFF)
            return false;
        morvane::AppendUtf16(scalar, out);
        return true;
    }
    auto seq = table->sequences.find(cid);
    if (seq == table->sequences.end())
        return false;
    *out = seq->second;
    return true;
}

}  // namespace halvane
