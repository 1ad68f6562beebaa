// The parts of the core below the contract: zip writer limits, the compressor, spools,
// font-name mapping.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/deflater.h"
#include "core/document.h"
#include "core/font_names.h"
#include "core/spool.h"
#include "core/zip_writer.h"
#include "package_checks.h"
#include "package_reader.h"
#include "test_paths.h"
#include "writer_calls.h"

namespace strome {
namespace {

TEST(ZipWriter, EntriesReadBackStoredAndDeflated)
{
    StringSink out;
    ZipWriter zip(out);
    MemorySpool spool;
    const std::string raw = "stored bytes";
    ASSERT_TRUE(spool.Write(raw.data(), raw.size()));
    std::string big(200000, 'a');
    for (size_t i = 0; i < big.size(); i += 7)
        big[i] = char('a' + i % 26);
    ASSERT_TRUE(zip.AddDeflated("a/big.xml", big));
    ASSERT_TRUE(zip.AddDeflated("empty.xml", ""));
    ASSERT_TRUE(
        zip.AddFromSpool("s.bin", ZipMethod::kStored, Crc32(raw.data(), raw.size()), raw.size(), spool, 0, raw.size()));
    ASSERT_TRUE(zip.Finish());
    Package p = ReadPackageBytes(out.bytes);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.names, (std::vector<std::string>{"a/big.xml", "empty.xml", "s.bin"}));
    EXPECT_EQ(p.Part("a/big.xml"), big);
    EXPECT_EQ(p.Part("empty.xml"), "");
    EXPECT_EQ(p.Part("s.bin"), raw);
    EXPECT_LT(out.bytes.size(), big.size() / 4);
}

TEST(ZipWriter, RefusesAnArchivePastItsSizeLimit)
{
    // The limit stands for the 4 GiB of a zip without zip64; tests lower it.
    for (uint64_t limit : {uint64_t(10), uint64_t(60), uint64_t(100)}) {
        StringSink out;
        ZipWriter zip(out, limit);
        bool added = zip.AddDeflated("part.xml", std::string(100, 'x'));
        bool finished = added && zip.Finish();
        EXPECT_FALSE(finished) << limit;
        EXPECT_FALSE(zip.ok());
        EXPECT_LE(out.bytes.size(), limit);
    }
}

TEST(ZipWriter, RefusesEntriesAfterAFailedSink)
{
    struct FailingSink : ByteSink {
        bool Write(const void*, size_t) override { return false; }
    } sink;
    ZipWriter zip(sink);
    EXPECT_FALSE(zip.AddDeflated("a.xml", "x"));
    EXPECT_FALSE(zip.AddDeflated("b.xml", "y"));
    EXPECT_FALSE(zip.Finish());
}

TEST(Deflater, StreamsInChunksWithTheCrcOfTheWhole)
{
    StringSink out;
    Deflater d(out);
    std::string all;
    for (int i = 0; i < 5000; ++i) {
        std::string piece = "<w:p><w:r><w:t>line " + std::to_string(i) + "</w:t></w:r></w:p>";
        all += piece;
        ASSERT_TRUE(d.Write(piece.data(), piece.size()));
    }
    ASSERT_TRUE(d.Finish());
    EXPECT_EQ(d.rawSize(), all.size());
    EXPECT_EQ(d.crc(), Crc32(all.data(), all.size()));
    EXPECT_EQ(d.compressedSize(), out.bytes.size());
    StringSink zipped;
    ZipWriter zip(zipped);
    MemorySpool spool;
    spool.Write(out.bytes.data(), out.bytes.size());
    ASSERT_TRUE(zip.AddFromSpool("d.xml", ZipMethod::kDeflated, d.crc(), d.rawSize(), spool, 0, spool.Size()));
    ASSERT_TRUE(zip.Finish());
    EXPECT_EQ(ReadPackageBytes(zipped.bytes).Part("d.xml"), all);
}

TEST(Spool, ReadsBackOnlyWhatWasWritten)
{
    std::unique_ptr<Spool> spools[] = {MakeSpool(), std::unique_ptr<Spool>(new MemorySpool)};
    for (auto& spool : spools) {
        ASSERT_TRUE(spool->Write("abcdef", 6));
        char buffer[8] = {};
        ASSERT_TRUE(spool->ReadAt(2, buffer, 3));
        EXPECT_EQ(std::string(buffer, 3), "cde");
        ASSERT_TRUE(spool->Write("gh", 2));  // writing after reading appends
        EXPECT_EQ(spool->Size(), 8u);
        ASSERT_TRUE(spool->ReadAt(5, buffer, 3));
        EXPECT_EQ(std::string(buffer, 3), "fgh");
        EXPECT_FALSE(spool->ReadAt(6, buffer, 3));
        EXPECT_FALSE(spool->ReadAt(~uint64_t(0), buffer, 1));
    }
}

struct FontCase {
    const char* pdfName;
    const char* family;
    bool latinOnly, bold, italic;
};

TEST(FontNames, PdfNamesMapToFamiliesWordKnows)
{
    const FontCase cases[] = {
        {"TimesNewRomanPSMT", "Times New Roman", true, false, false},
        {"ABCDEF+TimesNewRomanPS-BoldItalicMT", "Times New Roman", true, true, true},
        {"Times-Roman", "Times New Roman", true, false, false},
        {"Helvetica-Oblique", "Arial", true, false, true},
        {"Arial-BoldMT", "Arial", true, true, false},
        {"Courier", "Courier New", true, false, false},
        {"SimSun", "SimSun", false, false, false},
        {"SimSun,Bold", "SimSun", false, true, false},
        {"STSong-Light", "SimSun", false, false, false},
        {"KaiTi_GB2312", "KaiTi", false, false, false},
        {"MicrosoftYaHei-Bold", "Microsoft YaHei", false, true, false},
        {"\xBA\xDA\xCC\xE5", "SimHei", false, false, false},
        {"\xE5\xAE\x8B\xE4\xBD\x93", "\xE5\xAE\x8B\xE4\xBD\x93", false, false, false},  // UTF-8 name kept
        {"FZShuSong-Z01", "FZShuSong-Z01", false, false, false},  // unknown: the name as it is
        {"AbCdEf+Calibri", "AbCdEf+Calibri", false, false, false},  // not a subset prefix
        {"\xC0\xC1\xFE", "", false, false, false},
        {"", "", false, false, false},
    };
    for (const FontCase& c : cases) {
        FontChoice f = MapPdfFontName(c.pdfName, 260);
        EXPECT_EQ(f.family, c.family) << c.pdfName;
        EXPECT_EQ(f.latinOnly, c.latinOnly) << c.pdfName;
        EXPECT_EQ(f.bold, c.bold) << c.pdfName;
        EXPECT_EQ(f.italic, c.italic) << c.pdfName;
    }
    char unterminated[4] = {'A', 'r', 'i', 'a'};
    EXPECT_EQ(MapPdfFontName(unterminated, sizeof unterminated).family, "Aria");
}

TEST(Document, SaveBeyondTheSizeLimitWritesNoFile)
{
    std::string folder = TestScratchFolder("size_limit");
    QString path = QFromUtf8(folder + "big.docx");
    std::unique_ptr<Document> doc = Document::Create(std::u16string(path.begin(), path.end()));
    ASSERT_NE(doc, nullptr);
    int para = doc->BeginParagraph(ParagraphFormat());
    std::u16string text(5000, u'x');
    doc->AddText(para, text.data(), text.size(), RunFormat());
    doc->SetSizeLimitForTesting(1500);
    EXPECT_FALSE(doc->Save());
    EXPECT_TRUE(FolderEntries(folder).empty());
    doc->SetSizeLimitForTesting(0xFFFFFFFFu);
    EXPECT_TRUE(doc->Save());
    EXPECT_TRUE(ReadPackageFile(folder + "big.docx").ok);
}

// The model's formats straight from a caller that skips the contract's checks (a fuzzer):
// lengths at the ends of their type give a sound package, never an overflow, and a section
// no layout can use is refused.
TEST(Document, ExtremeValuesOfTheModelGiveASoundPackage)
{
    const int64_t huge = std::numeric_limits<int64_t>::max(), tiny = std::numeric_limits<int64_t>::min();
    std::string folder = TestScratchFolder("extreme_values");
    QString path = QFromUtf8(folder + "extreme.docx");
    std::unique_ptr<Document> doc = Document::Create(std::u16string(path.begin(), path.end()));
    ASSERT_NE(doc, nullptr);

    SectionFormat section;
    for (int64_t v : {huge, tiny, int64_t(0)}) {
        SectionFormat bad = section;
        bad.page.widthTwips = v;
        EXPECT_FALSE(doc->BeginSection(bad)) << v;
        bad = section;
        bad.page.leftTwips = v == 0 ? section.page.widthTwips : v;
        EXPECT_FALSE(doc->BeginSection(bad)) << v;
        bad = section;
        bad.columns = int(v);
        EXPECT_FALSE(doc->BeginSection(bad)) << v;
    }
    SectionFormat uneven = section;
    uneven.columns = 2;
    uneven.columnWidthsTwips = {1000};  // one width for two columns
    uneven.columnGapsTwips = {0, 0};
    EXPECT_FALSE(doc->BeginSection(uneven));
    EXPECT_TRUE(doc->BeginSection(section));

    ParagraphFormat f;
    f.measuredBetweenGlyphBoxes = false;
    f.leftTwips = tiny;
    f.rightTwips = huge;
    f.firstLineTwips = tiny;
    f.spaceBeforeTwips = huge;
    f.spaceAfterTwips = tiny;
    f.line = huge;
    f.lineRule = LineRule::kExact;
    f.headingLevel = 1000;
    f.tabs.assign(100, TabStop{huge, TabKind::kRight, TabLeader::kDot});
    int para = doc->BeginParagraph(f);
    ASSERT_NE(para, 0);
    RunFormat r;
    r.halfPoints = std::numeric_limits<int>::max();
    r.charSpacingTwips = std::numeric_limits<int>::min();
    r.scalePercent = std::numeric_limits<int>::max();
    r.rgb = std::numeric_limits<int32_t>::max();
    const std::u16string text = u"x\ty";
    EXPECT_TRUE(doc->AddText(para, text.data(), text.size(), r));
    const std::string png = ReadWholeFile(TestSourcePath("strome/tests/data/red_blue.png"));
    const int picture = doc->AddPictureData(png.data(), png.size());
    EXPECT_TRUE(doc->AddPicture(para, picture, huge, huge));
    PicturePlacement at;
    at.anchored = true;
    at.xTwips = tiny;
    at.yTwips = huge;
    at.distanceTwips = huge;
    EXPECT_TRUE(doc->AddPlacedPicture(para, picture, huge, 1, at));
    at.crop[0] = std::numeric_limits<int32_t>::max();
    EXPECT_FALSE(doc->AddPlacedPicture(para, picture, 1, 1, at));

    TableFormat table;
    table.indentTwips = huge;
    table.hasCellMargins = true;
    table.cellMarginTwips[1] = huge;
    table.borders[0].style = BorderStyle::kSingle;
    table.borders[0].eighthPoints = std::numeric_limits<int>::max();
    EXPECT_TRUE(doc->BeginTable(table, {huge, tiny}));
    RowFormat row;
    row.heightTwips = huge;
    row.heightRule = HeightRule::kExact;
    EXPECT_TRUE(doc->BeginRow(row));
    CellFormat cell;
    cell.gridSpan = std::numeric_limits<int>::min();
    cell.hasMargins = true;
    cell.marginTwips[3] = tiny;
    EXPECT_TRUE(doc->BeginCell(cell));
    cell.gridSpan = std::numeric_limits<int>::max();
    EXPECT_FALSE(doc->BeginCell(cell));
    EXPECT_FALSE(doc->BeginFootnote(std::numeric_limits<int>::max()));
    EXPECT_TRUE(doc->Save());
    Package p = ReadPackageFile(folder + "extreme.docx");
    ASSERT_TRUE(p.ok) << p.error;
    ExpectSoundPackage(p);
    EXPECT_EQ(p.Part("word/document.xml").find("-9223372036854775808"), std::string::npos);
    EXPECT_EQ(p.Part("word/document.xml").find("9223372036854775807"), std::string::npos);
}

}  // namespace
}  // namespace strome
