// Small hand-made broken and hostile files, each with what the reader must make of it: opened
// (with its pages and text where they survive) or refused, never a crash, a hang or memory
// beyond the document's budget.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "halvane/document/memory_budget.h"
#include "halvane/face/pdf_doc.h"
#include "pdf_builder.h"
#include "test_paths.h"

namespace halvane {
namespace {

using testing::Bytes;
using testing::PdfBuilder;

const char kHello[] = "BT /F1 12 Tf 50 700 Td (Hello) Tj ET";

std::string Deflate(const std::string& data)
{
    uLongf size = compressBound(data.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()), data.size(), 1);
    out.resize(size);
    return out;
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string Hello(const std::string& pageExtra = "")
{
    PdfBuilder b;
    b.AddSimplePage(kHello, pageExtra);
    return b.Build();
}

// A page with a second resource set: /Im1 an image, /Fm1 a form, F2 another font.
std::string PageWith(const std::string& content, const std::function<void(PdfBuilder&)>& more,
                     const std::string& resources)
{
    PdfBuilder b;
    b.Add(1, "<< /Type /Catalog /Pages 2 0 R >>");
    b.Add(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> " + resources +
                 " >> /Contents 4 0 R >>");
    b.AddStream(4, content);
    b.Add(5, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    more(b);
    return b.Build();
}

// Catalog and page tree inside object stream 6, listed by a cross-reference stream (object 7);
// selfContained lists the object stream as an object inside itself.
std::string WithObjectStream(bool selfContained)
{
    const std::string objects[] = {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"};
    std::string offsets, body;
    for (int i = 0; i < 2; ++i) {
        offsets += std::to_string(i + 1) + " " + std::to_string(body.size()) + " ";
        body += objects[i] + "\n";
    }
    std::string pdf = "%PDF-1.7\n";
    const size_t page = pdf.size();
    pdf += "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> >> "
           "/Contents 4 0 R >>\nendobj\n";
    const size_t content = pdf.size();
    pdf +=
        "4 0 obj\n<< /Length " + std::to_string(sizeof kHello - 1) + " >>\nstream\n" + kHello + "\nendstream\nendobj\n";
    const size_t font = pdf.size();
    pdf += "5 0 obj\n<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>\nendobj\n";
    const size_t objstm = pdf.size();
    const std::string data = offsets + body;
    pdf += "6 0 obj\n<< /Type /ObjStm /N 2 /First " + std::to_string(offsets.size()) + " /Length " +
           std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream\nendobj\n";
    const size_t xref = pdf.size();
    auto row = [](int type, size_t f2, int f3) {
        std::string r(1, (char)type);
        for (int s = 24; s >= 0; s -= 8)
            r += (char)((f2 >> s) & 0xFF);
        r += (char)((f3 >> 8) & 0xFF);
        r += (char)(f3 & 0xFF);
        return r;
    };
    std::string rows = row(0, 0, 0xFFFF) + row(2, 6, 0) + row(2, 6, 1) + row(1, page, 0) + row(1, content, 0) +
                       row(1, font, 0) + (selfContained ? row(2, 6, 2) : row(1, objstm, 0)) + row(1, xref, 0);
    pdf += "7 0 obj\n<< /Type /XRef /Size 8 /W [1 4 2] /Root 1 0 R /Length " + std::to_string(rows.size()) +
           " >>\nstream\n" + rows + "\nendstream\nendobj\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

// A page tree of the given depth: every level one /Pages node with one kid.
std::string DeepTree(int depth)
{
    PdfBuilder b;
    b.Add(1, "<< /Type /Catalog /Pages 10 0 R >>");
    for (int level = 0; level < depth; ++level)
        b.Add(10 + level, "<< /Type /Pages /Kids [" + std::to_string(11 + level) + " 0 R] /Count 1 >>");
    b.Add(10 + depth,
          "<< /Type /Page /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R >>");
    b.AddStream(4, kHello);
    b.Add(5, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    return b.Build();
}

std::string ImagePage(int width, int height, const std::string& components, const std::string& data,
                      const std::string& filter = "")
{
    return PageWith(
        std::string(kHello) + " q 100 0 0 100 50 50 cm /Im1 Do Q",
        [&](PdfBuilder& b) {
            b.AddStream(6, data,
                        "/Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
                            std::to_string(height) + " /ColorSpace " + components + " /BitsPerComponent 8 " + filter);
        },
        "/XObject << /Im1 6 0 R >>");
}

// Forms nested `depth` deep, each holding `padding` bytes of blanks (stored deflated) before
// calling the next one; the innermost shows text.
std::string NestedForms(int depth, size_t padding)
{
    const std::string blanks = Deflate(std::string(padding, ' ') + " /Fx Do ");
    return PageWith(
        std::string(kHello) + " /Fx Do",
        [&](PdfBuilder& b) {
            for (int level = 0; level < depth; ++level) {
                const int num = 10 + level;
                const std::string next = level + 1 < depth ? std::to_string(num + 1) + " 0 R" : "20 0 R";
                b.AddStream(num, blanks,
                            "/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Filter /FlateDecode "
                            "/Resources << /XObject << /Fx " +
                                next + " >> >>");
            }
            b.AddStream(20, "BT /F1 12 Tf 50 600 Td (Inner) Tj ET",
                        "/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> >>");
        },
        "/XObject << /Fx 10 0 R >>");
}

// A Type0 font whose embedded CMap and ToUnicode come from the caller.
std::string Type0Page(const std::string& content, const std::string& encodingCMap, const std::string& toUnicode)
{
    return PageWith(
        content,
        [&](PdfBuilder& b) {
            b.Add(7, "<< /Type /Font /Subtype /Type0 /BaseFont /X /Encoding 8 0 R /ToUnicode 9 0 R "
                     "/DescendantFonts [<< /Type /Font /Subtype /CIDFontType2 /BaseFont /X "
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /DW 500 >>] >>");
            b.AddStream(8, encodingCMap, "/Type /CMap /CMapName /Test");
            b.AddStream(9, toUnicode);
        },
        "/Font << /F1 5 0 R /F2 7 0 R >>");
}

std::string EncryptedFile()
{
    ByteSource bytes;
    std::string file;
    std::FILE* f = std::fopen(TestSourcePath("halvane/tests/data/gen-v-lists-rc4-40-nocopy.pdf").c_str(), "rb");
    if (!f)
        return file;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        file.append(buffer, n);
    std::fclose(f);
    return file;
}

enum class Outcome { Opens, Refused };

struct BrokenFile {
    const char* label;
    std::function<std::string()> make;
    Outcome outcome;
    int pages;  // page count when it opens
    const char* text;  // text the first page still shows (checked when not null)
    bool overBudget;  // something in it did not fit the memory budget and was given up
};

const BrokenFile kBrokenFiles[] = {
    // Structure of the file.
    {"no startxref",
     [] {
         const std::string f = Hello();
         return f.substr(0, f.rfind("startxref"));
     },
     Outcome::Opens, 1, "Hello", false},
    {"no cross-reference table at all",
     [] {
         PdfBuilder b;
         b.AddSimplePage(kHello);
         return b.Build(false);
     },
     Outcome::Opens, 1, "Hello", false},
    {"offsets 7 bytes too early",
     [] {
         std::string f = Hello();
         return f.insert(9, "%junk\n ");
     },
     Outcome::Opens, 1, "Hello", false},
    {"offsets 3 bytes too late",
     [] {
         std::string f = Hello();
         return f.erase(10, 3);
     },
     Outcome::Opens, 1, "Hello", false},
    {"startxref past the end of the file",
     [] {
         const std::string f = Hello();
         return f.substr(0, f.rfind("startxref")) + "startxref\n99999999\n%%EOF\n";
     },
     Outcome::Opens, 1, "Hello", false},
    {"startxref into the middle of an object",
     [] {
         const std::string f = Hello();
         return f.substr(0, f.rfind("startxref")) + "startxref\n60\n%%EOF\n";
     },
     Outcome::Opens, 1, "Hello", false},
    {"file cut in the middle of the content stream",
     [] {
         const std::string f = Hello();
         return f.substr(0, f.find("(Hello)") + 4);
     },
     Outcome::Opens, 1, nullptr, false},
    {"xref claims two thousand million objects", [] { return Replace(Hello(), "xref\n0 ", "xref\n0 2000000000\n0 "); },
     Outcome::Opens, 1, "Hello", false},
    {"trailer /Prev pointing at its own table",
     [] {
         const std::string f = Hello();
         const std::string at = f.substr(f.rfind("startxref") + 10);
         return Replace(f, "/Root 1 0 R", "/Root 1 0 R /Prev " + std::to_string(std::stoul(at)));
     },
     Outcome::Opens, 1, "Hello", false},
    {"catalog and pages in an object stream (sound)", [] { return WithObjectStream(false); }, Outcome::Opens, 1,
     "Hello", false},
    {"object stream that lists itself as its own container", [] { return WithObjectStream(true); }, Outcome::Opens, 1,
     "Hello", false},
    {"not a PDF at all", [] { return std::string("GIF89a this is no document\n"); }, Outcome::Refused, 0, nullptr,
     false},
    {"empty file", [] { return std::string(); }, Outcome::Refused, 0, nullptr, false},
    {"only the header", [] { return std::string("%PDF-1.7\n"); }, Outcome::Refused, 0, nullptr, false},
    {"no catalog (/Root missing)", [] { return Replace(Hello(), "/Root 1 0 R", ""); }, Outcome::Opens, 1, "Hello",
     false},
    {"catalog is a number", [] { return Replace(Hello(), "<< /Type /Catalog /Pages 2 0 R >>", "42"); },
     Outcome::Refused, 0, nullptr, false},
    // Streams.
    {"stream /Length far too long", [] { return Replace(Hello(), "/Length 36", "/Length 5000"); }, Outcome::Opens, 1,
     "Hello", false},
    {"stream /Length too short", [] { return Replace(Hello(), "/Length 36", "/Length 9"); }, Outcome::Opens, 1, "Hello",
     false},
    {"stream /Length a reference to nothing", [] { return Replace(Hello(), "/Length 36", "/Length 99 0 R"); },
     Outcome::Opens, 1, "Hello", false},
    {"stream /Length negative", [] { return Replace(Hello(), "/Length 36", "/Length -36"); }, Outcome::Opens, 1,
     "Hello", false},
    {"content stream with an unknown filter",
     [] { return Replace(Hello(), "/Length 36", "/Length 36 /Filter /NoSuchDecode"); }, Outcome::Opens, 1, nullptr,
     false},
    {"content that inflates a thousandfold (30 MB of blanks)",
     [] {
         PdfBuilder b;
         b.AddSimplePage("");
         b.AddStream(4, Deflate(std::string(kHello) + std::string(30u << 20, ' ')), "/Filter /FlateDecode");
         return b.Build();
     },
     Outcome::Opens, 1, "Hello", false},
    // The page tree.
    {"page tree cycle", [] { return Replace(Hello(), "/Kids [3 0 R]", "/Kids [3 0 R 2 0 R]"); }, Outcome::Opens, 1,
     "Hello", false},
    {"page tree claims a million pages", [] { return Replace(Hello(), "/Count 1", "/Count 1000000"); }, Outcome::Opens,
     1, "Hello", false},
    {"one page listed a hundred thousand times",
     [] {
         std::string kids;
         for (int i = 0; i < 100000; ++i)
             kids += "3 0 R ";
         return Replace(Hello(), "/Kids [3 0 R]", "/Kids [" + kids + "]");
     },
     Outcome::Opens, 1, "Hello", false},
    {"page tree 1000 levels deep", [] { return DeepTree(1000); }, Outcome::Refused, 0, nullptr, false},
    {"page tree 40 levels deep", [] { return DeepTree(40); }, Outcome::Opens, 1, "Hello", false},
    {"page with a MediaBox of huge numbers",
     [] { return Replace(Hello(), "/MediaBox [0 0 600 800]", "/MediaBox [0 0 1e300 -1e300]"); }, Outcome::Opens, 1,
     nullptr, false},
    {"page whose /Contents is a number", [] { return Replace(Hello(), "/Contents 4 0 R", "/Contents 7"); },
     Outcome::Opens, 1, nullptr, false},
    // Content and forms.
    {"forms nested 50 deep", [] { return NestedForms(50, 10); }, Outcome::Opens, 1, "Hello", false},
    {"a form that draws itself",
     [] {
         return PageWith(
             std::string(kHello) + " /Fx Do",
             [](PdfBuilder& b) {
                 b.AddStream(6, "/Fx Do",
                             "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /Fx 6 0 R >> >>");
             },
             "/XObject << /Fx 6 0 R >>");
     },
     Outcome::Opens, 1, "Hello", false},
    {"nested forms each inflating to 40 MB", [] { return NestedForms(8, 40u << 20); }, Outcome::Opens, 1, "Hello",
     true},
    {"a million operands before one operator",
     [] {
         std::string c(kHello);
         for (int i = 0; i < 1000000; ++i)
             c += " 1";
         return PageWith(
             c + " m", [](PdfBuilder&) {}, "");
     },
     Outcome::Opens, 1, "Hello", false},
    {"an array nested 100000 deep",
     [] {
         return PageWith(
             std::string(kHello) + " " + std::string(100000, '[') + " Tj", [](PdfBuilder&) {}, "");
     },
     Outcome::Opens, 1, "Hello", false},
    {"a string that never closes",
     [] {
         return PageWith(
             std::string(kHello) + " BT (((unclosed Tj ET", [](PdfBuilder&) {}, "");
     },
     Outcome::Opens, 1, "Hello", false},
    // Images.
    {"image with a gigantic width", [] { return ImagePage(2000000000, 1, "/DeviceGray", "\x80\x80"); }, Outcome::Opens,
     1, "Hello", false},
    {"scan page of 20000 x 20000 pixels",
     [] {
         return ImagePage(20000, 20000, "/DeviceGray", Deflate(std::string(1u << 20, '\x7f')), "/Filter /FlateDecode");
     },
     Outcome::Opens, 1, "Hello", false},
    {"image whose data is far shorter than its size",
     [] { return ImagePage(1000, 1000, "/DeviceRGB", "\x10\x20\x30"); }, Outcome::Opens, 1, "Hello", false},
    {"image with an unknown colour space", [] { return ImagePage(4, 4, "/NoSuchSpace", std::string(16, '\x40')); },
     Outcome::Opens, 1, "Hello", false},
    // Fonts and CMaps.
    {"font with a huge glyph count",
     [] {
         std::string ttf(
             "\x00\x01\x00\x00\x00\x01\x00\x10\x00\x00\x00\x00maxp\x00\x00\x00\x00\x00\x00\x00\x1c\x00\x00\x00\x06"
             "\x00\x00\x50\x00\xff\xff",
             34);
         return PageWith(
             "BT /F2 12 Tf 50 500 Td <0041> Tj ET " + std::string(kHello),
             [&](PdfBuilder& b) {
                 b.Add(7, "<< /Type /Font /Subtype /TrueType /BaseFont /X /FirstChar 0 /LastChar 65535 /FontDescriptor "
                          "8 0 R >>");
                 b.Add(8, "<< /Type /FontDescriptor /FontName /X /Flags 32 /FontFile2 9 0 R >>");
                 b.AddStream(9, ttf);
             },
             "/Font << /F1 5 0 R /F2 7 0 R >>");
     },
     Outcome::Opens, 1, "Hello", false},
    {"font program that is garbage",
     [] {
         return PageWith(
             std::string(kHello) + " BT /F2 12 Tf (x) Tj ET",
             [](PdfBuilder& b) {
                 b.Add(7, "<< /Type /Font /Subtype /Type1 /BaseFont /X /FontDescriptor 8 0 R >>");
                 b.Add(8, "<< /Type /FontDescriptor /FontName /X /Flags 32 /FontFile 9 0 R >>");
                 b.AddStream(9, std::string(3000, '\xAB'), "/Length1 999999 /Length2 5");
             },
             "/Font << /F1 5 0 R /F2 7 0 R >>");
     },
     Outcome::Opens, 1, "Hello", false},
    {"CMap with overlapping ranges",
     [] {
         return Type0Page("BT /F2 12 Tf 50 500 Td <00410042> Tj ET " + std::string(kHello),
                          "begincmap 2 begincodespacerange <00> <FF> <0000> <FFFF> endcodespacerange "
                          "3 begincidrange <0000> <FFFF> 1 <0040> <0050> 7 <0000> <00FF> 3 endcidrange endcmap",
                          "begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange "
                          "2 beginbfrange <0000> <FFFF> <0041> <0040> <0042> <0061> endbfrange endcmap");
     },
     Outcome::Opens, 1, "Hello", false},
    {"ToUnicode mapping to lone surrogates",
     [] {
         return Type0Page("BT /F2 12 Tf 50 500 Td <0001> Tj ET " + std::string(kHello), "/Identity-H usecmap",
                          "begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange "
                          "1 beginbfchar <0001> <D800DFFFDC00> endbfchar endcmap");
     },
     Outcome::Opens, 1, "Hello", false},
    // Encryption.
    {"encrypted file with a damaged /O", [] { return Replace(EncryptedFile(), "/O <7a7729", "/O <7a7728"); },
     Outcome::Refused, 0, nullptr, false},
    {"encrypted file with a cut /U",
     [] {
         return Replace(EncryptedFile(), "/U <988d0bb009fa1885e82135e3bc6618fabbc4a08e7edea3122aa11c1890e59329>",
                        "/U <988d>");
     },
     Outcome::Refused, 0, nullptr, false},
    {"encrypted file with an unknown security handler",
     [] { return Replace(EncryptedFile(), "/Filter /Standard", "/Filter /NoSuch__"); }, Outcome::Refused, 0, nullptr,
     false},
};

std::string Utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST(BrokenFiles, EachHasItsExpectedOutcome)
{
    for (const BrokenFile& c : kBrokenFiles) {
        SCOPED_TRACE(c.label);
        const std::string file = c.make();
        std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(file), ExtractOptions()));
        if (c.outcome == Outcome::Refused) {
            EXPECT_FALSE(doc);
            continue;
        }
        if (!doc) {
            ADD_FAILURE() << "refused";
            continue;
        }
        EXPECT_EQ(c.pages, doc->GetPageCount());
        PageModel model;
        std::string text;
        for (int n = 1; n <= doc->GetPageCount() && n <= 3; ++n) {
            if (!doc->ExtractPageModel(n, &model))
                continue;
            for (const auto& region : model.regions)
                for (const auto& line : region)
                    for (const auto& run : line.runs)
                        text += Utf8(run.text);
            stPdfPage* page = nullptr;
            if (doc->LoadPage(n, &page))
                doc->FreePage(page);
        }
        if (c.text) {
            EXPECT_NE(std::string::npos, text.find(c.text)) << "text: " << text.substr(0, 200);
        }
        const MemoryBudget& budget = doc->Doc().Budget();
        EXPECT_LE(budget.Peak(), kDocumentMemoryBudget);
        EXPECT_EQ(c.overBudget, budget.Refusals() > 0) << "peak " << budget.Peak();
    }
}

}  // namespace
}  // namespace halvane
