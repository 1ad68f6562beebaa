#include "tag_value.h"

#include <gtest/gtest.h>

#include <string>

#include "address_template.h"

namespace {

std::string Value(const char* begin, const char* end, const std::string& response, int capacity = 5120)
{
    char target[5120];
    const int length = FindTagValue(begin, end, response.data(), (int)response.size(), target, capacity);
    if (length == 0)
        return "<absent>";
    EXPECT_EQ((int)strlen(target), length);
    return target;
}

TEST(FindTagValue, Cases)
{
    struct Case {
        const char* begin;
        const char* end;
        const char* response;
        const char* value;
    } cases[] = {
        {"<ver>*", "</ver>*", "<VER>10002</VER>", "10002"},  // ASCII case does not matter
        {"<dwn>*", "</dwn>*", "x<dwn>http://h/f/setup.exe</dwn>y", "http://h/f/setup.exe"},
        {"<a>*<b>*", "</b>*", "<b>no</b><a>x<b>yes</b>", "yes"},  // pieces are found one after the other
        {"<ver>*", "</ver>*", "HTTP/1.1 200 OK\r\nX: <ver>1</ver>\r\n\r\n<ver>2</ver>", "1"},  // headers take part
        {"<ver>*", "</ver>*", "<ver>1", "<absent>"},  // no end
        {"<ver>*", "</ver>*", "1</ver>", "<absent>"},  // no begin
        {"<ver>*", "</ver>*", "<ver></ver>", "<absent>"},  // empty value
        {"<ver>*", "</ver>*", "", "<absent>"},
        {"<ver>*", "<end>*<x>*", "<ver>v<end>", "<absent>"},  // every end piece must be found
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, Value(c.begin, c.end, c.response)) << c.response;
}

TEST(FindTagValue, ValueMustFitWithItsTerminatingZero)
{
    EXPECT_EQ("12345", Value("<m>*", "</m>*", "<m>12345</m>", 6));
    EXPECT_EQ("<absent>", Value("<m>*", "</m>*", "<m>12345</m>", 5));
    const std::string big = "<dwn>" + std::string(5120, 'u') + "</dwn>";
    EXPECT_EQ("<absent>", Value("<dwn>*", "</dwn>*", big));
}

TEST(FindTagValue, ReadsOnlyTheGivenBytes)
{
    const std::string response = "<ver>7</ver>";
    char target[16];
    EXPECT_EQ(0, FindTagValue("<ver>*", "</ver>*", response.data(), (int)response.size() - 1, target, 16));
    EXPECT_EQ(0, FindTagValue(nullptr, "</ver>*", response.data(), (int)response.size(), target, 16));
    EXPECT_EQ(0, FindTagValue("<ver>*", "</ver>*", nullptr, 10, target, 16));
    EXPECT_EQ(0, FindTagValue("<ver>*", "</ver>*", response.data(), (int)response.size(), nullptr, 16));
    EXPECT_EQ(0, FindTagValue("<ver>*", "</ver>*", response.data(), -1, target, 16));
}

TEST(FormatAddressTemplate, FillsTwoIntegersAndRefusesOtherConversions)
{
    wchar_t address[1024];
    EXPECT_GT(FormatAddressTemplate(L"http://v.example/ver.asp?sid=%d&src=%d", 3, 7, address, 1024), 0);
    EXPECT_STREQ(L"http://v.example/ver.asp?sid=3&src=7", address);
    EXPECT_GT(FormatAddressTemplate(L"http://h/%%20?a=%d", -1, 9, address, 1024), 0);
    EXPECT_STREQ(L"http://h/%20?a=-1", address);
    for (const wchar_t* bad : {L"http://h/%s", L"%d%d%d", L"%n", L"%", L"%x"})
        EXPECT_EQ(0, FormatAddressTemplate(bad, 1, 2, address, 1024));
    EXPECT_EQ(0, FormatAddressTemplate(L"http://h/?sid=%d", 123456, 0, address, 12));
    EXPECT_EQ(0, FormatAddressTemplate(nullptr, 1, 2, address, 1024));
    EXPECT_EQ(0, FormatAddressTemplate(L"a", 1, 2, nullptr, 1024));
}

}  // namespace
