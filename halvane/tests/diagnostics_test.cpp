// The diagnostics channel: what a damaged file makes the reader repair, skip or give up, said
// with a stable code and the object concerned.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "halvane/base/diagnostics.h"
#include "halvane/face/pdf_doc.h"
#include "pdf_builder.h"

namespace halvane {
namespace {

using testing::Bytes;
using testing::PdfBuilder;

// Opens the file and reads every page as the converter does; the document's diagnostics, or
// why it did not open.
DiagnosticList Read(const std::string& file)
{
    DiagnosticList whyNot;
    std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(file), ExtractOptions(), &whyNot));
    if (!doc)
        return whyNot;
    for (int n = 1; n <= doc->GetPageCount(); ++n) {
        stPdfPage* page = nullptr;
        if (doc->LoadPage(n, &page))
            doc->FreePage(page);
    }
    return doc->Diagnostics();
}

std::string Names(const DiagnosticList& list)
{
    std::string out;
    for (const Diagnostic& d : list.Entries())
        out += std::string(DiagCodeName(d.code)) + "(" + std::to_string(d.object) + ") ";
    return out;
}

// Replaces the first occurrence of what in s.
std::string Patch(std::string s, const std::string& what, const std::string& with)
{
    const size_t at = s.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    if (at != std::string::npos)
        s.replace(at, what.size(), with);
    return s;
}

TEST(Diagnostics, RepeatsCountUpAndTheListIsBounded)
{
    DiagnosticList list;
    for (int i = 0; i < 1000; ++i)
        list.Report(DiagCode::OperandsMissing, 4);
    list.Report(DiagCode::FilterFailed, 4, 120);
    list.Report(DiagCode::FilterFailed, 4, 121);
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[0].count, 1000u);
    EXPECT_EQ(list.Entries()[1].offset, 120);
    EXPECT_EQ(list.Entries()[2].count, 1u);

    for (int i = 0; i < 1000; ++i)
        list.Report(DiagCode::ObjectUnreadable, i);
    EXPECT_EQ(list.Entries().size(), DiagnosticList::kMaxEntries);
    EXPECT_EQ(list.Dropped(), 1000u - (DiagnosticList::kMaxEntries - 3));
    list.Report(DiagCode::OperandsMissing, 4);  // a kept entry still counts when the list is full
    EXPECT_EQ(list.Entries()[0].count, 1001u);
}

TEST(Diagnostics, CodesKeepTheirNamesAndNumbers)
{
    EXPECT_STREQ(DiagCodeName(DiagCode::XrefRebuilt), "XrefRebuilt");
    EXPECT_EQ(static_cast<int>(DiagCode::XrefRebuilt), 103);
    EXPECT_STREQ(DiagCodeName(DiagCode::OperandsMissing), "OperandsMissing");
    EXPECT_EQ(static_cast<int>(DiagCode::OperandsMissing), 501);
    EXPECT_STREQ(DiagCodeName(DiagCode::ImageCodecUnsupported), "ImageCodecUnsupported");
    EXPECT_STREQ(DiagCodeName(static_cast<DiagCode>(9999)), "Unknown");
}

TEST(Diagnostics, AHealthyFileSaysNothing)
{
    PdfBuilder b;
    b.AddSimplePage("BT /F1 12 Tf 72 700 Td (Hello) Tj ET");
    const DiagnosticList list = Read(b.Build());
    EXPECT_TRUE(list.Entries().empty()) << Names(list);
}

struct DamageCase {
    const char* what;
    std::function<std::string()> file;
    std::vector<std::pair<DiagCode, int>> expected;  // code, object (kNoObject: any)
};

std::string SimpleFile(const std::string& content)
{
    PdfBuilder b;
    b.AddSimplePage(content);
    return b.Build();
}

// A page with an XObject /X = object 6 in its resources.
std::string PageWithXObject(const std::string& xobject, const std::string& content = "q 100 0 0 100 0 0 cm /X Do Q")
{
    PdfBuilder b;
    b.Add(1, "<< /Type /Catalog /Pages 2 0 R >>");
    b.Add(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /XObject << /X 6 0 R >> >> "
             "/Contents 4 0 R >>");
    b.AddStream(4, content);
    b.Add(6, xobject);
    return b.Build();
}

TEST(Diagnostics, DamageIsNamedWithItsObject)
{
    const int any = DiagnosticList::kNoObject;
    const std::vector<DamageCase> cases = {
        {"no cross-reference table",
         [] {
             PdfBuilder b;
             b.AddSimplePage("BT ET");
             return b.Build(false);
         },
         {{DiagCode::XrefUnreadable, any}, {DiagCode::XrefRebuilt, any}}},
        {"a stream whose /Length is wrong",
         [] { return Patch(SimpleFile("BT /F1 12 Tf (Hi) Tj ET"), "/Length 23", "/Length 40"); },
         {{DiagCode::StreamLengthWrong, 4}}},
        {"an object not where the table says",
         [] {
             const std::string file = SimpleFile("BT /F1 12 Tf (Hi) Tj ET");
             const size_t font = file.find("5 0 obj");
             char entry[32];
             std::snprintf(entry, sizeof entry, "%010zu 00000 n", font);
             char wrong[32];
             std::snprintf(wrong, sizeof wrong, "%010zu 00000 n", font - 7);
             return Patch(file, entry, wrong);
         },
         {{DiagCode::ObjectUnreadable, 5}, {DiagCode::XrefRebuilt, any}}},
        {"an operator with too few operands",
         [] { return SimpleFile("BT 12 Tf (Hi) Tj ET"); },
         {{DiagCode::OperandsMissing, 4}, {DiagCode::TextWithoutFont, 4}}},
        {"a font the resources lack",
         [] { return SimpleFile("BT /F9 12 Tf (Hi) Tj ET"); },
         {{DiagCode::FontNotInResources, 4}}},
        {"a font that is no dictionary",
         [] {
             return Patch(SimpleFile("BT /F1 12 Tf (Hi) Tj ET"),
                          "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                          "/Encoding /WinAnsiEncoding >>",
                          "42");
         },
         {{DiagCode::FontUnreadable, 5}}},
        {"a content stream its filter cannot decode",
         [] {
             PdfBuilder b;
             b.AddSimplePage("");
             b.AddStream(4, "this is no zlib data", "/Filter /FlateDecode");
             return b.Build();
         },
         {{DiagCode::FilterFailed, 4}, {DiagCode::ContentUnreadable, 4}}},
        {"an XObject the resources lack",
         [] { return SimpleFile("/Nothing Do"); },
         {{DiagCode::XObjectNotInResources, 4}}},
        {"a form that draws itself",
         [] {
             return PageWithXObject(
                 "<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /X 6 0 R "
                 ">> >> /Length 5 >>\nstream\n/X Do\nendstream");
         },
         {{DiagCode::FormDrawsItself, 6}}},
        {"a JPEG 2000 image",
         [] {
             return PageWithXObject("<< /Type /XObject /Subtype /Image /Width 2 /Height 2 /BitsPerComponent 8 "
                                    "/ColorSpace /DeviceGray /Filter /JPXDecode /Length 4 >>\nstream\nabcd\nendstream");
         },
         {{DiagCode::ImageCodecUnsupported, 6}}},
        {"an image without a width",
         [] {
             return PageWithXObject("<< /Type /XObject /Subtype /Image /Height 2 /BitsPerComponent 8 "
                                    "/ColorSpace /DeviceGray /Length 4 >>\nstream\nabcd\nendstream");
         },
         {{DiagCode::ImageSizeUnusable, 6}}},
        {"an image with too few samples",
         [] {
             return PageWithXObject("<< /Type /XObject /Subtype /Image /Width 8 /Height 2 /BitsPerComponent 8 "
                                    "/ColorSpace /DeviceRGB /Length 4 >>\nstream\nabcd\nendstream");
         },
         {{DiagCode::ImageDataShort, 6}}},
        {"a page listed twice in the page tree",
         [] { return Patch(SimpleFile("BT ET"), "/Kids [3 0 R] /Count 1", "/Kids [3 0 R 3 0 R] /Count 2"); },
         {{DiagCode::PageTreeCycle, 3}}},
        {"an encryption handler the reader lacks",
         [] {
             PdfBuilder b;
             b.AddSimplePage("BT ET");
             b.Add(9, "<< /Filter /Unknown /V 1 /R 2 >>");
             return b.Build(true, "/Encrypt 9 0 R");
         },
         {{DiagCode::EncryptionUnsupported, 9}}},
        {"no PDF header", [] { return std::string("hello, world\n"); }, {{DiagCode::NoHeader, any}}},
    };
    for (const DamageCase& c : cases) {
        const DiagnosticList list = Read(c.file());
        for (const auto& e : c.expected) {
            const bool found = e.second == any ? list.Has(e.first) : list.Has(e.first, e.second);
            EXPECT_TRUE(found) << c.what << ": expected " << DiagCodeName(e.first) << "(" << e.second << "), got "
                               << Names(list);
        }
    }
}

}  // namespace
}  // namespace halvane
