#include "page_text.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_page.h"

namespace {

std::string Narrow(const qrn_string& text)
{
    std::string out;
    for (qrn_wchar c : text)
        out += c < 128 ? (char)c : '?';
    return out;
}

}  // namespace

TEST(AppendPageText, LinesInLayoutOrderOneOutputLineEach)
{
    FakePage page;
    page.Line(0, 300, 595, 310);
    page.Text("third");
    page.Line(0, 100, 595, 110);
    page.Text("world", 60);
    page.Text("hello ", 10);
    page.Image(10, 10);
    page.Line(0, 200, 595, 210);
    page.Text("   ");  // blank: left out as in the Word layout
    page.NullLine();
    page.Line(300, 50, 595, 60);
    page.Text("second column");
    page.Line(0, 150, 595, 160);
    page.Text("continued");
    qrn_string text;
    AppendPageText(page.Get(), 1, &text);
    EXPECT_EQ(Narrow(text), "hello world\r\nthird\r\nsecond column\r\ncontinued\r\n");
}

TEST(AppendPageText, PagesBeforeTheLastEndWithAFormFeedLine)
{
    FakePage first, empty, last;
    first.Line(0, 10, 100, 20);
    first.Text("one");
    last.Line(0, 10, 100, 20);
    last.Text("three");
    qrn_string text;
    AppendPageText(first.Get(), 0, &text);
    AppendPageText(empty.Get(), 0, &text);
    AppendPageText(last.Get(), 1, &text);
    EXPECT_EQ(Narrow(text), "one\r\n\f\r\n\f\r\nthree\r\n");
}

TEST(AppendPageText, NonAsciiTextPassesThroughUnchanged)
{
    FakePage page;
    page.Line(0, 10, 100, 20);
    stPdfRun* run = page.Text("ab");
    stPdfText* t = static_cast<stPdfText*>(run->pData);
    t->szText[0] = 0x4E2D;  // CJK
    t->szText[1] = 0xD83D;  // a surrogate pair stays a pair
    qrn_string text;
    AppendPageText(page.Get(), 1, &text);
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text[0], 0x4E2D);
    EXPECT_EQ(text[1], 0xD83D);
}

TEST(AppendPageText, NullAndBrokenRecords)
{
    qrn_string text;
    AppendPageText(nullptr, 1, &text);
    EXPECT_TRUE(text.empty());
    AppendPageText(nullptr, 0, nullptr);
    stPdfPage broken = {};
    broken.nLineCount = 3;
    AppendPageText(&broken, 0, &text);
    EXPECT_EQ(Narrow(text), "\f\r\n");
}
