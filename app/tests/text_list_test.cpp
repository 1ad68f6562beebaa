#include "text_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring TextItem(const stTextList& list, int n, int* result)
{
    wchar_t item[64];
    *result = GetTextListItem(&list, n, item, sizeof(item));
    return item;
}

TEST(TextList, ItemsEndWithALineFeed)
{
    stTextList list;
    EXPECT_EQ(2, LoadTextList(L"x\ny\nz", &list));
    EXPECT_EQ(L'\n', list.separator);
    int result = 0;
    EXPECT_EQ(L"x", TextItem(list, 0, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(L"y", TextItem(list, 1, &result));
    EXPECT_EQ(1, result);
    // Text after the last separator is not an item.
    EXPECT_EQ(L"", TextItem(list, 2, &result));
    EXPECT_EQ(0, result);
    EXPECT_EQ(L"", TextItem(list, -1, &result));
    EXPECT_EQ(0, result);
}

TEST(TextList, EmptyItemsAndEmptyText)
{
    stTextList list;
    EXPECT_EQ(3, LoadTextList(L"a\n\nb\n", &list));
    int result = 0;
    EXPECT_EQ(L"", TextItem(list, 1, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(L"b", TextItem(list, 2, &result));

    EXPECT_EQ(0, LoadTextList(L"", &list));
    TextItem(list, 0, &result);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, LoadTextList(nullptr, &list));
    EXPECT_EQ(0, LoadTextList(L"a\n", nullptr));
}

TEST(TextList, ItemMustFitTheCallersBuffer)
{
    stTextList list;
    LoadTextList(L"1234567\n12345678\n", &list);
    wchar_t item[8];  // 7 characters and the terminating zero
    wmemset(item, L'#', 8);
    EXPECT_EQ(1, GetTextListItem(&list, 0, item, sizeof(item)));
    EXPECT_STREQ(L"1234567", item);
    EXPECT_EQ(0, GetTextListItem(&list, 1, item, sizeof(item)));
    EXPECT_STREQ(L"", item) << "the buffer is zeroed even when the item does not fit";
    EXPECT_EQ(0, GetTextListItem(&list, 0, item, 0));
    EXPECT_EQ(0, GetTextListItem(&list, 0, nullptr, 16));
    EXPECT_EQ(0, GetTextListItem(nullptr, 0, item, sizeof(item)));
}

TEST(TextList, OverLongSourceIsCutAndItsPartialItemDropped)
{
    std::wstring source;
    while (source.size() < 2000)
        source += L"item\n";
    source += L"tail\n";
    stTextList list;
    const int count = LoadTextList(source.c_str(), &list);
    EXPECT_EQ(1023u, std::wstring(list.text).size());
    EXPECT_EQ(1023 / 5, count);  // 204 whole items of five characters fit into 1023
    int result = 0;
    EXPECT_EQ(L"item", TextItem(list, count - 1, &result));
    EXPECT_EQ(1, result);
    TextItem(list, count, &result);
    EXPECT_EQ(0, result);
}

TEST(TextList, UnterminatedRecordIsReadWithinItsBounds)
{
    stTextList list;
    LoadTextList(L"", &list);
    for (wchar_t& c : list.text)
        c = L'a';
    list.text[10] = L'\n';
    int result = 0;
    EXPECT_EQ(L"aaaaaaaaaa", TextItem(list, 0, &result));
    TextItem(list, 1, &result);
    EXPECT_EQ(0, result);
}

TEST(CharList, StarSeparatedPatterns)
{
    stCharList list;
    EXPECT_EQ(2, LoadCharList("<ver>*</x>*", &list));
    EXPECT_EQ('*', list.separator);
    char item[kCharListItemBytes];
    EXPECT_EQ(1, GetCharListItem(&list, 0, item));
    EXPECT_STREQ("<ver>", item);
    EXPECT_EQ(1, GetCharListItem(&list, 1, item));
    EXPECT_STREQ("</x>", item);
    EXPECT_EQ(0, GetCharListItem(&list, 2, item));
    EXPECT_STREQ("", item);
    EXPECT_EQ(0, LoadCharList("no separator", &list));
    EXPECT_EQ(0, GetCharListItem(&list, 0, item));
    EXPECT_EQ(0, GetCharListItem(nullptr, 0, item));
    EXPECT_EQ(0, GetCharListItem(&list, 0, nullptr));
}

TEST(CharList, ItemsLongerThan511AreRefusedNotCut)
{
    const std::string fits = std::string(511, 'p') + "*" + std::string(512, 'q') + "*";
    stCharList list;
    EXPECT_EQ(2, LoadCharList(fits.c_str(), &list));
    char item[kCharListItemBytes];
    EXPECT_EQ(1, GetCharListItem(&list, 0, item));
    EXPECT_EQ(511u, std::string(item).size());
    EXPECT_EQ(0, GetCharListItem(&list, 1, item));
    EXPECT_STREQ("", item);

    const std::string tooLong(5000, '*');
    EXPECT_EQ(2047, LoadCharList(tooLong.c_str(), &list));
}

}  // namespace
