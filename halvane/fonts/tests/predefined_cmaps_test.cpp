#include <gtest/gtest.h>

#include <string>

#include "halvane/fonts/cmap.h"

namespace halvane {
namespace {

// Decodes bytes with a predefined CMap and the CID-to-Unicode table of its collection.
std::u16string Decode(const char* cmapName, const std::string& bytes, std::string ordering = "")
{
    auto cmap = PredefinedCMap(cmapName);
    if (!cmap) {
        ADD_FAILURE() << cmapName << " missing";
        return u"";
    }
    if (ordering.empty())
        ordering = cmap->Ordering();
    std::u16string text;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t n = bytes.size();
    while (n > 0) {
        uint32_t code, cid;
        size_t used = cmap->NextCode(p, n, &code);
        p += used;
        n -= used;
        std::u16string piece;
        if (cmap->LookupCid(code, &cid) && CidToUnicode(ordering, cid, &piece))
            text += piece;
        else
            text += u'?';
    }
    return text;
}

TEST(PredefinedCMaps, ChineseSimplified)
{
    auto gbk = PredefinedCMap("GBK-EUC-H");
    ASSERT_NE(gbk, nullptr);
    uint32_t cid = 0;
    ASSERT_TRUE(gbk->LookupCid(0xD6D0, &cid));
    EXPECT_EQ(cid, 4559u);
    EXPECT_EQ(Decode("GBK-EUC-H", "\xD6\xD0\xCE\xC4 PDF"), u"\u4E2D\u6587 PDF");
    EXPECT_EQ(Decode("GB-EUC-H", "\xD6\xD0\xCE\xC4"), u"\u4E2D\u6587");
    EXPECT_EQ(Decode("GBpc-EUC-H", "\xD6\xD0"), u"\u4E2D");
    EXPECT_EQ(Decode("GBK2K-H", "\xD6\xD0"), u"\u4E2D");
    EXPECT_EQ(Decode("UniGB-UCS2-H", std::string("\x4E\x2D\x65\x87", 4)), u"\u4E2D\u6587");
    EXPECT_EQ(Decode("UniGB-UTF16-H", std::string("\x4E\x2D\x00\x41", 4)), u"\u4E2DA");
}

TEST(PredefinedCMaps, VerticalFormsInheritTheHorizontalMap)
{
    auto v = PredefinedCMap("GBK-EUC-V");
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->IsVertical());
    EXPECT_FALSE(PredefinedCMap("GBK-EUC-H")->IsVertical());
    uint32_t cid = 0;
    ASSERT_TRUE(v->LookupCid(0xD6D0, &cid));  // from the parent
    EXPECT_EQ(cid, 4559u);
    ASSERT_TRUE(v->LookupCid(0xA1A2, &cid));  // the vertical ideographic comma
    EXPECT_EQ(cid, 575u);
    EXPECT_EQ(Decode("UniGB-UCS2-V", std::string("\x4E\x2D", 2)), u"\u4E2D");
}

TEST(PredefinedCMaps, JapaneseTraditionalChineseKorean)
{
    EXPECT_EQ(Decode("90ms-RKSJ-H", "\x93\xFA\x96\x7B"
                                    "a"),
              u"\u65E5\u672Ca");
    EXPECT_EQ(Decode("90ms-RKSJ-V", "\x93\xFA"), u"\u65E5");
    EXPECT_EQ(Decode("UniJIS-UCS2-H", std::string("\x65\xE5", 2)), u"\u65E5");
    // A surrogate pair is one four-byte code in the UTF-16 CMaps.
    EXPECT_EQ(Decode("UniJIS-UTF16-H", std::string("\xD8\x40\xDC\x0B\x65\xE5", 6)), u"\U0002000B\u65E5");
    EXPECT_EQ(Decode("B5pc-H", "\xA4\xA4\xA4\xE5"), u"\u4E2D\u6587");
    EXPECT_EQ(Decode("ETen-B5-H", "\xA4\xA4"), u"\u4E2D");
    EXPECT_EQ(Decode("UniCNS-UCS2-H", std::string("\x4E\x2D", 2)), u"\u4E2D");
    EXPECT_EQ(Decode("UniCNS-UTF16-H", std::string("\x4E\x2D", 2)), u"\u4E2D");
    EXPECT_EQ(Decode("KSCms-UHC-H", "\xC7\xD1\xB1\xDB"), u"\uD55C\uAE00");
    EXPECT_EQ(Decode("UniKS-UCS2-H", std::string("\xD5\x5C", 2)), u"\uD55C");
    EXPECT_EQ(Decode("UniKS-UTF16-V", std::string("\xD5\x5C", 2)), u"\uD55C");
}

TEST(PredefinedCMaps, IdentityAndUnknown)
{
    auto h = PredefinedCMap("Identity-H");
    ASSERT_NE(h, nullptr);
    uint32_t code = 0, cid = 0;
    EXPECT_EQ(h->NextCode(reinterpret_cast<const uint8_t*>("\x12\x34\x56"), 3, &code), 2u);
    ASSERT_TRUE(h->LookupCid(code, &cid));
    EXPECT_EQ(cid, 0x1234u);
    EXPECT_TRUE(PredefinedCMap("Identity-V")->IsVertical());
    EXPECT_EQ(PredefinedCMap("Identity-H"), h);  // built once, shared
    EXPECT_EQ(PredefinedCMap("NoSuch-H"), nullptr);
    EXPECT_EQ(PredefinedCMap(""), nullptr);
}

TEST(PredefinedCMaps, EveryTableLoads)
{
    const char* names[] = {"GB-EUC-H",
                           "GB-EUC-V",
                           "GBpc-EUC-H",
                           "GBpc-EUC-V",
                           "GBK-EUC-H",
                           "GBK-EUC-V",
                           "GBKp-EUC-H",
                           "GBKp-EUC-V",
                           "GBK2K-H",
                           "GBK2K-V",
                           "UniGB-UCS2-H",
                           "UniGB-UCS2-V",
                           "UniGB-UTF16-H",
                           "UniGB-UTF16-V",
                           "B5pc-H",
                           "B5pc-V",
                           "HKscs-B5-H",
                           "HKscs-B5-V",
                           "ETen-B5-H",
                           "ETen-B5-V",
                           "ETenms-B5-H",
                           "ETenms-B5-V",
                           "CNS-EUC-H",
                           "CNS-EUC-V",
                           "UniCNS-UCS2-H",
                           "UniCNS-UCS2-V",
                           "UniCNS-UTF16-H",
                           "UniCNS-UTF16-V",
                           "83pv-RKSJ-H",
                           "90ms-RKSJ-H",
                           "90ms-RKSJ-V",
                           "90msp-RKSJ-H",
                           "90msp-RKSJ-V",
                           "90pv-RKSJ-H",
                           "Add-RKSJ-H",
                           "Add-RKSJ-V",
                           "EUC-H",
                           "EUC-V",
                           "Ext-RKSJ-H",
                           "Ext-RKSJ-V",
                           "H",
                           "V",
                           "UniJIS-UCS2-H",
                           "UniJIS-UCS2-V",
                           "UniJIS-UCS2-HW-H",
                           "UniJIS-UCS2-HW-V",
                           "UniJIS-UTF16-H",
                           "UniJIS-UTF16-V",
                           "KSC-EUC-H",
                           "KSC-EUC-V",
                           "KSCms-UHC-H",
                           "KSCms-UHC-V",
                           "KSCms-UHC-HW-H",
                           "KSCms-UHC-HW-V",
                           "KSCpc-EUC-H",
                           "UniKS-UCS2-H",
                           "UniKS-UCS2-V",
                           "UniKS-UTF16-H",
                           "UniKS-UTF16-V"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        auto cmap = PredefinedCMap(name);
        ASSERT_NE(cmap, nullptr);
        EXPECT_TRUE(cmap->HasCidMappings());
        EXPECT_TRUE(cmap->HasCodespace());
        EXPECT_EQ(cmap->IsVertical(), name[std::char_traits<char>::length(name) - 1] == 'V');
    }
}

TEST(CidToUnicode, Collections)
{
    std::u16string out;
    EXPECT_TRUE(CidToUnicode("GB1", 4559, &out));
    EXPECT_EQ(out, u"\u4E2D");
    EXPECT_TRUE(CidToUnicode("Adobe-GB1", 96, &out));
    EXPECT_EQ(out, u"\u3000");
    EXPECT_TRUE(CidToUnicode("Japan1", 13839, &out));
    EXPECT_EQ(out, u"\U0002000B");
    EXPECT_TRUE(CidToUnicode("Japan1", 1, &out));
    EXPECT_EQ(out, u" ");
    EXPECT_TRUE(CidToUnicode("CNS1", 1, &out));
    EXPECT_EQ(out, u" ");
    EXPECT_TRUE(CidToUnicode("Korea1", 1, &out));
    EXPECT_EQ(out, u" ");
    EXPECT_FALSE(CidToUnicode("GB1", 0, &out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(CidToUnicode("GB1", 0xFFFFFFFF, &out));
    EXPECT_FALSE(CidToUnicode("Identity", 10, &out));
}

}  // namespace
}  // namespace halvane
