#include "page_layout.h"

#include <gtest/gtest.h>

#include <limits.h>

#include <algorithm>

#include <functional>
#include <string>
#include <vector>

#include "fake_docx.h"
#include "fake_page.h"

namespace {

typedef std::vector<std::string> Calls;

std::string TextCall(const std::string& text, int size = 20, const char* font = "Arial")
{
    return "text '" + text + "' font=" + font + " size=" + std::to_string(size) + " color=0";
}

std::string Para(int left, int first, int before, const char* align)
{
    return "para left=" + std::to_string(left) + " first=" + std::to_string(first) +
           " before=" + std::to_string(before) + " align=" + align;
}

Calls Spaces(int count)
{
    return Calls(count, "text '  ' font= size=12 color=0");
}

Calls Join(std::initializer_list<Calls> parts)
{
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct LayoutCase {
    const char* name;
    std::function<void(FakePage&)> build;
    Calls expected;
    float pageLeft = 0;
};

const LayoutCase kCases[] = {
    {"page without lines", [](FakePage&) {}, {}},
    {"only blank lines",
     [](FakePage& p) {
         p.Line(0, 100, 595, 110)->nRunCount = 0;
         p.Line(0, 120, 595, 130);
         p.Text("   ");
         p.Line(0, 140, 595, 150);
         p.Text("");
         p.Run(7);
         p.NullLine();
     },
     {}},
    {"lines 7 apart form one block; full-width lines flow together without a space",
     [](FakePage& p) {
         p.Line(0, 100, 595, 105);
         p.Text("Hello");
         p.Line(0, 112, 595, 122);
         p.Text("world");
     },
     {Para(0, 0, 0, "none"), TextCall("Hello"), TextCall("world"), "end"}},
    {"lines exactly 10 apart form two blocks",
     [](FakePage& p) {
         p.Line(0, 100, 595, 102);
         p.Text("Hello");
         p.Line(0, 112, 595, 122);
         p.Text("world");
     },
     {Para(0, 0, 0, "none"), TextCall("Hello"), "end", Para(0, 0, 120, "none"), TextCall("world"), "end"}},
    {"a block 30 below the previous one gets space before 360",
     [](FakePage& p) {
         p.Line(0, 100, 595, 110);
         p.Text("one");
         p.Line(0, 140, 595, 150);
         p.Text("two");
     },
     {Para(0, 0, 0, "none"), TextCall("one"), "end", Para(0, 0, 360, "none"), TextCall("two"), "end"}},
    {"an indented second line keeps its break and gets 18 runs of two spaces",
     [](FakePage& p) {
         p.Line(0, 100, 595, 110);
         p.Text("First");
         p.Line(150, 112, 595, 122);
         p.Text("Second");
     },
     Join({{Para(0, 0, 0, "left"), TextCall("First"), "break"}, Spaces(18), {TextCall("Second"), "end"}})},
    {"a short line keeps its break; the next line at the margin gets no spaces",
     [](FakePage& p) {
         p.Line(0, 100, 400, 110);
         p.Text("Short");
         p.Line(0, 112, 595, 122);
         p.Text("Next");
     },
     {Para(0, 0, 0, "left"), TextCall("Short"), "break", TextCall("Next"), "end"}},
    {"overlapping lines never break",
     [](FakePage& p) {
         p.Line(0, 100, 300, 115);
         p.Text("Upper");
         p.Line(150, 112, 595, 122);
         p.Text("Lower");
     },
     {Para(0, 0, 0, "none"), TextCall("Upper"), TextCall("Lower"), "end"}},
    {"a contents line ends with a break",
     [](FakePage& p) {
         p.Line(0, 100, 595, 110);
         p.Text("Introduction........ 12");
         p.Line(0, 112, 595, 122);
         p.Text("Methods");
     },
     {Para(0, 0, 0, "left"), TextCall("Introduction........ 12"), "break", TextCall("Methods"), "end"}},
    {"a block starting 130 right of the left edge is indented (130 - 100) x 26",
     [](FakePage& p) {
         p.Line(130, 100, 595, 110);
         p.Text("Quote");
         p.Line(99, 112, 595, 122);
         p.Text("goes on");
     },
     {Para(780, 0, 0, "none"), TextCall("Quote"), TextCall("goes on"), "end"}},
    {"a block starting 99 right of the left edge is not indented",
     [](FakePage& p) {
         p.Line(99, 100, 595, 110);
         p.Text("Quote");
         p.Line(99, 112, 595, 122);
         p.Text("goes on");
     },
     {Para(0, 0, 0, "none"), TextCall("Quote"), TextCall("goes on"), "end"}},
    {"indents are measured from the page's left edge",
     [](FakePage& p) {
         p.Line(150, 100, 595, 110);
         p.Text("Quote");
         p.Line(150, 112, 595, 122);
         p.Text("goes on");
     },
     // page fLeft 40: d = 110 gives 10 x 26; the second line is at 110 < 120: no break
     {Para(260, 0, 0, "none"), TextCall("Quote"), TextCall("goes on"), "end"},
     40},
    {"a one-line block is indented from the leftmost line of the page, blank lines included",
     [](FakePage& p) {
         p.Line(10, 50, 595, 60);
         p.Text("  ");
         p.Line(30, 100, 595, 110);
         p.Text("Body");
         p.Line(50, 200, 595, 210);
         p.Text("Indented", 80);
     },
     {Para(0, 20 * 23, 0, "none"), TextCall("Body"), "end", Para(0, 70 * 23, 90 * 12, "none"), TextCall("Indented"),
      "end"}},
    {"runs are written by x; the first indent uses the reader's first run",
     [](FakePage& p) {
         p.Line(10, 100, 595, 110);
         p.Text("b", 50);
         p.Text("a", 10);
     },
     {Para(0, 40 * 23, 0, "none"), TextCall("a"), TextCall("b"), "end"}},
    {"lines are sorted by top between null entries only",
     [](FakePage& p) {
         p.Line(0, 300, 595, 310);
         p.Text("C");
         p.Line(0, 100, 595, 110);
         p.Text("A");
         p.NullLine();
         p.Line(0, 50, 595, 60);
         p.Text("B");
     },
     // B (top 50) follows C (bottom 310): 50 - 310 < 10 joins C's block, and the lines overlap.
     {Para(0, 0, 0, "none"), TextCall("A"), "end", Para(0, 0, 0, "none"), TextCall("C"), TextCall("B"), "end"}},
    {"font size 10.75 is written as 21 and the font name is passed on",
     [](FakePage& p) {
         p.Line(0, 100, 595, 110);
         p.Text("Sized", -1, "Times-Bold", 10.75);
     },
     {Para(0, 0, 0, "none"), TextCall("Sized", 21, "Times-Bold"), "end"}},
    {"an 800 x 600 image on a 595 x 842 page is placed at 595 x 600",
     [](FakePage& p) {
         p.Line(0, 100, 595, 700);
         p.Image(800, 600, 5);
     },
     {Para(0, 0, 0, "none"), "picture 5 bytes 595x600", "create object 0,0", "object ok", "free object ok",
      "picture release", "end"}},
    {"runs of other kinds are skipped",
     [](FakePage& p) {
         p.Line(0, 100, 595, 110);
         p.Text("kept");
         p.Run(5);
         p.Run(PDF_RUN_TEXT);  // a text run without its text
     },
     {Para(0, 0, 0, "none"), TextCall("kept"), "end"}},
};

}  // namespace

TEST(LayoutPage, WritesTheExpectedCallsForEachCase)
{
    for (const LayoutCase& c : kCases) {
        FakePage page(595, 842, c.pageLeft);
        c.build(page);
        FakeDocx docx;
        EXPECT_EQ(LayoutPage(&docx, page.Get()), 0) << c.name;
        EXPECT_EQ(docx.calls, c.expected) << c.name;
    }
}

TEST(LayoutPage, RefusedParagraphSkipsOnlyItsBlock)
{
    FakePage page;
    page.Line(0, 100, 595, 110);
    page.Text("one");
    page.Line(0, 140, 595, 150);
    page.Text("two");
    FakeDocx docx;
    docx.refuseParagraphs = true;
    LayoutPage(&docx, page.Get());
    EXPECT_EQ(docx.calls, (Calls{Para(0, 0, 0, "none"), Para(0, 0, 360, "none")}));
}

TEST(LayoutPage, RefusedPictureIsLeftOut)
{
    FakePage page;
    page.Line(0, 100, 595, 110);
    page.Image(10, 10, 4);
    page.Text("after", 20);
    FakeDocx docx;
    docx.refusePictures = true;
    LayoutPage(&docx, page.Get());
    EXPECT_EQ(docx.calls, (Calls{Para(0, 0, 0, "none"), "picture 4 bytes 10x10", TextCall("after"), "end"}));
}

TEST(LayoutPage, AbsurdRecordsNeitherCrashNorFlood)
{
    FakePage page;
    page.Line(0, 100, 595, 110);
    page.Text("x", -1, "Arial", 1e300);  // size far beyond int
    page.Line(1e30f, 112, 595, 122);  // indent far beyond any page
    page.Text("y");
    page.Line(0, 0.0f / 0.0f, 595, 0.0f / 0.0f);  // NaN positions
    page.Text("z");
    stPdfRun* negative = page.Text("w");
    static_cast<stPdfText*>(negative->pData)->nLength = -5;
    FakeDocx docx;
    LayoutPage(&docx, page.Get());
    EXPECT_LE(docx.calls.size(), 1200u);
    EXPECT_NE(std::find(docx.calls.begin(), docx.calls.end(), TextCall("x", INT_MAX)), docx.calls.end());

    EXPECT_EQ(LayoutPage(nullptr, page.Get()), 0);
    EXPECT_EQ(LayoutPage(&docx, nullptr), 0);
    stPdfPage broken = {};
    broken.nLineCount = 5;  // and no line array
    EXPECT_EQ(LayoutPage(&docx, &broken), 0);
}

TEST(IsContentsLine, DotLeaderThenPageNumber)
{
    struct Case {
        std::vector<std::string> runs;
        bool expected;
    };
    const Case cases[] = {
        {{"Introduction........ 12"}, true},
        {{"Intro... 3 and more words"}, false},
        {{"Chapter ... 0"}, false},
        {{"Summary ... 5   "}, true},
        {{"See...007"}, true},
        {{"Intro", "....", " 9"}, true},
        {{"a..b 5"}, false},
        {{"x...y 5"}, false},
        {{"...12a"}, false},
        {{"..."}, false},
        {{"...."}, false},
        {{std::string(1000, 'x'), std::string(30, 'y'), "...4"}, true},  // the run that would overflow is left out
        {{std::string(1021, 'x'), "...4"}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        FakePage page;
        stPdfLine* line = page.Line(0, 0, 100, 10);
        for (const std::string& run : c.runs)
            page.Text(run);
        EXPECT_EQ(IsContentsLine(line), c.expected) << (c.runs.empty() ? "" : c.runs[0].substr(0, 40));
    }
    EXPECT_FALSE(IsContentsLine(nullptr));
}

TEST(IsBlankLine, SpacesNullsAndOtherKinds)
{
    FakePage page;
    stPdfLine* spaces = page.Line(0, 0, 10, 10);
    page.Text("   ");
    page.Run(9);
    stPdfLine* image = page.Line(0, 20, 10, 30);
    page.Image(1, 1);
    stPdfLine* text = page.Line(0, 40, 10, 50);
    page.Text(" a ");
    stPdfLine* empty = page.Line(0, 60, 10, 70);
    EXPECT_TRUE(IsBlankLine(spaces));
    EXPECT_FALSE(IsBlankLine(image));
    EXPECT_FALSE(IsBlankLine(text));
    EXPECT_TRUE(IsBlankLine(empty));
    EXPECT_TRUE(IsBlankLine(nullptr));
}
