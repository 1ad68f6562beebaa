#include "line_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

stPdfLine MakeLine(float top)
{
    stPdfLine line{};
    line.fTop = top;
    line.fBottom = top + 10;
    return line;
}

std::vector<float> Tops(const stPdfPage& page)
{
    std::vector<float> tops;
    for (int i = 0; i < page.nLineCount; ++i)
        tops.push_back(page.ppLines[i] ? page.ppLines[i]->fTop : -1.0f);
    return tops;
}

}  // namespace

TEST(SortLinesByTop, SortsEachStretchBetweenNullEntriesOnItsOwn)
{
    stPdfLine a = MakeLine(300), b = MakeLine(100), c = MakeLine(200), d = MakeLine(50), e = MakeLine(10);
    stPdfLine* lines[] = {&a, &b, nullptr, &c, &d, nullptr, &e};
    stPdfPage page{};
    page.nLineCount = 7;
    page.ppLines = lines;
    SortLinesByTop(&page);
    EXPECT_EQ(Tops(page), (std::vector<float>{100, 300, -1, 50, 200, -1, 10}));
}

TEST(SortLinesByTop, EqualTopsKeepTheReadersOrder)
{
    stPdfLine a = MakeLine(100), b = MakeLine(100), c = MakeLine(50);
    stPdfLine* lines[] = {&a, &b, &c};
    stPdfPage page{};
    page.nLineCount = 3;
    page.ppLines = lines;
    SortLinesByTop(&page);
    EXPECT_EQ(lines[0], &c);
    EXPECT_EQ(lines[1], &a);
    EXPECT_EQ(lines[2], &b);
}

TEST(SortLinesByTop, EmptyAndNullPagesAreLeftAlone)
{
    SortLinesByTop(nullptr);
    stPdfPage page{};
    SortLinesByTop(&page);
    page.nLineCount = 3;  // count without an array
    SortLinesByTop(&page);
    SUCCEED();
}

TEST(SortRunsByX, StableByPosition)
{
    stPdfRun r1{}, r2{}, r3{};
    r1.fX = 50;
    r2.fX = 10;
    r3.fX = 50;
    stPdfRun* runs[] = {&r1, &r2, &r3};
    stPdfLine line{};
    line.nRunCount = 3;
    line.ppRuns = runs;
    SortRunsByX(&line);
    EXPECT_EQ(runs[0], &r2);
    EXPECT_EQ(runs[1], &r1);
    EXPECT_EQ(runs[2], &r3);
}
