// halvane.dll through its import library, as the main program uses it: wide paths (including
// names outside the ANSI code page), page records, clean failures.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "halvane.h"
#include "test_paths.h"

namespace {

std::wstring LinesText(const stPdfPage* page)
{
    std::wstring all;
    for (int i = 0; i < page->nLineCount; ++i) {
        const stPdfLine* line = page->ppLines[i];
        if (!line)
            continue;
        for (int k = 0; k < line->nRunCount; ++k)
            if (line->ppRuns[k]->nType == PDF_RUN_TEXT) {
                const stPdfText* t = static_cast<const stPdfText*>(line->ppRuns[k]->pData);
                all.append(t->szText, static_cast<size_t>(t->nLength));
            }
    }
    return all;
}

TEST(HalvaneDll, ReadsAFileWithAUnicodeName)
{
    const std::wstring folder = TestScratchFolderW("halvane_dll");
    const std::wstring copy = folder + L"\u53cc\u680f\u6587\u6863.pdf";
    ASSERT_TRUE(CopyFileW(TestSourcePathW("halvane/tests/data/gen-v-twocol.pdf").c_str(), copy.c_str(), FALSE));
    qrn_IPdfDoc* doc = nullptr;
    ASSERT_NE(LoadDoc(copy.c_str(), &doc), 0);
    ASSERT_EQ(doc->GetPageCount(), 1);
    stPdfPage* page = nullptr;
    ASSERT_NE(doc->LoadPage(1, &page), 0);
    EXPECT_GT(page->fWidth, 500.0f);
    const std::wstring text = LinesText(page);
    EXPECT_NE(text.find(L"\u7535\u68af"), std::wstring::npos);  // the page is about lifts
    bool separated = false;
    for (int i = 0; i < page->nLineCount; ++i)
        separated = separated || page->ppLines[i] == nullptr;
    EXPECT_TRUE(separated);  // two columns: a null entry between them
    doc->FreePage(page);
    FreeDoc(doc);
}

TEST(HalvaneDll, OpensEncryptedFilesAndRefusesPasswordProtectedOnes)
{
    qrn_IPdfDoc* doc = nullptr;
    ASSERT_NE(LoadDoc(TestSourcePathW("halvane/tests/data/gen-v-lists-rc4-40-nocopy.pdf").c_str(), &doc), 0);
    stPdfPage* page = nullptr;
    ASSERT_NE(doc->LoadPage(1, &page), 0);
    EXPECT_FALSE(LinesText(page).empty());
    doc->FreePage(page);
    FreeDoc(doc);

    doc = reinterpret_cast<qrn_IPdfDoc*>(1);
    EXPECT_EQ(LoadDoc(TestSourcePathW("halvane/tests/data/pdfminer-aes-256-r6.pdf").c_str(), &doc), 0);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(LoadDoc(L"Z:\\no\\such\\file.pdf", &doc), 0);
    EXPECT_EQ(LoadDoc(L"", &doc), 0);
}

}  // namespace
