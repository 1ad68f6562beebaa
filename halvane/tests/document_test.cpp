#include <gtest/gtest.h>

#include <string>

#include "halvane/document/document_file.h"
#include "pdf_builder.h"
#include "test_paths.h"

namespace halvane {
namespace {

using testing::Bytes;
using testing::PdfBuilder;

std::unique_ptr<Document> OpenString(const std::string& s, OpenStatus* status = nullptr)
{
    OpenStatus ignored;
    return Document::Open(Bytes(s), status ? status : &ignored);
}

std::string ContentOf(Document& doc, int page)
{
    DecodedData d;
    if (!doc.DecodeStream(doc.Resolve(doc.Page(page)->page["Contents"]), 1 << 20, &d))
        return std::string();
    return d.bytes;
}

TEST(Document, OpensAClassicFile)
{
    PdfBuilder b;
    b.AddSimplePage("BT /F1 12 Tf (Hi) Tj ET");
    auto doc = OpenString(b.Build());
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->WasRepaired());
    ASSERT_EQ(doc->PageCount(), 1);
    EXPECT_DOUBLE_EQ(doc->Page(0)->mediaBox.Width(), 600);
    EXPECT_EQ(ContentOf(*doc, 0), "BT /F1 12 Tf (Hi) Tj ET");
}

TEST(Document, RebuildsDamagedOrMissingCrossReferences)
{
    PdfBuilder b;
    b.AddSimplePage("BT /F1 12 Tf (Hi) Tj ET");
    std::string shifted = b.Build();
    // Every offset points 7 bytes too early, as after an editor re-encoded the header.
    shifted.insert(9, "%junk\n ");
    const std::string cases[] = {shifted, b.Build(false), b.Build().substr(0, b.Build().rfind("startxref"))};
    for (const std::string& file : cases) {
        auto doc = OpenString(file);
        ASSERT_TRUE(doc);
        ASSERT_EQ(doc->PageCount(), 1);
        EXPECT_EQ(ContentOf(*doc, 0), "BT /F1 12 Tf (Hi) Tj ET");
    }
}

TEST(Document, TrustsEndstreamOverAWrongLength)
{
    PdfBuilder b;
    b.AddSimplePage("");
    b.Add(4, "<< /Length 3 >>\nstream\nBT (long content) Tj ET\nendstream");
    auto doc = OpenString(b.Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(ContentOf(*doc, 0), "BT (long content) Tj ET");
}

TEST(Document, ReadsCrossReferenceAndObjectStreams)
{
    // Objects 1-3 live in object stream 6; the cross-reference stream 7 says where.
    std::string file = "%PDF-1.5\n";
    const size_t off4 = file.size();
    const std::string content = "BT (objstm) Tj ET";
    file +=
        "4 0 obj\n<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream\nendobj\n";
    const std::string o1 = "<< /Type /Catalog /Pages 2 0 R >>";
    const std::string o2 = "<< /Type /Pages /Kids [3 0 R] /Count 1 >>";
    const std::string o3 = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>";
    const std::string header =
        "1 0 2 " + std::to_string(o1.size() + 1) + " 3 " + std::to_string(o1.size() + o2.size() + 2) + " ";
    const std::string body = header + o1 + " " + o2 + " " + o3;
    const size_t off6 = file.size();
    file += "6 0 obj\n<< /Type /ObjStm /N 3 /First " + std::to_string(header.size()) + " /Length " +
            std::to_string(body.size()) + " >>\nstream\n" + body + "\nendstream\nendobj\n";
    const size_t off7 = file.size();
    auto row = [](int type, uint32_t f2, int f3) {
        std::string r;
        r.push_back(static_cast<char>(type));
        for (int s = 24; s >= 0; s -= 8)
            r.push_back(static_cast<char>((f2 >> s) & 0xFF));
        r.push_back(static_cast<char>(f3));
        return r;
    };
    std::string rows = row(0, 0, 0) + row(2, 6, 0) + row(2, 6, 1) + row(2, 6, 2) +
                       row(1, static_cast<uint32_t>(off4), 0) + row(0, 0, 0) + row(1, static_cast<uint32_t>(off6), 0) +
                       row(1, static_cast<uint32_t>(off7), 0);
    file += "7 0 obj\n<< /Type /XRef /Size 8 /W [1 4 1] /Root 1 0 R /Length " + std::to_string(rows.size()) +
            " >>\nstream\n" + rows + "\nendstream\nendobj\nstartxref\n" + std::to_string(off7) + "\n%%EOF\n";
    auto doc = OpenString(file);
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->WasRepaired());
    ASSERT_EQ(doc->PageCount(), 1);
    EXPECT_DOUBLE_EQ(doc->Page(0)->mediaBox.Height(), 100);
    EXPECT_EQ(ContentOf(*doc, 0), content);
}

TEST(Document, IncrementalUpdatesReplaceOlderObjects)
{
    PdfBuilder b;
    b.AddSimplePage("BT (old) Tj ET");
    std::string file = b.Build();
    const size_t firstXref = file.rfind("xref\n0");
    const std::string update = "BT (new) Tj ET";
    const size_t off4 = file.size();
    file += "4 0 obj\n<< /Length " + std::to_string(update.size()) + " >>\nstream\n" + update + "\nendstream\nendobj\n";
    const size_t xref = file.size();
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", off4);
    file += std::string("xref\n4 1\n") + entry + "trailer\n<< /Size 6 /Root 1 0 R /Prev " + std::to_string(firstXref) +
            " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    auto doc = OpenString(file);
    ASSERT_TRUE(doc);
    EXPECT_EQ(ContentOf(*doc, 0), update);
}

TEST(Document, PagesInheritAttributesAndCyclesEnd)
{
    PdfBuilder b;
    b.Add(1, "<< /Type /Catalog /Pages 2 0 R >>");
    // The tree lists itself and its page twice: each page counts once, and the walk ends.
    b.Add(2, "<< /Type /Pages /Kids [3 0 R 2 0 R 3 0 R] /Count 3 /MediaBox [0 0 300 400] /Rotate 90 "
             "/Resources << /Font << /F1 5 0 R >> >> >>");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /CropBox [10 10 290 1000] >>");
    b.Add(5, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    auto doc = OpenString(b.Build());
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->PageCount(), 1);
    const PageEntry* page = doc->Page(0);
    EXPECT_EQ(page->rotate, 90);
    EXPECT_DOUBLE_EQ(page->mediaBox.Width(), 300);
    EXPECT_DOUBLE_EQ(page->cropBox.y1, 400);  // clipped to the media box
    EXPECT_TRUE(doc->Resolve(page->resources)["Font"].IsDict());
}

TEST(Document, RefusesWhatIsNoPdf)
{
    EXPECT_FALSE(OpenString(""));
    EXPECT_FALSE(OpenString("GIF89a not a pdf at all"));
    EXPECT_FALSE(OpenString("%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\n%%EOF"));  // no pages
}

TEST(Document, OpensEncryptedFilesWithTheEmptyUserPassword)
{
    ByteSource bytes;
    ASSERT_TRUE(ReadFileUtf8(TestSourcePath("halvane/tests/data/gen-v-lists-rc4-40-nocopy.pdf"), 1 << 24, &bytes));
    OpenStatus status;
    auto doc = Document::Open(std::move(bytes), &status);
    ASSERT_TRUE(doc);
    EXPECT_EQ(status, OpenStatus::Ok);
    EXPECT_NE(ContentOf(*doc, 0).find("Tf"), std::string::npos);  // decrypted and inflated

    ByteSource locked;
    ASSERT_TRUE(ReadFileUtf8(TestSourcePath("halvane/tests/data/pdfminer-aes-256-r6.pdf"), 1 << 24, &locked));
    EXPECT_FALSE(Document::Open(std::move(locked), &status));
    EXPECT_EQ(status, OpenStatus::NeedsPassword);
}

}  // namespace
}  // namespace halvane
