#include "halvane/fonts/cmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvane {
namespace {

std::u16string Unicode(const CMap& cmap, uint32_t code)
{
    std::u16string out;
    cmap.LookupUnicode(code, &out);
    return out;
}

int64_t Cid(const CMap& cmap, uint32_t code)
{
    uint32_t cid = 0;
    return cmap.LookupCid(code, &cid) ? static_cast<int64_t>(cid) : -1;
}

// Splits bytes into codes: (code, byte count) pairs.
std::vector<std::pair<uint32_t, size_t>> Codes(const CMap& cmap, const std::string& bytes)
{
    std::vector<std::pair<uint32_t, size_t>> codes;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t n = bytes.size();
    while (n > 0) {
        uint32_t code;
        size_t used = cmap.NextCode(p, n, &code);
        if (used == 0 || used > n) {
            ADD_FAILURE() << "NextCode took " << used << " of " << n;
            break;
        }
        codes.emplace_back(code, used);
        p += used;
        n -= used;
    }
    return codes;
}

const char kToUnicode[] = R"(
/CIDInit /ProcSet findresource begin
12 dict begin
begincmap
/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def
/CMapName /Adobe-Identity-UCS def
/CMapType 2 def
1 begincodespacerange
<0000> <FFFF>
endcodespacerange
4 beginbfchar
<0003> <0020>
<0011> <00660066>     % a ligature: two characters
<0012> <D835DC00>     % a surrogate pair: U+1D400
<0013> /eacute
endbfchar
3 beginbfrange
<0020> <0022> <0041>
<0030> <0032> [<0061> <00620062> <D83DDE00>]
<00FE> <0102> <00FE>  % crosses a byte boundary: the last character keeps counting
endbfrange
endcmap
)";

TEST(CMap, ToUnicodeEntries)
{
    auto cmap = CMap::Parse(kToUnicode);
    EXPECT_EQ(cmap->Ordering(), "UCS");
    EXPECT_EQ(cmap->Name(), "Adobe-Identity-UCS");
    EXPECT_EQ(Unicode(*cmap, 0x03), u" ");
    EXPECT_EQ(Unicode(*cmap, 0x11), u"ff");
    EXPECT_EQ(Unicode(*cmap, 0x12), u"\U0001D400");
    EXPECT_EQ(Unicode(*cmap, 0x13), u"\u00E9");
    EXPECT_EQ(Unicode(*cmap, 0x20), u"A");
    EXPECT_EQ(Unicode(*cmap, 0x22), u"C");
    EXPECT_EQ(Unicode(*cmap, 0x30), u"a");
    EXPECT_EQ(Unicode(*cmap, 0x31), u"bb");
    EXPECT_EQ(Unicode(*cmap, 0x32), u"\U0001F600");
    EXPECT_EQ(Unicode(*cmap, 0x100), u"\u0100");
    EXPECT_EQ(Unicode(*cmap, 0x102), u"\u0102");
    std::u16string out = u"stale";
    EXPECT_FALSE(cmap->LookupUnicode(0x23, &out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(cmap->HasCidMappings());
}

TEST(CMap, RangeOfSurrogatePairsCarriesIntoTheHighSurrogate)
{
    auto cmap = CMap::Parse("1 beginbfrange <01> <03> <D83FDFFE> endbfrange");
    EXPECT_EQ(Unicode(*cmap, 1), u"\U0001FFFE");
    EXPECT_EQ(Unicode(*cmap, 3), u"\U00020000");
}

TEST(CMap, BrokenEntriesAreSkippedOnly)
{
    auto cmap = CMap::Parse(R"(
1 begincodespacerange <00> <FF> endcodespacerange
6 beginbfchar
<41> <0041>
<42> oops
<43> <0043>
<4445464748> <0058>
<44> <0044>
<45>
endbfchar
2 beginbfrange
<50> <4F> <0050>
<51> <52> <0051>
endbfrange
2 begincidrange
<60> <61> -5
<62> <63> 7
endcidrange)");
    EXPECT_EQ(Unicode(*cmap, 0x41), u"A");
    EXPECT_EQ(Unicode(*cmap, 0x43), u"C");
    EXPECT_EQ(Unicode(*cmap, 0x44), u"D");
    EXPECT_EQ(Unicode(*cmap, 0x50), u"");
    EXPECT_EQ(Unicode(*cmap, 0x52), u"R");
    EXPECT_EQ(Cid(*cmap, 0x60), -1);
    EXPECT_EQ(Cid(*cmap, 0x63), 8);
}

TEST(CMap, MissingEndKeywordEndsTheSectionOnly)
{
    auto cmap = CMap::Parse("1 beginbfchar <01> <0061>\n1 beginbfchar <02> <0062> endbfchar");
    EXPECT_EQ(Unicode(*cmap, 1), u"a");
    EXPECT_EQ(Unicode(*cmap, 2), u"b");
}

TEST(CMap, TruncatedProgramKeepsWhatWasRead)
{
    const std::string program = "2 beginbfrange <01> <02> <0061> <03> <04> [<0062> <00";
    for (size_t n = 0; n <= program.size(); ++n) {
        auto cmap = CMap::Parse(std::string_view(program.data(), n));
        if (n == program.size())
            EXPECT_EQ(Unicode(*cmap, 3), u"b");
    }
    EXPECT_EQ(Unicode(*CMap::Parse(program), 2), u"b");
}

TEST(CMap, MixedCodespaceLengths)
{
    // One-byte ASCII, two-byte lead bytes 81-FE (a GBK-like layout).
    auto cmap = CMap::Parse(R"(
2 begincodespacerange <00> <80> <8140> <FEFE> endcodespacerange
2 begincidrange <20> <7E> 1 <D6A1> <D6FE> 4512 endcidrange)");
    auto codes = Codes(*cmap, "A\xD6\xD0"
                              "B");
    ASSERT_EQ(codes.size(), 3u);
    EXPECT_EQ(codes[0], std::make_pair(0x41u, size_t{1}));
    EXPECT_EQ(codes[1], std::make_pair(0xD6D0u, size_t{2}));
    EXPECT_EQ(Cid(*cmap, codes[1].first), 4559);
    EXPECT_EQ(codes[2], std::make_pair(0x42u, size_t{1}));
    // A lead byte with a second byte outside every range still takes two bytes; a byte that
    // matches nothing takes the shortest length; a lead byte at the end takes what is left.
    codes = Codes(*cmap, "\xD6\x20\xFF\xD6");
    ASSERT_EQ(codes.size(), 3u);
    EXPECT_EQ(codes[0].second, 2u);
    EXPECT_EQ(codes[1], std::make_pair(0xFFu, size_t{1}));
    EXPECT_EQ(codes[2], std::make_pair(0xD6u, size_t{1}));
}

TEST(CMap, WithoutCodespaceTheEntriesSetTheCodeLength)
{
    auto cmap = CMap::Parse("1 begincidrange <0000> <00FF> 10 endcidrange");
    auto codes = Codes(*cmap, std::string("\x00\x41\x00", 3));
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_EQ(codes[0], std::make_pair(0x41u, size_t{2}));
    EXPECT_EQ(codes[1].second, 1u);
    EXPECT_EQ(Cid(*cmap, 0x41), 0x41 + 10);
    uint32_t code = 7;
    EXPECT_EQ(CMap::Parse("")->NextCode(reinterpret_cast<const uint8_t*>("xy"), 2, &code), 1u);
    EXPECT_EQ(code, uint32_t{'x'});
}

TEST(CMap, LaterEntriesOverrideEarlierOnes)
{
    auto cmap = CMap::Parse(R"(
1 begincodespacerange <0000> <FFFF> endcodespacerange
1 begincidrange <0000> <00FF> 100 endcidrange
1 begincidchar <0010> 5 endcidchar
1 beginnotdefrange <0000> <FFFF> 1 endnotdefrange)");
    EXPECT_EQ(Cid(*cmap, 0x0F), 115);
    EXPECT_EQ(Cid(*cmap, 0x10), 5);
    EXPECT_EQ(Cid(*cmap, 0x11), 117);
    EXPECT_EQ(Cid(*cmap, 0x1234), 1);  // not mapped: the notdef range gives one CID for all
}

TEST(CMap, HugeRangesCostNoMemory)
{
    auto cmap = CMap::Parse(R"(
1 begincodespacerange <00000000> <FFFFFFFF> endcodespacerange
1 begincidrange <00000000> <FFFFFFFF> 0 endcidrange
1 beginbfrange <00000000> <FFFFFFFF> <0041> endbfrange)");
    EXPECT_EQ(Cid(*cmap, 0xFFFFFFFF), 0xFFFFFFFF);
    EXPECT_EQ(Unicode(*cmap, 1), u"B");
}

TEST(CMap, UseCMapThroughResolver)
{
    std::string requested;
    CMap::Resolver resolver = [&](std::string_view name) -> std::shared_ptr<const CMap> {
        requested = std::string(name);
        return CMap::Parse(R"(/WMode 1 def
1 begincodespacerange <0000> <FFFF> endcodespacerange
1 begincidrange <0000> <0010> 200 endcidrange)");
    };
    auto cmap = CMap::Parse("/Base usecmap 1 begincidchar <0001> 7 endcidchar", resolver);
    EXPECT_EQ(requested, "Base");
    EXPECT_EQ(Cid(*cmap, 0), 200);
    EXPECT_EQ(Cid(*cmap, 1), 7);
    EXPECT_EQ(Cid(*cmap, 2), 202);
    EXPECT_TRUE(cmap->IsVertical());
    EXPECT_EQ(Codes(*cmap, "ab").size(), 1u);
}

TEST(CMap, UseCMapCycleEnds)
{
    CMap::Resolver loop;
    loop = [&](std::string_view) -> std::shared_ptr<const CMap> {
        return CMap::Parse("/Self usecmap 1 begincidchar <01> 1 endcidchar", loop);
    };
    auto cmap = CMap::Parse("/Self usecmap", loop);
    EXPECT_EQ(Cid(*cmap, 1), 1);
}

TEST(CMap, UseCMapOfPredefinedByDefault)
{
    auto cmap = CMap::Parse("/Identity-V usecmap");
    EXPECT_TRUE(cmap->IsVertical());
    EXPECT_EQ(Cid(*cmap, 0x1234), 0x1234);
}

TEST(CMap, GarbageParsesToAnEmptyMap)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
    garbage += "beginbfrange ( <<< [[[ ]] /";
    auto cmap = CMap::Parse(garbage);
    EXPECT_FALSE(cmap->HasCidMappings());
    EXPECT_EQ(Codes(*cmap, "abc").size(), 3u);
}

}  // namespace
}  // namespace halvane
