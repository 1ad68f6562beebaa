// The writer driven through its contract as the Word layout drives it, checked on the
// package it saves. Runs natively against the static library and under Wine against strome.dll.
#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "package_checks.h"
#include "package_reader.h"
#include "test_paths.h"
#include "writer_calls.h"

namespace {

struct Saved {
    Package package;
    std::string document;  // word/document.xml
    std::string body;  // its body without the section properties
};

class DocxContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TestScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        Docx_Init();
    }
    void TearDown() override { Docx_Fini(); }

    qrn_IDocx* NewDocument(const std::string& name = "out.docx")
    {
        path_ = folder_ + name;
        qrn_IDocx* doc = CreateDocument(path_);
        EXPECT_NE(doc, nullptr);
        return doc;
    }

    // Saves, deletes and reads the package back, checking it is sound.
    Saved SaveAndRead(qrn_IDocx* doc)
    {
        Saved s;
        EXPECT_NE(SaveAndDelete(doc), 0);
        s.package = ReadPackageFile(path_);
        EXPECT_TRUE(s.package.ok) << s.package.error;
        s.document = s.package.Part("word/document.xml");
        s.body = BodyOf(s.document);
        ExpectSoundPackage(s.package);
        return s;
    }

    // Every part is well-formed XML, has a content type, and every relationship target exists.
    static void ExpectSoundPackage(const Package& p) { ::ExpectSoundPackage(p); }

    std::string folder_;
    std::string path_;
};

std::string TestImage(const char* name)
{
    return ReadWholeFile(TestSourcePath(std::string("strome/tests/data/") + name));
}

// The paragraph records of the Word layout, in the package's twips (see units.h).
struct ParagraphCase {
    int left, firstLine, before;
    const char* alignment;
    const char* expectedProperties;  // the w:pPr element, or "" for none
};

TEST_F(DocxContract, ParagraphRecordsBecomeIndentSpacingAndAlignment)
{
    const ParagraphCase cases[] = {
        {0, 0, 0, nullptr, ""},
        {780, 0, 0, "left", "<w:pPr><w:ind w:left=\"600\"/><w:jc w:val=\"left\"/></w:pPr>"},  // 30 points
        {0, 230, 0, nullptr, "<w:pPr><w:ind w:firstLine=\"200\"/></w:pPr>"},  // 10 points
        {0, 0, 360, nullptr, "<w:pPr><w:spacing w:before=\"600\"/></w:pPr>"},  // 30 points
        {13, 23, 12, nullptr, "<w:pPr><w:spacing w:before=\"20\"/><w:ind w:left=\"10\" w:firstLine=\"20\"/></w:pPr>"},
        {-50, -46, -12, "bogus", "<w:pPr><w:ind w:hanging=\"40\"/></w:pPr>"},
        {2000000000, 0, 2000000000, nullptr,  // far beyond a page: Word's 22-inch limit, 2 inches of line
         "<w:pPr><w:spacing w:before=\"31680\"/><w:ind w:left=\"8306\"/></w:pPr>"},
        // Indents past the text area (11186 twips wide) leave 2 inches (2880 twips) of line:
        // text 669 points from the left of a 960-point slide, 400 + 100 points, 500 points.
        {669 * 26, 0, 0, nullptr, "<w:pPr><w:ind w:left=\"8306\"/></w:pPr>"},
        {400 * 26, 100 * 23, 0, nullptr, "<w:pPr><w:ind w:left=\"8000\" w:firstLine=\"306\"/></w:pPr>"},
        {0, 500 * 23, 0, nullptr, "<w:pPr><w:ind w:firstLine=\"8306\"/></w:pPr>"},
    };
    for (const ParagraphCase& c : cases) {
        qrn_IDocx* doc = NewDocument();
        qrn_IDocxPara* para = AddLayoutParagraph(doc, c.left, c.firstLine, c.before, c.alignment);
        ASSERT_NE(para, nullptr);
        AddRun(para, QT("x"));
        para->Release();
        Saved s = SaveAndRead(doc);
        EXPECT_EQ(s.body.substr(0, s.body.find("<w:r>")), std::string("<w:p>") + c.expectedProperties)
            << c.left << " " << c.firstLine << " " << c.before;
    }
}

TEST_F(DocxContract, LayoutBlockWithBreakAndIndentRuns)
{
    // A block whose second line starts 150 units right of the page edge: a break, then
    // 18 runs of two spaces at size 12, as the Word layout writes it.
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 360, "left");
    ASSERT_NE(para, nullptr);
    EXPECT_NE(AddRun(para, QT("First line"), "TimesNewRomanPSMT", 21), 0);
    EXPECT_NE(para->AddBreak(), 0);
    for (int i = 0; i < 18; ++i)
        AddRun(para, QT("  "), "", 12);
    AddRun(para, QT("Indented"), "TimesNewRomanPSMT", 21);
    para->Release();
    EXPECT_EQ(doc->GetParagraphCount(), 1);
    Saved s = SaveAndRead(doc);
    const std::string font =
        "<w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" w:cs=\"Times New Roman\"/>";
    // 30 points of gap less the 0.15 em of the 10.5-point first line that Word's line box fills.
    EXPECT_EQ(s.body, "<w:p><w:pPr><w:spacing w:before=\"568\"/><w:jc w:val=\"left\"/></w:pPr>"
                      "<w:r><w:rPr>" +
                          font +
                          "<w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/></w:rPr><w:t>First line</w:t></w:r>"
                          "<w:r><w:br/></w:r>"
                          "<w:r><w:rPr><w:sz w:val=\"12\"/><w:szCs w:val=\"12\"/></w:rPr><w:t xml:space=\"preserve\">" +
                          std::string(36, ' ') +
                          "</w:t></w:r>"
                          "<w:r><w:rPr>" +
                          font +
                          "<w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/></w:rPr><w:t>Indented</w:t></w:r>"
                          "</w:p>");
}

TEST_F(DocxContract, TheSpaceBeforeAParagraphLeavesOutWhatItsFirstLineBoxFills)
{
    // The gap between glyph boxes of one em; Word's line is about 1.15 em tall at single spacing.
    struct Case {
        int before, firstRunSize;  // layout units: 1/12 point and half-points
        const char* expectedProperties;
    } cases[] = {
        {360, 40, "<w:pPr><w:spacing w:before=\"540\"/></w:pPr>"},  // 30 pt less 3 pt of a 20 pt line
        {12, 40, ""},  // a gap smaller than that: none
        {360, 0, "<w:pPr><w:spacing w:before=\"600\"/></w:pPr>"},  // no size given: the whole gap
    };
    for (const Case& c : cases) {
        qrn_IDocx* doc = NewDocument();
        qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, c.before, nullptr);
        ASSERT_NE(para, nullptr);
        AddRun(para, QT("x"), "", c.firstRunSize);
        para->Release();
        Saved s = SaveAndRead(doc);
        EXPECT_EQ(s.body.substr(0, s.body.find("<w:r>")), std::string("<w:p>") + c.expectedProperties)
            << c.before << " " << c.firstRunSize;
    }
}

// Text in, the run's content in document.xml out.
struct TextCase {
    const char16_t* text;
    size_t length;
    const char* expected;
};

TEST_F(DocxContract, TextIsEscapedFilteredAndKeepsSpaces)
{
    static const char16_t kNul[] = {u'a', 0, u'b'};
    static const char16_t kLoneHigh[] = {u'a', 0xD834, u'b'};
    static const char16_t kLoneLowAtEnd[] = {u'a', 0xDD1E};
    static const char16_t kHighAtEnd[] = {u'a', 0xD834};
    const TextCase cases[] = {
        {u"a<b&c>d\"e'f", 11, "<w:t>a&lt;b&amp;c&gt;d\"e'f</w:t>"},
        {u"x\x01\x08\x0B\x0C\x1Fy\xFFFE\xFFFFz", 10, "<w:t>xyz</w:t>"},
        {kNul, 3, "<w:t>ab</w:t>"},
        {u"clef \U0001D11E!", 8, "<w:t>clef \xF0\x9D\x84\x9E!</w:t>"},
        {kLoneHigh, 3, "<w:t>ab</w:t>"},
        {kLoneLowAtEnd, 2, "<w:t>a</w:t>"},
        {kHighAtEnd, 2, "<w:t>a</w:t>"},
        {u" lead", 5, "<w:t xml:space=\"preserve\"> lead</w:t>"},
        {u"trail ", 6, "<w:t xml:space=\"preserve\">trail </w:t>"},
        {u"a  b", 4, "<w:t xml:space=\"preserve\">a  b</w:t>"},
        {u"a b", 3, "<w:t>a b</w:t>"},
        {u"a\tb", 3, "<w:t>a</w:t><w:tab/><w:t>b</w:t>"},
        {u"a\r\nb\nc\rd", 8, "<w:t>a</w:t><w:br/><w:t>b</w:t><w:br/><w:t>c</w:t><w:br/><w:t>d</w:t>"},
        {u"\x2028\xE000\xFFFD", 3, "<w:t>\xE2\x80\xA8\xEE\x80\x80\xEF\xBF\xBD</w:t>"},
        {u"]]>", 3, "<w:t>]]&gt;</w:t>"},
    };
    for (const TextCase& c : cases) {
        qrn_IDocx* doc = NewDocument();
        qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
        QString text(c.text, c.text + c.length);
        stRunProps props = RunProps("", 0);
        EXPECT_NE(para->AddText(text.data(), int(text.size()), &props), 0);
        para->Release();
        Saved s = SaveAndRead(doc);
        EXPECT_EQ(s.body, std::string("<w:p><w:r>") + c.expected + "</w:r></w:p>") << c.expected;
    }
}

TEST_F(DocxContract, TextThatIsAllDroppedLeavesAnEmptyRunOut)
{
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(para, QT("\x01\x02"));
    EXPECT_NE(AddRun(para, QString()), 0);  // a zero-length run is accepted and writes nothing
    para->Release();
    Saved s = SaveAndRead(doc);
    EXPECT_EQ(s.body, "<w:p></w:p>");
}

struct RunCase {
    const char* font;
    int size;
    int color;
    const char16_t* text;
    const char* expectedProperties;
};

TEST_F(DocxContract, RunPropertiesCarryFontSizeAndColour)
{
    const RunCase cases[] = {
        {"ABCDEF+TimesNewRomanPS-BoldMT", 21, 0, u"Bold",
         "<w:rPr><w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" w:cs=\"Times New Roman\"/>"
         "<w:b/><w:bCs/><w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/></w:rPr>"},
        {"SimSun", 24, 0, u"\x4E2D\x6587",
         "<w:rPr><w:rFonts w:ascii=\"SimSun\" w:hAnsi=\"SimSun\" w:eastAsia=\"SimSun\" w:cs=\"SimSun\" "
         "w:hint=\"eastAsia\"/>"
         "<w:sz w:val=\"24\"/><w:szCs w:val=\"24\"/></w:rPr>"},
        // Chinese without a font name: the East Asian default of the styles.
        {"", 0, 0, u"\x4E2D", "<w:rPr><w:rFonts w:hint=\"eastAsia\"/></w:rPr>"},
        // Chinese in a Latin-only font: the East Asian slot keeps the default.
        {"Arial,Italic", 20, 0, u"\x4E2D",
         "<w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\" w:hint=\"eastAsia\"/>"
         "<w:i/><w:iCs/><w:sz w:val=\"20\"/><w:szCs w:val=\"20\"/></w:rPr>"},
        {"\xCB\xCE\xCC\xE5", 0, 0, u"x",  // GBK bytes of the Chinese name of SimSun
         "<w:rPr><w:rFonts w:ascii=\"SimSun\" w:hAnsi=\"SimSun\" w:eastAsia=\"SimSun\" w:cs=\"SimSun\"/></w:rPr>"},
        {"Bad\xFF\"<&", 0, 0, u"x", ""},  // bytes that name no font: default font
        {"Odd\"<&Name", 0, 0, u"x",
         "<w:rPr><w:rFonts w:ascii=\"Odd&quot;&lt;&amp;Name\" w:hAnsi=\"Odd&quot;&lt;&amp;Name\" "
         "w:eastAsia=\"Odd&quot;&lt;&amp;Name\" w:cs=\"Odd&quot;&lt;&amp;Name\"/></w:rPr>"},
        {"", 100000, 0x0000FF, u"x",
         "<w:rPr><w:color w:val=\"FF0000\"/><w:sz w:val=\"3276\"/><w:szCs w:val=\"3276\"/></w:rPr>"},
        {"", -5, 0x123456, u"x", "<w:rPr><w:color w:val=\"563412\"/></w:rPr>"},
    };
    for (const RunCase& c : cases) {
        qrn_IDocx* doc = NewDocument();
        qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
        stRunProps props = RunProps(c.font, c.size, c.color);
        std::u16string utf16(c.text);
        QString text(utf16.begin(), utf16.end());
        EXPECT_NE(para->AddText(text.data(), int(text.size()), &props), 0);
        para->Release();
        Saved s = SaveAndRead(doc);
        size_t begin = s.body.find("<w:r>") + 5;
        EXPECT_EQ(s.body.substr(begin, s.body.find("<w:t>") - begin), c.expectedProperties) << c.font;
    }
}

TEST_F(DocxContract, AdjacentTextOfOneFormatIsOneRun)
{
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(para, QT("The "), "Arial", 20);
    AddRun(para, QT("quick"), "Arial", 20);
    AddRun(para, QT(" fox"), "Arial", 24);
    para->Release();
    Saved s = SaveAndRead(doc);
    EXPECT_NE(s.body.find("<w:t>The quick</w:t>"), std::string::npos);
    EXPECT_NE(s.body.find("<w:t xml:space=\"preserve\"> fox</w:t>"), std::string::npos);
    EXPECT_EQ(CountOf(s.body, "<w:r>"), 2u);
}

TEST_F(DocxContract, PicturesAreStoredOnceAndPlacedAtTheirSize)
{
    const std::string png = TestImage("red_blue.png");
    const std::string jpeg = TestImage("plasma.jpg");
    ASSERT_FALSE(png.empty());
    ASSERT_FALSE(jpeg.empty());
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(para, QT("before"));
    EXPECT_EQ(PlacePicture(doc, para, png, 500, 600), 1);
    EXPECT_EQ(PlacePicture(doc, para, jpeg, 48, 24), 1);
    EXPECT_EQ(PlacePicture(doc, para, png, 10, 5), 1);  // same bytes: the same media part
    AddRun(para, QT("after"));
    para->Release();
    Saved s = SaveAndRead(doc);
    const Package& p = s.package;
    ASSERT_TRUE(p.Has("word/media/image1.png"));
    ASSERT_TRUE(p.Has("word/media/image2.jpeg"));
    EXPECT_EQ(p.Part("word/media/image1.png"), png);  // JPEG stays JPEG bytes, PNG stays PNG
    EXPECT_EQ(p.Part("word/media/image2.jpeg"), jpeg);
    EXPECT_EQ(p.entries.at("word/media/image2.jpeg").method, 0);
    EXPECT_EQ(p.names.size(), 10u);
    const std::string& types = p.Part("[Content_Types].xml");
    EXPECT_NE(types.find("Extension=\"png\" ContentType=\"image/png\""), std::string::npos);
    EXPECT_NE(types.find("Extension=\"jpeg\" ContentType=\"image/jpeg\""), std::string::npos);
    EXPECT_NE(s.body.find("<wp:extent cx=\"6350000\" cy=\"7620000\"/>"), std::string::npos);  // 500 x 600 points
    EXPECT_NE(s.body.find("<wp:extent cx=\"127000\" cy=\"63500\"/>"), std::string::npos);
    EXPECT_EQ(CountOf(s.body, "<w:drawing>"), 3u);
    for (int id = 1; id <= 3; ++id)
        EXPECT_EQ(CountOf(s.body, "<wp:docPr id=\"" + std::to_string(id) + "\""), 1u);
    EXPECT_LT(s.body.find("before"), s.body.find("<w:drawing>"));
    EXPECT_GT(s.body.find("after"), s.body.rfind("</w:drawing>"));
}

TEST_F(DocxContract, PicturesLargerThanTheTextAreaShrinkToFitKeepingTheirShape)
{
    // The text area of the page: A4 less 0.25-inch margins, 11186 x 16118 twips, that is
    // 7103110 x 10234930 EMU (12700 EMU to the point).
    struct Case {
        int width, height;  // as the layout hands them over, in points
        int64_t cx, cy;  // shown size in EMU
    } cases[] = {
        {559, 805, 7099300, 10223500},  // fits: as asked
        {595, 842, 7103110, 10051796},  // an A4 scan: the width decides (x 0.940)
        {1190, 100, 7103110, 596900},  // wide: the width decides
        {100, 3370, 303707, 10234930},  // tall: the height decides
        {30000, 1, 7103110, 236},  // a hairline stays a hairline, never 0
    };
    const std::string png = TestImage("red_blue.png");
    for (const Case& c : cases) {
        qrn_IDocx* doc = NewDocument();
        qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
        EXPECT_EQ(PlacePicture(doc, para, png, c.width, c.height), 1);
        para->Release();
        Saved s = SaveAndRead(doc);
        const std::string extent =
            "<wp:extent cx=\"" + std::to_string(c.cx) + "\" cy=\"" + std::to_string(c.cy) + "\"/>";
        EXPECT_NE(s.body.find(extent), std::string::npos) << c.width << "x" << c.height << ": " << s.body;
    }
}

TEST_F(DocxContract, BytesThatAreNoPictureGiveAUsableObjectAndNoPicture)
{
    const std::string junk = "GIF89a not supported, nor is this";
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(para, QT("text"));
    EXPECT_EQ(PlacePicture(doc, para, junk, 100, 100), 0);
    EXPECT_EQ(PlacePicture(doc, para, std::string(), 100, 100), 0);
    EXPECT_EQ(PlacePicture(doc, para, TestImage("red_blue.png"), 0, 100), 0);  // no size: left out
    qrn_IDocxPic* pic = doc->AddPicture(nullptr, 100, 1, 1);
    ASSERT_NE(pic, nullptr);
    DOCX_OBJECT object = pic->CreateObject(0, 0);
    EXPECT_EQ(para->AddObject(const_cast<std::string*>(&junk)), 0);  // not an object of this document
    EXPECT_EQ(pic->FreeObject(object), 1);
    EXPECT_EQ(pic->FreeObject(object), 0);  // freed twice: refused, not a crash
    pic->Release();
    para->Release();
    Saved s = SaveAndRead(doc);
    EXPECT_EQ(CountOf(s.body, "<w:drawing>"), 0u);
    EXPECT_NE(s.body.find("text"), std::string::npos);
    for (const std::string& name : s.package.names)
        EXPECT_EQ(name.find("media/"), std::string::npos) << name;
}

TEST_F(DocxContract, PageBreaksStartTheNextContentOnANewPageAndKeepBlankPages)
{
    // Page 1 text, page 2 blank, page 3 text, page 4 blank (the last page has no break after it).
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(para, QT("one"));
    para->Release();
    EXPECT_NE(doc->AddPageBreak(), 0);
    EXPECT_NE(doc->AddPageBreak(), 0);
    para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    AddRun(para, QT("three"));
    para->Release();
    doc->AddPageBreak();
    Saved s = SaveAndRead(doc);
    EXPECT_EQ(s.body, "<w:p><w:r><w:t>one</w:t></w:r></w:p>"
                      "<w:p><w:pPr><w:pageBreakBefore/></w:pPr></w:p>"
                      "<w:p><w:pPr><w:pageBreakBefore/></w:pPr><w:r><w:t>three</w:t></w:r></w:p>"
                      "<w:p><w:pPr><w:pageBreakBefore/></w:pPr></w:p>");
    EXPECT_NE(s.document.find("<w:pgSz w:w=\"11906\" w:h=\"16838\"/>"), std::string::npos);
}

TEST_F(DocxContract, BlankPagesAtTheStartStillMakePages)
{
    // A page break before any content: the document's first page is blank, and a page break
    // before the first paragraph of a document makes no page, so the blank page is a paragraph
    // of its own.
    struct Case {
        int blankPages;  // blank pages before the text ("three blank pages" when 3 and no text)
        bool text;
        const char* body;
    } cases[] = {
        {1, true,
         "<w:p/>"
         "<w:p><w:pPr><w:pageBreakBefore/></w:pPr><w:r><w:t>two</w:t></w:r></w:p>"},
        {2, true,
         "<w:p/>"
         "<w:p><w:pPr><w:pageBreakBefore/></w:pPr></w:p>"
         "<w:p><w:pPr><w:pageBreakBefore/></w:pPr><w:r><w:t>two</w:t></w:r></w:p>"},
        {3, false,  // three pages without content: breaks after pages 1 and 2
         "<w:p/>"
         "<w:p><w:pPr><w:pageBreakBefore/></w:pPr></w:p>"
         "<w:p><w:pPr><w:pageBreakBefore/></w:pPr></w:p>"},
    };
    for (const Case& c : cases) {
        qrn_IDocx* doc = NewDocument();
        for (int i = 0; i < (c.text ? c.blankPages : c.blankPages - 1); ++i)
            doc->AddPageBreak();
        if (c.text) {
            qrn_IDocxPara* para = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
            AddRun(para, QT("two"));
            para->Release();
        }
        Saved s = SaveAndRead(doc);
        EXPECT_EQ(s.body, c.body) << c.blankPages;
    }
}

TEST_F(DocxContract, ParagraphLifecycle)
{
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* first = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    EXPECT_NE(first->SetIndent(nullptr), 0);  // before any content the format may change
    stParaIndent indent = {26, 0, 0};
    EXPECT_NE(first->SetIndent(&indent), 0);
    stParaSpacing spacing;
    std::memset(&spacing, 0, sizeof spacing);
    spacing.nBefore = 24;
    EXPECT_NE(first->SetSpacing(&spacing), 0);
    AddRun(first, QT("first"));
    EXPECT_EQ(first->SetIndent(&indent), 0);  // too late: content has begun
    EXPECT_EQ(first->AddRef(), 2);
    EXPECT_EQ(first->Release(), 1);  // still referenced: still open
    EXPECT_NE(AddRun(first, QT(" more")), 0);
    // A new paragraph completes the open one; the old object then refuses content.
    qrn_IDocxPara* second = AddLayoutParagraph(doc, 0, 0, 0, nullptr);
    EXPECT_EQ(AddRun(first, QT("lost")), 0);
    EXPECT_EQ(first->AddBreak(), 0);
    AddRun(second, QT("second"));
    first->Release();
    second->Release();
    AddLayoutParagraph(doc, 0, 0, 0, nullptr);  // never released: Save completes it, Delete frees it
    EXPECT_EQ(doc->GetParagraphCount(), 3);
    Saved s = SaveAndRead(doc);
    EXPECT_EQ(s.body, "<w:p><w:pPr><w:spacing w:before=\"40\"/><w:ind w:left=\"20\"/></w:pPr>"
                      "<w:r><w:t>first more</w:t></w:r></w:p>"
                      "<w:p><w:r><w:t>second</w:t></w:r></w:p><w:p></w:p>");
}

TEST_F(DocxContract, SaveTwiceGivesTheSameBytesAndReplacesAnOldFile)
{
    qrn_IDocx* doc = NewDocument();
    {
        FILE* old = std::fopen(path_.c_str(), "wb");  // an older file of the same name
        if (old) {
            std::fputs("old", old);
            std::fclose(old);
        }
    }
    AddRun(AddLayoutParagraph(doc, 0, 0, 0, nullptr), QT("x"));
    ASSERT_NE(doc->Save(), 0);
    const std::string first = ReadWholeFile(path_);
    ASSERT_NE(doc->Save(), 0);
    EXPECT_EQ(ReadWholeFile(path_), first);
    EXPECT_EQ(AddLayoutParagraph(doc, 0, 0, 0, nullptr), nullptr);  // saved documents are complete
    Docx_Delete(doc);
    EXPECT_TRUE(ReadPackageBytes(first).ok);
    EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"out.docx"});
}

TEST_F(DocxContract, StylesHoldLatinAndEastAsianDefaults)
{
    Saved s = SaveAndRead(NewDocument());
    const std::string& styles = s.package.Part("word/styles.xml");
    EXPECT_NE(styles.find("w:ascii=\"Times New Roman\""), std::string::npos);
    EXPECT_NE(styles.find("w:eastAsia=\"SimSun\""), std::string::npos);
    // Nothing moves a paragraph to another page but the PDF's own page breaks, and nothing
    // adds space after a paragraph or between Chinese and Latin text.
    for (const char* property : {"<w:widowControl w:val=\"0\"/>", "<w:autoSpaceDE w:val=\"0\"/>",
                                 "<w:autoSpaceDN w:val=\"0\"/>", "w:after=\"0\""})
        EXPECT_NE(styles.find(property), std::string::npos) << property;
    // A4 portrait with 0.25-inch margins.
    EXPECT_NE(s.document.find("<w:pgSz w:w=\"11906\" w:h=\"16838\"/>"), std::string::npos);
    EXPECT_NE(s.document.find("<w:pgMar w:top=\"360\" w:right=\"360\" w:bottom=\"360\" w:left=\"360\""),
              std::string::npos);
    EXPECT_EQ(s.body, "");
    for (const char* part : {"docProps/core.xml", "docProps/app.xml", "word/settings.xml"})
        EXPECT_TRUE(s.package.Has(part)) << part;
}

TEST_F(DocxContract, CreateRefusesMissingArguments)
{
    qrn_IDocx* doc = reinterpret_cast<qrn_IDocx*>(&doc);
    EXPECT_EQ(Docx_Create(&doc, nullptr), 0);
    EXPECT_EQ(doc, nullptr);
    doc = reinterpret_cast<qrn_IDocx*>(&doc);
    EXPECT_EQ(Docx_Create(&doc, QT("")), 0);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(Docx_Create(nullptr, QT("x.docx")), 0);
    EXPECT_EQ(CreateDocument(folder_ + "missing/out.docx"), nullptr);  // the folder must exist
    EXPECT_TRUE(FolderEntries(folder_).empty());
}

TEST_F(DocxContract, FailedSaveLeavesNoFileUnderTheTargetName)
{
    // The folder disappears between Create and Save.
    std::string gone = folder_ + "gone";
#ifdef _WIN32
    ASSERT_TRUE(CreateDirectoryW(Widen(gone).c_str(), nullptr));
#else
    ASSERT_EQ(mkdir(gone.c_str(), 0755), 0);
#endif
    path_ = gone + (folder_.back() == '/' ? "/" : "\\") + "out.docx";
    qrn_IDocx* doc = CreateDocument(path_);
    ASSERT_NE(doc, nullptr);
    AddRun(AddLayoutParagraph(doc, 0, 0, 0, nullptr), QT("text"));
#ifdef _WIN32
    ASSERT_TRUE(RemoveDirectoryW(Widen(gone).c_str()));
#else
    ASSERT_EQ(rmdir(gone.c_str()), 0);
#endif
    EXPECT_EQ(SaveAndDelete(doc), 0);
    EXPECT_FALSE(FileExists(path_));

    // The target name is taken by a folder.
    path_ = folder_ + "taken";
#ifdef _WIN32
    ASSERT_TRUE(CreateDirectoryW(Widen(path_).c_str(), nullptr));
#else
    ASSERT_EQ(mkdir(path_.c_str(), 0755), 0);
#endif
    doc = CreateDocument(path_);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(SaveAndDelete(doc), 0);
    EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"taken"});  // no temporary file left
}

#ifdef _WIN32
TEST_F(DocxContract, TargetNearTheLongestPathSaves)
{
    // The target fits in MAX_PATH; its temporary name beside it does not, so it takes the long
    // (\\?\) form. Wine does not enforce MAX_PATH: here this checks that the long form works.
    std::string folder = folder_ + std::string(230 - folder_.size(), 'd');
    ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
    path_ = folder + "\\" + std::string(MAX_PATH - 2 - folder.size() - 5, 'n') + ".docx";
    ASSERT_EQ(path_.size(), size_t(MAX_PATH - 1));
    qrn_IDocx* doc = CreateDocument(path_);
    ASSERT_NE(doc, nullptr);
    AddRun(AddLayoutParagraph(doc, 0, 0, 0, nullptr), QT("long"));
    Saved s = SaveAndRead(doc);
    EXPECT_NE(s.body.find("long"), std::string::npos);
}
#endif

}  // namespace
