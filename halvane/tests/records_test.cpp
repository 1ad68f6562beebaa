#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "halvane.h"
#include "halvane/face/page_records.h"
#include "test_paths.h"

namespace halvane {
namespace {

RunModel TextRun(double x, const std::u16string& text, const std::string& font = "Helvetica")
{
    RunModel r;
    r.left = x;
    r.text = text;
    r.fontName = font;
    r.size = 10.75;
    return r;
}

TEST(PageRecords, LayOutRegionsLinesAndRunsInOneBlock)
{
    PageModel model;
    model.width = 595;
    model.height = 842;
    LineModel a;
    a.top = 10;
    a.runs.push_back(TextRun(5, u"left "));
    a.runs.push_back(TextRun(50, u"\u4E2D", std::string(40, 'F')));
    LineModel b;
    b.top = 5;
    RunModel image;
    image.isImage = true;
    image.left = 300;
    image.right = 400;
    image.top = 0;
    image.bottom = 50;
    image.imageData = "\x89PNG-data";
    b.runs.push_back(image);
    model.regions = {{a}, {b}};

    stPdfPage* page = BuildPageRecords(model);
    ASSERT_TRUE(page);
    EXPECT_FLOAT_EQ(page->fWidth, 595);
    ASSERT_EQ(page->nLineCount, 3);
    EXPECT_EQ(page->ppLines[1], nullptr);  // region separator
    const stPdfLine* first = page->ppLines[0];
    ASSERT_EQ(first->nRunCount, 2);
    const stPdfText* t0 = static_cast<const stPdfText*>(first->ppRuns[0]->pData);
    EXPECT_STREQ(t0->szFontName, "Helvetica");
    EXPECT_DOUBLE_EQ(t0->dSize, 10.75);
    ASSERT_EQ(t0->nLength, 5);
    EXPECT_EQ(t0->szText[0], u'l');
    const stPdfText* t1 = static_cast<const stPdfText*>(first->ppRuns[1]->pData);
    EXPECT_EQ(std::strlen(t1->szFontName), 31u);  // cut to the field
    EXPECT_EQ(t1->szText[0], 0x4E2D);
    const stPdfRun* imageRun = page->ppLines[2]->ppRuns[0];
    EXPECT_EQ(imageRun->nType, PDF_RUN_IMAGE);
    const stPdfImage* img = static_cast<const stPdfImage*>(imageRun->pData);
    EXPECT_EQ(img->nWidth, 100);
    EXPECT_EQ(img->nHeight, 50);
    ASSERT_EQ(img->nDataSize, 9);
    EXPECT_EQ(std::memcmp(img->data, "\x89PNG-data", 9), 0);
    FreePageRecords(page);
}

std::u16string Path16(const std::string& utf8)
{
    return std::u16string(utf8.begin(), utf8.end());  // test paths are ASCII
}

TEST(LoadDoc, OpensReadsAndReleasesDocuments)
{
    const std::u16string path = Path16(TestSourcePath("halvane/tests/data/gen-v-twocol.pdf"));
    qrn_IPdfDoc* doc = nullptr;
    ASSERT_NE(LoadDoc(path.c_str(), &doc), 0);
    ASSERT_EQ(doc->GetPageCount(), 1);
    stPdfPage* page = nullptr;
    ASSERT_NE(doc->LoadPage(1, &page), 0);
    EXPECT_GT(page->nLineCount, 10);
    doc->FreePage(page);
    EXPECT_EQ(doc->LoadPage(2, &page), 0);
    EXPECT_EQ(page, nullptr);
    EXPECT_EQ(doc->LoadPage(0, &page), 0);
    FreeDoc(doc);
}

TEST(LoadDoc, FailsCleanlyOnWhatItCannotRead)
{
    qrn_IPdfDoc* doc = reinterpret_cast<qrn_IPdfDoc*>(1);
    const std::u16string missing = Path16(TestSourcePath("halvane/tests/data/no-such-file.pdf"));
    EXPECT_EQ(LoadDoc(missing.c_str(), &doc), 0);
    EXPECT_EQ(doc, nullptr);
    const std::u16string locked = Path16(TestSourcePath("halvane/tests/data/pdfminer-aes-256-r6.pdf"));
    EXPECT_EQ(LoadDoc(locked.c_str(), &doc), 0);
    EXPECT_EQ(LoadDoc(nullptr, &doc), 0);
}

}  // namespace
}  // namespace halvane
