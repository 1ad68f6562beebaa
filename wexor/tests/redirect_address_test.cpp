#include "redirect_address.h"

#include <gtest/gtest.h>

#include <string>

#include "test_paths.h"

namespace {

TEST(ResolveRedirect, Cases)
{
    const std::wstring current = L"http://h:81/files/v2/setup.exe?x=1";
    const struct {
        const char* location;
        const wchar_t* resolved;
    } cases[] = {
        {"http://other/x.exe", L"http://other/x.exe"},  // absolute
        {"HTTP://other", L"HTTP://other"},
        {"//mirror:8080/x.exe", L"http://mirror:8080/x.exe"},  // scheme-relative
        {"/a//b/setup.exe", L"http://h:81/a//b/setup.exe"},  // same host, "//" in the path stays in the path
        {"/", L"http://h:81/"},
        {"setup2.exe", L"http://h:81/files/v2/setup2.exe"},  // relative to the current folder
        {"new/setup.exe?y=2", L"http://h:81/files/v2/new/setup.exe?y=2"},
        {"a//b", L"http://h:81/files/v2/a//b"},
        {"../v3/setup.exe", L"http://h:81/files/v3/setup.exe"},
        {"../../../../up.exe", L"http://h:81/up.exe"},  // never above the root
        {"./x/./y/../z", L"http://h:81/files/v2/x/z"},
        {"/p/../q?a=../b", L"http://h:81/q?a=../b"},  // the query is not a path
        {"?y=2", L"http://h:81/files/v2/setup.exe?y=2"},
        {"x.exe#part", L"http://h:81/files/v2/x.exe"},
        {"#only", L""},
        {"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.resolved, ResolveRedirect(current, c.location)) << c.location;

    EXPECT_EQ(L"http://h/x.exe", ResolveRedirect(L"http://h", "x.exe")) << "a host without a path";
    EXPECT_EQ(L"http://h/a/x.exe", ResolveRedirect(L"http://h/a/?q", "x.exe"));
    EXPECT_EQ(L"", ResolveRedirect(L"h/a", "x.exe")) << "no usable current address";
}

}  // namespace
