#include "redirect_address.h"

namespace {

bool IsAlpha(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The length of "scheme:" at the start (letter, then letters, digits, "+", "-", "."), or 0.
size_t SchemeLength(const std::wstring& address)
{
    if (address.empty() || !IsAlpha(address[0]))
        return 0;
    for (size_t i = 1; i < address.size(); ++i) {
        const wchar_t c = address[i];
        if (c == L':')
            return i + 1;
        if (!IsAlpha(c) && !IsDigit(c) && c != L'+' && c != L'-' && c != L'.')
            return 0;
    }
    return 0;
}

// RFC 3986 5.2.4: "." and ".." segments go, ".." taking the segment before it along.
std::wstring RemoveDotSegments(std::wstring input)
{
    std::wstring output;
    while (!input.empty()) {
        if (input.compare(0, 3, L"../") == 0) {
            input.erase(0, 3);
        } else if (input.compare(0, 2, L"./") == 0) {
            input.erase(0, 2);
        } else if (input.compare(0, 3, L"/./") == 0) {
            input.erase(0, 2);
        } else if (input == L"/.") {
            input = L"/";
        } else if (input.compare(0, 4, L"/../") == 0 || input == L"/..") {
            input = input.size() == 3 ? std::wstring(L"/") : input.substr(3);
            const size_t last = output.rfind(L'/');
            output.erase(last == std::wstring::npos ? 0 : last);
        } else if (input == L"." || input == L"..") {
            input.clear();
        } else {
            const size_t next = input.find(L'/', 1);
            output += input.substr(0, next);
            input.erase(0, next == std::wstring::npos ? input.size() : next);
        }
    }
    return output;
}

// "/path?query" into the path (dots removed) with the query kept as it is.
std::wstring CleanPathAndQuery(const std::wstring& pathAndQuery)
{
    const size_t query = pathAndQuery.find(L'?');
    const std::wstring path = pathAndQuery.substr(0, query);
    return RemoveDotSegments(path) + (query == std::wstring::npos ? std::wstring() : pathAndQuery.substr(query));
}

}  // namespace

std::wstring ResolveRedirect(const std::wstring& current, const std::string& location)
{
    // Header bytes as they came; addresses are ASCII (anything else is percent-encoded).
    std::wstring target;
    for (unsigned char c : location)
        target += (wchar_t)c;
    const size_t fragment = target.find(L'#');
    if (fragment != std::wstring::npos)
        target.resize(fragment);
    if (target.empty())
        return std::wstring();
    if (SchemeLength(target) > 0)
        return target;

    const size_t schemeEnd = SchemeLength(current);
    if (schemeEnd == 0 || current.compare(schemeEnd, 2, L"//") != 0)
        return std::wstring();
    if (target.compare(0, 2, L"//") == 0)
        return current.substr(0, schemeEnd) + target;

    const size_t authorityEnd = current.find_first_of(L"/?", schemeEnd + 2);
    const std::wstring origin = current.substr(0, authorityEnd);
    std::wstring currentPath = authorityEnd == std::wstring::npos ? std::wstring() : current.substr(authorityEnd);
    currentPath = currentPath.substr(0, currentPath.find(L'?'));
    if (currentPath.empty())
        currentPath = L"/";

    if (target[0] == L'/')
        return origin + CleanPathAndQuery(target);
    if (target[0] == L'?')
        return origin + currentPath + target;
    const std::wstring folder = currentPath.substr(0, currentPath.rfind(L'/') + 1);
    return origin + CleanPathAndQuery(folder + target);
}
