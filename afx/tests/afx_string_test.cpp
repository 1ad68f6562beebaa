#include <gtest/gtest.h>

#include "afx_string.h"

TEST(CStringTest, FormatUsesWideStringsForPercentS)
{
    CString s;
    s.Format(L"mailto:%s", L"a@b.c");
    EXPECT_EQ(s, L"mailto:a@b.c");
    s.Format(L"%d - %d", 1, 3);
    EXPECT_EQ(s, L"1 - 3");
    s.Format(L"页面转换(%4.2f)", 100.0 / 3.0);
    EXPECT_EQ(s, L"页面转换(33.33)");
    s.Format(L"%.2f%s", 2.0, L"KB");
    EXPECT_EQ(s, L"2.00KB");
}

TEST(CStringTest, FormatWithExtraArgumentsIgnoresThem)
{
    CString s;
    s.Format(L"x?sid=%d&src=%d", 7, 0, 4);
    EXPECT_EQ(s, L"x?sid=7&src=0");
}

TEST(CStringTest, LongFormatIsNotCut)
{
    std::wstring big(5000, L'x');
    CString s;
    s.Format(L"[%s]", big.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
}

TEST(CStringTest, SlicesStayInsideTheText)
{
    const CString s(L"C:\\dir\\file.pdf");
    EXPECT_EQ(s.Mid(s.ReverseFind(L'\\') + 1), L"file.pdf");
    EXPECT_EQ(s.Left(2), L"C:");
    EXPECT_EQ(s.Right(3), L"pdf");
    EXPECT_EQ(s.Mid(100), L"");
    EXPECT_EQ(s.Mid(-5, 2), L"C:");
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.Right(100), s);
    EXPECT_EQ(s.Find(L"dir"), 3);
    EXPECT_EQ(s.Find(L'x', 100), -1);
    EXPECT_EQ(s.GetAt(100), L'\0');
}

TEST(CStringTest, BufferTakesTextUpToTheTerminator)
{
    CString s;
    wchar_t* buffer = s.GetBuffer(10);
    wcscpy(buffer, L"abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"abc");
    EXPECT_EQ(s.GetLength(), 3);
}

TEST(CStringTest, TrimAndCase)
{
    CString s(L"  Abc \t");
    s.Trim();
    EXPECT_EQ(s, L"Abc");
    EXPECT_EQ(s.CompareNoCase(L"aBC"), 0);
    EXPECT_NE(s.Compare(L"aBC"), 0);
}
